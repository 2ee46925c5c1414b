// The entry point of Qor.exe.
#include "program/win32/corvid_app.h"
#include "program/win32/program_backend.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (qor::runBackendCommand(GetCommandLineW())) {
        return 0;
    }
    qor::CCorvidApp app(instance);
    return app.run();
}
