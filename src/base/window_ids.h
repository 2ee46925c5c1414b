// The program's own window messages, commands and event codes: shared by the window, the
// device adapters that post to it and the recorder.
#pragma once

namespace qor {

// Window messages and commands of the program's own.
inline constexpr unsigned kTrayNotifyMessage = 0x0400 + 1;  // tray icon notifications
inline constexpr unsigned kDeviceEventMessage = 0x0400 + 2; // device events, wParam = code
inline constexpr unsigned kRecorderMessage = 0x0400 + 3;    // recorded key events
inline constexpr unsigned kExitCommand = 1028;              // tray menu "Exit"
inline constexpr int kDeleteMacroLineCommand = 32772;       // macro list context menu

// Device event codes that come from the program itself rather than from the mouse.
inline constexpr unsigned kMouseDetectedEvent = 14;
inline constexpr unsigned kMouseNotDetectedEvent = 15;

// Mouse messages the tray icon reports in lParam.
inline constexpr unsigned kTrayLeftButtonUp = 0x0202;
inline constexpr unsigned kTrayLeftDoubleClick = 0x0203;
inline constexpr unsigned kTrayRightButtonUp = 0x0205;

} // namespace qor
