#include "device/discovery.h"

#include "device/device_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using test::RecordingEventSink;
using test::RecordingMessageSink;

// Indexes into emulatedMouseInterfaces().
constexpr std::size_t kBootMouse = 0;
constexpr std::size_t kConsumer = 1;
constexpr std::size_t kEvents = 2;
constexpr std::size_t kCommands = 3;

struct Machine {
    explicit Machine(std::vector<EmulatedInterface> interfaces)
        : hid(mouse, std::move(interfaces)) {
        init();
    }
    Machine() : hid(mouse) { init(); }
    void init() { sink.watch(&link); }

    std::vector<std::string> opened() const {
        std::vector<std::string> kinds;
        for (const auto& line : hid.opened()) {
            kinds.push_back(line.substr(0, line.find(' ')) +
                            (line.find("col02") != std::string::npos   ? " col02"
                             : line.find("col03") != std::string::npos ? " col03"
                                                                       : " other"));
        }
        return kinds;
    }

    MouseEmulator mouse;
    EmulatedHidSystem hid;
    NullPacer pacer;
    RecordingEventSink sink;
    RecordingMessageSink messages;
    DeviceLink link{mouse.commandPort(), pacer, sink};
    DeviceDiscovery discovery{hid, link, mouse.eventPort(), messages, u"Qor"};
};

std::vector<EmulatedInterface> pick(std::initializer_list<std::size_t> order) {
    const auto all = emulatedMouseInterfaces();
    std::vector<EmulatedInterface> list{emulatedOtherKeyboard()};
    for (std::size_t i : order) {
        list.push_back(all[i]);
    }
    return list;
}

TEST(Discovery, CollectionOrders) {
    struct Case {
        const char* name;
        std::vector<EmulatedInterface> interfaces;
        bool found;
        std::vector<std::string> opened;
    };
    auto noVendor = pick({kBootMouse, kConsumer});
    auto zeroLengths = pick({kEvents, kCommands});
    zeroLengths[1].caps.inputReportLength = 0;
    zeroLengths[2].caps.featureReportLength = 0;
    auto otherVendor = pick({kEvents, kCommands});
    otherVendor[1].attributes.vendorId = 0x04DA;
    otherVendor[2].attributes.productId = 0xA0A0;
    // After the command collection, failures end the scan quietly with the mouse found.
    auto lateEventFails = pick({kCommands, kEvents});
    lateEventFails[2].openFails = true;
    auto lateCapsFail = pick({kCommands, kBootMouse, kEvents});
    lateCapsFail[2].capsStatus = CapsStatus::preparsedDataFailed;
    auto swappedUsage = pick({kEvents, kCommands});
    swappedUsage[1].caps.usagePage = 0xFF00; // usage page and usage must both match
    const Case cases[] = {
        {"input before feature",
         pick({kBootMouse, kEvents, kConsumer, kCommands}),
         true,
         {"event-read col02", "event-write col02", "command col03"}},
        // The scan goes on for the event collection, so that such a machine gets events too.
        {"feature before input",
         pick({kCommands, kBootMouse, kEvents}),
         true,
         {"command col03", "event-read col02", "event-write col02"}},
        {"feature before an input that cannot be opened", lateEventFails, true, {"command col03"}},
        {"feature before a collection without capabilities", lateCapsFail, true, {"command col03"}},
        {"right IDs without vendor collections", noVendor, false, {}},
        {"vendor collections without report lengths", zeroLengths, false, {}},
        {"other IDs", otherVendor, false, {}},
        {"usage page differs from usage", swappedUsage, true, {"command col03"}},
        {"nothing at all", {}, false, {}},
    };
    for (const auto& c : cases) {
        Machine m(c.interfaces);
        EXPECT_EQ(m.discovery.openDevice(), c.found) << c.name;
        EXPECT_EQ(m.opened(), c.opened) << c.name;
        EXPECT_EQ(m.link.connected, c.found) << c.name;
        EXPECT_EQ(m.mouse.eventPort().isOpen(), m.link.eventReportLength != 0) << c.name;
        EXPECT_FALSE(m.hid.scanOpen()) << c.name << ": the set is released";
        EXPECT_FALSE(m.hid.queryOpen()) << c.name;
        EXPECT_TRUE(m.messages.shown.empty()) << c.name;
    }
}

