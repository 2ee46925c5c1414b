#include "device/event_listener.h"

#include <algorithm>

namespace qor {

EventListener::EventListener(const DeviceLink& link, HidEventPort& port, DeviceEventSink& sink)
    : link_(link), port_(port), sink_(sink) {}

void EventListener::requestStop() {
    stop_ = true;
    port_.signal();
}

void EventListener::run() {
    bool pending = false;
    while (!stop_) {
        port_.resetSignal();
        if (stop_) {
            break; // a stop signalled just before the reset is not lost
        }
        if (!link_.connected || !port_.isOpen()) {
            port_.waitSignal();
            continue;
        }
        // Taken at every pass: each open stores the length of the collection it found, and the
        // first open may have found none (the feature collection listed first).
        const std::size_t length =
            std::min<std::size_t>(link_.eventReportLength.load(), buffer_.size());
        const std::span<std::uint8_t> report = std::span(buffer_).first(length);
        pending = port_.beginRead(report);
        if (!pending) {
            // The collection refused the read (the mouse is gone): sleep until discovery or
            // a completion wakes us instead of spinning.
            port_.waitSignal();
            continue;
        }
        port_.waitSignal();
        if (stop_ || !link_.connected) {
            continue; // the pending read is abandoned
        }
        const std::size_t bytes = port_.finishRead();
        pending = false;
        if (bytes == 0) {
            continue;
        }
        if (const auto event = decodeEventReport(report.first(std::min(bytes, report.size())))) {
            sink_.deliver(event->code, event->value);
        }
    }
    if (pending) {
        port_.cancelRead();
    }
}

} // namespace qor
