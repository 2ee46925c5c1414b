#include "program/win32/tray_icon.h"

#include <algorithm>

namespace qor {
namespace {

template <std::size_t N> void copyText(wchar_t (&into)[N], std::u16string_view text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), n, into);
    into[n] = L'\0';
}

} // namespace

bool TrayIcon::add(HWND owner, UINT callbackMessage, HICON icon, std::u16string_view tip) {
    data_ = NOTIFYICONDATAW{};
    data_.cbSize = kTrayDataSize;
    data_.hWnd = owner;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    copyText(data_.szTip, tip);
    // A busy shell can time out an add that it still carries out; a later add of the same icon
    // then fails for good. An icon that can be modified is there.
    added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE ||
             Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
    return added_;
}

bool TrayIcon::showBalloon(std::u16string_view text, std::u16string_view title, UINT timeoutMs) {
    if (!added_) {
        return false;
    }
    copyText(data_.szInfo, text);
    copyText(data_.szInfoTitle, title);
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO; // 0x17
    data_.dwInfoFlags = NIIF_INFO;
    data_.uTimeout = timeoutMs;
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

void TrayIcon::remove() {
    if (!added_) {
        return;
    }
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

} // namespace qor
