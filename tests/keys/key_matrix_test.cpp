#include "keys/binding_word.h"
#include "keys/key_matrix.h"
#include "keys/key_tables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace qor;

// The factory assignment: functions 0, 1, 2, 3, 4, 6, 6, 15 with DPI + and DPI - on 5 and 6.
SettingsRecord defaultRecord() {
    SettingsRecord r{};
    const std::uint8_t fn[] = {0, 1, 2, 3, 4, 6, 6, 15};
    for (std::size_t k = 0; k < 8; ++k) {
        r.modeA.function[k] = fn[k];
        r.modeB.function[k] = fn[k];
    }
    r.modeA.function[8] = r.modeA.function[9] = 1; // spare slots must never reach the matrix
    r.dpiSwitchA[5] = r.dpiSwitchB[5] = 1;
    r.dpiSwitchA[6] = r.dpiSwitchB[6] = 2;
    return r;
}

std::array<std::uint32_t, 16> values(const KeyMatrix& m) {
    std::array<std::uint32_t, 16> v{};
    for (std::size_t i = 0; i < 16; ++i) {
        v[i] = m.words[i].value();
    }
    return v;
}

TEST(KeyMatrixTest, DefaultAssignment) {
    const std::array<std::uint32_t, 16> expected{
        0x00F00001, 0x00F10001, 0x00F20001, 0x00F40001, 0x00F30001, 0x00010007, 0x00020007, 0, 0,
        0,          0,          0,          0,          0,          0x00F70001, 0x00F80001};
    EXPECT_EQ(values(buildKeyMatrix1(defaultRecord())), expected);
}

TEST(KeyMatrixTest, BytesAreLittleEndianWordsInOrder) {
    const auto bytes = buildKeyMatrix1(defaultRecord()).bytes();
    const std::uint8_t head[] = {0x01, 0x00, 0xF0, 0x00, 0x01, 0x00, 0xF1, 0x00};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bytes[i], head[i]) << i;
    }
    const std::uint8_t tail[] = {0x01, 0x00, 0xF7, 0x00, 0x01, 0x00, 0xF8, 0x00};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bytes[56 + i], tail[i]) << i;
    }
}

// One button set to a function with parameters, every other field filled with junk that
// must not leak into the word.
struct EncodeCase {
    const char* what;
    std::uint8_t function;
    std::uint8_t dpiSwitch;
    void (*fill)(ButtonTable&, std::size_t);
    std::uint32_t word;
};

void none(ButtonTable&, std::size_t) {}

const EncodeCase kEncodeCases[] = {
    {"left", 0, 0, none, 0x00F00001},
    {"forward is the fifth button", 3, 0, none, 0x00F40001},
    {"backward is the fourth button", 4, 0, none, 0x00F30001},
    {"triple click", 5, 0, none, 0x0322F00A},
    {"dpi +", 6, 1, none, 0x00010007},
    {"dpi -", 6, 2, none, 0x00020007},
    {"dpi loop", 6, 3, none, 0x00030007},
    {"shift dpi alone has P3 = 1", 6, 4, none, 0x01040007},
    {"rgb", 7, 0, none, 0x00030008},
    {"calculator", 8, 0,
     [](ButtonTable& t, std::size_t k) {
         t.windowsCode[k] = windowsUsageLow(2);
         t.windowsClass[k] = windowsUsageHigh(2);
     },
     0x01920003},
    {"browser search", 8, 0,
     [](ButtonTable& t, std::size_t k) {
         t.windowsCode[k] = windowsUsageLow(4);
         t.windowsClass[k] = windowsUsageHigh(4);
     },
     0x02210003},
    {"media next", 9, 0, [](ButtonTable& t, std::size_t k) { t.mediaCode[k] = mediaUsage(0); },
     0x00B50003},
    {"fire A speed 32 once", 10, 0,
     [](ButtonTable& t, std::size_t k) {
         t.fireKey[k] = 0x04;
         t.fireSpeed[k] = 32;
         t.fireTimes[k] = 1;
     },
     0x0120040A},
    {"single A", 11, 0, [](ButtonTable& t, std::size_t k) { t.singleKey[k] = 0x04; }, 0x00040000},
    {"single with no key is key off", 11, 0,
     [](ButtonTable& t, std::size_t k) { t.singleKey[k] = 0; }, 0},
    {"ctrl + C", 12, 0,
     [](ButtonTable& t, std::size_t k) {
         t.comboModifiers[k] = modifierBitOfName(u"Left Ctrl");
         t.comboKey1[k] = keyCodeOfName(u"C");
         t.comboKey2[k] = 0;
     },
     0x00060100},
    // Three distinct bytes, so a lost, swapped or shifted second key shows.
    {"ctrl + shift + C + V: the second key is the top byte", 12, 0,
     [](ButtonTable& t, std::size_t k) {
         t.comboModifiers[k] = static_cast<std::uint8_t>(modifierBitOfName(u"Left Ctrl") |
                                                         modifierBitOfName(u"Left Shift"));
         t.comboKey1[k] = keyCodeOfName(u"C");
         t.comboKey2[k] = keyCodeOfName(u"V");
     },
     0x19060300},
    {"macro slot index 0 loop mode 1", 13, 0,
     [](ButtonTable& t, std::size_t k) {
         t.macroIndex[k] = 0;
         t.macroLoopMode[k] = 1;
     },
     0x00010109},
    {"macro slot 12", 13, 0,
     [](ButtonTable& t, std::size_t k) {
         t.macroIndex[k] = 11;
         t.macroLoopMode[k] = 0;
     },
     0x000C0009},
    {"key off", 14, 0, none, 0},
    {"none (15)", 15, 0, none, 0},
    {"past the list", 200, 0, none, 0},
};

