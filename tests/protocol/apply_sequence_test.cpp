#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "base/text_utf8.h"
#include "settings/config_file.h"
#include "settings/file_system_std.h"
#include "support/protocol_rig.h"

namespace {

using namespace qor;
using namespace qor::test;

// A record that exercises every part of the apply: a mixed key set A (applied), a different key
// set B, DPI stages on and off, Respiration with RGB Flash, and twelve distinct macro slots.
SettingsRecord knownRecord() {
    SettingsRecord r{};
    const std::uint8_t fnA[] = {0, 1, 13, 5, 12, 6, 8, 10};
    for (std::size_t k = 0; k < 8; ++k) {
        r.modeA.function[k] = fnA[k];
        r.modeB.function[k] = 14;
    }
    r.modeA.macroIndex[2] = 2;
    r.modeA.macroLoopMode[2] = 1;
    r.modeA.comboModifiers[4] = 0x01;
    r.modeA.comboKey1[4] = 0x06;
    r.dpiSwitchA[5] = 4;
    r.modeA.windowsChoice[6] = 2;
    r.modeA.windowsCode[6] = 0x92;
    r.modeA.windowsClass[6] = 0x01;
    r.modeA.fireKey[7] = 0x04;
    r.modeA.fireSpeed[7] = 32;
    r.modeA.fireTimes[7] = 1;
    r.modeA.singleKey.fill(0x2C); // left over from earlier choices; must not leak
    for (std::size_t n = 0; n < kMacroCount; ++n) {
        for (std::size_t i = 0; i < kMacroSlotBytes; ++i) {
            r.macroSlot(n)[i] = static_cast<std::uint8_t>(0x11 * (n + 1) + i);
        }
    }
    r.dpiLevel = {0, 3, 7, 2};
    r.dpiStageOn = {1, 0, 1, 1};
    r.dpiColor = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x12, 0x34, 0x56};
    r.ledMode = 2;
    r.ledBreathSpeed = 2;
    r.ledEffect = {0, 2, 3};
    r.mouseSpeedPosition = 6;
    return r;
}

