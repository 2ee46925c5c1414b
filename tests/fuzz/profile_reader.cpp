// Arbitrary text as a profile file for qorctl import: the reader must never crash, and a text
// it accepts must come back unchanged through writing and reading again.
#include "profile/profile_format.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

// Input byte 0 steers: with bit 0 set, the rest of the input is spliced into a whole exported
// profile (at the position bytes 1 and 2 name), so that the values of every section are
// reached without the fuzzer having to find the section names first.
std::string profileText(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (size < 3 || (data[0] & 1) == 0) {
        return std::string(input);
    }
    static const std::string exported = [] {
        qor::Profile p;
        p.macros.push_back({u"Spray", u"3", {u"A   Dn", u"50 ms", u"A   Up"}});
        return qor::formatProfile(p, 1);
    }();
    std::string text = exported;
    const std::size_t at = (std::size_t{data[1]} << 8 | data[2]) % (text.size() + 1);
    text.insert(at, input.substr(3));
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = profileText(data, size);
    qor::SettingsRecord base{};
    std::fill(qor::recordBytes(base).begin(), qor::recordBytes(base).end(), std::uint8_t{0x5A});
    const auto read = qor::parseProfile(text, base);
    if (!read.profile) {
        if (read.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const std::string again = qor::formatProfile(*read.profile, 1);
    const auto reread = qor::parseProfile(again, qor::SettingsRecord{});
    if (!reread.profile || reread.profile->macros != read.profile->macros) {
        std::abort();
    }
    const auto a = qor::recordBytes(read.profile->record);
    const auto b = qor::recordBytes(reread.profile->record);
    if (!std::equal(a.begin(), a.end(), b.begin())) {
        std::abort();
    }
    return 0;
}
