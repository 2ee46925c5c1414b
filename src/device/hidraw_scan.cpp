#include "device/hidraw_scan.h"

#include "device/discovery.h"
#include "device/report_descriptor.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>

namespace qor {

namespace {

// Sysfs attributes are small; anything longer is not what we look for.
constexpr std::size_t kMaxUeventSize = 4096;

// Up to `limit` + 1 bytes, so that the caller can tell an over-long file; nothing when the file
// cannot be read.
std::optional<std::string> readBounded(const std::filesystem::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(limit + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

template <typename T> bool parseHex(std::string_view text, T& out) {
    unsigned long value = 0;
    const auto end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || result.ec != std::errc{} || result.ptr != end || value > T(~T{0})) {
        return false;
    }
    out = static_cast<T>(value);
    return true;
}

// "hidraw12" -> 12.
std::optional<unsigned> nodeNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "hidraw";
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size() || name.size() > 16) {
        return std::nullopt;
    }
    unsigned n = 0;
    const auto digits = name.substr(kPrefix.size());
    const auto end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, n);
    if (result.ec != std::errc{} || result.ptr != end) {
        return std::nullopt;
    }
    return n;
}

bool isEventCollection(const HidrawCollection& c) {
    return c.caps.usagePage == kEventUsagePage && c.caps.usage == kEventUsagePage;
}

} // namespace

std::optional<HidId> parseHidId(std::string_view uevent) {
    constexpr std::string_view kKey = "HID_ID=";
    while (!uevent.empty()) {
        const std::size_t end = std::min(uevent.find('\n'), uevent.size());
        const std::string_view line = uevent.substr(0, end);
        uevent.remove_prefix(std::min(end + 1, uevent.size()));
        if (!line.starts_with(kKey)) {
            continue;
        }
        // bus:vendor:product, each in hex; vendor and product are printed with eight digits.
        const std::string_view fields = line.substr(kKey.size());
        const std::size_t first = fields.find(':');
        const std::size_t second = fields.find(':', first == fields.npos ? first : first + 1);
        HidId id;
        std::uint32_t vendor = 0;
        std::uint32_t product = 0;
        if (second == fields.npos || !parseHex(fields.substr(0, first), id.bus) ||
            !parseHex(fields.substr(first + 1, second - first - 1), vendor) ||
            !parseHex(fields.substr(second + 1), product) || vendor > 0xFFFF || product > 0xFFFF) {
            return std::nullopt;
        }
        id.vendor = static_cast<std::uint16_t>(vendor);
        id.product = static_cast<std::uint16_t>(product);
        return id;
    }
    return std::nullopt;
}

std::vector<HidrawCollection> scanHidraw(const HidrawRoots& roots) {
    std::vector<std::pair<unsigned, std::string>> nodes;
    std::error_code error;
    for (std::filesystem::directory_iterator it(roots.classDir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (const auto n = nodeNumber(name)) {
            nodes.emplace_back(*n, name);
        }
    }
    std::sort(nodes.begin(), nodes.end());

    std::vector<HidrawCollection> found;
    for (const auto& [number, name] : nodes) {
        const std::filesystem::path device = roots.classDir / name / "device";
        const auto uevent = readBounded(device / "uevent", kMaxUeventSize);
        const auto id = uevent ? parseHidId(*uevent) : std::nullopt;
        if (!id || id->bus != kBusUsb) {
            continue;
        }
        const auto descriptor = readBounded(device / "report_descriptor", kMaxReportDescriptorSize);
        if (!descriptor) {
            continue;
        }
        const auto info = parseReportDescriptor(std::span(
            reinterpret_cast<const std::uint8_t*>(descriptor->data()), descriptor->size()));
        if (!info) {
            continue;
        }
        for (const HidCaps& caps : info->collections) {
            HidrawCollection entry;
            entry.node = roots.devDir / name;
            entry.attributes = HidAttributes{id->vendor, id->product, 0};
            entry.caps = caps;
            entry.numberedReports = info->numberedReports;
            found.push_back(std::move(entry));
        }
    }
    std::stable_partition(found.begin(), found.end(), isEventCollection);
    return found;
}

} // namespace qor
