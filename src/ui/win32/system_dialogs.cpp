#include "ui/win32/system_dialogs.h"

#include "base/win32/wide_text.h"
#include "ui/strings.h"
#include "ui/win32/drawing.h"

#include <commdlg.h>

namespace qor {
namespace {

// The running system's version; GetVersionEx answers what the manifest claims, not the truth.
void windowsVersion(unsigned& major, unsigned& minor) {
    major = 10;
    minor = 0;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return;
    }
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn != nullptr && fn(&info) == 0) {
        major = info.dwMajorVersion;
        minor = info.dwMinorVersion;
    }
}

} // namespace

InterfaceFontHandles createInterfaceFonts() {
    unsigned major = 0, minor = 0;
    windowsVersion(major, minor);
    const InterfaceFonts fonts = interfaceFonts(GetSystemDefaultLangID(), major, minor);
    InterfaceFontHandles handles;
    handles.normal.reset(
        createFont(fonts.normal.height, fonts.normal.weight, wideString(fonts.normal.face)));
    handles.title.reset(
        createFont(fonts.title.height, fonts.title.weight, wideString(fonts.title.face)));
    return handles;
}

std::optional<Rgb> ColourDialog::pick() {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    // Owned by the window the user works in (the skin dialog, or the main window), which the
    // colour dialog then disables: nothing beneath it takes clicks while it is open.
    HWND active = GetActiveWindow();
    cc.hwndOwner = active != nullptr ? active : fallbackOwner_();
    cc.lpCustColors = customColours_;
    if (!ChooseColorW(&cc)) {
        return std::nullopt;
    }
    return Rgb{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
}

} // namespace qor
