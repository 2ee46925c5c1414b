#include "program/win32/foreground_win32.h"

#include "base/win32/scoped.h"
#include "base/win32/wide_text.h"

#include <array>
#include <string_view>

namespace qor {
namespace {

// A WinEvent callback has no context argument, and an out-of-context hook calls back on the
// thread that set it: the watch of that thread.
thread_local ForegroundWatch* threadWatch = nullptr;

// Slow enough to cost nothing; the WinEvent reports changes at once where Windows raises it.
constexpr UINT kPollMs = 500;

bool isShellSurface(HWND window) {
    // The desktop and the taskbar (main and secondary monitors) belong to Explorer, which would
    // otherwise count as a program in front.
    std::array<wchar_t, 64> name{};
    if (GetClassNameW(window, name.data(), static_cast<int>(name.size())) == 0) {
        return false;
    }
    const std::wstring_view cls(name.data());
    return cls == L"Progman" || cls == L"WorkerW" || cls == L"Shell_TrayWnd" ||
           cls == L"Shell_SecondaryTrayWnd";
}

std::u16string fileNameOf(std::wstring_view path) {
    const auto slash = path.find_last_of(L"\\/");
    return u16String(path.substr(slash == std::wstring_view::npos ? 0 : slash + 1));
}

// The executable's file name of a process; empty when the system does not say.
std::u16string programFileOf(DWORD processId) {
    // Limited information is granted for processes of other users and of higher integrity too;
    // a protected process may still refuse.
    const ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        auto size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
            path.resize(size);
            return fileNameOf(path);
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

BOOL CALLBACK listWindow(HWND window, LPARAM parameter) {
    auto& out = *reinterpret_cast<std::vector<RunningProgram>*>(parameter);
    // What the taskbar and Alt+Tab show: visible, unowned, not a tool window, with a title.
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr ||
        (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0 ||
        GetWindowTextLengthW(window) == 0 || isShellSurface(window)) {
        return TRUE;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) {
        return TRUE;
    }
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    if (auto file = programFileOf(processId); !file.empty()) {
        out.push_back({std::move(file), u16String(title)});
    }
    return TRUE;
}

} // namespace

ForegroundProgram foregroundProgramOf(HWND window) {
    if (window == nullptr || isShellSurface(window)) {
        return ForegroundProgram::nothing();
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) {
        return ForegroundProgram::own();
    }
    // A program the system will not name matches no profile.
    const auto file = programFileOf(processId);
    return file.empty() ? ForegroundProgram::nothing() : ForegroundProgram::named(file);
}

std::vector<RunningProgram> runningPrograms() {
    std::vector<RunningProgram> out;
    EnumWindows(&listWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

void ForegroundWatch::start(HWND owner, UINT_PTR timerId, Changed changed) {
    stop();
    owner_ = owner;
    timerId_ = timerId;
    changed_ = std::move(changed);
    threadWatch = this;
    // Out of context: the callback runs on this thread, from its message loop.
    hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &onEvent, 0,
                            0, WINEVENT_OUTOFCONTEXT);
    SetTimer(owner_, timerId_, kPollMs, nullptr);
    lastWindow_ = GetForegroundWindow();
    changed_(foregroundProgramOf(lastWindow_));
}

void ForegroundWatch::stop() {
    if (hook_ != nullptr) {
        UnhookWinEvent(hook_);
        hook_ = nullptr;
    }
    if (owner_ != nullptr) {
        KillTimer(owner_, timerId_);
        owner_ = nullptr;
    }
    if (threadWatch == this) {
        threadWatch = nullptr;
    }
    changed_ = nullptr;
}

void ForegroundWatch::poll() {
    HWND now = GetForegroundWindow();
    if (now != lastWindow_ && changed_) {
        lastWindow_ = now;
        changed_(foregroundProgramOf(now));
    }
}

void CALLBACK ForegroundWatch::onEvent(HWINEVENTHOOK hook, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    // The event's window may already have lost the foreground again; what counts is what is in
    // front now.
    if (threadWatch != nullptr && threadWatch->hook_ == hook) {
        threadWatch->poll();
    }
}

} // namespace qor