std::vector<std::uint8_t> configBytes(const SettingsRecord& r, std::uint8_t flag) {
    std::vector<std::uint8_t> bytes(kConfigFileSize);
    bytes[0] = flag;
    std::memcpy(bytes.data() + 1, &r, sizeof r);
    return bytes;
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One apply run from a config.bin on disk, as OK runs it.
struct ApplyRun {
    explicit ApplyRun(MouseState state = factoryMouseState()) : rig(state) {
        configPath = dir.path() / "config.bin";
        writeFile(configPath, configBytes(knownRecord(), 1));
    }

    bool confirm() {
        StdFileSystem files;
        loadConfig(files, rig.messages, utf8ToUtf16(configPath.string()), settings);
        settings.takeSnapshot();
        ApplyPersistence persistence;
        persistence.saveSettings = [this](const SettingsRecord& record) {
            rig.note("# save config.bin");
            StdFileSystem fs;
            saveConfig(fs, rig.messages, utf8ToUtf16(configPath.string()), record);
        };
        persistence.writeKeyRowTexts = [this] { rig.note("# write str.ini"); };
        if (rig.link.connected) {
            rig.note("# apply");
        }
        return confirmSettings(rig.link, rig.commands, settings, persistence).ran;
    }

    // The trace lines after "# apply" up to the save.
    std::vector<TraceLine> applyLines() const {
        std::vector<TraceLine> out;
        bool in = false;
        for (const auto& line : rig.trace) {
            if (line == "# apply") {
                in = true;
            } else if (line.starts_with("#")) {
                in = false;
            } else if (in) {
                out.push_back(parseTraceLine(line));
            }
        }
        return out;
    }

    TempDir dir;
    std::filesystem::path configPath;
    ProtocolRig rig;
    SettingsState settings;
};

// The sequence as the mouse must see it, built from the command table on its own: each
// command's header (code, index, length), the chunks it moves and its pauses.
struct Expected {
    std::string verb;
    std::vector<std::uint8_t> head; // first bytes of the packet; empty for chunks and sleeps
    unsigned pause = 0;
};

std::vector<Expected> expectedApplyShape() {
    std::vector<Expected> e;
    auto feature = [&](std::uint8_t code, std::uint8_t index, std::uint8_t length) {
        e.push_back({"set_feature", {code, index, length}});
    };
    auto read = [&](std::uint8_t code, std::uint8_t index, std::uint8_t answerLength,
                    unsigned chunks) {
        e.push_back({"flush", {}}); // what an earlier read left queued
        e.push_back({"set_feature", {code, index}});
        e.push_back({"get_feature", {code, index, answerLength}});
        for (unsigned c = 0; c < chunks; ++c) {
            e.push_back({"read", {}});
        }
    };
    auto write = [&](std::uint8_t code, std::uint8_t index, std::uint8_t length, unsigned chunks) {
        feature(code, index, length);
        for (unsigned c = 0; c < chunks; ++c) {
            e.push_back({"write", {}});
            e.push_back({"sleep", {}, 3});
        }
    };
    auto sleep2 = [&] { e.push_back({"sleep", {}, 2}); };

    e.push_back({"set_feature", {0x8D, 0}});
    e.push_back({"get_feature", {0x8D}});
    for (std::uint8_t i = 0; i < 2; ++i) {
        e.push_back({"set_feature", {0x87, i}});
        e.push_back({"get_feature", {0x87, i}});
        sleep2();
    }
    const std::uint8_t sizes[] = {24, 24, 4};
    for (std::uint8_t i = 0; i < 3; ++i) {
        read(0x90, i, sizes[i], 1);
        sleep2();
    }
    for (std::uint8_t i = 0; i < 3; ++i) {
        write(0x10, i, sizes[i], 1);
        sleep2();
    }
    for (std::uint8_t i = 0; i < 2; ++i) {
        e.push_back({"set_feature", {0x07, i}});
        sleep2();
    }
    e.push_back({"set_feature", {0x0D}});
    write(0x11, 4, 8, 1);
    for (std::uint8_t n = 1; n <= 12; ++n) {
        write(0x13, n, 128, 4);
        sleep2();
    }
    for (std::uint8_t n = 1; n <= 12; ++n) {
        read(0x93, n, 128, 4);
        sleep2();
    }
    for (std::uint8_t n = 1; n <= 4; ++n) {
        write(0x12, n, 64, 2);
        sleep2();
    }
    return e;
}

TEST(ApplySequenceTest, FollowsTheCommandOrderWithItsPauses) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    ASSERT_TRUE(run.confirm());
    const auto lines = run.applyLines();
    const auto shape = expectedApplyShape();
    ASSERT_EQ(lines.size(), shape.size());
    unsigned pauses = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].verb, shape[i].verb) << "line " << i;
        if (shape[i].verb == "sleep") {
            EXPECT_EQ(lines[i].pause, shape[i].pause) << "line " << i;
            pauses += lines[i].pause;
        }
        for (std::size_t b = 0; b < shape[i].head.size(); ++b) {
            ASSERT_LT(b, lines[i].bytes.size());
            EXPECT_EQ(lines[i].bytes[b], shape[i].head[b]) << "line " << i << " byte " << b;
        }
        if (lines[i].verb == "set_feature") {
            ASSERT_EQ(lines[i].bytes.size(), 8u);
            EXPECT_EQ(std::accumulate(lines[i].bytes.begin(), lines[i].bytes.end(), 0u) % 256,
                      0xFFu)
                << "line " << i;
        }
    }
    EXPECT_EQ(pauses, 256u);
    // The files come last: config.bin, then str.ini.
    ASSERT_GE(run.rig.trace.size(), 2u);
    EXPECT_EQ(run.rig.trace[run.rig.trace.size() - 2], "# save config.bin");
    EXPECT_EQ(run.rig.trace.back(), "# write str.ini");
}

TEST(ApplySequenceTest, MatchesTheGoldenTrace) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    ASSERT_TRUE(run.confirm());
    const auto golden =
        std::filesystem::path(QOR_SOURCE_DIR) / "tests/protocol/golden/apply_known.trace";
    if (std::getenv("QOR_UPDATE_GOLDEN") != nullptr) {
        std::ofstream out(golden);
        for (const auto& line : run.rig.trace) {
            out << line << '\n';
        }
    }
    const auto expected = readLines(golden);
    ASSERT_FALSE(expected.empty()) << golden;
    ASSERT_EQ(run.rig.trace.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(run.rig.trace[i], expected[i]) << "line " << i + 1;
    }
}