TEST(Discovery, StoresReportLengthsAndWakesTheListener) {
    auto interfaces = pick({kEvents, kCommands});
    interfaces[1].caps.inputReportLength = 7;
    interfaces[2].caps = HidCaps{0xFF00, 0xFF00, 9, 33, 65};
    Machine m(interfaces);
    m.mouse.eventPort().resetSignal();
    ASSERT_TRUE(m.discovery.openDevice());
    EXPECT_EQ(m.link.reportLengths().feature, 9);
    EXPECT_EQ(m.link.reportLengths().input, 33);
    EXPECT_EQ(m.link.reportLengths().output, 65);
    EXPECT_EQ(m.link.eventReportLength, 7);
    EXPECT_TRUE(m.mouse.eventPort().isOpen());
    m.mouse.eventPort().waitSignal(); // returns at once: discovery signalled
    EXPECT_EQ(m.discovery.devicePath(), interfaces[2].path);
}

TEST(Discovery, Failures) {
    struct Case {
        const char* name;
        std::size_t faulty; // index into the machine's list (0 is the other keyboard)
        void (*fault)(EmulatedInterface&);
        std::u16string message;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        {"detail",
         0,
         [](EmulatedInterface& i) { i.detailFails = true; },
         u"SetupDiGetDeviceInterfaceDetail failed.\n",
         {}},
        // An interface that cannot be opened for a query (being torn down) is skipped.
        {"query open",
         0,
         [](EmulatedInterface& i) { i.queryOpenFails = true; },
         u"",
         {"event-read col02", "event-write col02", "command col03"}},
        {"query open of the mouse's own boot collection",
         1,
         [](EmulatedInterface& i) { i.queryOpenFails = true; },
         u"",
         {"event-read col02", "event-write col02", "command col03"}},
        {"query open of the command collection",
         4,
         [](EmulatedInterface& i) { i.queryOpenFails = true; },
         u"",
         {"event-read col02", "event-write col02"}},
        {"preparsed data",
         3,
         [](EmulatedInterface& i) { i.capsStatus = CapsStatus::preparsedDataFailed; },
         u"HidD_GetPreparsedData failed.\n",
         {}},
        {"caps",
         3,
         [](EmulatedInterface& i) { i.capsStatus = CapsStatus::invalidPreparsedData; },
         u"HidP_GetCaps failed.",
         {}},
        {"event open", 3, [](EmulatedInterface& i) { i.openFails = true; }, u"", {}},
        {"command open",
         4,
         [](EmulatedInterface& i) { i.openFails = true; },
         u"",
         {"event-read col02", "event-write col02"}},
        // A failing preparsed-data call of another device does not matter: it is skipped on
        // its IDs first.
        {"other device's preparsed data",
         0,
         [](EmulatedInterface& i) { i.capsStatus = CapsStatus::preparsedDataFailed; },
         u"",
         {"event-read col02", "event-write col02", "command col03"}},
    };
    for (const auto& c : cases) {
        Machine m;
        c.fault(m.hid.interfaces()[c.faulty]);
        const bool expectFound = c.opened.size() == 3;
        EXPECT_EQ(m.discovery.openDevice(), expectFound) << c.name;
        EXPECT_EQ(m.opened(), c.opened) << c.name;
        if (c.message.empty()) {
            EXPECT_TRUE(m.messages.shown.empty()) << c.name;
        } else {
            ASSERT_EQ(m.messages.shown.size(), 1u) << c.name;
            EXPECT_EQ(m.messages.shown[0].first, c.message) << c.name;
            EXPECT_EQ(m.messages.shown[0].second, u"Qor") << c.name;
        }
        EXPECT_FALSE(m.hid.scanOpen()) << c.name;
    }
    Machine refused;
    refused.hid.setScanFails(true);
    EXPECT_FALSE(refused.discovery.openDevice());
}

