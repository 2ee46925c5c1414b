#include "dpi_lighting/lighting.h"

#include <algorithm>

namespace qor {
namespace {

constexpr std::array<std::u16string_view, kBrightnessCount> kBrightness{
    u"5%", u"15%", u"25%", u"35%", u"45%", u"55%", u"65%", u"75%", u"85%", u"100%"};
constexpr std::array<std::u16string_view, kBreathSpeedCount> kBreathSpeed{u"8S", u"7S", u"6S",
                                                                          u"5S", u"4S"};
constexpr std::array<std::u16string_view, kNeonSpeedCount> kNeonSpeed{
    u"0.5S",  u"1S",  u"1.5S",  u"2S",  u"2.5S",  u"3S",  u"3.5S",  u"4S",  u"4.5S",  u"5S",
    u"5.5S",  u"6S",  u"6.5S",  u"7S",  u"7.5S",  u"8S",  u"8.5S",  u"9S",  u"9.5S",  u"10S",
    u"10.5S", u"11S", u"11.5S", u"12S", u"12.5S", u"13S", u"13.5S", u"14S", u"14.5S", u"15S"};

constexpr std::array<std::uint8_t, 2> kRespirationEffects{1, 2};
constexpr std::array<std::uint8_t, 2> kNeonEffects{2, 3};

constexpr std::size_t kModeEffectByte[] = {0, 0, 1, 2}; // ledEffect byte of modes 1..3

// The record's parameter indexes go to the mouse as 1-based values; an index past its list is
// sent as the list's last item so a damaged file cannot send an out-of-range speed.
std::uint8_t oneBased(std::uint8_t index, std::size_t count) {
    return static_cast<std::uint8_t>(std::min<std::size_t>(index, count - 1) + 1);
}

} // namespace

std::span<const std::u16string_view> brightnessList() {
    return kBrightness;
}
std::span<const std::u16string_view> breathSpeedList() {
    return kBreathSpeed;
}
std::span<const std::u16string_view> neonSpeedList() {
    return kNeonSpeed;
}

std::span<const std::u16string_view> parameterList(std::uint8_t ledMode) {
    switch (static_cast<LedMode>(ledMode)) {
    case LedMode::Standard:
        return kBrightness;
    case LedMode::Respiration:
        return kBreathSpeed;
    default:
        return kNeonSpeed;
    }
}

std::u16string_view listText(std::span<const std::u16string_view> list, std::size_t index) {
    return index < list.size() ? list[index] : std::u16string_view{};
}

std::u16string_view modeName(const StringTable& strings, std::uint8_t ledMode) {
    if (ledMode > 3) {
        return {};
    }
    return strings.text(static_cast<std::size_t>(StringId::ModeOff) + ledMode);
}

std::u16string_view effectName(const StringTable& strings, std::uint8_t effect) {
    if (effect > 4) {
        return {};
    }
    return strings.text(static_cast<std::size_t>(StringId::EffectNone) + effect);
}

LightingTexts lightingTexts(const StringTable& strings, const SettingsRecord& r) {
    LightingTexts t;
    t.mode = modeName(strings, r.ledMode);
    switch (static_cast<LedMode>(r.ledMode)) {
    case LedMode::Standard:
        t.parameter = listText(kBrightness, r.ledBrightness);
        t.effect = effectName(strings, 1); // Standard always has effect 1
        break;
    case LedMode::Respiration:
        t.parameter = listText(kBreathSpeed, r.ledBreathSpeed);
        t.effect = effectName(strings, r.ledEffect[kModeEffectByte[2]]);
        break;
    case LedMode::Neon:
        t.parameter = listText(kNeonSpeed, r.ledNeonSpeed);
        t.effect = effectName(strings, r.ledEffect[kModeEffectByte[3]]);
        break;
    default:
        break;
    }
    return t;
}

std::span<const std::uint8_t> effectChoices(std::uint8_t ledMode) {
    switch (static_cast<LedMode>(ledMode)) {
    case LedMode::Respiration:
        return kRespirationEffects;
    case LedMode::Neon:
        return kNeonEffects;
    default:
        return {};
    }
}

bool chooseLedMode(SettingsRecord& record, std::size_t index) {
    if (index >= 3) {
        return false;
    }
    record.ledMode = static_cast<std::uint8_t>(index + 1);
    return true;
}

bool chooseLedParameter(SettingsRecord& record, std::size_t index) {
    const auto list = parameterList(record.ledMode);
    if (index >= list.size()) {
        return false;
    }
    const auto value = static_cast<std::uint8_t>(index);
    switch (static_cast<LedMode>(record.ledMode)) {
    case LedMode::Standard:
        record.ledBrightness = value;
        return true;
    case LedMode::Respiration:
        record.ledBreathSpeed = value;
        return true;
    case LedMode::Neon:
        record.ledNeonSpeed = value;
        return true;
    default:
        return false; // the Off mode offers the neon list but stores nothing
    }
}

bool chooseLedEffect(SettingsRecord& record, std::size_t index) {
    const auto choices = effectChoices(record.ledMode);
    if (index >= choices.size()) {
        return false;
    }
    record.ledEffect[kModeEffectByte[record.ledMode]] = choices[index];
    return true;
}

LightingValues lightingForApply(const SettingsRecord& r, const LightingValues& asRead) {
    LightingValues v = asRead;
    auto& slot0 = v.ledParams[0];
    switch (static_cast<LedMode>(r.ledMode)) {
    case LedMode::Standard:
        v.effect = 1;
        v.effectOption1 = oneBased(r.ledBrightness, kBrightnessCount);
        v.effectOption2 = 2;
        slot0[0] = 1;
        break;
    case LedMode::Respiration: {
        v.effect = 2;
        v.effectOption1 = oneBased(r.ledBreathSpeed, kBreathSpeedCount);
        const std::uint8_t effect = r.ledEffect[kModeEffectByte[2]];
        if (effect == 1) {
            v.effectOption2 = 2;
            slot0[0] = 1;
        } else if (effect == 2) {
            v.effectOption2 = 3;
            slot0 = {2, 125, 3};
        }
        break;
    }
    case LedMode::Neon: {
        v.effect = 3;
        v.effectOption1 = oneBased(r.ledNeonSpeed, kNeonSpeedCount);
        const std::uint8_t effect = r.ledEffect[kModeEffectByte[3]];
        if (effect == 2) {
            slot0 = {2, 250, 3};
        } else if (effect == 3) {
            slot0 = {3, 5, 5};
        }
        break;
    }
    default:
        break;
    }
    return v;
}

} // namespace qor
