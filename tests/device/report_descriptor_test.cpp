#include "device/report_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The mouse's command interface: no report IDs, 8-byte feature reports, 32-byte chunks.
const Bytes kCommandCollection = {0x06, 0x00, 0xFF, 0x0A, 0x00, 0xFF, 0xA1,
                                  0x01, // vendor page and usage 0xFF00
                                  0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, // bytes
                                  0x95, 0x08, 0x09, 0x01, 0xB1, 0x02,       // feature: 8
                                  0x95, 0x20, 0x09, 0x02, 0x81, 0x02,       // input: 32
                                  0x95, 0x20, 0x09, 0x03, 0x91, 0x02,       // output: 32
                                  0xC0};
// A consumer-control collection with report ID 3, two 16-bit usages.
const Bytes kConsumer = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15,
                         0x00, 0x26, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x02, 0x19,
                         0x00, 0x2A, 0xFF, 0x03, 0x81, 0x00, 0xC0};
// The event collection: report ID 6, seven bytes.
const Bytes kEventCollection = {0x06, 0x01, 0xFF, 0x0A, 0x01, 0xFF, 0xA1, 0x01, 0x85, 0x06,
                                0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0};
// A boot mouse: 5 buttons, 3 bits padding, X, Y, wheel, in a physical collection.
const Bytes kBootMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05,
                          0x09, 0x19, 0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x95, 0x05,
                          0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x03, 0x81, 0x01, 0x05,
                          0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38, 0x15, 0x81, 0x25, 0x7F,
                          0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};

struct Expected {
    std::uint16_t page, usage, input, output, feature;
    bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
    return out << std::hex << '{' << e.page << ' ' << e.usage << std::dec << " in " << e.input
               << " out " << e.output << " feat " << e.feature << '}';
}

std::vector<Expected> summary(const ReportDescriptorInfo& info) {
    std::vector<Expected> out;
    for (const auto& c : info.collections) {
        out.push_back({c.usagePage, c.usage, c.inputReportLength, c.outputReportLength,
                       c.featureReportLength});
    }
    return out;
}

TEST(ReportDescriptor, RealShapedDescriptors) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<Expected> collections;
        bool numbered;
    };
    const Case cases[] = {
        {"command interface", kCommandCollection, {{0xFF00, 0xFF00, 33, 33, 9}}, false},
        {"boot mouse, nested collection", kBootMouse, {{0x0001, 0x0002, 5, 0, 0}}, false},
        {"consumer and events share a node",
         kConsumer + kEventCollection,
         {{0x000C, 0x0001, 5, 0, 0}, {0xFF01, 0xFF01, 8, 0, 0}},
         true},
        {"events first",
         kEventCollection + kConsumer,
         {{0xFF01, 0xFF01, 8, 0, 0}, {0x000C, 0x0001, 5, 0, 0}},
         true},
        // A four-byte usage carries its own page; the global page stays as it was.
        {"extended usage",
         {0x05, 0x01, 0x0B, 0x01, 0xFF, 0x01, 0xFF, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x02,
          0x81, 0x02, 0xC0, 0x09, 0x06, 0xA1, 0x01, 0x95, 0x01, 0x81, 0x02, 0xC0},
         {{0xFF01, 0xFF01, 3, 0, 0}, {0x0001, 0x0006, 2, 0, 0}},
         false},
        // The longest report of a kind counts; each report carries its ID byte.
        {"two report IDs in one collection",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x01, 0x95, 0x03,
          0xB1, 0x02, 0x85, 0x02, 0x95, 0x10, 0xB1, 0x02, 0x95, 0x02, 0xB1, 0x02, 0xC0},
         {{0xFF00, 0x0001, 0, 0, 19}},
         true},
        // Push keeps the page and sizes; Pop brings them back.
        {"push and pop",
         {0x06, 0x00, 0xFF, 0x75, 0x08, 0xA4, 0x05, 0x01, 0x75, 0x10,
          0xB4, 0x09, 0x01, 0xA1, 0x01, 0x95, 0x04, 0x81, 0x02, 0xC0},
         {{0xFF00, 0x0001, 5, 0, 0}},
         false},
        {"a long item is skipped",
         {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0},
         {{0x0001, 0x0002, 0, 0, 0}},
         false},
        // A main item without data bits makes no report: the collection has no input.
        {"zero-bit input",
         {0x06, 0x01, 0xFF, 0x0A, 0x01, 0xFF, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x00, 0x81, 0x02, 0xC0},
         {{0xFF01, 0xFF01, 0, 0, 0}},
         false},
        {"empty", {}, {}, false},
    };
    for (const auto& c : cases) {
        const auto info = parseReportDescriptor(c.bytes);
        ASSERT_TRUE(info.has_value()) << c.name;
        EXPECT_EQ(summary(*info), c.collections) << c.name;
        EXPECT_EQ(info->numberedReports, c.numbered) << c.name;
    }
}

Bytes nested(std::size_t depth) {
    Bytes b = {0x05, 0x01, 0x09, 0x02};
    for (std::size_t i = 0; i < depth; ++i) {
        b = b + Bytes{0xA1, 0x00};
    }
    for (std::size_t i = 0; i < depth; ++i) {
        b.push_back(0xC0);
    }
    return b;
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
    Bytes command = kCommandCollection;
    command.pop_back();
    Bytes tooLong(kMaxReportDescriptorSize + 1, 0x00); // main items without data
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"item data cut off", Bytes{0x05, 0x01, 0x26, 0xFF}},
        {"four-byte item cut off", Bytes{0x05, 0x01, 0x0B, 0x01, 0xFF}},
        {"collection never ended", command},
        {"end without collection", kEventCollection + Bytes{0xC0}},
        {"input outside a collection", Bytes{0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"report ID 0", Bytes{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"report count beyond any device", Bytes{0x96, 0xFF, 0xFF}},
        {"report size beyond any device", Bytes{0x76, 0x01, 0x01}},
        // 256 bits x 12288 fields: lengths that do not fit the 16-bit lengths.
        {"report longer than 65534 bytes",
         Bytes{0x09, 0x01, 0xA1, 0x01, 0x76, 0x00, 0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0xC0}},
        {"sizes summed past 65534 bytes",
         // 32 feature items of 2048 bytes each (B1 with data byte B1).
         Bytes{0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x08} + Bytes(64, 0xB1) +
             Bytes{0xC0}},
        {"long item cut off", Bytes{0xFE, 0x05, 0x10, 0x01, 0x02}},
        {"pop without push", Bytes{0xB4}},
        {"nesting deeper than 32", nested(33)},
        {"more than 4096 bytes", tooLong},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(parseReportDescriptor(c.bytes).has_value()) << c.name;
    }
    EXPECT_TRUE(parseReportDescriptor(nested(32)).has_value());
    EXPECT_TRUE(parseReportDescriptor(Bytes(kMaxReportDescriptorSize, 0x00)).has_value());
}

} // namespace
} // namespace qor