// The texts are derived from the numbers: each spelling names 04D9:A09F.
TEST(MouseIds, InterfaceIdsSpellTheVendorAndProduct) {
    EXPECT_EQ(kMouseVendorId, 0x04D9);
    EXPECT_EQ(kMouseProductId, 0xA09F);
    EXPECT_EQ(mouseInterfaceId(IdSpelling::upper), u"VID_04D9&PID_A09F");
    EXPECT_EQ(mouseInterfaceId(IdSpelling::mixed), u"Vid_04d9&Pid_a09f");
    EXPECT_EQ(mouseInterfaceId(IdSpelling::lower), u"vid_04d9&pid_a09f");
    EXPECT_EQ(mouseUsbId(), "04d9:a09f");
    // The emulated machine's paths carry the lower-case spelling, as SetupDi gives them.
    for (const auto& i : emulatedMouseInterfaces()) {
        EXPECT_NE(i.path.find(mouseInterfaceId(IdSpelling::lower)), std::u16string::npos);
        EXPECT_EQ(i.attributes.vendorId, kMouseVendorId);
        EXPECT_EQ(i.attributes.productId, kMouseProductId);
    }
}

TEST(DeviceChange, IdentifierMustBeSpelledExactly) {
    const struct {
        std::u16string_view name;
        bool mouse;
    } cases[] = {
        {u"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&COL02#8&2c4b1d0e&0&0001#{4d1e55b2-f16f}", true},
        {u"\\\\?\\HID#Vid_04d9&Pid_a09f&MI_01#x", true},
        {u"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col02#8&2c4b1d0e", false},
        {u"\\\\?\\HID#VID_04d9&PID_a09f", false},
        {u"\\\\?\\HID#VID_04D9&PID_A09E", false},
        {u"VID_04D9&PID_A09", false},
        {u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namesMouse(c.name), c.mouse) << std::string(c.name.begin(), c.name.end());
    }
}

struct Host final : DeviceChangeHost {
    std::vector<std::string> calls;
    void hideWindow() override { calls.push_back("hide"); }
    void connectReadBack() override { calls.push_back("read-back"); }
};

struct ChangeRig : Machine {
    ChangeRig() : gate([this] { host.calls.push_back("resume listener"); }) {}
    bool change(std::uint32_t event, std::u16string_view name = kName,
                std::uint32_t type = kDeviceTypeInterface) {
        return handler.onDeviceChange(event, type, name);
    }
    static constexpr std::u16string_view kName =
        u"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&COL03#8&2c4b1d0e&0&0002#{4d1e55b2-f16f}";
    Host host;
    ListenerGate gate;
    DeviceChangeHandler handler{discovery, link, sink, host, gate};
};

TEST(DeviceChange, ArrivalOfAWorkingMouseReadsBackAndStartsTheListenerOnce) {
    ChangeRig r;
    EXPECT_TRUE(r.change(kDeviceArrival));
    EXPECT_TRUE(r.link.connected);
    EXPECT_EQ(r.host.calls, (std::vector<std::string>{"read-back", "resume listener"}));
    EXPECT_TRUE(r.gate.started());
    // The next collection's notification runs everything again but the listener's start.
    EXPECT_TRUE(r.change(kDeviceArrival));
    EXPECT_EQ(r.host.calls,
              (std::vector<std::string>{"read-back", "resume listener", "read-back"}));
    EXPECT_EQ(r.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::mouseDetected, 0},
                                                         {DeviceEventCode::mouseDetected, 0}}));
    EXPECT_EQ(r.hid.scans(), 2u);
}

TEST(DeviceChange, ArrivalWhoseHandshakeFailsDoesNotStartTheListener) {
    ChangeRig r;
    r.mouse.setEchoPlainProbe(true);
    r.change(kDeviceArrival);
    EXPECT_FALSE(r.link.connected);
    EXPECT_TRUE(r.host.calls.empty());
    EXPECT_FALSE(r.gate.started());
    EXPECT_EQ(r.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::mouseNotDetected, 0}}));
}

