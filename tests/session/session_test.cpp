// The session as the window and qorctl run it: the start-up order, the first drawing's
// read-back, OK with and without the mouse, Cancel.
#include "session/session.h"

#include "dpi_lighting/dpi.h"

#include "emulator/emulator_faults.h"
#include "settings/file_system_std.h"
#include "support/protocol_rig.h"

#include <gtest/gtest.h>

#include <functional>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

using namespace qor;
using qor::test::TempDir;

// Counts what reaches the system; reads answer Windows' defaults.
class CountingPointer final : public PointerSystem {
public:
    int sets = 0;
    bool getMouse(MouseParams& p) override {
        p = {6, 10, 1};
        return true;
    }
    bool setMouse(const MouseParams&) override { return ++sets > 0; }
    bool getMouseSpeed(int& s) override {
        s = 10;
        return true;
    }
    bool setMouseSpeed(int) override { return ++sets > 0; }
    bool getWheelScrollLines(int& l) override {
        l = 3;
        return true;
    }
    bool setWheelScrollLines(int) override { return ++sets > 0; }
    unsigned getDoubleClickTime() override { return 500; }
    bool setDoubleClickTime(unsigned) override { return ++sets > 0; }
};

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The front end of a test: the wire rig's ports as the backend, and a host that hands events
// straight to the session.
struct SessionRig : qor::test::WireRig, DeviceBackend, SessionHost {
    explicit SessionRig(bool plugged) {
        std::filesystem::copy_file(std::filesystem::path(QOR_SOURCE_DIR) / "resources/config.bin",
                                   dir.path() / "config.bin");
        if (!plugged) {
            mouse.unplug();
        }
    }
    Session& session() {
        if (!session_) {
            session_.emplace(
                SessionParts{*this, *this, messages, files, ini, &pointer}, strings,
                SessionFiles{(dir.path() / "config.bin").u16string(), dir.path() / "str.ini"});
        }
        return *session_;
    }

    // DeviceBackend
    DeviceEnumerator& enumerator() override { return system; }
    HidCommandPort& commandPort() override { return mouse.commandPort(); }
    HidEventPort& eventPort() override { return mouse.eventPort(); }
    Pacer& pacer() override { return quiet; }
    TraceLineSink traceSink() override { return sink; }
    bool prepareEvents() override { return eventsPrepared; }

    // SessionHost
    void forwardDeviceEvent(DeviceEventCode code, std::uint32_t value) override {
        std::lock_guard lock(mutex);
        session().deviceEvent(code, value);
    }
    void showBalloon(const Balloon& balloon) override {
        balloons.push_back(balloon.text);
        balloonCount = balloons.size();
    }
    bool watchDeviceChanges() override { return changesWatched; }
    void hideWindow() override { ++hides; }
    void waitWhile(const std::function<bool()>& running) override {
        while (running()) {
            std::this_thread::yield();
        }
    }
    void phase(std::string_view name) override { phases.emplace_back(name); }

    TempDir dir;
    StdFileSystem files;
    IniEngine ini;
    CountingPointer pointer;
    StringTable strings{Language::English};
    std::vector<std::string> phases;
    bool eventsPrepared = true;
    bool changesWatched = true;
    int hides = 0;
    std::mutex mutex;
    std::vector<std::u16string> balloons;
    std::atomic<std::size_t> balloonCount{0};

private:
    std::optional<Session> session_;
};

bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

