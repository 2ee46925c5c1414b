#include "macro/macro_file.h"
#include "macro/macro_item.h"
#include "macro/macro_slot.h"
#include "macro/macro_slot_bytes.h"
#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace qor {
namespace {

using test::items16;
using test::slotBytes;
using test::slotOf;

TEST(MacroItemTest, KindsAndNames) {
    const struct {
        const char16_t* item;
        MacroItemKind kind;
        const char16_t* name;
    } cases[] = {
        {u"A   Dn", MacroItemKind::Press, u"A"},
        {u"Right Ctrl   Up", MacroItemKind::Release, u"Right Ctrl"},
        {u"A   Up   Dn", MacroItemKind::Press, u"A   Up"}, // the press test comes first
        {u"50 ms", MacroItemKind::Delay, u""},
        {u" ms", MacroItemKind::Delay, u""},
        {u"A  Dn", MacroItemKind::Other, u""}, // two blanks are not a separator
        {u"", MacroItemKind::Other, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(macroItemKind(c.item), c.kind) << utf16ToUtf8(c.item);
        EXPECT_EQ(itemKeyName(c.item), c.name) << utf16ToUtf8(c.item);
    }
    EXPECT_EQ(delayItem(50), u"50 ms");
    EXPECT_EQ(pressItem(u"Num 1"), u"Num 1   Dn");
    EXPECT_EQ(releaseItem(u"L-Button"), u"L-Button   Up");
    EXPECT_EQ(itemDelayMs(u" ms"), 0);
    EXPECT_EQ(itemDelayMs(u"L-Button   Dn"), 0);
}

// One table pins every byte the encoder produces for the events of a macro.
TEST(MacroSlotTest, EncodesEventsWithTheDelayAfterThem) {
    const struct {
        const char* what;
        std::vector<MacroItem> items;
        std::vector<std::uint8_t> pairs;
    } cases[] = {
        {"press, 50 ms", items16({"A   Dn", "50 ms"}), {0x05, 0x04}},
        {"release, 50 ms", items16({"A   Up", "50 ms"}), {0x85, 0x04}},
        {"1270 ms fits one pair", items16({"A   Dn", "1270 ms"}), {0x7F, 0x04}},
        {"1271 ms", items16({"A   Dn", "1271 ms"}), {0x47, 0x04, 0x0C, 0x03}},
        {"1300 ms", items16({"A   Dn", "1300 ms"}), {0x00, 0x04, 0x0D, 0x03}},
        {"2550 ms after L-Button up",
         items16({"L-Button   Up", "2550 ms"}),
         {0xB2, 0xF0, 0x19, 0x03}},
        {"10000 ms", items16({"A   Dn", "10000 ms"}), {0x00, 0x04, 0x64, 0x03}},
        {"65535 ms keeps the low bits",
         items16({"A   Up", "65535 ms"}),
         {0x80 | 35, 0x04, 0x8F, 0x03}},
        {"129 ms truncates", items16({"Z   Dn", "129 ms"}), {0x0C, 0x1D}},
        {"unknown names give code 0",
         items16({"Ä   Dn", "50 ms", "a   Dn", "50 ms", "Space    Dn", "50 ms"}),
         {0x05, 0x00, 0x05, 0x00, 0x05, 0x00}},
        {"mouse buttons",
         items16({"L-Button   Dn", "50 ms", "R-Button   Dn", "50 ms", "M-Button   Up", "50 ms"}),
         {0x05, 0xF0, 0x05, 0xF1, 0x85, 0xF2}},
        {"a release first", items16({"B   Up", "50 ms", "B   Dn"}), {0x85, 0x05, 0x00, 0x05}},
        {"a delay first", items16({"50 ms", "A   Dn", "50 ms"}), {0x05, 0x04}},
        {"a delay after a delay is ignored",
         items16({"A   Dn", "100 ms", "2000 ms", "B   Dn"}),
         {0x0A, 0x04, 0x00, 0x05}},
        {"an event after an event",
         items16({"A   Dn", "B   Dn", "50 ms"}),
         {0x00, 0x04, 0x05, 0x05}},
        {"a press line holding both separators", items16({"A   Up   Dn", "50 ms"}), {0x05, 0x00}},
        {"an empty delay is 0", items16({"Enter   Dn", " ms"}), {0x00, 0x28}},
        {"lines that are nothing", items16({"", "hello", "A   Dn"}), {0x00, 0x04}},
        {"modifier names",
         items16({"Ctrl   Dn", "50 ms", "Right Ctrl   Up"}),
         {0x05, 0xE0, 0x80, 0xE4}},
    };
    for (const auto& c : cases) {
        test::SlotBytes slot{};
        slot.fill(0xEE);
        const std::size_t written =
            encodeMacroPairs(MacroItemsView{c.items, c.items.size()}, MacroSlot(slot));
        test::SlotBytes expected{};
        expected.fill(0);
        expected[0] = 0xEE; // the loop count is not the encoder's
        expected[1] = 0xEE;
        std::copy(c.pairs.begin(), c.pairs.end(), expected.begin() + 2);
        EXPECT_EQ(slot, expected) << c.what;
        EXPECT_EQ(written, c.pairs.size() / 2) << c.what;
        EXPECT_EQ(macroPairsNeeded(MacroItemsView{c.items, c.items.size()}), c.pairs.size() / 2)
            << c.what;
    }
}

TEST(MacroSlotTest, TheLastEventTakesItsDelayFromTheItemAfterTheCount) {
    const std::vector<MacroItem> items = items16({"A   Dn", "50 ms", "A   Up", "300 ms"});
    test::SlotBytes slot{};
    encodeMacroPairs(MacroItemsView{items, 3}, MacroSlot(slot));
    EXPECT_EQ(slot, slotOf({0, 0, 0x05, 0x04, 0x9E, 0x04}));
}

std::vector<MacroItem> shortEvents(std::size_t count) {
    std::vector<MacroItem> items;
    for (std::size_t i = 0; i < count; ++i) {
        items.push_back(i % 2 == 0 ? u"A   Dn" : u"A   Up");
        items.push_back(u"50 ms");
    }
    return items;
}

TEST(MacroSlotTest, NeverGrowsPastSixtyThreePairs) {
    const struct {
        const char* what;
        std::size_t shortEvents;
        bool longEventLast;
        std::size_t written;
        std::size_t needed;
    } cases[] = {
        {"63 short events fill the slot", 63, false, 63, 63},
        {"70 short events", 70, false, 63, 70},
        {"61 short and a long one fit exactly", 61, true, 63, 63},
        {"a long event that no longer fits is left out whole", 62, true, 62, 64},
    };
    for (const auto& c : cases) {
        std::vector<MacroItem> items = shortEvents(c.shortEvents);
        if (c.longEventLast) {
            items.push_back(u"B   Dn");
            items.push_back(u"5000 ms");
            items.push_back(u"C   Dn"); // after a dropped event nothing follows
        }
        // The slot sits between two others in the record: nothing may spill into them.
        SettingsRecord record{};
        test::fillSlot(record, 0, 0x11);
        test::fillSlot(record, 2, 0x22);
        const MacroItemsView view{items, items.size()};
        EXPECT_EQ(encodeMacroPairs(view, macroSlotOf(record, 1)), c.written) << c.what;
        EXPECT_EQ(macroPairsNeeded(view), c.needed + (c.longEventLast ? 1 : 0)) << c.what;
        test::SlotBytes untouched{};
        untouched.fill(0x11);
        EXPECT_EQ(slotBytes(record, 0), untouched) << c.what;
        const ConstMacroSlot slot = macroSlotOf(record, 1);
        for (std::size_t i = 2 + 2 * c.written; i < kMacroSlotBytes; ++i) {
            EXPECT_EQ(slot[i], 0) << c.what << " byte " << i;
        }
        if (c.longEventLast && c.written == 63) {
            EXPECT_EQ(slot[124], 0x00);
            EXPECT_EQ(slot[125], 0x05);
            EXPECT_EQ(slot[126], 50);
            EXPECT_EQ(slot[127], 0x03);
        }
        EXPECT_EQ(record.macroSlot(2)[0], 0x22) << c.what;
    }
}

TEST(MacroSlotTest, LoopCounts) {
    const struct {
        const char16_t* text;
        std::uint16_t loops;
    } cases[] = {{u"", 1},      {u"0", 1},         {u"-3", 1},       {u"abc", 1},
                 {u"65536", 1}, {u"65535", 65535}, {u"  42xyz", 42}, {u"300", 300}};
    for (const auto& c : cases) {
        EXPECT_EQ(loopCountFromText(c.text), c.loops) << utf16ToUtf8(c.text);
    }
    test::SlotBytes slot{};
    setSlotLoopCount(MacroSlot(slot), 300);
    EXPECT_EQ(slot[0], 0x01);
    EXPECT_EQ(slot[1], 0x2C);
    EXPECT_EQ(slotLoopCount(ConstMacroSlot(slot)), 300);
}

// The pairs a slot holds: up to the last pair with a byte that is not zero, whatever the loop
// count; the encoder's count for what it wrote.
TEST(MacroSlotTest, PairCounts) {
    test::SlotBytes slot{};
    setSlotLoopCount(MacroSlot(slot), 0xFFFF);
    EXPECT_EQ(slotPairCount(ConstMacroSlot(slot)), 0u);
    slot[2] = 0x05; // the first pair's timing alone
    EXPECT_EQ(slotPairCount(ConstMacroSlot(slot)), 1u);
    slot[2] = 0;
    slot[3] = 0x04; // the first pair's key alone: a press without a pause
    EXPECT_EQ(slotPairCount(ConstMacroSlot(slot)), 1u);
    slot[4] = 0x80; // the second pair's timing
    EXPECT_EQ(slotPairCount(ConstMacroSlot(slot)), 2u);
    slot[kMacroSlotBytes - 1] = 0x03; // the last pair's byte
    EXPECT_EQ(slotPairCount(ConstMacroSlot(slot)), kMacroPairCapacity);

    for (const std::size_t events : {std::size_t{1}, std::size_t{10}, std::size_t{63}}) {
        const std::vector<MacroItem> items = shortEvents(events);
        test::SlotBytes encoded{};
        const std::size_t written =
            encodeMacroPairs(MacroItemsView{items, items.size()}, MacroSlot(encoded));
        EXPECT_EQ(slotPairCount(ConstMacroSlot(encoded)), written) << events;
    }
}

} // namespace
} // namespace qor
