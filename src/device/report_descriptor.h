// A small parser of HID report descriptors: enough to tell a device's top-level collections
// apart by usage page and usage and to size their reports the way the Windows HID parser does.
// It reads untrusted bytes from sysfs, so every count and depth is bounded.
#pragma once
#include "device/hid_ports.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qor {

// The kernel never hands out a longer descriptor.
inline constexpr std::size_t kMaxReportDescriptorSize = 4096;
inline constexpr std::size_t kMaxTopLevelCollections = 64;

struct ReportDescriptorInfo {
    // Per top-level collection, its usage page and usage, and the longest report of each kind
    // in bytes, the report ID byte included (0 when it has no report of that kind), as
    // HidP_GetCaps states them.
    std::vector<HidCaps> collections;
    // Whether the reports carry a report ID byte. Without one, reads deliver the report alone
    // and the ID byte 0 of the program's buffers must be supplied.
    bool numberedReports = false;
};

// Nothing when the descriptor is malformed: an item cut off by the end, unbalanced
// collections, a main item outside any collection, report ID 0, a report longer than 65534
// bytes, or more nesting or collections than any real device has.
std::optional<ReportDescriptorInfo> parseReportDescriptor(std::span<const std::uint8_t> bytes);

} // namespace qor
