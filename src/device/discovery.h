// Finding the mouse among the HID interfaces, opening its two vendor collections, and reacting
// to the mouse being plugged in or pulled out.
#pragma once
#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/event_report.h"
#include "device/hid_ports.h"
#include "device/mouse_ids.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::uint16_t kEventUsagePage = 0xFF01;   // usage 0xFF01 too
inline constexpr std::uint16_t kCommandUsagePage = 0xFF00; // usage 0xFF00 too

// WM_DEVICECHANGE events and the broadcast's device type that are handled.
inline constexpr std::uint32_t kDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDeviceRemoveComplete = 0x8004;
inline constexpr std::uint32_t kDeviceTypeInterface = 5;

// Whether an interface name carries the mouse's identifier, spelled exactly as
// mouseInterfaceId(IdSpelling::mixed) or mouseInterfaceId(IdSpelling::upper).
bool namesMouse(std::u16string_view interfaceName);

// Which of the mouse's collections a capability set describes.
enum class CollectionRole { event, command, other };
CollectionRole classifyCollection(const HidCaps& caps);

class DeviceDiscovery {
public:
    // `events` is signalled after the input collection opens so that a waiting listener looks
    // again. Messages are captioned with `title`.
    DeviceDiscovery(DeviceEnumerator& enumerator, DeviceLink& link, HidEventPort& events,
                    MessageSink& messages, std::u16string title);

    // Scans the present HID interfaces. True when the mouse's feature collection was found and
    // opened. The scan ends there when the event collection was opened before it, and goes on
    // to open an event collection listed after it otherwise. The caller then runs the handshake.
    bool openDevice();

    // Signals the listener's event so that a sleeping listener looks at `connected` again.
    void wakeListener();
    // Closes the mouse's command and event handles (the mouse has gone).
    void closeDevice();

    // Path of the interface examined or opened last.
    const std::u16string& devicePath() const { return path_; }

private:
    bool scan();

    DeviceEnumerator& enumerator_;
    DeviceLink& link_;
    HidEventPort& events_;
    MessageSink& messages_;
    std::u16string title_;
    std::u16string path_;
};

// Starts the listener thread once: it is created suspended and runs from the first connection.
class ListenerGate {
public:
    explicit ListenerGate(std::function<void()> resumeThread) : resume_(std::move(resumeThread)) {}
    void startOnce();
    bool started() const { return started_; }

private:
    std::function<void()> resume_;
    bool started_ = false;
};

// What the device-change handler asks of the main window and the settings protocol.
class DeviceChangeHost {
public:
    virtual ~DeviceChangeHost() = default;
    virtual void hideWindow() = 0;
    // The connect read-back (sensor settings read, option bit pinned, written back).
    virtual void connectReadBack() = 0;
};

class DeviceChangeHandler {
public:
    DeviceChangeHandler(DeviceDiscovery& discovery, DeviceLink& link, DeviceEventSink& sink,
                        DeviceChangeHost& host, ListenerGate& listener);

    // One WM_DEVICECHANGE: `event` is wParam, `deviceType` and `interfaceName` come from the
    // broadcast record (name empty when it has none). Always returns true.
    bool onDeviceChange(std::uint32_t event, std::uint32_t deviceType,
                        std::u16string_view interfaceName);
    // The mouse is gone: the not-detected event, the window hidden, its handles closed.
    void lost();

private:
    DeviceDiscovery& discovery_;
    DeviceLink& link_;
    DeviceEventSink& sink_;
    DeviceChangeHost& host_;
    ListenerGate& listener_;
};

} // namespace qor