TEST(KeyMatrixTest, EncodesEveryFunctionFromItsOwnFieldsOnly) {
    for (const auto& c : kEncodeCases) {
        for (std::uint8_t mode : {std::uint8_t{0}, std::uint8_t{1}}) {
            SettingsRecord r{};
            std::memset(&r.modeA, 0x5A, sizeof r.modeA);
            std::memset(&r.modeB, 0x5A, sizeof r.modeB);
            r.dpiSwitchA.fill(3);
            r.dpiSwitchB.fill(3);
            r.activeMode = mode;
            ButtonTable& t = mode == 0 ? r.modeA : r.modeB;
            auto& dpi = mode == 0 ? r.dpiSwitchA : r.dpiSwitchB;
            const std::size_t k = 3;
            t.function[k] = c.function;
            dpi[k] = c.dpiSwitch;
            c.fill(t, k);
            // The other set is different, so a wrong pick shows.
            ButtonTable& other = mode == 0 ? r.modeB : r.modeA;
            other.function[k] = 0;
            EXPECT_EQ(buildKeyMatrix1(r).words[k].value(), c.word)
                << c.what << " mode " << int(mode);
        }
    }
}

TEST(KeyMatrixTest, MacroWordFromExample) {
    // Macro Key on slot 1 with loop mode 1 is 0x00010009 when loop mode minus 1 is stored as 0.
    SettingsRecord r = defaultRecord();
    r.modeA.function[0] = 13;
    r.modeA.macroIndex[0] = 0;
    r.modeA.macroLoopMode[0] = 0;
    EXPECT_EQ(buildKeyMatrix1(r).words[0].value(), 0x00010009u);
}

TEST(KeyMatrixTest, AnyNonZeroActiveModeAppliesModeB) {
    SettingsRecord r = defaultRecord();
    r.modeB.function[0] = 14;
    for (std::uint8_t mode : {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{255}}) {
        r.activeMode = mode;
        EXPECT_EQ(buildKeyMatrix1(r).words[0].value(), 0u) << int(mode);
    }
    r.activeMode = 0;
    EXPECT_EQ(buildKeyMatrix1(r).words[0].value(), 0x00F00001u);
}

} // namespace

namespace {

TEST(FunctionCatalogueTest, LabelEntriesSkipTheTwoUnofferedTexts) {
    const std::pair<std::uint8_t, std::size_t> cases[] = {{0, 22},  {6, 28}, {7, 31}, {13, 37},
                                                          {14, 38}, {15, 0}, {255, 0}};
    for (const auto& [function, entry] : cases) {
        EXPECT_EQ(qor::functionLabelEntry(function), entry) << int(function);
    }
}

} // namespace
