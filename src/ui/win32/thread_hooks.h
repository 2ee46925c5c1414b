// The hooks of a thread that every scene window shares: one WH_GETMESSAGE hook, which shows a
// window the messages on their way to it before they are dispatched, and one WH_KEYBOARD hook,
// which hands it the keys while it takes them (a capture dialog, the macro recorder). Each is
// installed while a window needs it. A window is bound by a HookBinding for as long as it is
// open; the hook procedures find the windows through their thread's own bindings, the last
// bound (the innermost: a dialog over the main window) first. Nothing is global.
#pragma once
#include "base/win32/scoped.h"

#include <windows.h>

#include <optional>

namespace qor {

class HookClient {
public:
    // A message taken from the queue: true swallows it.
    virtual bool hookedMessage(MSG& msg) = 0;
    // A keyboard hook call while the client takes keys: the hook's result, or nothing to hand
    // the call on.
    virtual std::optional<LRESULT> hookedKey(int code, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~HookClient() = default;
};

class HookBinding {
public:
    explicit HookBinding(HookClient& client);
    ~HookBinding();
    HookBinding(const HookBinding&) = delete;
    HookBinding& operator=(const HookBinding&) = delete;

    // The client takes the keys from now on: the system's error code when the keyboard hook
    // cannot be installed.
    std::optional<unsigned long> takeKeys();
    void releaseKeys();

private:
    static LRESULT CALLBACK messageProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);

    HookClient& client_;
    bool takesKeys_ = false;
};

} // namespace qor
