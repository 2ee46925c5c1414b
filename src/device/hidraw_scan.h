// The hidraw nodes of a Linux system as HID interfaces: one entry per top-level collection of
// each node, with the attributes from the node's uevent and the capabilities from its report
// descriptor. Plain file reads, so tests point it at a fake sysfs tree.
#pragma once
#include "device/hid_ports.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

inline constexpr std::uint16_t kBusUsb = 0x0003;

struct HidrawCollection {
    std::filesystem::path node; // the device node, e.g. /dev/hidraw3
    HidAttributes attributes;   // version number unknown on Linux: 0
    HidCaps caps;
    bool numberedReports = false;
};

struct HidId {
    std::uint16_t bus = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
};

// "HID_ID=0003:000004D9:0000A09F" among the lines of a uevent file.
std::optional<HidId> parseHidId(std::string_view uevent);

struct HidrawRoots {
    std::filesystem::path classDir = "/sys/class/hidraw";
    std::filesystem::path devDir = "/dev";
};

// The collections of every USB hidraw node under `roots.classDir`, nodes in numeric order.
// Nodes whose uevent or descriptor is missing, unreadable or malformed are left out. The mouse's
// event collections come first: discovery stops at the command collection, and on Linux the
// node order follows the USB interfaces, not the order the Windows program was tested with.
std::vector<HidrawCollection> scanHidraw(const HidrawRoots& roots = {});

} // namespace qor
