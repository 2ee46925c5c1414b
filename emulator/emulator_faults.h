// Faults the emulated mouse can be told to have for a whole run, by words such as
// "stall-after=20,lose-answer=90:1,ignore-writes=13": `qorctl apply --emulate` builds them from
// its options and the demo build from QOR_DEMO_FAULTS, both through parseEmulatorFaults.
//
//   stall-after=N     the mouse answers the first N transfers after the first handshake has
//                     passed, then nothing at all: every later transfer times out
//   lose-answer=HH:K  the K-th answer (from 1; ":K" may be left out for 1) to command HH (hex)
//                     is lost: the feature read that carries it fails at once
//   ignore-writes=HH  writes of command HH are taken but change nothing the mouse keeps
//
// A transfer is one call on the command port: a feature write or read, a chunk write or read.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The commands the firmware answers (0x00 is the handshake probe) and those whose payload it
// keeps; a fault word naming any other command is refused, as it could never show.
inline constexpr std::array<std::uint8_t, 6> kAnsweredCommands{0x00, 0x83, 0x87, 0x8D, 0x90, 0x93};
inline constexpr std::array<std::uint8_t, 7> kStoredCommands{0x03, 0x07, 0x0D, 0x10,
                                                             0x11, 0x12, 0x13};

struct LostAnswer {
    std::uint8_t code = 0;
    unsigned nth = 1; // counted from 1
    bool operator==(const LostAnswer&) const = default;
};

struct EmulatorFaults {
    std::optional<unsigned> stallAfter;
    std::vector<LostAnswer> lostAnswers;     // in the order given, without repeats
    std::vector<std::uint8_t> ignoredWrites; // in the order given, without repeats

    bool none() const { return !stallAfter && lostAnswers.empty() && ignoredWrites.empty(); }
    bool operator==(const EmulatorFaults&) const = default;
};

// Adds the fault `name=value` (name one of "stall-after", "lose-answer", "ignore-writes") to
// `faults`. Returns why it was refused, without the word (the caller names it in its own terms);
// `faults` is then unchanged.
std::optional<std::string> addEmulatorFault(std::string_view name, std::string_view value,
                                            EmulatorFaults& faults);

// Words separated by commas; blanks around a word and empty words are ignored. Returns the
// faults, or a message naming the first word refused and why.
struct EmulatorFaultsParse {
    EmulatorFaults faults;
    std::optional<std::string> error;
};
EmulatorFaultsParse parseEmulatorFaults(std::string_view words);

} // namespace qor
