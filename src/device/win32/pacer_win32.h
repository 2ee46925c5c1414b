// Pauses of a few milliseconds that really last a few milliseconds. Windows' default tick is
// about 15.6 ms, so a plain Sleep(2) would take seven times too long: a high-resolution
// waitable timer is used where the system offers one, otherwise Sleep under timeBeginPeriod(1).
#pragma once
#include "device/pacer.h"

#include <windows.h>

namespace qor {

class Win32Pacer final : public Pacer {
public:
    Win32Pacer();
    ~Win32Pacer() override;
    Win32Pacer(const Win32Pacer&) = delete;
    Win32Pacer& operator=(const Win32Pacer&) = delete;

    void pause(unsigned milliseconds) override;
    // Whether a high-resolution timer is in use (else the timeBeginPeriod fallback).
    bool highResolution() const { return timer_ != nullptr; }

private:
    HANDLE timer_ = nullptr;
};

// Raises the system timer resolution to 1 ms for its lifetime (for a whole sequence of pauses).
class TimerResolutionScope {
public:
    TimerResolutionScope();
    ~TimerResolutionScope();
    TimerResolutionScope(const TimerResolutionScope&) = delete;
    TimerResolutionScope& operator=(const TimerResolutionScope&) = delete;

private:
    bool raised_ = false;
};

} // namespace qor