TEST(ApplySequenceTest, SendsWhatTheRecordAndTheMouseSay) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    ASSERT_TRUE(run.confirm());
    const auto lines = run.applyLines();
    auto find = [&](const std::string& verb, std::uint8_t code, std::uint8_t index,
                    std::size_t from = 0) {
        for (std::size_t i = from; i < lines.size(); ++i) {
            if (lines[i].verb == verb && lines[i].bytes[0] == code && lines[i].bytes[1] == index) {
                return i;
            }
        }
        ADD_FAILURE() << verb << " " << int(code) << "/" << int(index) << " not found";
        return lines.size() - 1;
    };

    // The second 0x87 request carries the first answer's bytes 2..6.
    const auto answer0 = find("get_feature", 0x87, 0);
    const auto request1 = find("set_feature", 0x87, 1);
    EXPECT_EQ(lines[answer0].bytes[2], 0x31); // the mouse's own parameter set 0
    for (std::size_t b = 2; b <= 6; ++b) {
        EXPECT_EQ(lines[request1].bytes[b], lines[answer0].bytes[b]) << b;
    }

    // Blocks 0 and 2 go back byte for byte as read; block 1 is the colours and 12 zeros.
    for (std::uint8_t block : {std::uint8_t{0}, std::uint8_t{2}}) {
        const auto readAt = find("get_feature", 0x90, block) + 1;
        const auto writeAt = find("set_feature", 0x10, block) + 1;
        EXPECT_EQ(lines[readAt].verb, "read");
        EXPECT_EQ(lines[writeAt].verb, "write");
        EXPECT_EQ(lines[writeAt].bytes, lines[readAt].bytes) << "block " << int(block);
    }
    const auto block1 = lines[find("set_feature", 0x10, 1) + 1].bytes;
    const std::vector<std::uint8_t> colours = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                               0x00, 0x00, 0xFF, 0x12, 0x34, 0x56};
    EXPECT_TRUE(std::equal(colours.begin(), colours.end(), block1.begin()));
    EXPECT_TRUE(std::all_of(block1.begin() + 12, block1.end(), [](auto b) { return b == 0; }));
    // The mouse's block 1 had a non-zero tail, so the zeros were made, not copied.
    EXPECT_EQ(factoryMouseState().configBlock1[12], 0xDC);

    // Lighting: Respiration with RGB Flash at "6S"; parameter set 1 as read.
    const auto effect = lines[find("set_feature", 0x0D, 2)].bytes;
    EXPECT_EQ(effect[2], 3);
    EXPECT_EQ(effect[3], 3);
    const auto set0 = lines[find("set_feature", 0x07, 0)].bytes;
    EXPECT_EQ((std::vector<std::uint8_t>(set0.begin() + 2, set0.begin() + 5)),
              (std::vector<std::uint8_t>{2, 125, 3}));
    const auto set1 = lines[find("set_feature", 0x07, 1)].bytes;
    EXPECT_EQ((std::vector<std::uint8_t>(set1.begin() + 2, set1.begin() + 5)),
              (std::vector<std::uint8_t>{0x41, 0x42, 0x43}));

    // DPI stages for the factory sensor type 1; the payload ends in four 0x80 bytes.
    const auto dpi = lines[find("set_feature", 0x11, 4) + 1].bytes;
    const std::vector<std::uint8_t> codes = {0x01, 0x84, 0x25, 0x03, 0x80, 0x80, 0x80, 0x80};
    EXPECT_TRUE(std::equal(codes.begin(), codes.end(), dpi.begin()));

    // What the mouse now holds.
    const MouseState held = run.rig.mouse.state();
    const SettingsRecord r = knownRecord();
    for (std::size_t n = 0; n < kMacroCount; ++n) {
        EXPECT_TRUE(
            std::equal(held.macroSlots[n].begin(), held.macroSlots[n].end(), r.macroSlot(n)))
            << "slot " << n + 1;
    }
    const std::uint32_t words[16] = {0x00F00001, 0x00F10001, 0x00030109, 0x0322F00A,
                                     0x00060100, 0x01040007, 0x01920003, 0x0120040A,
                                     0,          0,          0,          0,
                                     0,          0,          0x00F70001, 0x00F80001};
    for (std::size_t w = 0; w < 16; ++w) {
        std::uint32_t v = 0;
        std::memcpy(&v, held.keyMatrices[0].data() + 4 * w, 4); // little-endian host
        EXPECT_EQ(v, words[w]) << "word " << w;
    }
    for (std::size_t m = 1; m < 4; ++m) {
        EXPECT_TRUE(std::all_of(held.keyMatrices[m].begin(), held.keyMatrices[m].end(),
                                [](auto b) { return b == 0; }))
            << "matrix " << m + 1;
    }
    EXPECT_EQ(held.configBlock0, factoryMouseState().configBlock0);
    EXPECT_EQ(held.configBlock2, factoryMouseState().configBlock2);
    // The apply does not write the sensor settings; the read-back pinned bit 6 of option 2.
    EXPECT_EQ(held.option2, factoryMouseState().option2 | 0x40);
    EXPECT_EQ(held.rate, factoryMouseState().rate);

    // config.bin: flag 1 and the record, unchanged by the macro read-back.
    EXPECT_EQ(readFile(run.configPath), configBytes(r, 1));
    EXPECT_EQ(std::memcmp(&run.settings.appliedRecord, &r, sizeof r), 0);
}

