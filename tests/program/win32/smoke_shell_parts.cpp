// The shell's own Win32 parts in isolation: the window class copied from the dialog class, a
// modal dialog run by the framework on that class, and the tray icon record.
#include "program/win32/tray_icon.h"
#include "ui/win32/dialog.h"
#include "window/lifecycle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const wchar_t* const kClass = L"QorClassCopyTest";

TEST(ShellPartsTest, WindowClassCopiesTheDialogClass) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(qor::registerDialogClassCopy(instance, kClass));
    WNDCLASSEXW dialog{};
    dialog.cbSize = sizeof dialog;
    WNDCLASSEXW copy{};
    copy.cbSize = sizeof copy;
    ASSERT_TRUE(GetClassInfoExW(nullptr, WC_DIALOG, &dialog));
    ASSERT_TRUE(GetClassInfoExW(instance, kClass, &copy));
    EXPECT_EQ(copy.lpfnWndProc, dialog.lpfnWndProc);
    EXPECT_EQ(copy.cbWndExtra, dialog.cbWndExtra);
    EXPECT_EQ(copy.style, dialog.style);
    // a second registration of the same name fails (the program then ends at once)
    EXPECT_FALSE(qor::registerDialogClassCopy(instance, kClass));
}

// A popup template without controls naming the copied class, built in memory (the program's
// come from its resource script).
std::vector<WORD> popupTemplate() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = WS_POPUP | WS_CLIPCHILDREN; // created hidden here
    d->cx = 100;
    d->cy = 60;
    t.push_back(0); // no menu
    for (const wchar_t* c = kClass; *c; ++c) {
        t.push_back(static_cast<WORD>(*c));
    }
    t.push_back(0);
    t.push_back(0); // no title
    return t;
}

class ProbeDialog final : public qor::CDialog {
public:
    ProbeDialog() : CDialog(GetModuleHandleW(nullptr), 0) {}
    bool initialised = false;
    wchar_t className[64] = {};
    std::vector<UINT> trayMessages;
    LRESULT dragIcon = 0;
    LRESULT deviceChange = 0;

private:
    BOOL onInitDialog() override {
        initialised = true;
        GetClassNameW(hwnd(), className, 64);
        PostMessageW(hwnd(), qor::kTrayNotifyMessage, 0, qor::kTrayLeftButtonUp);
        PostMessageW(hwnd(), qor::kTrayNotifyMessage, 0, qor::kTrayRightButtonUp);
        return TRUE;
    }
    LRESULT onMessage(UINT message, WPARAM, LPARAM lParam, bool& handled) override {
        switch (message) {
        case qor::kTrayNotifyMessage:
            handled = true;
            trayMessages.push_back(static_cast<UINT>(lParam));
            if (trayMessages.size() == 2) {
                dragIcon = SendMessageW(hwnd(), WM_QUERYDRAGICON, 0, 0);
                deviceChange = SendMessageW(hwnd(), WM_DEVICECHANGE, 0x8000, 0);
                endDialog(7);
            }
            return 0;
        case WM_QUERYDRAGICON: // a result returned directly
            handled = true;
            return 0x1234;
        case WM_DEVICECHANGE: // a result that goes through DWLP_MSGRESULT
            handled = true;
            return TRUE;
        default:
            return 0;
        }
    }
};

TEST(ShellPartsTest, ModalDialogOnTheCopiedClass) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    qor::registerDialogClassCopy(instance, kClass); // may exist from the test above
    const std::vector<WORD> t = popupTemplate();
    ProbeDialog dialog;
    EXPECT_EQ(dialog.doModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(t.data())), 7);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_STREQ(dialog.className, kClass);
    EXPECT_EQ(dialog.trayMessages,
              (std::vector<UINT>{qor::kTrayLeftButtonUp, qor::kTrayRightButtonUp}));
    EXPECT_EQ(dialog.dragIcon, 0x1234);
    EXPECT_EQ(dialog.deviceChange, TRUE);
    EXPECT_EQ(dialog.hwnd(), nullptr); // the window is gone once the dialog ended
}

