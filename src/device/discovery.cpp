#include "device/discovery.h"

namespace qor {

bool namesMouse(std::u16string_view interfaceName) {
    static const std::u16string mixed = mouseInterfaceId(IdSpelling::mixed);
    static const std::u16string upper = mouseInterfaceId(IdSpelling::upper);
    return interfaceName.find(mixed) != std::u16string_view::npos ||
           interfaceName.find(upper) != std::u16string_view::npos;
}

CollectionRole classifyCollection(const HidCaps& caps) {
    if (caps.usage == kEventUsagePage && caps.usagePage == kEventUsagePage &&
        caps.inputReportLength != 0) {
        return CollectionRole::event;
    }
    if (caps.usage == kCommandUsagePage && caps.usagePage == kCommandUsagePage &&
        caps.featureReportLength != 0) {
        return CollectionRole::command;
    }
    return CollectionRole::other;
}

DeviceDiscovery::DeviceDiscovery(DeviceEnumerator& enumerator, DeviceLink& link,
                                 HidEventPort& events, MessageSink& messages, std::u16string title)
    : enumerator_(enumerator), link_(link), events_(events), messages_(messages),
      title_(std::move(title)) {}

void DeviceDiscovery::wakeListener() {
    events_.signal();
}

void DeviceDiscovery::closeDevice() {
    enumerator_.closeDevice();
}

bool DeviceDiscovery::openDevice() {
    if (!enumerator_.beginScan()) {
        return false;
    }
    const bool found = scan();
    enumerator_.endScan();
    return found;
}

bool DeviceDiscovery::scan() {
    // Once the command collection is open the mouse is found: the scan goes on only to open an
    // event collection listed after it, and whatever fails then ends the scan quietly with the
    // mouse found.
    bool commandOpen = false;
    bool eventOpen = false;
    const auto fail = [&](std::u16string_view message) {
        if (!commandOpen && !message.empty()) {
            messages_.show(message, title_);
        }
        return commandOpen;
    };
    for (std::uint32_t index = 0;; ++index) {
        HidAttributes attributes;
        switch (enumerator_.describe(index, path_, attributes)) {
        case InterfaceStatus::ok:
            break;
        case InterfaceStatus::openFailed:
            // A device being torn down (or one this user may not query) says nothing about
            // the mouse: look at the next interface.
            continue;
        case InterfaceStatus::noMoreItems:
            return fail({});
        case InterfaceStatus::detailFailed:
            return fail(u"SetupDiGetDeviceInterfaceDetail failed.\n");
        }
        if (attributes.vendorId != kMouseVendorId || attributes.productId != kMouseProductId) {
            continue;
        }

        HidCaps caps;
        switch (enumerator_.capabilities(caps)) {
        case CapsStatus::ok:
            break;
        case CapsStatus::preparsedDataFailed:
            return fail(u"HidD_GetPreparsedData failed.\n");
        case CapsStatus::invalidPreparsedData:
            return fail(u"HidP_GetCaps failed.");
        }

        switch (classifyCollection(caps)) {
        case CollectionRole::event:
            if (!enumerator_.openEventRead(path_)) {
                return fail({});
            }
            events_.signal();
            if (!enumerator_.openEventWrite(path_)) {
                return fail({});
            }
            link_.eventReportLength = caps.inputReportLength;
            eventOpen = true;
            if (commandOpen) {
                return true;
            }
            break;
        case CollectionRole::command:
            if (commandOpen) {
                break;
            }
            link_.connected = true;
            if (!enumerator_.openCommand(path_)) {
                return false;
            }
            link_.setReportLengths(ReportLengths{caps.featureReportLength, caps.inputReportLength,
                                                 caps.outputReportLength});
            commandOpen = true;
            if (eventOpen) {
                return true;
            }
            break;
        case CollectionRole::other:
            break;
        }
    }
}

void ListenerGate::startOnce() {
    if (started_) {
        return;
    }
    started_ = true;
    if (resume_) {
        resume_();
    }
}

DeviceChangeHandler::DeviceChangeHandler(DeviceDiscovery& discovery, DeviceLink& link,
                                         DeviceEventSink& sink, DeviceChangeHost& host,
                                         ListenerGate& listener)
    : discovery_(discovery), link_(link), sink_(sink), host_(host), listener_(listener) {}

void DeviceChangeHandler::lost() {
    sink_.deliver(DeviceEventCode::mouseNotDetected, 0);
    host_.hideWindow();
    link_.connected = false;
    // Open handles keep the system from removing the device cleanly.
    discovery_.closeDevice();
}

bool DeviceChangeHandler::onDeviceChange(std::uint32_t event, std::uint32_t deviceType,
                                         std::u16string_view interfaceName) {
    if ((event != kDeviceArrival && event != kDeviceRemoveComplete) ||
        deviceType != kDeviceTypeInterface || !namesMouse(interfaceName)) {
        return true;
    }
    if (!discovery_.openDevice()) {
        lost();
        return true;
    }
    link_.handshake();
    if (link_.connected) {
        // Discovery signalled the listener before the handshake set `connected`: a listener
        // that woke then went back to sleep and needs this second call.
        discovery_.wakeListener();
    }
    if (event == kDeviceArrival && link_.connected) {
        host_.connectReadBack();
        listener_.startOnce();
    }
    return true;
}

} // namespace qor
