// The loop of the thread that waits for the mouse's event reports and hands them to the window.
#pragma once
#include "device/device_link.h"
#include "device/event_report.h"
#include "device/hid_ports.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace qor {

class EventListener {
public:
    EventListener(const DeviceLink& link, HidEventPort& port, DeviceEventSink& sink);

    // The thread's body. In the program it runs until the process ends; requestStop() ends it
    // at its next wake-up.
    void run();
    // Any thread.
    void requestStop();

private:
    const DeviceLink& link_;
    HidEventPort& port_;
    DeviceEventSink& sink_;
    std::atomic<bool> stop_{false};
    // Written by the overlapped read; lives as long as the listener.
    std::array<std::uint8_t, kEventReportBufferSize> buffer_{};
};

} // namespace qor
