#include "device/win32/pacer_win32.h"

#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace qor {

Win32Pacer::Win32Pacer() {
    // Windows 10 1803 and later; older systems refuse the flag and get the fallback.
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                    TIMER_ALL_ACCESS);
}

Win32Pacer::~Win32Pacer() {
    if (timer_ != nullptr) {
        CloseHandle(timer_);
    }
}

void Win32Pacer::pause(unsigned milliseconds) {
    if (timer_ != nullptr) {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000; // relative, 100 ns units
        if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) &&
            WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0) {
            return;
        }
    }
    TimerResolutionScope fine;
    Sleep(milliseconds);
}

TimerResolutionScope::TimerResolutionScope() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TimerResolutionScope::~TimerResolutionScope() {
    if (raised_) {
        timeEndPeriod(1);
    }
}

} // namespace qor
