// The mouse's side of the wire: a firmware emulator behind the same HID ports as the real device.
//
// It takes feature reports as the firmware does: a plain handshake probe switches it to plain
// packets and is answered with a packet that does not echo the magic (00 .. 00 ff); a scrambled
// probe switches it to scrambled packets and is answered by echoing the probe, scrambled. Packets
// whose checksum is wrong are ignored. Read commands (0x83, 0x87, 0x8D, 0x90, 0x93) queue an
// answer that the next feature read returns; block reads queue their 32-byte chunks as input
// reports (33 bytes, report ID 0) for the command collection. Write commands store what they
// carry; block writes take their chunks as output reports and are stored once all have arrived.
// A new feature report discards a block write not yet complete. Input reports wait in the
// host's queue of the command handle, as Windows keeps them (32 at most, the oldest dropped),
// until they are read or flushed: a new command does not remove them.
//
// Thread-safe: the command port is used from the window's thread, the event port from the
// listener thread, and a test may emit events or change faults from a third.
#pragma once
#include "device/hid_ports.h"
#include "device/scramble.h"
#include "emulator/emulator_faults.h"
#include "emulator/mouse_state.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qor {

// Report lengths of the emulated collections (report ID byte included).
inline constexpr std::uint16_t kEmulatedFeatureLength = 9;
inline constexpr std::uint16_t kEmulatedChunkLength = 33;
inline constexpr std::uint16_t kEmulatedEventLength = 8;
// Input reports the system queues per handle by default.
inline constexpr std::size_t kHostInputQueueLength = 32;

class MouseEmulator {
public:
    explicit MouseEmulator(MouseState state = factoryMouseState(),
                           ScrambleKeys keys = firmwareScrambleKeys());
    ~MouseEmulator();
    MouseEmulator(const MouseEmulator&) = delete;
    MouseEmulator& operator=(const MouseEmulator&) = delete;

    // The feature collection and the event collection as the host sees them.
    HidCommandPort& commandPort();
    HidEventPort& eventPort();

    MouseState state() const;
    void setState(const MouseState& state);
    // Whether the last handshake probe switched the firmware to scrambled packets.
    bool scrambling() const;

    // Presence: an absent mouse fails every transfer; a pending event read completes empty.
    bool present() const;
    void unplug();
    void plugIn();
    // The event collection is opened (by discovery) or closed.
    void setEventCollectionOpen(bool open);

    // Queues an event report on the event collection (zero-padded to its length).
    void emitEvent(std::span<const std::uint8_t> report);
    void emitEvent(std::uint8_t code, std::uint8_t value, std::uint8_t reportId = 6);

    // --- faults ------------------------------------------------------------------------------
    // The next `count` feature reads fail (the answer is lost).
    void dropAnswers(unsigned count);
    // The next answer to read command `code` (0x90 or 0x93) announces `length` bytes and sends
    // that many chunks; bytes beyond what the mouse holds are 0xee.
    void announceLength(std::uint8_t code, std::uint8_t length);
    // Chunk `index` (0-based) of the next block read, and those after it, are held back until
    // a read waiting for them times out; then they arrive, late.
    void stallChunk(unsigned index);
    // An input report on the command collection that no command asked for.
    void sendUnaskedReport(std::span<const std::uint8_t> payload);
    // While refusing, feature reports and chunk writes stay pending until the host's time-out.
    void setRefusingReports(bool refusing);
    // Older firmware: echoes the plain probe and never scrambles.
    void setEchoPlainProbe(bool echo);
    // The mouse vanishes on its `n`-th transfer from now (1 = the next one), which fails.
    void vanishAtTransfer(unsigned n);
    // Time each command-port transfer takes.
    void setTransferLatency(std::chrono::microseconds latency);
    // The faults of a whole run (emulator_faults.h), replacing those set before; their counts
    // start now. The stall counts the transfers after the next handshake, or after the last one
    // when the firmware already passed one; once stalled, the mouse stays silent (event reports
    // included) until faults are set again.
    void setFaults(const EmulatorFaults& faults);
    // A transfer the mouse leaves pending returns at once as timed out instead of holding the
    // caller for the host's time-out (for runs that do not sleep their pauses either).
    void setInstantTimeouts(bool instant);

