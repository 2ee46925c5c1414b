// The session as the window and qorctl run it: the start-up order, the first drawing's
// read-back, OK with and without the mouse, Cancel.
#include "session/session.h"

#include "dpi_lighting/dpi.h"

#include "settings/file_system_std.h"
#include "support/protocol_rig.h"

#include <gtest/gtest.h>

#include <fstream>

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

struct SessionRig : qor::test::WireRig {
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
                SessionPorts{system, port, mouse.eventPort(), pacer, events, messages, files, ini,
                             &pointer, [this](std::string_view p) { phases.emplace_back(p); }},
                strings,
                SessionFiles{(dir.path() / "config.bin").u16string(), dir.path() / "str.ini"});
        }
        return *session_;
    }

    TempDir dir;
    StdFileSystem files;
    IniEngine ini;
    CountingPointer pointer;
    StringTable strings{Language::English};
    std::vector<std::string> phases;

private:
    std::optional<Session> session_;
};

TEST(Session, StartUpOrderWithAndWithoutTheMouse) {
    for (const bool plugged : {true, false}) {
        SessionRig rig(plugged);
        std::vector<std::string> order;
        StartUpSteps steps;
        steps.afterOpen = [&] {
            order.push_back(rig.session().connected() ? "open: connected" : "open: away");
            return true;
        };
        steps.afterFiles = [&] { order.push_back("files"); };
        ASSERT_TRUE(rig.session().start(steps));
        EXPECT_EQ(order,
                  (std::vector<std::string>{plugged ? "open: connected" : "open: away", "files"}));
        EXPECT_EQ(rig.messages.shown.size(), plugged ? 0u : 1u);
        EXPECT_EQ(rig.session().settings().appliedRecord.ledMode,
                  rig.session().settings().working.ledMode)
            << "the snapshot is taken at start";
    }
    // A platform step that fails ends the start-up before the files.
    SessionRig rig(true);
    bool filesRead = false;
    StartUpSteps steps{[] { return false; }, [&] { filesRead = true; }};
    EXPECT_FALSE(rig.session().start(steps));
    EXPECT_FALSE(filesRead);
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
              dpiCodeTable(rig.session().image().activeSensorType).codes[7]);
    EXPECT_EQ(rig.pointer.sets, 4);
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

} // namespace