TEST(Session, StartUpOrderWithAndWithoutTheMouse) {
    const std::u16string kNotDetected = u"Warning: The system did not detect the gaming mouse!";
    const std::u16string kNotifications = u"Qor: RegisterDeviceNotification failed!!!";
    const struct {
        bool plugged, eventsPrepared, changesWatched;
        bool started;
        std::vector<std::u16string> messages;
        bool listening;
    } cases[] = {
        {true, true, true, true, {}, true},
        {false, true, true, true, {kNotDetected}, false},
        // The system refusing a step ends the start-up before the files, said in a box.
        {true, false, true, false, {u"Qor: CreateEvent failed."}, false},
        {true, true, false, false, {kNotifications}, true},
        {false, true, false, false, {kNotDetected, kNotifications}, false},
    };
    for (const auto& c : cases) {
        SessionRig rig(c.plugged);
        rig.eventsPrepared = c.eventsPrepared;
        rig.changesWatched = c.changesWatched;
        rig.session().settings().working.ledMode = 0xEE;
        EXPECT_EQ(rig.session().start(), c.started);
        EXPECT_EQ(rig.messages.shown, c.messages)
            << c.plugged << c.eventsPrepared << c.changesWatched;
        EXPECT_EQ(rig.session().listenerRunning(), c.listening);
        EXPECT_EQ(rig.session().drawsBasicPageAtStart(), c.plugged);
        // config.bin is read only by a start-up that went through, and then snapshotted.
        EXPECT_EQ(rig.session().settings().working.ledMode != 0xEE, c.started);
        EXPECT_EQ(rig.session().settings().appliedRecord.ledMode,
                  c.started ? rig.session().settings().working.ledMode : 0);
    }
}

TEST(Session, TheListenerRunsFromTheFirstConnectionUntilTheSessionEnds) {
    SessionRig rig(false);
    ASSERT_TRUE(rig.session().start());
    EXPECT_FALSE(rig.session().listenerRunning()) << "no mouse, no listener";
    // The mouse arrives: the read-back runs and the listener starts.
    rig.mouse.plugIn();
    rig.session().deviceChanges().onDeviceChange(kDeviceArrival, kDeviceTypeInterface,
                                                 u"VID_04D9&PID_A09F");
    ASSERT_TRUE(rig.session().connected());
    EXPECT_TRUE(rig.session().listenerRunning());
    EXPECT_EQ(rig.mouse.state().option2 & 0x40, 0x40) << "the connect read-back ran";
    // A DPI switch on the mouse becomes a balloon on the host's thread.
    const std::size_t before = rig.balloonCount;
    rig.mouse.emitEvent(7, 2);
    ASSERT_TRUE(waitFor([&] { return rig.balloonCount > before; }));
    {
        std::lock_guard lock(rig.mutex);
        EXPECT_EQ(rig.balloons.back(),
                  deviceEventBalloon(7, 2, rig.strings, rig.session().settings().working,
                                     rig.session().mirror().activeSensorType)
                      ->text);
    }
    rig.session().stopListener();
    EXPECT_FALSE(rig.session().listenerRunning());
}

TEST(Session, EveryTransferGoesThroughTheBackendsTrace) {
    SessionRig rig(true);
    ASSERT_TRUE(rig.session().start());
    ASSERT_FALSE(rig.trace.empty());
    EXPECT_EQ(rig.trace.front().substr(0, 12), "set_feature ");
    EXPECT_NE(std::find(rig.trace.begin(), rig.trace.end(), "sleep 5"), rig.trace.end())
        << "the pacer is traced too";
}

TEST(Session, FirstDrawingReadsBackEvenWithoutTheMouse) {
    for (const bool plugged : {true, false}) {
        SessionRig rig(plugged);
        rig.session().start();
        const MouseState before = rig.mouse.state();
        rig.session().firstBasicDrawing();
        // The read-back pins bit 6 of option 2; a mouse that is away gets nothing.
        EXPECT_EQ(rig.mouse.state().option2, plugged ? (before.option2 | 0x40) : before.option2);
        EXPECT_EQ(rig.mouse.state() == before, !plugged);
        // A factory config.bin has never been saved: the key rows get their first texts.
        EXPECT_EQ(rig.session().keyRows().setA[0], u"Left Click");
        EXPECT_EQ(rig.session().keyRows().setB[7], u"Key Off");
    }
}

