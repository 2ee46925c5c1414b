// What the macro recorder needs of the main window: the thread's keyboard hook (the window
// host's), the window's title while a recording runs, and the recorder message sent or posted
// to the window, whose handler hands it back to the model.
#pragma once
#include "macro/macro_recorder.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace qor {

class Win32RecorderHost final : public RecorderHost {
public:
    Win32RecorderHost(std::function<HWND()> window,
                      std::function<std::optional<unsigned long>()> hookKeys,
                      std::function<void()> unhookKeys)
        : window_(std::move(window)), hookKeys_(std::move(hookKeys)),
          unhookKeys_(std::move(unhookKeys)) {}

    std::optional<std::uint32_t> installKeyboardHook() override;
    void removeKeyboardHook() override { unhookKeys_(); }
    void setWindowTitle(std::u16string_view title) override;
    void restoreWindowTitle() override;
    void sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override;
    void postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    std::function<HWND()> window_;
    std::function<std::optional<unsigned long>()> hookKeys_;
    std::function<void()> unhookKeys_;
    std::optional<std::wstring> titleBeforeRecording_;
};

} // namespace qor
