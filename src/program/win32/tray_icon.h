// The program's notification-area icon: added at start, modified to show balloons, removed first
// on the way out.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace qor {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Message + icon + tip, notifications as `callbackMessage` to `owner`.
    bool add(HWND owner, UINT callbackMessage, HICON icon, std::u16string_view tip);
    // Shows one balloon with the information icon (also for warnings).
    bool showBalloon(std::u16string_view text, std::u16string_view title, UINT timeoutMs);
    // Idempotent.
    void remove();
    bool added() const { return added_; }
    const NOTIFYICONDATAW& data() const { return data_; }

private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

// The structure size the program passes: the record up to the balloon's GUID (968 bytes on
// 64-bit Windows), understood by every system from Windows XP on.
inline constexpr DWORD kTrayDataSize = NOTIFYICONDATAW_V3_SIZE;

} // namespace qor