TEST(DeviceChange, MouseGone) {
    for (const std::uint32_t event : {kDeviceArrival, kDeviceRemoveComplete}) {
        ChangeRig r;
        r.link.connected = true;
        r.mouse.unplug();
        EXPECT_TRUE(r.change(event));
        EXPECT_FALSE(r.link.connected);
        EXPECT_EQ(r.host.calls, (std::vector<std::string>{"hide"}));
        EXPECT_EQ(r.sink.events(),
                  (std::vector<DeviceEvent>{{DeviceEventCode::mouseNotDetected, 0}}));
        EXPECT_EQ(r.sink.connectedAtDelivery(), (std::vector<bool>{true}));
        // The handles go at once, not at the next open.
        EXPECT_EQ(r.hid.opened().back(), "close");
        EXPECT_FALSE(r.mouse.eventPort().isOpen());
    }
}

// Records `connected` each time the listener's event is signalled.
struct SignalSpy final : HidEventPort {
    SignalSpy(HidEventPort& i, const DeviceLink& l) : inner(i), link(l) {}
    void resetSignal() override { inner.resetSignal(); }
    void waitSignal() override { inner.waitSignal(); }
    void signal() override {
        connectedAtSignal.push_back(link.connected);
        inner.signal();
    }
    bool isOpen() const override { return inner.isOpen(); }
    bool beginRead(std::span<std::uint8_t> b) override { return inner.beginRead(b); }
    std::size_t finishRead() override { return inner.finishRead(); }
    void cancelRead() override { inner.cancelRead(); }
    HidEventPort& inner;
    const DeviceLink& link;
    std::vector<bool> connectedAtSignal;
};

TEST(DeviceChange, ListenerIsWokenAfterTheHandshakeConnects) {
    MouseEmulator mouse;
    EmulatedHidSystem hid(mouse);
    NullPacer pacer;
    RecordingEventSink sink;
    RecordingMessageSink messages;
    DeviceLink link{mouse.commandPort(), pacer, sink};
    SignalSpy spy(mouse.eventPort(), link);
    DeviceDiscovery discovery{hid, link, spy, messages, u"Qor"};
    Host host;
    ListenerGate gate([] {});
    DeviceChangeHandler handler{discovery, link, sink, host, gate};
    // Lost, then back: one arrival broadcast finds it again.
    for (const std::uint32_t event : {kDeviceArrival, kDeviceRemoveComplete, kDeviceArrival}) {
        if (event == kDeviceRemoveComplete) {
            mouse.unplug();
        } else {
            mouse.plugIn();
        }
        spy.connectedAtSignal.clear();
        handler.onDeviceChange(event, kDeviceTypeInterface, ChangeRig::kName);
        if (event == kDeviceArrival) {
            ASSERT_FALSE(spy.connectedAtSignal.empty());
            // A listener that slept through the earlier signals sees `connected` on this one.
            EXPECT_TRUE(spy.connectedAtSignal.back());
        }
    }
}

TEST(DeviceChange, RemovalWhileStillPresentReopensAndShakesHandsWithoutHiding) {
    ChangeRig r;
    r.change(kDeviceRemoveComplete);
    EXPECT_TRUE(r.link.connected);
    EXPECT_TRUE(r.host.calls.empty()); // no hide, no read-back, no listener start
    EXPECT_EQ(r.sink.events(), (std::vector<DeviceEvent>{{DeviceEventCode::mouseDetected, 0}}));
}

TEST(DeviceChange, OtherEventsTypesAndDevicesAreIgnored) {
    ChangeRig r;
    EXPECT_TRUE(r.change(0x0007));                              // DBT_DEVNODES_CHANGED
    EXPECT_TRUE(r.change(0x8001));                              // query remove
    EXPECT_TRUE(r.change(kDeviceArrival, ChangeRig::kName, 2)); // a volume
    EXPECT_TRUE(r.change(kDeviceArrival, u"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col03#x"));
    EXPECT_TRUE(r.change(kDeviceArrival, u"\\\\?\\HID#VID_046D&PID_C31C#x"));
    EXPECT_EQ(r.hid.scans(), 0u);
    EXPECT_TRUE(r.sink.events().empty());
    EXPECT_TRUE(r.host.calls.empty());
}

} // namespace
} // namespace qor
