#include "device/mouse_ids.h"

#include <cstdio>

namespace qor {
namespace {

std::string hex4(std::uint16_t value, bool upper) {
    char text[8];
    std::snprintf(text, sizeof text, upper ? "%04X" : "%04x", unsigned{value});
    return text;
}

} // namespace

std::u16string mouseInterfaceId(IdSpelling spelling) {
    const bool upper = spelling == IdSpelling::upper;
    std::string vendor = "Vid_";
    std::string product = "&Pid_";
    if (upper) {
        vendor = "VID_";
        product = "&PID_";
    } else if (spelling == IdSpelling::lower) {
        vendor = "vid_";
        product = "&pid_";
    }
    const std::string id =
        vendor + hex4(kMouseVendorId, upper) + product + hex4(kMouseProductId, upper);
    return std::u16string(id.begin(), id.end()); // ASCII only
}

std::string mouseUsbId() {
    return hex4(kMouseVendorId, false) + ':' + hex4(kMouseProductId, false);
}

} // namespace qor
