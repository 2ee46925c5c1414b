#include "device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

namespace qor {

namespace {

// The limits the kernel's own parser applies; a descriptor beyond them is not a device's.
constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::size_t kGlobalStackDepth = 4;
constexpr std::uint32_t kMaxReportSize = 256;    // bits of one field
constexpr std::uint32_t kMaxReportCount = 12288; // fields of one main item
constexpr std::uint64_t kMaxReportBytes = 65534; // plus the ID byte still fits 16 bits

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : std::uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};

enum GlobalTag : std::uint8_t {
    kUsagePage = 0x0,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

constexpr std::uint8_t kUsage = 0x0;
constexpr std::uint8_t kLongItemPrefix = 0xFE;

struct Globals {
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

enum class ReportKind { input, output, feature };

class Parser {
public:
    std::optional<ReportDescriptorInfo> run(std::span<const std::uint8_t> bytes);

private:
    bool item(std::uint8_t type, std::uint8_t tag, std::uint32_t data, std::size_t size);
    bool mainItem(std::uint8_t tag);
    bool globalItem(std::uint8_t tag, std::uint32_t data);
    bool addReport(ReportKind kind);

    Globals globals_;
    std::array<Globals, kGlobalStackDepth> stack_{};
    std::size_t stackDepth_ = 0;
    // The first Usage since the last main item, with the page of a four-byte usage.
    std::optional<std::uint32_t> usage_;
    bool usageHasPage_ = false;
    std::size_t depth_ = 0;
    ReportDescriptorInfo info_;
    // Bits per (top-level collection, kind, report ID).
    std::map<std::tuple<std::size_t, ReportKind, std::uint8_t>, std::uint64_t> bits_;
};

std::optional<ReportDescriptorInfo> Parser::run(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxReportDescriptorSize) {
        return std::nullopt;
    }
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t prefix = bytes[at++];
        if (prefix == kLongItemPrefix) {
            // No long item is defined; skip it whole, if it is whole.
            if (bytes.size() - at < 2 || bytes.size() - at - 2 < bytes[at]) {
                return std::nullopt;
            }
            at += 2 + std::size_t{bytes[at]};
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (bytes.size() - at < size) {
            return std::nullopt;
        }
        std::uint32_t data = 0;
        for (std::size_t i = 0; i < size; ++i) {
            data |= std::uint32_t{bytes[at + i]} << (8 * i);
        }
        at += size;
        if (!item(static_cast<std::uint8_t>((prefix >> 2) & 3),
                  static_cast<std::uint8_t>(prefix >> 4), data, size)) {
            return std::nullopt;
        }
    }
    if (depth_ != 0) {
        return std::nullopt;
    }
    for (const auto& [key, count] : bits_) {
        const auto& [collection, kind, id] = key;
        if (id != 0) {
            info_.numberedReports = true;
        }
        const std::uint64_t bytesOfReport = (count + 7) / 8;
        if (bytesOfReport > kMaxReportBytes) {
            return std::nullopt;
        }
        const auto length = static_cast<std::uint16_t>(bytesOfReport + 1);
        HidCaps& c = info_.collections[collection];
        std::uint16_t& field = kind == ReportKind::input    ? c.inputReportLength
                               : kind == ReportKind::output ? c.outputReportLength
                                                            : c.featureReportLength;
        field = std::max(field, length);
    }
    return std::move(info_);
}

bool Parser::item(std::uint8_t type, std::uint8_t tag, std::uint32_t data, std::size_t size) {
    switch (type) {
    case kMain: {
        const bool ok = mainItem(tag);
        usage_.reset();
        return ok;
    }
    case kGlobal:
        return globalItem(tag, data);
    case kLocal:
        if (tag == kUsage && !usage_) {
            usage_ = data;
            usageHasPage_ = size == 4;
        }
        return true;
    default:
        return true; // reserved item type: skipped
    }
}

bool Parser::mainItem(std::uint8_t tag) {
    switch (tag) {
    case kCollection:
        if (depth_ == kMaxCollectionDepth) {
            return false;
        }
        if (depth_ == 0) {
            if (info_.collections.size() == kMaxTopLevelCollections) {
                return false;
            }
            HidCaps c;
            const std::uint32_t usage = usage_.value_or(0);
            c.usagePage = usageHasPage_ && usage_ ? static_cast<std::uint16_t>(usage >> 16)
                                                  : globals_.usagePage;
            c.usage = static_cast<std::uint16_t>(usage);
            info_.collections.push_back(c);
        }
        ++depth_;
        return true;
    case kEndCollection:
        if (depth_ == 0) {
            return false;
        }
        --depth_;
        return true;
    case kInput:
        return addReport(ReportKind::input);
    case kOutput:
        return addReport(ReportKind::output);
    case kFeature:
        return addReport(ReportKind::feature);
    default:
        return true;
    }
}

bool Parser::globalItem(std::uint8_t tag, std::uint32_t data) {
    switch (tag) {
    case kUsagePage:
        globals_.usagePage = static_cast<std::uint16_t>(data);
        return true;
    case kReportSize:
        globals_.reportSize = data;
        return data <= kMaxReportSize;
    case kReportCount:
        globals_.reportCount = data;
        return data <= kMaxReportCount;
    case kReportId:
        if (data == 0 || data > 0xFF) {
            return false;
        }
        globals_.reportId = static_cast<std::uint8_t>(data);
        return true;
    case kPush:
        if (stackDepth_ == stack_.size()) {
            return false;
        }
        stack_[stackDepth_++] = globals_;
        return true;
    case kPop:
        if (stackDepth_ == 0) {
            return false;
        }
        globals_ = stack_[--stackDepth_];
        return true;
    default:
        return true; // logical and physical ranges, units: no bearing on lengths
    }
}

bool Parser::addReport(ReportKind kind) {
    if (depth_ == 0) {
        return false;
    }
    const std::uint64_t bits = std::uint64_t{globals_.reportSize} * globals_.reportCount;
    if (bits == 0) {
        return true; // no data: it makes no report of its own
    }
    std::uint64_t& total = bits_[{info_.collections.size() - 1, kind, globals_.reportId}];
    total += bits;
    return total <= kMaxReportBytes * 8;
}

} // namespace

std::optional<ReportDescriptorInfo> parseReportDescriptor(std::span<const std::uint8_t> bytes) {
    return Parser{}.run(bytes);
}

} // namespace qor
