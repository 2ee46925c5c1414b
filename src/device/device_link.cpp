#include "device/device_link.h"

#include <algorithm>

namespace qor {

namespace {

using FeatureReport = std::array<std::uint8_t, kFeatureReportBufferSize>;
using ChunkReport = std::array<std::uint8_t, kChunkReportBufferSize>;

PacketCoding codingOf(bool scrambled) {
    return scrambled ? PacketCoding::scrambled : PacketCoding::plain;
}

// The length the collection states, never more than the buffer the core hands over.
std::size_t clampLength(std::uint16_t length, std::size_t buffer) {
    return std::min<std::size_t>(length, buffer);
}

} // namespace

DeviceLink::DeviceLink(HidCommandPort& command, Pacer& pacer, DeviceEventSink& sink,
                       ScrambleKeys firmwareKeys)
    : command_(command), pacer_(pacer), sink_(sink), firmwareKeys_(firmwareKeys) {
    // runKey is filled by the handshake; fixedKey is stored with the program.
    keys_.fixedKey = firmwareKeys_.fixedKey;
}

std::size_t DeviceLink::featureLength() const {
    return clampLength(lengths_.feature, kFeatureReportBufferSize);
}

bool DeviceLink::sendPacket(const CommandPacket& packet, bool scrambled) {
    FeatureReport report{};
    CommandPacket wire = packet;
    sealPacket(wire);
    if (scrambled) {
        scramble(wire, keys_);
    }
    std::copy(wire.begin(), wire.end(), report.begin() + 1);
    return command_.setFeature(std::span(report).first(featureLength()), codingOf(scrambled),
                               transferTimeout);
}

CommandPacket DeviceLink::receivePacket(bool scrambled) {
    FeatureReport report{};
    // The answer is taken whether or not the read succeeded: a lost answer reads as zeros.
    (void)command_.getFeature(std::span(report).first(featureLength()), codingOf(scrambled),
                              transferTimeout);
    CommandPacket answer{};
    std::copy(report.begin() + 1, report.begin() + 9, answer.begin());
    if (scrambled) {
        unscramble(answer, keys_);
    }
    return answer;
}

bool DeviceLink::exchange(CommandPacket& packet) {
    const bool scrambled = scrambleOn.load();
    const bool written = sendPacket(packet, scrambled);
    if (!isReadCommand(packet[0])) {
        return written;
    }
    packet = receivePacket(scrambled);
    return written;
}

void DeviceLink::blockTransfer(CommandPacket& header, std::span<std::uint8_t> payload) {
    const bool scrambled = scrambleOn.load();
    if (isReadCommand(header[0])) {
        // Before the header: the answer's chunks are queued as soon as the mouse has it.
        command_.flushInput();
    }
    (void)sendPacket(header, scrambled);

    if (!isReadCommand(header[0])) {
        const std::size_t chunks = chunkCount(header[2]);
        const std::size_t length = clampLength(lengths_.output, kChunkReportBufferSize);
        for (std::size_t c = 0; c < chunks; ++c) {
            ChunkReport report{};
            const std::size_t offset = c * kChunkPayloadSize;
            if (offset < payload.size()) {
                const std::size_t n = std::min(kChunkPayloadSize, payload.size() - offset);
                std::copy_n(payload.begin() + offset, n, report.begin() + 1);
            }
            if (command_.writeReport(std::span(report).first(length), transferTimeout) ==
                TransferResult::timedOut) {
                // The mouse stopped taking reports: the rest would wait as long each.
                return;
            }
            pacer_.pause(kChunkWritePauseMs);
        }
        return;
    }

    header = receivePacket(scrambled);
    const std::size_t chunks = chunkCount(header[2]);
    const std::size_t length = clampLength(lengths_.input, kChunkReportBufferSize);
    for (std::size_t c = 0; c < chunks; ++c) {
        ChunkReport report{};
        const ReadResult result =
            command_.readReport(std::span(report).first(length), chunkReadTimeout);
        if (result == ReadResult::timedOut) {
            // The mouse stopped sending: waiting for the rest would hang the window. What it
            // still sends of this block must not open the next one.
            command_.flushInput();
            return;
        }
        // A failed read leaves the chunk's zeros, which are copied like any other chunk.
        const std::size_t offset = c * kChunkPayloadSize;
        if (offset < payload.size()) {
            const std::size_t n = std::min(kChunkPayloadSize, payload.size() - offset);
            std::copy_n(report.begin() + 1, n, payload.begin() + offset);
        }
    }
}

void DeviceLink::handshake() {
    const CommandPacket probe = makePacket(0x00, {kHandshakeMagic[0], kHandshakeMagic[1],
                                                  kHandshakeMagic[2], kHandshakeMagic[3], 0, 0});
    bool scrambledAttempt = false;
    bool matched = false;
    for (;;) {
        (void)sendPacket(probe, scrambledAttempt);
        pacer_.pause(kHandshakePauseMs);
        const CommandPacket answer = receivePacket(scrambledAttempt);
        matched = std::equal(kHandshakeMagic.begin(), kHandshakeMagic.end(), answer.begin() + 1);
        if (matched || scrambledAttempt) {
            break;
        }
        keys_.runKey = firmwareKeys_.runKey;
        keys_.runKey[0] = 0;
        keys_.runKey[7] = 0;
        scrambledAttempt = true;
    }

    if (matched && scrambledAttempt) {
        scrambleOn = true;
        sink_.deliver(DeviceEventCode::mouseDetected, 0);
        connected = true;
    } else {
        scrambleOn = false;
        sink_.deliver(DeviceEventCode::mouseNotDetected, 0);
        connected = false;
    }
}

} // namespace qor
