#include "ui/win32/thread_hooks.h"

#include <algorithm>
#include <vector>

namespace qor {
namespace {

struct ThreadHooks {
    std::vector<HookBinding*> bindings; // the innermost last
    std::vector<HookClient*> keyTakers; // the same order
    ScopedHook message;
    ScopedHook keyboard;
};

// This thread's hooks and bindings: the windows and their hooks live on one thread.
ThreadHooks& threadHooks() {
    thread_local ThreadHooks hooks;
    return hooks;
}

} // namespace

HookBinding::HookBinding(HookClient& client) : client_(client) {
    ThreadHooks& t = threadHooks();
    t.bindings.push_back(this);
    if (!t.message) {
        t.message.reset(SetWindowsHookExW(WH_GETMESSAGE, &HookBinding::messageProc, nullptr,
                                          GetCurrentThreadId()));
    }
}

HookBinding::~HookBinding() {
    releaseKeys();
    ThreadHooks& t = threadHooks();
    t.bindings.erase(std::remove(t.bindings.begin(), t.bindings.end(), this), t.bindings.end());
    if (t.bindings.empty()) {
        t.message.reset();
    }
}

std::optional<unsigned long> HookBinding::takeKeys() {
    if (takesKeys_) {
        return std::nullopt;
    }
    ThreadHooks& t = threadHooks();
    if (!t.keyboard) {
        // This thread's keyboard messages only: no module, no other program's keys.
        t.keyboard.reset(SetWindowsHookExW(WH_KEYBOARD, &HookBinding::keyboardProc, nullptr,
                                           GetCurrentThreadId()));
        if (!t.keyboard) {
            return GetLastError();
        }
    }
    t.keyTakers.push_back(&client_);
    takesKeys_ = true;
    return std::nullopt;
}

void HookBinding::releaseKeys() {
    if (!takesKeys_) {
        return;
    }
    takesKeys_ = false;
    ThreadHooks& t = threadHooks();
    t.keyTakers.erase(std::remove(t.keyTakers.begin(), t.keyTakers.end(), &client_),
                      t.keyTakers.end());
    if (t.keyTakers.empty()) {
        t.keyboard.reset();
    }
}

LRESULT CALLBACK HookBinding::messageProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        const std::vector<HookBinding*>& bindings = threadHooks().bindings;
        // A client may open or close a window while it looks: the list is read afresh.
        for (std::size_t i = bindings.size(); i-- > 0;) {
            if (i < bindings.size() && bindings[i]->client_.hookedMessage(*msg)) {
                msg->message = WM_NULL; // swallowed
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK HookBinding::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) {
        const std::vector<HookClient*>& takers = threadHooks().keyTakers;
        for (std::size_t i = takers.size(); i-- > 0;) {
            if (i >= takers.size()) {
                continue;
            }
            if (const std::optional<LRESULT> result = takers[i]->hookedKey(code, wParam, lParam)) {
                return *result;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace qor
