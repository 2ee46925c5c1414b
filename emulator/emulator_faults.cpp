#include "emulator/emulator_faults.h"

#include <algorithm>
#include <charconv>

namespace qor {

namespace {

// A whole decimal number, digits only.
std::optional<unsigned> decimal(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt; // from_chars would not take "+1", but a sign is refused here too
    }
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc{} || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

// A command code: one or two hex digits.
std::optional<std::uint8_t> commandCode(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    const auto result = std::from_chars(text.data(), end, value, 16);
    if (result.ec != std::errc{} || result.ptr != end) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

template <std::size_t N> bool listed(const std::array<std::uint8_t, N>& codes, std::uint8_t code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

template <std::size_t N> std::string codeList(const std::array<std::uint8_t, N>& codes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t code : codes) {
        text += text.empty() ? "" : ", ";
        text += kDigits[code >> 4];
        text += kDigits[code & 0x0F];
    }
    return text;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::optional<std::string> addEmulatorFault(std::string_view name, std::string_view value,
                                            EmulatorFaults& faults) {
    if (name == "stall-after") {
        const auto n = decimal(value);
        if (!n) {
            return "takes a number of transfers (0 or more)";
        }
        if (faults.stallAfter) {
            return "is given twice";
        }
        faults.stallAfter = *n;
        return std::nullopt;
    }
    if (name == "lose-answer") {
        const std::size_t colon = value.find(':');
        const auto code = commandCode(value.substr(0, colon));
        const auto nth =
            colon == value.npos ? std::optional<unsigned>(1) : decimal(value.substr(colon + 1));
        if (!code || !nth || *nth == 0) {
            return "takes HH or HH:K: a command code in hex and which of its answers, from 1";
        }
        if (!listed(kAnsweredCommands, *code)) {
            return "names a command the mouse does not answer (it answers " +
                   codeList(kAnsweredCommands) + ")";
        }
        const LostAnswer lost{*code, *nth};
        if (std::find(faults.lostAnswers.begin(), faults.lostAnswers.end(), lost) ==
            faults.lostAnswers.end()) {
            faults.lostAnswers.push_back(lost);
        }
        return std::nullopt;
    }
    if (name == "ignore-writes") {
        const auto code = commandCode(value);
        if (!code) {
            return "takes a command code in hex";
        }
        if (!listed(kStoredCommands, *code)) {
            return "names a command that writes nothing the mouse keeps (those are " +
                   codeList(kStoredCommands) + ")";
        }
        if (std::find(faults.ignoredWrites.begin(), faults.ignoredWrites.end(), *code) ==
            faults.ignoredWrites.end()) {
            faults.ignoredWrites.push_back(*code);
        }
        return std::nullopt;
    }
    return "is no fault (stall-after=N, lose-answer=HH:K, ignore-writes=HH)";
}

EmulatorFaultsParse parseEmulatorFaults(std::string_view words) {
    EmulatorFaultsParse result;
    while (true) {
        const std::size_t comma = words.find(',');
        const std::string_view word = trimmed(words.substr(0, comma));
        if (!word.empty()) {
            const std::size_t equals = word.find('=');
            const auto why = equals == word.npos
                                 ? std::optional<std::string>("is not name=value")
                                 : addEmulatorFault(word.substr(0, equals), word.substr(equals + 1),
                                                    result.faults);
            if (why) {
                result.faults = {};
                result.error = "fault '" + std::string(word) + "' " + *why;
                return result;
            }
        }
        if (comma == words.npos) {
            return result;
        }
        words.remove_prefix(comma + 1);
    }
}

} // namespace qor
