#include "emulator/emulator_faults.h"
#include "emulator/mouse_emulator.h"

#include "device/device_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using namespace std::chrono_literals;

TEST(EmulatorFaultWords, ParseIntoFaults) {
    const struct {
        const char* words;
        EmulatorFaults expected;
    } cases[] = {
        {"", {}},
        {" , ,", {}},
        {"stall-after=20", {20u, {}, {}}},
        {"stall-after=0", {0u, {}, {}}},
        {" stall-after=7 , lose-answer=90 ", {7u, {{0x90, 1}}, {}}},
        {"lose-answer=8D:2,lose-answer=8d:2,lose-answer=0:3", {{}, {{0x8D, 2}, {0x00, 3}}, {}}},
        {"ignore-writes=13,ignore-writes=0d,ignore-writes=13,", {{}, {}, {0x13, 0x0D}}},
        {"ignore-writes=3,lose-answer=93:4294967295", {{}, {{0x93, 4294967295u}}, {0x03}}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseEmulatorFaults(c.words);
        EXPECT_FALSE(parsed.error) << c.words << ": " << parsed.error.value_or("");
        EXPECT_EQ(parsed.faults, c.expected) << c.words;
    }
}

TEST(EmulatorFaultWords, RefuseMalformedWordsNamingThem) {
    const struct {
        const char* words;
        const char* named; // the word the message must name
    } cases[] = {
        {"stall-after", "stall-after"},
        {"stall-after=", "stall-after="},
        {"stall-after=-1", "stall-after=-1"},
        {"stall-after=+1", "stall-after=+1"},
        {"stall-after=1x", "stall-after=1x"},
        {"stall-after=4294967296", "stall-after=4294967296"},
        {"stall-after=1,stall-after=2", "stall-after=2"},
        {"lose-answer=", "lose-answer="},
        {"lose-answer=9g", "lose-answer=9g"},
        {"lose-answer=090", "lose-answer=090"},
        {"lose-answer=90:", "lose-answer=90:"},
        {"lose-answer=90:0", "lose-answer=90:0"},
        {"lose-answer=:1", "lose-answer=:1"},
        {"lose-answer=90:1:2", "lose-answer=90:1:2"},
        {"lose-answer=13", "lose-answer=13"}, // a write: never answered
        {"ignore-writes=83", "ignore-writes=83"},
        {"ignore-writes=1 3", "ignore-writes=1 3"},
        {"ignore-writes=13,bogus=1", "bogus=1"},
        {"Stall-After=1", "Stall-After=1"},
        {"stall-after = 1", "stall-after = 1"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseEmulatorFaults(c.words);
        ASSERT_TRUE(parsed.error) << c.words;
        // Appended, not concatenated: GCC 12 at -O3 warns falsely on `"'" + std::string(...)`.
        std::string quoted(1, '\'');
        quoted.append(c.named).push_back('\'');
        EXPECT_NE(parsed.error->find(quoted), std::string::npos)
            << c.words << " -> " << *parsed.error;
        EXPECT_TRUE(parsed.faults.none()) << c.words;
    }
}

// A port between the link and the mouse that notes how each transfer ended.
class OutcomeRecorder final : public HidCommandPort {
public:
    explicit OutcomeRecorder(HidCommandPort& inner) : inner_(inner) {}
    TransferResult setFeature(std::span<const std::uint8_t> r, PacketCoding c,
                              std::chrono::milliseconds t) override {
        return note("set", inner_.setFeature(r, c, t));
    }
    TransferResult getFeature(std::span<std::uint8_t> r, PacketCoding c,
                              std::chrono::milliseconds t) override {
        return note("get", inner_.getFeature(r, c, t));
    }
    TransferResult writeReport(std::span<const std::uint8_t> r,
                               std::chrono::milliseconds t) override {
        return note("write", inner_.writeReport(r, t));
    }
    ReadResult readReport(std::span<std::uint8_t> r, std::chrono::milliseconds t) override {
        return note("read", inner_.readReport(r, t));
    }
    void flushInput() override { inner_.flushInput(); }

    // "set ok", "get failed", "read timed out", ...
    std::vector<std::string> outcomes;

private:
    TransferResult note(const char* verb, TransferResult result) {
        const char* how = result == TransferResult::ok       ? " ok"
                          : result == TransferResult::failed ? " failed"
                                                             : " timed out";
        outcomes.push_back(std::string(verb) + how);
        return result;
    }
    HidCommandPort& inner_;
};

// The emulated mouse behind an outcome recorder and a link, time-outs instant.
struct FaultRig {
    explicit FaultRig(const EmulatorFaults& faults) {
        mouse.setFaults(faults);
        mouse.setInstantTimeouts(true);
        link.setReportLengths(
            ReportLengths{kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
    }
    MouseEmulator mouse;
    OutcomeRecorder port{mouse.commandPort()};
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link{port, pacer, sink};
};

EmulatorFaults faultsOf(const char* words) {
    const auto parsed = parseEmulatorFaults(words);
    EXPECT_FALSE(parsed.error) << *parsed.error;
    return parsed.faults;
}

// Reads, block reads and block writes, enough to pass every stall point of the table; each
// a sequence of its own, so that the link asks the mouse again after a time-out.
void busyTraffic(DeviceLink& link) {
    for (int round = 0; round < 4; ++round) {
        link.beginSequence();
        CommandPacket read = makePacket(0x83);
        link.exchange(read);
        link.beginSequence();
        std::array<std::uint8_t, 24> block{};
        CommandPacket header = makePacket(0x90, {1});
        link.blockTransfer(header, block);
        link.beginSequence();
        std::array<std::uint8_t, 64> matrix{};
        matrix.fill(0x5A);
        CommandPacket write = makePacket(0x12, {2, 64});
        link.blockTransfer(write, matrix);
    }
}

TEST(EmulatorFaults, StallAnswersNTransfersAfterTheHandshakeThenTimesOut) {
    // 6: the stall falls on the first chunk of the first key-matrix write.
    for (const unsigned n : {0u, 1u, 4u, 6u}) {
        FaultRig rig(faultsOf(("stall-after=" + std::to_string(n)).c_str()));
        rig.link.handshake();
        ASSERT_TRUE(rig.link.connected) << n; // the handshake itself is not counted
        ASSERT_EQ(rig.port.outcomes.size(), 4u);
        rig.port.outcomes.clear();
        busyTraffic(rig.link);
        const auto& got = rig.port.outcomes;
        ASSERT_GT(got.size(), n + 3) << n;
        for (std::size_t i = 0; i < got.size(); ++i) {
            const bool answered = got[i].ends_with(" ok");
            EXPECT_EQ(answered, i < n)
                << "stall-after " << n << ", transfer " << i + 1 << ": " << got[i];
            if (!answered) {
                EXPECT_TRUE(got[i].ends_with(" timed out")) << got[i];
            }
        }
        EXPECT_TRUE(rig.mouse.stalled());
        // Nothing written after the stall reached the mouse.
        EXPECT_EQ(rig.mouse.state().keyMatrices[1], factoryMouseState().keyMatrices[1]) << n;
    }
}

TEST(EmulatorFaults, StallSetAfterAHandshakeCountsFromThen) {
    FaultRig rig({});
    rig.link.handshake();
    rig.mouse.setFaults(faultsOf("stall-after=2"));
    rig.port.outcomes.clear();
    CommandPacket read = makePacket(0x83);
    rig.link.exchange(read);
    EXPECT_EQ(read, makePacket(0x83, {0x01, 0x02, 0x2A, 0x15}));
    CommandPacket write = makePacket(0x0D, {4, 5, 6});
    EXPECT_EQ(rig.link.exchange(write), TransferResult::timedOut);
    EXPECT_EQ(rig.port.outcomes, (std::vector<std::string>{"set ok", "get ok", "set timed out"}));
    EXPECT_EQ(rig.mouse.state().effect, factoryMouseState().effect);
}

TEST(EmulatorFaults, StalledTransferWaitsForTheTimeOutUnlessInstant) {
    MouseEmulator mouse;
    mouse.setFaults(faultsOf("stall-after=0"));
    NullPacer pacer;
    test::RecordingEventSink sink;
    DeviceLink link(mouse.commandPort(), pacer, sink);
    link.setReportLengths(
        ReportLengths{kEmulatedFeatureLength, kEmulatedChunkLength, kEmulatedChunkLength});
    link.handshake();
    std::array<std::uint8_t, 33> chunk{};
    EXPECT_EQ(mouse.commandPort().readReport(chunk, 1ms), ReadResult::timedOut);
    EXPECT_EQ(mouse.commandPort().writeReport(chunk, 1ms), TransferResult::timedOut);
    // Pulled out while stalled: transfers fail, as for any absent mouse.
    mouse.unplug();
    EXPECT_EQ(mouse.commandPort().readReport(chunk, 1ms), ReadResult::failed);
}

TEST(EmulatorFaults, LosesTheKthAnswerToACommandOnly) {
    const MouseState s = factoryMouseState();
    const CommandPacket answer83 = makePacket(0x83, {s.sensorType, s.rate, s.option1, s.option2});
    const CommandPacket answer87 = makePacket(0x87, {1, 0x41, 0x42, 0x43});
    CommandPacket lost{};
    unscramble(lost, firmwareScrambleKeys()); // a failed read leaves the zeros the link set
    const struct {
        const char* words;
        std::vector<bool> lostAt; // per exchange of 83, 87, 87, 83, 87
    } cases[] = {
        {"", {false, false, false, false, false}},
        {"lose-answer=83", {true, false, false, false, false}},
        {"lose-answer=83:2", {false, false, false, true, false}},
        {"lose-answer=87:2,lose-answer=83:1", {true, false, true, false, false}},
        {"lose-answer=87:3", {false, false, false, false, true}},
        {"lose-answer=87:4", {false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        FaultRig rig(faultsOf(c.words));
        rig.link.handshake();
        ASSERT_TRUE(rig.link.connected);
        rig.port.outcomes.clear();
        const std::uint8_t codes[] = {0x83, 0x87, 0x87, 0x83, 0x87};
        for (std::size_t i = 0; i < 5; ++i) {
            CommandPacket p = codes[i] == 0x83 ? makePacket(0x83) : makePacket(0x87, {1});
            rig.link.exchange(p);
            const CommandPacket& expected = codes[i] == 0x83 ? answer83 : answer87;
            EXPECT_EQ(p, c.lostAt[i] ? lost : expected) << c.words << ", exchange " << i + 1;
            // The read fails at once: a lost answer, not a time-out.
            EXPECT_EQ(rig.port.outcomes[2 * i + 1], c.lostAt[i] ? "get failed" : "get ok")
                << c.words << ", exchange " << i + 1;
        }
    }
}

TEST(EmulatorFaults, LostBlockAnswerKeepsItsChunksAndTheHandshakeProbeCounts) {
    // The answer to a block read is lost, not the chunks the mouse queued with it.
    FaultRig rig(faultsOf("lose-answer=90:2"));
    rig.link.handshake();
    for (const bool lostOne : {false, true}) {
        CommandPacket header = makePacket(0x90, {2});
        rig.link.exchange(header); // the header and its answer only
        EXPECT_EQ(header == makePacket(0x90, {2, 4}), !lostOne);
        EXPECT_EQ(rig.mouse.queuedInputReports(), 1u);
        std::array<std::uint8_t, 33> chunk{};
        ASSERT_EQ(rig.mouse.commandPort().readReport(chunk, 1ms), ReadResult::ok);
        const auto block2 = factoryMouseState().configBlock2;
        EXPECT_TRUE(std::equal(block2.begin(), block2.end(), chunk.begin() + 1)) << lostOne;
    }

    // The probe's answers: the plain one lost is harmless, the scrambled echo lost fails the
    // handshake.
    for (const auto& [words, connected] :
         {std::pair{"lose-answer=00:1", true}, std::pair{"lose-answer=00:2", false}}) {
        FaultRig probe(faultsOf(words));
        probe.link.handshake();
        EXPECT_EQ(probe.link.connected, connected) << words;
    }
}

// Every write the mouse keeps, as the link sends it.
void writeEverything(DeviceLink& link) {
    auto send = [&](CommandPacket p) { EXPECT_EQ(link.exchange(p), TransferResult::ok); };
    auto block = [&](std::uint8_t code, std::uint8_t index, std::uint8_t length,
                     std::uint8_t fill) {
        std::vector<std::uint8_t> payload(length, fill);
        CommandPacket header = makePacket(code, {index, length});
        link.blockTransfer(header, payload);
    };
    send(makePacket(0x03, {3, 4, 5, 6}));
    send(makePacket(0x07, {1, 7, 8, 9}));
    send(makePacket(0x0D, {3, 10, 2}));
    block(0x10, 2, 4, 0x66);
    block(0x11, 3, 8, 0x85);
    block(0x12, 4, 64, 0x12);
    block(0x13, 12, 128, 0x13);
}

TEST(EmulatorFaults, IgnoredWritesAreTakenButKeepWhatTheMouseHeld) {
    // What each write changes, to be left as it was when the write is ignored.
    const struct {
        std::uint8_t code;
        void (*keepOld)(MouseState& expected, const MouseState& old);
    } cases[] = {
        {0x03,
         [](MouseState& e, const MouseState& o) {
             e.sensorType = o.sensorType;
             e.rate = o.rate;
             e.option1 = o.option1;
             e.option2 = o.option2;
         }},
        {0x07, [](MouseState& e, const MouseState& o) { e.ledParams = o.ledParams; }},
        {0x0D,
         [](MouseState& e, const MouseState& o) {
             e.effect = o.effect;
             e.effectOption1 = o.effectOption1;
             e.effectOption2 = o.effectOption2;
         }},
        {0x10, [](MouseState& e, const MouseState& o) { e.configBlock2 = o.configBlock2; }},
        {0x11,
         [](MouseState& e, const MouseState& o) {
             e.dpiStageCount = o.dpiStageCount;
             e.dpiStageCodes = o.dpiStageCodes;
         }},
        {0x12, [](MouseState& e, const MouseState& o) { e.keyMatrices = o.keyMatrices; }},
        {0x13, [](MouseState& e, const MouseState& o) { e.macroSlots = o.macroSlots; }},
    };
    FaultRig plain({});
    plain.link.handshake();
    writeEverything(plain.link);
    const MouseState everything = plain.mouse.state();
    ASSERT_NE(everything, factoryMouseState());

    for (const auto& c : cases) {
        EmulatorFaults faults;
        faults.ignoredWrites = {c.code};
        FaultRig rig(faults);
        rig.link.handshake();
        rig.port.outcomes.clear();
        writeEverything(rig.link);
        for (const auto& outcome : rig.port.outcomes) {
            EXPECT_TRUE(outcome.ends_with(" ok")) << int{c.code} << ": " << outcome;
        }
        MouseState expected = everything;
        c.keepOld(expected, factoryMouseState());
        EXPECT_EQ(rig.mouse.state(), expected) << "ignore-writes " << int{c.code};
    }
}

} // namespace
} // namespace qor
