// The application object: common controls, the window class, GDI+, and the main window run
// modally until the program ends.
#pragma once
#include <windows.h>

namespace qor {

inline constexpr const wchar_t* kWindowClassName = L"QorClass";

class CCorvidApp {
public:
    explicit CCorvidApp(HINSTANCE instance) : instance_(instance) {}
    // Initialise instance, run the main window, exit instance. Returns the process exit code.
    int run();

private:
    bool initInstance();
    void exitInstance();

    HINSTANCE instance_;
    ULONG_PTR gdiplusToken_ = 0;
};

} // namespace qor
