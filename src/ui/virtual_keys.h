// The Windows virtual-key codes the window's models react to.
#pragma once

namespace qor {

// Ctrl+Break arrives as VK_CANCEL.
inline constexpr unsigned kVirtualKeyCancel = 0x03;
inline constexpr unsigned kVirtualKeyReturn = 0x0D;
inline constexpr unsigned kVirtualKeyControl = 0x11;
inline constexpr unsigned kVirtualKeyEscape = 0x1B;
inline constexpr unsigned kVirtualKeyLeftWindows = 0x5B;
inline constexpr unsigned kVirtualKeyRightWindows = 0x5C;

} // namespace qor
