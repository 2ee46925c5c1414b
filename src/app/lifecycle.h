// Decisions of the tray program's life that belong to no page: what a tray click does, when the
// first paints hide the window, and the program's own window messages.
#pragma once
#include <cstdint>

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

struct TrayState {
    bool connected = false;
    bool redrawOnNextShow = false; // raised by Cancel
    bool basicPageDrawn = false;   // the first-draw flag
};

enum class TrayAction {
    Ignore,
    ReportNotDetected, // post the not-detected event to the window; it stays hidden
    Show,              // bring the window to the foreground and show it
    ShowMenu,          // the pop-up menu with the exit item
};

struct TrayDecision {
    TrayAction action = TrayAction::Ignore;
    bool redrawCurrentPage = false; // redraw from the record before showing (clears the flag)
    bool drawBasicPage = false;     // the Basic page was never drawn: draw it before showing
};

// What one tray notification does, given the window's state.
TrayDecision decideTrayNotification(unsigned mouseMessage, const TrayState& state);

// The first two non-client paint requests hide the freshly created window instead of painting,
// so a normal start ends in the tray; every later request paints normally.
class NonClientPaintGate {
public:
    explicit NonClientPaintGate(int hides = 2) : remaining_(hides) {}
    // True when this request must hide the window instead of painting.
    bool hideInsteadOfPaint() {
        if (remaining_ <= 0) {
            return false;
        }
        --remaining_;
        return true;
    }
    int remaining() const { return remaining_; }

private:
    int remaining_;
};

} // namespace qor
