#include "cli/cli_options.h"

#include <charconv>
#include <cstdio>

#include "base/text_utf8.h"

namespace qor::cli {

const char* const kCommonHelp =
    "Common options:\n"
    "  --dir DIR          folder holding config.bin, record.ini and str.ini (default: .)\n"
    "  --language ID      system default language identifier to assume (default: 1033;\n"
    "                     2052 Simplified Chinese, 1028 Traditional Chinese)\n"
    "  --sensor-type N    sensor type of the emulated mouse (default: its factory value);\n"
    "                     for show and export, the type whose DPI values are named\n"
    "  --trace FILE       write every transfer and pause to FILE ('-' for standard output)\n"
    "  --help             describe the command\n"
    "Message boxes the program would show go to standard error as 'caption: text'.\n";

std::optional<long> parseNumber(std::string_view text, long min, long max) {
    long value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != end || value < min ||
        value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> takeCommonOptions(std::vector<std::string>& args, CommonOptions& out) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue =
            arg == "--dir" || arg == "--language" || arg == "--sensor-type" || arg == "--trace";
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        if (!takesValue) {
            rest.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            return arg + " needs a value";
        }
        const std::string& value = args[++i];
        if (arg == "--dir") {
            out.dir = value;
        } else if (arg == "--trace") {
            out.trace = value;
        } else if (arg == "--language") {
            const auto n = parseNumber(value, 0, 0xFFFF);
            if (!n) {
                return "--language takes a language identifier (0..65535), not '" + value + "'";
            }
            out.language = static_cast<std::uint32_t>(*n);
        } else {
            const auto n = parseNumber(value, 0, 255);
            if (!n) {
                return "--sensor-type takes a byte (0..255), not '" + value + "'";
            }
            out.sensorType = static_cast<std::uint8_t>(*n);
        }
    }
    args = std::move(rest);
    return std::nullopt;
}

std::string joinPath(std::string_view dir, std::string_view file) {
    std::string path(dir);
    if (!path.empty() && path.back() != '/') {
        path.push_back('/');
    }
    path.append(file);
    return path;
}

void StderrMessageSink::show(std::u16string_view text, std::u16string_view caption) {
    std::fprintf(stderr, "%s: %s\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
}

} // namespace qor::cli
