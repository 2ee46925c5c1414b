// Options every qorctl command takes, and the small helpers the commands share.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_sink.h"

namespace qor::cli {

struct CommonOptions {
    std::string dir = ".";
    std::uint32_t language = 1033;
    std::optional<std::uint8_t> sensorType; // the emulator's factory value when absent
    std::optional<std::string> trace;       // "-" for standard output
    bool help = false;
};

// Takes the common options out of `args` and leaves the rest in order. An option without its
// value or with a value that is not a number gives an error text.
std::optional<std::string> takeCommonOptions(std::vector<std::string>& args, CommonOptions& out);

// Whole decimal number within [min, max].
std::optional<long> parseNumber(std::string_view text, long min, long max);

std::string joinPath(std::string_view dir, std::string_view file);

// Message boxes of the program, as "caption: text" lines on standard error.
class StderrMessageSink final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override;
};

extern const char* const kCommonHelp;

} // namespace qor::cli
