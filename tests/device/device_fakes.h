// Recording fakes and a link wired to the emulator, shared by the device tests.
#pragma once
#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/event_report.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"

#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace qor::test {

// Records each event together with the link's `connected` flag at the moment it arrives.
class RecordingEventSink final : public DeviceEventSink {
public:
    void watch(const DeviceLink* link) { link_ = link; }
    void deliver(DeviceEventCode code, std::uint32_t value) override {
        std::lock_guard lock(mutex_);
        events_.push_back(DeviceEvent{code, value});
        connectedAtDelivery_.push_back(link_ != nullptr && link_->connected);
    }
    std::vector<DeviceEvent> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<bool> connectedAtDelivery() const {
        std::lock_guard lock(mutex_);
        return connectedAtDelivery_;
    }

private:
    mutable std::mutex mutex_;
    const DeviceLink* link_ = nullptr;
    std::vector<DeviceEvent> events_;
    std::vector<bool> connectedAtDelivery_;
};

class RecordingMessageSink final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.emplace_back(std::u16string(text), std::u16string(caption));
    }
    std::vector<std::pair<std::u16string, std::u16string>> shown;
};

// The emulator behind a traced link with the emulator's report lengths.
struct EmulatedLink {
    EmulatedLink() {
        sink.watch(&link);
        link.setReportLengths(
            ReportLengths{kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
    }
    std::string takeTrace() {
        std::string text = trace.str();
        trace.str({});
        return text;
    }
    // Handshake and forget its trace.
    void connect() {
        link.handshake();
        takeTrace();
    }

    MouseEmulator mouse;
    std::ostringstream trace;
    NullPacer nullPacer;
    TracingCommandPort port{mouse.commandPort(), traceToStream(trace)};
    TracingPacer pacer{nullPacer, traceToStream(trace)};
    RecordingEventSink sink;
    DeviceLink link{port, pacer, sink};
};

} // namespace qor::test
