// Arbitrary text as a profile file for qorctl import: the reader must never crash, and a text
// it accepts must come back unchanged through writing and reading again.
#include "protocol/profile.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
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
