// The Windows virtual-key codes the window's models react to, and the key names they are given.
#pragma once
#include <cstddef>

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

} // namespace qor
