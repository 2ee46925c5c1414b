// The protocol's view of a whole program run: the emulated mouse behind a traced link, the
// device mirror and its commands, and helpers to read the trace.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "device/trace.h"
#include "emulator/emulated_hid_system.h"
#include "emulator/mouse_emulator.h"
#include "protocol/commands.h"
#include "protocol/sequences.h"

namespace qor::test {

class NoEvents final : public DeviceEventSink {
public:
    void deliver(DeviceEventCode code, std::uint32_t) override { codes.push_back(code); }
    std::vector<DeviceEventCode> codes;
};

class NoMessages final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back(std::u16string(caption) + u": " + std::u16string(text));
    }
    std::vector<std::u16string> shown;
};

// The emulated mouse behind a traced port and pacer, with sinks for events and messages.
struct WireRig {
    explicit WireRig(MouseState state = factoryMouseState()) : mouse(state) {}

    MouseEmulator mouse;
    EmulatedHidSystem system{mouse};
    std::vector<std::string> trace;
    TraceLineSink sink = [this](std::string_view line) { trace.emplace_back(line); };
    TracingCommandPort port{mouse.commandPort(), sink};
    NullPacer quiet;
    TracingPacer pacer{quiet, sink};
    NoEvents events;
    NoMessages messages;
};

struct ProtocolRig : WireRig {
    explicit ProtocolRig(MouseState state = factoryMouseState()) : WireRig(state) {}

    void note(std::string_view line) { trace.emplace_back(line); }
    // Open, handshake and the connect read-back, as at start-up.
    bool start() {
        note("# open");
        if (!discovery.openDevice()) {
            link.connected = false;
            return false;
        }
        note("# handshake");
        link.handshake();
        if (link.connected) {
            note("# connect read-back");
            connectReadBack(commands);
        }
        return link.connected;
    }

    DeviceLink link{port, pacer, events};
    DeviceDiscovery discovery{system, link, mouse.eventPort(), messages, u"Qor"};
    DeviceMirror mirror;
    DeviceCommands commands{link, pacer, mirror};
};

// One trace line split into its verb and its bytes (or the pause).
struct TraceLine {
    std::string verb;
    std::vector<std::uint8_t> bytes;
    unsigned pause = 0;
};
TraceLine parseTraceLine(const std::string& line);

// A folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::vector<std::string> readLines(const std::filesystem::path& file);

// The requests a trace holds, as "CC II" (command and index byte) in order.
std::vector<std::string> requests(const std::vector<std::string>& trace);

} // namespace qor::test
