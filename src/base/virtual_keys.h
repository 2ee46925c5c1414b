// The Windows virtual-key codes the window's models react to, the key names they are given, and
// what a thread keyboard hook is told and answers.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qor {

// Ctrl+Break arrives as VK_CANCEL.
inline constexpr unsigned kVirtualKeyCancel = 0x03;
inline constexpr unsigned kVirtualKeyReturn = 0x0D;
inline constexpr unsigned kVirtualKeyControl = 0x11;
inline constexpr unsigned kVirtualKeyEscape = 0x1B;
inline constexpr unsigned kVirtualKeyLeftWindows = 0x5B;
inline constexpr unsigned kVirtualKeyRightWindows = 0x5C;

// The longest key name kept from the system, whose key-name call fills a buffer of 32: the
// capture dialogs' and the macro recorder's.
inline constexpr std::size_t kKeyNameMaxLength = 31;

// A keyboard hook call: the code of a keystroke taken from the queue (HC_ACTION), and the
// keystroke flags of its lParam.
inline constexpr int kHookAction = 0;
inline constexpr std::uint32_t kKeyReleasedBit = 1u << 31;
inline constexpr std::uint32_t kKeyWasDownBit = 1u << 30;

// What a keyboard hook answers.
enum class KeyHookVerdict : std::uint8_t {
    PassOn,  // call the next hook and return its result
    Handled, // return 0
    Discard, // return 1: the keystroke goes no further
};

} // namespace qor
