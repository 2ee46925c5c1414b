#include "device/hidraw_scan.h"

#include "device/report_descriptor.h"
#include "device/sysfs_tree.h"

#include <functional>

#include <gtest/gtest.h>

namespace qor {
namespace {

using test::kBootMouseDescriptor;
using test::kMouseCommandDescriptor;
using test::kMouseEventDescriptor;

TEST(HidrawScan, HidIdLines) {
    struct Case {
        const char* uevent;
        bool ok;
        std::uint16_t bus, vendor, product;
    };
    const Case cases[] = {
        {"DRIVER=hid-generic\nHID_ID=0003:000004D9:0000A09F\nHID_NAME=x\n", true, 3, 0x04D9,
         0xA09F},
        {"HID_ID=0005:0000046d:0000b01a", true, 5, 0x046D, 0xB01A},
        {"HID_NAME=HID_ID=0003:1:2\n", false, 0, 0, 0},
        {"HID_ID=0003:000004D9\n", false, 0, 0, 0},
        {"HID_ID=0003:000104D9:0000A09F\n", false, 0, 0, 0}, // vendor past 16 bits
        {"HID_ID=0003:00000XD9:0000A09F\n", false, 0, 0, 0},
        {"HID_ID=:000004D9:0000A09F\n", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto id = parseHidId(c.uevent);
        ASSERT_EQ(id.has_value(), c.ok) << c.uevent;
        if (id) {
            EXPECT_EQ(id->bus, c.bus) << c.uevent;
            EXPECT_EQ(id->vendor, c.vendor) << c.uevent;
            EXPECT_EQ(id->product, c.product) << c.uevent;
        }
    }
}

struct Seen {
    std::string node;
    std::uint16_t vendor, page, usage, feature, input, output;
    bool numbered;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << s.node << std::hex << " v" << s.vendor << " " << s.page << "/" << s.usage
               << std::dec << " f" << s.feature << " i" << s.input << " o" << s.output
               << (s.numbered ? " numbered" : "");
}

std::vector<Seen> scanned(const test::SysfsTree& tree) {
    std::vector<Seen> out;
    for (const auto& c : scanHidraw(tree.roots())) {
        out.push_back({c.node.filename().string(), c.attributes.vendorId, c.caps.usagePage,
                       c.caps.usage, c.caps.featureReportLength, c.caps.inputReportLength,
                       c.caps.outputReportLength, c.numberedReports});
    }
    return out;
}

const Seen kConsumerSeen{"", 0x04D9, 0x000C, 0x0001, 0, 5, 0, true};
const Seen kEventsSeen{"", 0x04D9, 0xFF01, 0xFF01, 0, 8, 0, true};
const Seen kCommandSeen{"", 0x04D9, 0xFF00, 0xFF00, 9, 33, 33, false};

Seen at(Seen s, const char* node, std::uint16_t vendor = 0x04D9) {
    s.node = node;
    s.vendor = vendor;
    return s;
}

TEST(HidrawScan, FakeSysfsTrees) {
    using Tree = test::SysfsTree;
    struct Case {
        const char* name;
        std::function<void(Tree&)> build;
        std::vector<Seen> expected;
    };
    const Case cases[] = {
        {"events node before the command node",
         [](Tree& t) {
             t.mouseNode("hidraw1", kBootMouseDescriptor);
             t.mouseNode("hidraw2", kMouseEventDescriptor);
             t.mouseNode("hidraw3", kMouseCommandDescriptor);
         },
         {at(kEventsSeen, "hidraw2"),
          {"hidraw1", 0x04D9, 1, 2, 0, 5, 0, false},
          at(kConsumerSeen, "hidraw2"),
          at(kCommandSeen, "hidraw3")}},
        // Discovery ends at the command collection: the events must come first whatever the
        // node numbers.
        {"command node numbered first",
         [](Tree& t) {
             t.mouseNode("hidraw2", kMouseCommandDescriptor);
             t.mouseNode("hidraw10", kMouseEventDescriptor);
         },
         {at(kEventsSeen, "hidraw10"), at(kCommandSeen, "hidraw2"), at(kConsumerSeen, "hidraw10")}},
        {"other devices keep their own IDs; other buses and names are left out",
         [](Tree& t) {
             t.node("hidraw0", test::hidUevent(kBusUsb, 0x046D, 0xC52B), kMouseCommandDescriptor);
             t.node("hidraw1", test::hidUevent(0x0005, 0x04D9, 0xA09F), kMouseCommandDescriptor);
             t.node("hidrawx", test::hidUevent(kBusUsb, 0x04D9, 0xA09F), kMouseCommandDescriptor);
             t.node("event3", test::hidUevent(kBusUsb, 0x04D9, 0xA09F), kMouseCommandDescriptor);
         },
         {at(kCommandSeen, "hidraw0", 0x046D)}},
        {"a truncated descriptor drops its node only",
         [](Tree& t) {
             auto cut = kMouseEventDescriptor;
             cut.resize(cut.size() - 3);
             t.mouseNode("hidraw4", cut);
             t.mouseNode("hidraw5", kMouseCommandDescriptor);
         },
         {at(kCommandSeen, "hidraw5")}},
        {"a descriptor whose report lengths do not fit 16 bits",
         [](Tree& t) {
             t.mouseNode("hidraw4", {0x06, 0x01, 0xFF, 0x0A, 0x01, 0xFF, 0xA1, 0x01, 0x76, 0x00,
                                     0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0xC0});
         },
         {}},
        {"a descriptor longer than the kernel hands out",
         [](Tree& t) {
             auto padded = kMouseCommandDescriptor;
             padded.resize(kMaxReportDescriptorSize + 1, 0x00);
             t.mouseNode("hidraw4", padded);
         },
         {}},
        {"missing files",
         [](Tree& t) {
             t.mouseNode("hidraw1", kMouseCommandDescriptor);
             t.remove("hidraw1", "report_descriptor");
             t.mouseNode("hidraw2", kMouseCommandDescriptor);
             t.remove("hidraw2", "uevent");
         },
         {}},
        {"no hidraw nodes at all", [](Tree&) {}, {}},
    };
    for (const auto& c : cases) {
        Tree tree;
        c.build(tree);
        EXPECT_EQ(scanned(tree), c.expected) << c.name;
    }
    EXPECT_TRUE(scanHidraw({"/nonexistent/qor", "/dev"}).empty());
}

} // namespace
} // namespace qor
