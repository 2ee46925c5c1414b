#include "ui/win32/diagnostics.h"

#include <psapi.h>

#include <string>

namespace qor {

void debugTrace(const std::wstring& text) {
    // The narrow call: Wine's debug channel shows only it, and every debugger shows both. The
    // traces are ASCII; anything else becomes '?'.
    std::string narrow = "Qor: ";
    for (const wchar_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    narrow.push_back('\n');
    OutputDebugStringA(narrow.c_str());
}

StopWatch::StopWatch(const wchar_t* what) : what_(what) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&begin_);
}

StopWatch::~StopWatch() {
    if (!enabled_ || frequency_.QuadPart <= 0) {
        return;
    }
    LARGE_INTEGER end{};
    QueryPerformanceCounter(&end);
    debugTrace(std::wstring(what_) + L" in " +
               std::to_wstring((end.QuadPart - begin_.QuadPart) * 1000000 / frequency_.QuadPart) +
               L" us");
}

void traceMemory(const wchar_t* when) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        debugTrace(std::wstring(when) + L": private bytes " +
                   std::to_wstring(counters.PrivateUsage / 1024) + L" KiB, working set " +
                   std::to_wstring(counters.WorkingSetSize / 1024) + L" KiB, GDI objects " +
                   std::to_wstring(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) +
                   L", USER objects " +
                   std::to_wstring(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)));
    }
}

} // namespace qor
