// Which program is in front: the foreground window's process, by executable file name. Windows
// reports a foreground change as a WinEvent; the window also looks at the foreground window on a
// slow timer, since not every change raises the event (a window that takes the foreground while
// a secure desktop is up, and Wine, which raises none).
#pragma once
#include "profile/profile_switcher.h"
#include "profile/profiles_dialog.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

class ForegroundWatch {
public:
    using Changed = std::function<void(const ForegroundProgram&)>;

    ForegroundWatch() = default;
    ~ForegroundWatch() { stop(); }
    ForegroundWatch(const ForegroundWatch&) = delete;
    ForegroundWatch& operator=(const ForegroundWatch&) = delete;

    // Starts watching on the calling thread, which must run a message loop; `owner` receives
    // the poll timer `timerId`. `changed` is called with the program in front whenever the
    // foreground window changes (and once at start).
    void start(HWND owner, UINT_PTR timerId, Changed changed);
    void stop();
    // The owner's WM_TIMER for `timerId`.
    void poll();

private:
    static void CALLBACK onEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);

    HWND owner_ = nullptr;
    UINT_PTR timerId_ = 0;
    HWINEVENTHOOK hook_ = nullptr;
    HWND lastWindow_ = nullptr;
    Changed changed_;
};

// The program behind `window` (nullptr: none).
ForegroundProgram foregroundProgramOf(HWND window);

// The programs with a window on the taskbar now, other than this one ("Add Program…").
std::vector<RunningProgram> runningPrograms();

} // namespace qor