    // --- observation -------------------------------------------------------------------------
    // Command-port calls so far (feature writes and reads, chunk writes and reads).
    unsigned transferCount() const;
    // Whether the mouse has stopped answering (stall-after).
    bool stalled() const;
    // Packets ignored for a wrong checksum.
    unsigned rejectedPackets() const;
    // Flushes of the command handle's input queue, and the reports it holds now.
    unsigned flushes() const;
    std::size_t queuedInputReports() const;
    // Reads begun on the event collection so far, and whether one is pending now.
    struct EventReads {
        unsigned begun = 0;
        bool pending = false;
    };
    EventReads eventReads() const;

private:
    class CommandSide;
    class EventSide;

    struct Chunk {
        std::array<std::uint8_t, 32> bytes{};
        bool stalled = false;
    };

    enum class Transfer {
        absent,  // the mouse is (or just became) absent: the transfer fails
        stalled, // it has stopped answering: the transfer times out
        proceed,
    };
    // Called with mutex_ held, once per command-port transfer.
    Transfer beginTransfer(std::unique_lock<std::mutex>& lock);
    // Called with mutex_ held: waits until `ready` holds or `timeout` has passed (at once when
    // time-outs are instant). True when `ready` held.
    template <typename Ready>
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout,
                   Ready ready);
    // A stalled transfer: pending until the host's time-out, or until the mouse is pulled out.
    void waitOutStall(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout);
    // Called with mutex_ held. False when the mouse refused the report until `timeout`.
    bool takesReports(std::chrono::milliseconds timeout, std::unique_lock<std::mutex>& lock);
    // Counts an answer to `code` and marks it lost when the faults say so.
    void noteAnswer(std::uint8_t code);
    bool ignoresWrites(std::uint8_t code) const;
    void queueInput(const Chunk& chunk);
    bool takeFeature(std::span<const std::uint8_t> report);
    void handlePacket(const CommandPacket& packet);
    void queueAnswer(const CommandPacket& answer);
    void queueBlockRead(std::uint8_t code, std::uint8_t index, std::span<const std::uint8_t> data);
    void commitBlockWrite();
    bool giveFeature(std::span<std::uint8_t> report);
    bool takeChunk(std::span<const std::uint8_t> report);
    ReadResult giveChunk(std::span<std::uint8_t> report, std::chrono::milliseconds timeout,
                         std::unique_lock<std::mutex>& lock);
    void completeEventRead();
    void endEventRead(std::size_t bytes);
    void vanish();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    ScrambleKeys keys_;
    MouseState state_;
    bool scrambling_ = false;
    bool present_ = true;

    std::optional<CommandPacket> answer_;
    std::deque<Chunk> chunksOut_; // the host's input queue of the command handle
    struct PendingWrite {
        std::uint8_t code = 0;
        std::uint8_t index = 0;
        std::uint8_t length = 0;
        std::size_t expected = 0;
        std::vector<std::uint8_t> data;
        bool ignored = false; // taken but not kept (ignore-writes)
    };
    std::optional<PendingWrite> pendingWrite_;

    // event collection
    bool eventOpen_ = false;
    bool signalled_ = false;
    std::deque<std::array<std::uint8_t, kEmulatedEventLength>> events_;
    std::span<std::uint8_t> readBuffer_;
    bool readPending_ = false;
    bool readDone_ = false;
    std::size_t readBytes_ = 0;
    unsigned readsBegun_ = 0;

    // faults
    unsigned dropAnswers_ = 0;
    std::optional<std::pair<std::uint8_t, std::uint8_t>> announcedLength_;
    std::optional<unsigned> stallChunk_;
    bool echoPlainProbe_ = false;
    unsigned vanishCountdown_ = 0;
    std::chrono::microseconds latency_{0};
    bool refusing_ = false;
    unsigned flushes_ = 0;
    bool instantTimeouts_ = false;

    // faults of a whole run
    EmulatorFaults faults_;
    std::array<unsigned, 256> answersTo_{}; // answers given per command code since setFaults
    bool answerLost_ = false;               // the queued answer is lost
    bool answerEndsHandshake_ = false;      // the queued answer echoes a scrambled probe
    bool handshakePassed_ = false;          // its echo was read since the mouse came
    bool stallCounting_ = false;
    unsigned answeredSinceHandshake_ = 0;
    bool stalled_ = false;

    unsigned transfers_ = 0;
    unsigned rejected_ = 0;

    std::unique_ptr<CommandSide> commandSide_;
    std::unique_ptr<EventSide> eventSide_;
};

} // namespace qor
