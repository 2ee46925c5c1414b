// Lighting: the mode, parameter and effect choices of the lighting area, the record changes of
// its three lists, and the values Apply sends with commands 0x07 and 0x0D.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/settings_record.h"
#include "ui/strings.h"

namespace qor {

enum class LedMode : std::uint8_t { Off = 0, Standard = 1, Respiration = 2, Neon = 3 };

inline constexpr std::size_t kBrightnessCount = 10;
inline constexpr std::size_t kBreathSpeedCount = 5;
inline constexpr std::size_t kNeonSpeedCount = 30;

// The fixed texts of the three parameter lists (the same in every language).
std::span<const std::u16string_view> brightnessList();
std::span<const std::u16string_view> breathSpeedList();
std::span<const std::u16string_view> neonSpeedList();
// The parameter list the Parameter box offers in a mode: the neon list for Off and Neon.
std::span<const std::u16string_view> parameterList(std::uint8_t ledMode);
// An index past its list gives an empty text.
std::u16string_view listText(std::span<const std::u16string_view> list, std::size_t index);

// Mode name of `ledMode` (0..3), effect name of an effect value (0..4); empty otherwise.
std::u16string_view modeName(const StringTable& strings, std::uint8_t ledMode);
std::u16string_view effectName(const StringTable& strings, std::uint8_t effect);

// The texts of the three boxes as the page shows them for the record.
struct LightingTexts {
    std::u16string_view mode;
    std::u16string_view parameter; // empty when the mode has none
    std::u16string_view effect;
};
LightingTexts lightingTexts(const StringTable& strings, const SettingsRecord& record);

// Effect values the Effect list offers in a mode (mode 1 has no list).
std::span<const std::uint8_t> effectChoices(std::uint8_t ledMode);

// List selections; `index` is the chosen item. Each returns whether the record changed.
bool chooseLedMode(SettingsRecord& record, std::size_t index);
bool chooseLedParameter(SettingsRecord& record, std::size_t index);
bool chooseLedEffect(SettingsRecord& record, std::size_t index);

// What the mouse holds for its lighting: commands 0x87 (two parameter sets) and 0x8D.
struct LightingValues {
    std::uint8_t effect = 0;
    std::uint8_t effectOption1 = 0;
    std::uint8_t effectOption2 = 0;
    std::array<std::array<std::uint8_t, 3>, 2> ledParams{};
    bool operator==(const LightingValues&) const = default;
};

// The values Apply sends: those read from the mouse, changed by the record's lighting choice.
// Whatever the choice does not set goes back as read; parameter set 1 always does.
LightingValues lightingForApply(const SettingsRecord& record, const LightingValues& asRead);

} // namespace qor