TEST(ApplySequenceTest, ConfigIsSavedOnlyAfterTheKeyMatrices) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    bool matricesDoneAtSave = false;
    StdFileSystem files;
    loadConfig(files, run.rig.messages, utf8ToUtf16(run.configPath.string()), run.settings);
    ApplyPersistence persistence;
    persistence.saveSettings = [&](const SettingsRecord&) {
        const auto held = run.rig.mouse.state();
        matricesDoneAtSave = held.keyMatrices[0][2] == 0xF0 && // word 0 of matrix 1
                             std::count(run.rig.trace.begin(), run.rig.trace.end(),
                                        "set_feature 12 04 40 00 00 00 00 a9") == 1;
    };
    applySettings(run.rig.commands, run.settings.working, persistence);
    EXPECT_TRUE(matricesDoneAtSave);
}

TEST(ApplySequenceTest, LightingOffSendsBackWhatWasRead) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    SettingsRecord r = knownRecord();
    r.ledMode = 0;
    writeFile(run.configPath, configBytes(r, 1));
    ASSERT_TRUE(run.confirm());
    const MouseState held = run.rig.mouse.state();
    const MouseState factory = factoryMouseState();
    EXPECT_EQ(held.effect, factory.effect);
    EXPECT_EQ(held.effectOption1, factory.effectOption1);
    EXPECT_EQ(held.effectOption2, factory.effectOption2);
    EXPECT_EQ(held.ledParams, factory.ledParams);
}

TEST(ApplySequenceTest, DpiCodesFollowTheSensorTypeOfTheLastConnect) {
    struct Case {
        std::uint8_t sensor;
        std::array<std::uint8_t, 8> codes;
    };
    // Levels 0, 3, 7, 2 with stage 2 off.
    const Case cases[] = {
        {0, {0x01, 0x84, 0x08, 0x03, 0x80, 0x80, 0x80, 0x80}},
        {2, {0x02, 0x88, 0x2A, 0x06, 0x80, 0x80, 0x80, 0x80}},
        {3, {0x01, 0x84, 0x08, 0x03, 0x80, 0x80, 0x80, 0x80}},
        {9, {0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x80, 0x80}},
    };
    for (const auto& c : cases) {
        MouseState state = factoryMouseState();
        state.sensorType = c.sensor;
        ApplyRun run(state);
        ASSERT_TRUE(run.rig.start());
        EXPECT_EQ(run.rig.mirror.activeSensorType, c.sensor);
        ASSERT_TRUE(run.confirm());
        EXPECT_EQ(run.rig.mouse.state().dpiStageCodes, c.codes) << int(c.sensor);
        EXPECT_EQ(run.rig.mouse.state().dpiStageCount, 4);
    }
}

