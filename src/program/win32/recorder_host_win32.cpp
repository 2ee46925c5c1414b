#include "program/win32/recorder_host_win32.h"

#include "base/win32/wide_text.h"
#include "base/window_ids.h"
#include "ui/win32/control_reconciler.h"

namespace qor {

std::optional<std::uint32_t> Win32RecorderHost::installKeyboardHook() {
    const std::optional<unsigned long> error = hookKeys_();
    return error ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*error)) : std::nullopt;
}

void Win32RecorderHost::setWindowTitle(std::u16string_view title) {
    if (!titleBeforeRecording_) {
        titleBeforeRecording_ = wideString(windowText(window_()));
    }
    SetWindowTextW(window_(), wideString(title).c_str());
}

void Win32RecorderHost::restoreWindowTitle() {
    if (titleBeforeRecording_) {
        SetWindowTextW(window_(), titleBeforeRecording_->c_str());
        titleBeforeRecording_.reset();
    }
}

void Win32RecorderHost::sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    SendMessageW(window_(), kRecorderMessage, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}

void Win32RecorderHost::postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    PostMessageW(window_(), kRecorderMessage, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}

} // namespace qor