// The skinned dialogs keep their pixel layout on a monitor of another DPI. Windows 10 1703 and
// later can say so; Wine and older systems lack the functions and never rescale a dialog.
class DpiProbeDialog final : public qor::CDialog {
public:
    using GetBehaviour = DIALOG_DPI_CHANGE_BEHAVIORS(WINAPI*)(HWND);
    explicit DpiProbeDialog(GetBehaviour get) : CDialog(GetModuleHandleW(nullptr), 0), get_(get) {}
    DIALOG_DPI_CHANGE_BEHAVIORS behaviour = DDC_DEFAULT;

private:
    BOOL onInitDialog() override {
        behaviour = get_(hwnd());
        endDialog(1);
        return TRUE;
    }
    LRESULT onMessage(UINT, WPARAM, LPARAM, bool&) override { return 0; }
    GetBehaviour get_;
};

TEST(ShellPartsTest, DialogsAreNotRescaledOnADpiChange) {
    const auto get = reinterpret_cast<DpiProbeDialog::GetBehaviour>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDialogDpiChangeBehavior")));
    if (get == nullptr) {
        GTEST_SKIP() << "this system does not rescale dialogs";
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    qor::registerDialogClassCopy(instance, kClass);
    const std::vector<WORD> t = popupTemplate();
    DpiProbeDialog dialog(get);
    ASSERT_EQ(dialog.doModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(t.data())), 1);
    EXPECT_EQ(dialog.behaviour & DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

TEST(ShellPartsTest, TrayIconRecord) {
    // Up to the balloon's GUID: 968 bytes on 64-bit Windows.
    EXPECT_EQ(qor::kTrayDataSize, 968u);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    {
        qor::TrayIcon tray;
        EXPECT_FALSE(tray.showBalloon(u"x", u"Info", 5000)); // nothing to modify yet
        ASSERT_TRUE(tray.add(owner, qor::kTrayNotifyMessage, LoadIconW(nullptr, IDI_APPLICATION),
                             u"Gaming mouse setting"));
        const NOTIFYICONDATAW& d = tray.data();
        EXPECT_EQ(d.cbSize, 968u);
        EXPECT_EQ(d.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(d.uCallbackMessage, 1025u);
        EXPECT_STREQ(d.szTip, L"Gaming mouse setting");

        EXPECT_TRUE(tray.showBalloon(u"Switch to key matrix 2", u"Info", 5000));
        EXPECT_EQ(d.uFlags, 0x17u);
        EXPECT_EQ(d.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
        EXPECT_EQ(d.uTimeout, 5000u);
        EXPECT_STREQ(d.szInfo, L"Switch to key matrix 2");
        EXPECT_STREQ(d.szInfoTitle, L"Info");

        // texts longer than the record's fields are cut, never written past them
        const std::u16string longText(400, u'x');
        EXPECT_TRUE(tray.showBalloon(longText, longText, 100));
        EXPECT_EQ(wcslen(d.szInfo), 255u);
        EXPECT_EQ(wcslen(d.szInfoTitle), 63u);
        // An icon that is already there (an add the shell timed out but carried out) counts
        // as added, so that balloons reach it and the way out removes it.
        qor::TrayIcon again;
        EXPECT_TRUE(again.add(owner, qor::kTrayNotifyMessage, LoadIconW(nullptr, IDI_APPLICATION),
                              u"Gaming mouse setting"));
        EXPECT_TRUE(again.showBalloon(u"Switch to key matrix 1", u"Info", 5000));
        again.remove();
        EXPECT_FALSE(again.added());
        EXPECT_FALSE(tray.showBalloon(u"x", u"Info", 5000)) << "the icon was not removed";

        tray.remove();
        EXPECT_FALSE(tray.added());
        tray.remove(); // twice is harmless
    }
    DestroyWindow(owner);
}

} // namespace
