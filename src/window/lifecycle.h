// Decisions of the tray program's life that belong to no page: what a tray click does, when the
// first paints hide the window, and how long the tray icon is tried again.
#pragma once
#include "base/window_ids.h"

#include <cstdint>

namespace qor {

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

// Adding the tray icon: the shell may not be up yet (it starts with the program) or may have
// restarted. A failed attempt is made again every 500 ms, 120 attempts in all; a taskbar created
// anew (the shell restarted and forgot every icon) starts the count again.
class TrayRetry {
public:
    static constexpr unsigned kIntervalMs = 500;
    static constexpr int kAttempts = 120;

    // One attempt's outcome: true when another attempt follows in kIntervalMs.
    bool tryAgain(bool added) { return !added && ++attempts_ < kAttempts; }
    void taskbarCreated() { attempts_ = 0; }
    int attempts() const { return attempts_; }

private:
    int attempts_ = 0;
};

} // namespace qor