TEST(ApplySequenceTest, ConfirmWithoutTheMouseDoesNothing) {
    for (const bool unplugged : {true, false}) {
        ApplyRun run;
        if (unplugged) {
            run.rig.mouse.unplug();
        } else {
            run.rig.mouse.setEchoPlainProbe(true); // the handshake fails
        }
        EXPECT_FALSE(run.rig.start());
        const auto before = run.rig.trace.size();
        const auto transfers = run.rig.mouse.transferCount();
        const auto fileBefore = readFile(run.configPath);
        // Something to tell a snapshot from none.
        StdFileSystem files;
        loadConfig(files, run.rig.messages, utf8ToUtf16(run.configPath.string()), run.settings);
        run.settings.working.ledMode = 3;
        bool saved = false;
        ApplyPersistence persistence;
        persistence.saveSettings = [&](const SettingsRecord&) { saved = true; };
        persistence.writeKeyRowTexts = [&] { saved = true; };
        EXPECT_FALSE(
            confirmSettings(run.rig.link, run.rig.commands, run.settings, persistence).ran);
        EXPECT_EQ(run.rig.trace.size(), before);
        EXPECT_EQ(run.rig.mouse.transferCount(), transfers);
        EXPECT_FALSE(saved);
        EXPECT_EQ(run.settings.appliedRecord.ledMode, 0);
        EXPECT_EQ(readFile(run.configPath), fileBefore);
    }
}

TEST(ConnectReadBackTest, OneReadAndOneWriteWithOption2Pinned) {
    ProtocolRig rig;
    ASSERT_TRUE(rig.start());
    std::vector<std::string> commands;
    bool after = false;
    for (const auto& line : rig.trace) {
        after = after || line == "# connect read-back";
        if (after && line.starts_with("set_feature")) {
            commands.push_back(line);
        }
    }
    const MouseState f = factoryMouseState();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "set_feature 83 00 00 00 00 00 00 7c");
    const auto write = parseTraceLine(commands[1]);
    EXPECT_EQ(write.bytes[0], 0x03);
    EXPECT_EQ(write.bytes[1], f.sensorType);
    EXPECT_EQ(write.bytes[2], f.rate);
    EXPECT_EQ(write.bytes[3], f.option1);
    EXPECT_EQ(write.bytes[4], f.option2 | 0x40);
    EXPECT_EQ(rig.mirror.activeSensorType, f.sensorType);
}

} // namespace

namespace {

TEST(ApplySequenceTest, RunsToTheEndAndSavesWhenTheMouseVanishesHalfWay) {
    ApplyRun run;
    ASSERT_TRUE(run.rig.start());
    run.rig.mouse.vanishAtTransfer(60);                       // inside the macro slot writes
    writeFile(run.configPath, configBytes(knownRecord(), 0)); // the save makes the flag 1
    ASSERT_TRUE(run.confirm());
    // Every command, chunk write and pause is still attempted. (What a lost answer announces
    // decides how many chunks are read, so reads are left out of the comparison.)
    auto sent = [](const std::vector<std::string>& verbs) {
        std::vector<std::string> out;
        for (const auto& v : verbs) {
            if (v != "read" && v != "get_feature") {
                out.push_back(v);
            }
        }
        return out;
    };
    std::vector<std::string> got, want;
    unsigned pauses = 0;
    for (const auto& l : run.applyLines()) {
        got.push_back(l.verb == "sleep" ? "sleep " + std::to_string(l.pause) : l.verb);
        pauses += l.pause;
    }
    for (const auto& e : expectedApplyShape()) {
        want.push_back(e.verb == "sleep" ? "sleep " + std::to_string(e.pause) : e.verb);
    }
    EXPECT_EQ(sent(got), sent(want));
    EXPECT_EQ(pauses, 256u);
    EXPECT_FALSE(run.rig.mouse.present());
    EXPECT_EQ(run.rig.trace[run.rig.trace.size() - 2], "# save config.bin");
    EXPECT_EQ(readFile(run.configPath), configBytes(knownRecord(), 1));
}

} // namespace
