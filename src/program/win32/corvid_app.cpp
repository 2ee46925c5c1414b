#include "program/win32/corvid_app.h"

#include "program/win32/corvid_dlg.h"
#include "program/win32/program_backend.h"
#include "ui/win32/dialog.h"

#include <commctrl.h>
#include <objidl.h>
// objidl.h first: GDI+ needs the COM stream interfaces.
#include <gdiplus.h>

#include <memory>

namespace qor {

int CCorvidApp::run() {
    initInstance();
    exitInstance();
    return 0;
}

bool CCorvidApp::initInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls; // 8
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    if (!registerDialogClassCopy(instance_, kWindowClassName)) {
        return false;
    }
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) {
        gdiplusToken_ = 0;
    }
    {
        std::unique_ptr<ProgramBackend> backend = makeDeviceBackend();
        CCorvidDlg dialog(instance_, *backend);
        dialog.doModal();
    }
    return false;
}

void CCorvidApp::exitInstance() {
    if (gdiplusToken_ != 0) {
        Gdiplus::GdiplusShutdown(gdiplusToken_);
        gdiplusToken_ = 0;
    }
}

} // namespace qor
