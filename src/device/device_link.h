// The link to the mouse's feature collection: the packet exchange, the handshake that switches
// scrambling on, and block transfers of 32-byte chunks.
#pragma once
#include "device/command_packet.h"
#include "device/event_report.h"
#include "device/hid_ports.h"
#include "device/pacer.h"
#include "device/scramble.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qor {

inline constexpr std::size_t kChunkPayloadSize = 32;
inline constexpr std::array<std::uint8_t, 4> kHandshakeMagic{0xC6, 0x93, 0x2F, 0x71};
inline constexpr unsigned kHandshakePauseMs = 5;
inline constexpr unsigned kChunkWritePauseMs = 3;
inline constexpr std::chrono::milliseconds kDefaultChunkReadTimeout{1000};
// Feature reports and chunk writes normally complete within a few milliseconds; a mouse that
// stops taking reports must not hold the window's thread for longer than a chunk read may.
inline constexpr std::chrono::milliseconds kDefaultTransferTimeout{1000};

// Number of 32-byte chunks that carry `payloadLength` bytes (rounded up).
constexpr std::size_t chunkCount(std::size_t payloadLength) {
    return (payloadLength + kChunkPayloadSize - 1) / kChunkPayloadSize;
}

struct ReportLengths {
    std::uint16_t feature = 0; // feature collection: command packets
    std::uint16_t input = 0;   // feature collection: chunks read
    std::uint16_t output = 0;  // feature collection: chunks written
};

class DeviceLink {
public:
    // `sink` hears the handshake's outcome (codes 14 and 15) before `connected` changes.
    DeviceLink(HidCommandPort& command, Pacer& pacer, DeviceEventSink& sink,
               ScrambleKeys firmwareKeys = firmwareScrambleKeys());

    // Sends one packet (checksum recomputed, scrambled when scrambling is on). For a read
    // command the answer replaces `packet` (zeros, unscrambled, when it did not arrive) and the
    // result is ok only when both the request and the answer went through. Nothing is sent
    // while the sequence is stalled.
    TransferResult exchange(CommandPacket& packet);

    // Sends `header` (byte 2 the payload length); a write command then sends the payload in
    // chunks, a read command takes the answering header into `header` and reads the chunks it
    // announces into `payload`, never past its end. A chunk that does not arrive within the
    // chunk read time-out ends the transfer; what was not received stays as it was (zero).
    // Input reports queued before a block read (late chunks of an earlier one, reports the mouse
    // sent unasked) are dropped first, and again after a time-out, so that they cannot shift
    // the chunks of this read or the next. A chunk write that does not complete within the
    // transfer time-out ends a block write. A read whose answering header did not arrive reads
    // no chunks. The result is ok only when every transfer went through.
    TransferResult blockTransfer(CommandPacket& header, std::span<std::uint8_t> payload);

    // A sequence (the handshake, the connect read-back, an apply) begins: the mouse is asked
    // again. The first transfer that times out marks the mouse as not answering; from then on
    // the sequence sends nothing and every transfer returns timedOut at once, so that a mouse
    // that stopped answering costs one time-out, not one per transfer.
    void beginSequence() { stalled_ = false; }
    bool stalled() const { return stalled_; }

    // Probes plain, then scrambled. Sets `scrambleOn` and `connected`, telling the sink first.
    void handshake();

    // Lengths of the opened feature collection (set by discovery).
    void setReportLengths(ReportLengths lengths) { lengths_ = lengths; }
    ReportLengths reportLengths() const { return lengths_; }
    // Input report length of the event collection; read once by the listener thread.
    std::atomic<std::uint16_t> eventReportLength{0};

    // 1 once a handshake has passed (and, briefly, while discovery opens the collection).
    // Written by the window's thread, read by the listener.
    std::atomic<bool> connected{false};
    std::atomic<bool> scrambleOn{false};

    std::chrono::milliseconds chunkReadTimeout = kDefaultChunkReadTimeout;
    // Bound of every feature report and chunk write.
    std::chrono::milliseconds transferTimeout = kDefaultTransferTimeout;

    // The key tables in use: runKey stays zero until the first plain probe has failed.
    const ScrambleKeys& keys() const { return keys_; }

private:
    std::size_t featureLength() const;
    TransferResult noted(TransferResult result);
    TransferResult sendPacket(const CommandPacket& packet, bool scrambled);
    CommandPacket receivePacket(bool scrambled, TransferResult& result);

    HidCommandPort& command_;
    Pacer& pacer_;
    DeviceEventSink& sink_;
    ScrambleKeys firmwareKeys_;
    ScrambleKeys keys_;
    ReportLengths lengths_;
    bool stalled_ = false; // window's thread only
};

} // namespace qor
