// Diagnostics of the window's timings and resources, on the debugger's channel only; nothing
// shows them to the user.
#pragma once
#include <windows.h>

#include <string>

namespace qor {

void debugTrace(const std::wstring& text);

// Traces how long its scope took, as "<what> in N us".
class StopWatch {
public:
    explicit StopWatch(const wchar_t* what);
    ~StopWatch();
    StopWatch(const StopWatch&) = delete;
    StopWatch& operator=(const StopWatch&) = delete;
    void enable(bool on) { enabled_ = on; }

private:
    const wchar_t* what_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER begin_{};
    bool enabled_ = true;
};

// Private bytes, working set, GDI and USER objects of the process.
void traceMemory(const wchar_t* when);

} // namespace qor