TEST(Session, ConfirmAndCancel) {
    {
        SessionRig rig(false);
        rig.session().start();
        const auto before = fileBytes(rig.dir.path() / "config.bin");
        rig.session().settings().working.dpiLevel[1] = 7;
        EXPECT_FALSE(rig.session().confirm()) << "OK does nothing while the mouse is away";
        EXPECT_EQ(fileBytes(rig.dir.path() / "config.bin"), before);
        EXPECT_EQ(rig.pointer.sets, 0);
    }
    SessionRig rig(true);
    rig.session().start();
    rig.session().firstBasicDrawing();
    rig.session().settings().working.dpiLevel[1] = 7;
    rig.session().keyRows().setA[1] = u"Mid Click";
    ASSERT_TRUE(rig.session().confirm());
    EXPECT_EQ(rig.phases, (std::vector<std::string>{"handshake", "apply", "save config.bin",
                                                    "write str.ini", "pointer options"}));
    const auto saved = fileBytes(rig.dir.path() / "config.bin");
    ASSERT_EQ(saved.size(), 1 + kSettingsRecordSize);
    EXPECT_EQ(saved[1 + offsetof(SettingsRecord, dpiLevel) + 1], 7);
    EXPECT_EQ(rig.mouse.state().dpiStageCodes[1] & 0x7F,
              dpiCodeTable(rig.session().mirror().activeSensorType).codes[7]);
    EXPECT_EQ(rig.pointer.sets, 1)
        << "only the double-click time differs from what the system holds";
    EXPECT_EQ(rig.session().settings().appliedRecord.dpiLevel[1], 7);

    // Cancel brings back what was applied, and asks for a redraw at the next show.
    rig.session().settings().working.dpiLevel[1] = 2;
    rig.session().cancel();
    EXPECT_EQ(rig.session().settings().working.dpiLevel[1], 7);
    EXPECT_TRUE(rig.session().settings().redrawOnNextShow());
    rig.session().keyRows().setA[1] = u"edited";
    rig.session().rereadKeyRows();
    EXPECT_EQ(rig.session().keyRows().setA[1], u"Mid Click") << "the texts as last written";
}

// Waking from sleep: the mouse may have lost power (its scrambling off again), stayed away, or
// been plugged in meanwhile.
TEST(Session, ResumeGreetsTheMouseAgainOrTreatsItAsRemoved) {
    const std::u16string kNotDetected = u"The system did not detect the gaming mouse!";
    const struct {
        const char* what;
        bool before, after;
        bool answered;
        int hides;
        std::optional<std::u16string> balloon; // the last one after the resume
    } cases[] = {
        {"back after losing power", true, true, true, 0, std::nullopt},
        {"gone while asleep", true, false, false, 1, kNotDetected},
        {"plugged in while asleep", false, true, true, 0, std::nullopt},
        {"away before and after", false, false, false, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SessionRig rig(c.before);
        ASSERT_TRUE(rig.session().start()) << c.what;
        rig.session().firstBasicDrawing();
        // Sleep: the mouse goes without power; no device change is reported.
        rig.mouse.unplug();
        if (c.after) {
            rig.mouse.plugIn();
        }
        MouseState cleared = rig.mouse.state();
        cleared.option2 = static_cast<std::uint8_t>(cleared.option2 & ~0x40);
        rig.mouse.setState(cleared);
        {
            std::lock_guard lock(rig.mutex);
            rig.balloons.clear();
        }
        rig.phases.clear();
        EXPECT_EQ(rig.session().resume(), c.answered) << c.what;
        EXPECT_EQ(rig.session().connected(), c.answered) << c.what;
        EXPECT_EQ(rig.hides, c.hides) << c.what;
        // The listener runs from the first connection on, whenever that was.
        EXPECT_EQ(rig.session().listenerRunning(), c.before || c.answered) << c.what;
        {
            std::lock_guard lock(rig.mutex);
            if (c.balloon) {
                ASSERT_FALSE(rig.balloons.empty()) << c.what;
                EXPECT_NE(rig.balloons.back().find(*c.balloon), std::u16string::npos) << c.what;
            } else if (!c.answered) {
                EXPECT_TRUE(rig.balloons.empty()) << c.what;
            }
        }
        // The read-back ran against the woken mouse, and OK reaches it.
        EXPECT_EQ((rig.mouse.state().option2 & 0x40) != 0, c.answered) << c.what;
        rig.session().settings().working.dpiLevel[1] = 6;
        EXPECT_EQ(rig.session().confirm(), c.answered) << c.what;
        if (c.answered) {
            EXPECT_EQ(rig.mouse.state().dpiStageCodes[1] & 0x7F,
                      dpiCodeTable(rig.session().mirror().activeSensorType).codes[6])
                << c.what;
        }
    }
}

} // namespace

