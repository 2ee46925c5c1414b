#include "dpi_lighting/lighting.h"

#include <gtest/gtest.h>

namespace {

using namespace qor;

const LightingValues kRead{0x11, 0x22, 0x33, {{{0x41, 0x42, 0x43}, {0x51, 0x52, 0x53}}}};

SettingsRecord lighting(std::uint8_t mode, std::uint8_t param, std::uint8_t effect) {
    SettingsRecord r{};
    r.ledMode = mode;
    r.ledBrightness = r.ledBreathSpeed = r.ledNeonSpeed = param;
    r.ledEffect = {effect, effect, effect};
    return r;
}

TEST(LightingTest, ApplyTableRowByRow) {
    struct Case {
        const char* what;
        std::uint8_t mode, param, effect;
        LightingValues sent;
    };
    const Case cases[] = {
        {"standard", 1, 3, 9, {1, 4, 2, {{{1, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"standard 100%", 1, 9, 0, {1, 10, 2, {{{1, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"respiration rgb effect", 2, 0, 1, {2, 1, 2, {{{1, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"respiration rgb flash", 2, 4, 2, {2, 5, 3, {{{2, 125, 3}, {0x51, 0x52, 0x53}}}}},
        {"respiration other effect",
         2,
         1,
         7,
         {2, 2, 0x33, {{{0x41, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"neon flash 14.5S", 3, 28, 2, {3, 29, 0x33, {{{2, 250, 3}, {0x51, 0x52, 0x53}}}}},
        {"neon fixed on", 3, 0, 3, {3, 1, 0x33, {{{3, 5, 5}, {0x51, 0x52, 0x53}}}}},
        {"neon other effect", 3, 29, 1, {3, 30, 0x33, {{{0x41, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"off sends back as read", 0, 5, 2, kRead},
        {"unknown mode sends back as read", 4, 5, 2, kRead},
        // Indexes past their lists go out as the last item, never as 0 or a wrapped value.
        {"brightness past the list",
         1,
         255,
         0,
         {1, 10, 2, {{{1, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"breath past the list", 2, 5, 1, {2, 5, 2, {{{1, 0x42, 0x43}, {0x51, 0x52, 0x53}}}}},
        {"neon past the list", 3, 30, 3, {3, 30, 0x33, {{{3, 5, 5}, {0x51, 0x52, 0x53}}}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lightingForApply(lighting(c.mode, c.param, c.effect), kRead), c.sent) << c.what;
    }
}

TEST(LightingTest, ModeEffectBytesAreKeptApart) {
    SettingsRecord r{};
    r.ledMode = 2;
    r.ledEffect = {0, 2, 3}; // mode 2 flash, mode 3 fixed on
    EXPECT_EQ(lightingForApply(r, kRead).ledParams[0], (std::array<std::uint8_t, 3>{2, 125, 3}));
    r.ledMode = 3;
    EXPECT_EQ(lightingForApply(r, kRead).ledParams[0], (std::array<std::uint8_t, 3>{3, 5, 5}));
}

TEST(LightingTest, TextsOfTheBoxes) {
    const StringTable en(Language::English);
    struct Case {
        std::uint8_t mode, param, effect;
        std::u16string_view modeText, paramText, effectText;
    };
    const Case cases[] = {
        {0, 0, 0, u"Off", u"", u""},
        {1, 0, 4, u"Standard", u"5%", u"RGB Effect"},
        {1, 10, 4, u"Standard", u"", u"RGB Effect"},
        {2, 2, 2, u"Respiration", u"6S", u"RGB Flash"},
        {2, 5, 5, u"Respiration", u"", u""},
        {3, 28, 3, u"Neon", u"14.5S", u"RGB Fixed On"},
        {3, 0, 0, u"Neon", u"0.5S", u"Non-Disolay"},
        {4, 0, 0, u"", u"", u""},
    };
    for (const auto& c : cases) {
        const auto t = lightingTexts(en, lighting(c.mode, c.param, c.effect));
        EXPECT_EQ(t.mode, c.modeText) << int(c.mode);
        EXPECT_EQ(t.parameter, c.paramText) << int(c.mode);
        EXPECT_EQ(t.effect, c.effectText) << int(c.mode);
    }
    EXPECT_EQ(effectName(en, 4), u"Self-Color LED");
    EXPECT_EQ(effectName(en, 5), u"");
    EXPECT_EQ(modeName(StringTable(Language::SimplifiedChinese), 2), u"呼吸模式");
}

TEST(LightingTest, ListSelectionsStoreIntoTheCurrentMode) {
    SettingsRecord r{};
    // The Off mode offers the neon list but a choice there stores nothing.
    EXPECT_EQ(parameterList(0).size(), kNeonSpeedCount);
    EXPECT_FALSE(chooseLedParameter(r, 3));
    EXPECT_EQ(r.ledNeonSpeed, 0);
    EXPECT_FALSE(chooseLedEffect(r, 0));

    EXPECT_TRUE(chooseLedMode(r, 1));
    EXPECT_EQ(r.ledMode, 2);
    EXPECT_TRUE(chooseLedParameter(r, 4));
    EXPECT_EQ(r.ledBreathSpeed, 4);
    EXPECT_FALSE(chooseLedParameter(r, 5));
    EXPECT_TRUE(chooseLedEffect(r, 1));
    EXPECT_EQ(r.ledEffect, (std::array<std::uint8_t, 3>{0, 2, 0}));

    EXPECT_TRUE(chooseLedMode(r, 2));
    EXPECT_TRUE(chooseLedEffect(r, 1));
    EXPECT_EQ(r.ledEffect, (std::array<std::uint8_t, 3>{0, 2, 3}));
    EXPECT_TRUE(chooseLedParameter(r, 29));
    EXPECT_EQ(r.ledNeonSpeed, 29);
    EXPECT_EQ(r.ledBreathSpeed, 4);

    EXPECT_TRUE(chooseLedMode(r, 0));
    EXPECT_FALSE(chooseLedEffect(r, 0)); // Standard has no effect list
    EXPECT_TRUE(chooseLedParameter(r, 9));
    EXPECT_EQ(r.ledBrightness, 9);
    EXPECT_FALSE(chooseLedMode(r, 3));
    EXPECT_EQ(r.ledMode, 1);
}

} // namespace
