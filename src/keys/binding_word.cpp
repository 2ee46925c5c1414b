#include "keys/binding_word.h"

namespace qor {
namespace {

constexpr std::array<std::uint32_t, kKeyFunctionCount> kFixedWords{
    0x00F00001, // Left Click
    0x00F10001, // Right Click
    0x00F20001, // Mid Click
    0x00F40001, // Forward: fifth button
    0x00F30001, // Backward: fourth button
    0x0322F00A, // Triple-click: repeat the left button, speed 34, 3 times
    0,          // DPI Switch (parameterised)
    0x00030008, // RGB On/Off
    0,          // Windows
    0,          // Multimedia
    0,          // Fire Key
    0,          // Single Key
    0,          // Combo Key
    0,          // Macro Key
    0x00000000, // Key Off
};

} // namespace

std::size_t functionLabelEntry(std::uint8_t function) {
    if (function <= 6) {
        return 22 + std::size_t{function};
    }
    return function < kKeyFunctionCount ? 31 + std::size_t{function} - 7 : 0;
}

bool functionHasFixedWord(std::uint8_t function) {
    return function <= 5 || function == 7 || function == 14;
}

KeyBindingWord fixedFunctionWord(std::uint8_t function) {
    if (!functionHasFixedWord(function)) {
        return {};
    }
    return KeyBindingWord::fromValue(kFixedWords[function]);
}

KeyBindingWord dpiFunctionWord(std::uint8_t dpiSwitch) {
    // "Shift DPI" alone carries P3 = 1.
    const std::uint8_t shift = dpiSwitch == static_cast<std::uint8_t>(DpiSwitchKind::Shift) ? 1 : 0;
    return {binding::kDpi, 0, dpiSwitch, shift};
}

KeyBindingWord encodeButton(const ButtonTable& t,
                            const std::array<std::uint8_t, kButtonSlots>& dpiSwitch,
                            std::size_t k) {
    if (k >= kButtonSlots) {
        return {};
    }
    const std::uint8_t function = t.function[k];
    if (functionHasFixedWord(function)) {
        return fixedFunctionWord(function);
    }
    switch (static_cast<KeyFunction>(function)) {
    case KeyFunction::DpiSwitch:
        return dpiFunctionWord(dpiSwitch[k]);
    case KeyFunction::Windows:
        return {binding::kConsumer, 0, t.windowsCode[k], t.windowsClass[k]};
    case KeyFunction::Multimedia:
        return {binding::kConsumer, 0, t.mediaCode[k], 0};
    case KeyFunction::FireKey:
        return {binding::kRepeat, t.fireKey[k], t.fireSpeed[k], t.fireTimes[k]};
    case KeyFunction::SingleKey:
        return {binding::kKeyboard, 0, t.singleKey[k], 0};
    case KeyFunction::ComboKey:
        return {binding::kKeyboard, t.comboModifiers[k], t.comboKey1[k], t.comboKey2[k]};
    case KeyFunction::MacroKey:
        // The word names the 1-based slot the macro is sent under.
        return {binding::kMacro, t.macroLoopMode[k], static_cast<std::uint8_t>(t.macroIndex[k] + 1),
                0};
    default:
        return {};
    }
}

} // namespace qor