namespace qor {
namespace {

// The writes of a trace as "CC II" (command and index), in order.
std::vector<std::string> writesIn(const std::vector<std::string>& trace) {
    std::vector<std::string> out;
    for (const auto& line : trace) {
        if (line.starts_with("set_feature ") && line.size() >= 17 && line[12] < '8') {
            out.push_back(line.substr(12, 5));
        }
    }
    return out;
}

bool has(const std::vector<std::string>& writes, const std::string& write) {
    return std::find(writes.begin(), writes.end(), write) != writes.end();
}

// What a misbehaving mouse costs: each lost read suppresses the write that would send its
// field back, a stall ends the sequence, a slot that reads back otherwise fails the macros;
// the files are saved in every case and what failed waits for the next arrival.
TEST(SessionFaults, WhatIsNotKnownIsNotWrittenAndWhatFailedIsSaid) {
    const struct {
        const char* faults;
        unsigned failedGroups;
        std::vector<std::string> sent, notSent;
    } cases[] = {
        {"", 0, {"03 01", "10 00", "10 01", "10 02", "07 00", "0d 01", "11 04", "13 0c"}, {}},
        {"lose-answer=90:1", 0, {"10 01", "10 02"}, {"10 00"}},
        {"lose-answer=90:3", 0, {"10 00", "10 01"}, {"10 02"}},
        {"lose-answer=8d", kLightingGroup, {"07 00", "07 01"}, {"0d 01"}},
        {"lose-answer=87:2", kLightingGroup, {"07 00", "0d 01"}, {"07 01"}},
        {"lose-answer=83", kDpiGroup, {"10 01", "13 01"}, {"03 01", "11 04"}},
        {"ignore-writes=13", kMacroGroup, {"13 01", "12 01"}, {}},
        {"stall-after=5",
         kKeyGroup | kDpiGroup | kLightingGroup | kMacroGroup,
         {"03 01"},
         {"07 00", "10 01", "13 01", "12 01"}},
    };
    for (const auto& c : cases) {
        SessionRig rig(true);
        const auto parsed = parseEmulatorFaults(c.faults);
        ASSERT_FALSE(parsed.error) << c.faults;
        rig.mouse.setFaults(parsed.faults);
        rig.session().link().transferTimeout = std::chrono::milliseconds(20);
        rig.session().link().chunkReadTimeout = std::chrono::milliseconds(20);
        ASSERT_TRUE(rig.session().start()) << c.faults;
        rig.session().firstBasicDrawing();
        rig.messages.shown.clear();
        EXPECT_EQ(rig.session().confirm(), c.failedGroups == 0) << c.faults;
        EXPECT_EQ(rig.session().lastApply().failedGroups, c.failedGroups) << c.faults;
        EXPECT_EQ(rig.session().applyPending(), c.failedGroups != 0) << c.faults;
        EXPECT_EQ(rig.messages.shown.size(), c.failedGroups != 0 ? 1u : 0u) << c.faults;
        const auto writes = writesIn(rig.trace);
        for (const auto& w : c.sent) {
            EXPECT_TRUE(has(writes, w)) << c.faults << ": " << w << " not sent";
        }
        for (const auto& w : c.notSent) {
            EXPECT_FALSE(has(writes, w)) << c.faults << ": " << w << " sent";
        }
        EXPECT_TRUE(std::filesystem::exists(rig.dir.path() / "str.ini")) << c.faults;
        EXPECT_NE(std::find(rig.phases.begin(), rig.phases.end(), "save config.bin"),
                  rig.phases.end())
            << c.faults;
    }
}

// A stall costs one time-out: nothing is sent after the transfer that timed out.
TEST(SessionFaults, AStalledMouseIsAskedNothingMoreInThatSequence) {
    for (const unsigned n : {0u, 12u, 40u, 140u}) {
        SessionRig rig(true);
        rig.session().link().transferTimeout = std::chrono::milliseconds(20);
        rig.session().link().chunkReadTimeout = std::chrono::milliseconds(20);
        ASSERT_TRUE(rig.session().start());
        rig.session().firstBasicDrawing();
        EmulatorFaults faults;
        faults.stallAfter = n;
        rig.mouse.setFaults(faults);
        rig.trace.clear();
        EXPECT_FALSE(rig.session().confirm()) << n;
        const auto timedOut = std::find_if(rig.trace.begin(), rig.trace.end(),
                                           [](const auto& l) { return l.ends_with("timed out"); });
        ASSERT_NE(timedOut, rig.trace.end()) << n;
        EXPECT_TRUE(std::none_of(timedOut + 1, rig.trace.end(), [](const std::string& l) {
            return l.starts_with("set_feature") || l.starts_with("get_feature") ||
                   l.starts_with("write") || l.starts_with("read");
        })) << n;
    }
}

// After an incomplete apply, the mouse answering again (an arrival whose handshake passes, or
// the wake from sleep) has the settings written again, said in a balloon.
TEST(SessionFaults, AnIncompleteApplyIsWrittenAgainWhenTheMouseAnswersAgain) {
    const std::u16string mouse = mouseInterfaceId(IdSpelling::upper);
    const struct {
        const char* way;
        std::function<void(SessionRig&)> comeBack;
    } ways[] = {
        {"unplugged and plugged in",
         [&](SessionRig& rig) {
             rig.mouse.unplug();
             rig.session().deviceChanges().onDeviceChange(kDeviceRemoveComplete,
                                                          kDeviceTypeInterface, mouse);
             rig.mouse.setFaults({});
             rig.mouse.plugIn();
             rig.session().deviceChanges().onDeviceChange(kDeviceArrival, kDeviceTypeInterface,
                                                          mouse);
         }},
        {"after sleep",
         [](SessionRig& rig) {
             rig.mouse.setFaults({});
             rig.mouse.unplug();
             rig.mouse.plugIn();
             EXPECT_TRUE(rig.session().resume());
         }},
    };
    for (const auto& w : ways) {
        SessionRig rig(true);
        ASSERT_TRUE(rig.session().start());
        rig.session().firstBasicDrawing();
        EmulatorFaults faults;
        faults.ignoredWrites = {0x13};
        rig.mouse.setFaults(faults);
        rig.session().settings().working.macroSlots[0] = 0x42;
        EXPECT_FALSE(rig.session().confirm()) << w.way;
        ASSERT_TRUE(rig.session().applyPending()) << w.way;
        w.comeBack(rig);
        EXPECT_FALSE(rig.session().applyPending()) << w.way;
        EXPECT_EQ(rig.mouse.state().macroSlots[0][0], 0x42) << w.way;
        std::lock_guard lock(rig.mutex);
        ASSERT_FALSE(rig.balloons.empty()) << w.way;
        EXPECT_EQ(rig.balloons.back(), u"Your settings were written to the mouse.") << w.way;
    }
}

} // namespace
} // namespace qor
