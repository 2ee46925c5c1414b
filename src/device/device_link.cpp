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

TransferResult DeviceLink::noted(TransferResult result) {
    if (result == TransferResult::timedOut) {
        stalled_ = true;
    }
    return result;
}

TransferResult DeviceLink::sendPacket(const CommandPacket& packet, bool scrambled) {
    if (stalled_) {
        return TransferResult::timedOut;
    }
    FeatureReport report{};
    CommandPacket wire = packet;
    sealPacket(wire);
    if (scrambled) {
        scramble(wire, keys_);
    }
    std::copy(wire.begin(), wire.end(), report.begin() + 1);
    return noted(command_.setFeature(std::span(report).first(featureLength()), codingOf(scrambled),
                                     transferTimeout));
}

CommandPacket DeviceLink::receivePacket(bool scrambled, TransferResult& result) {
    FeatureReport report{};
    // The answer is taken whether or not the read succeeded: a lost answer reads as zeros.
    result = stalled_ ? TransferResult::timedOut
                      : noted(command_.getFeature(std::span(report).first(featureLength()),
                                                  codingOf(scrambled), transferTimeout));
    CommandPacket answer{};
    std::copy(report.begin() + 1, report.begin() + 9, answer.begin());
    if (scrambled) {
        unscramble(answer, keys_);
    }
    return answer;
}

namespace {

// The first result that is not ok.
TransferResult worse(TransferResult first, TransferResult second) {
    return first != TransferResult::ok ? first : second;
}

} // namespace

TransferResult DeviceLink::exchange(CommandPacket& packet) {
    const bool scrambled = scrambleOn.load();
    const TransferResult written = sendPacket(packet, scrambled);
    if (!isReadCommand(packet[0]) || stalled_) {
        return written;
    }
    TransferResult read = TransferResult::ok;
    packet = receivePacket(scrambled, read);
    return worse(written, read);
}

TransferResult DeviceLink::blockTransfer(CommandPacket& header, std::span<std::uint8_t> payload) {
    if (stalled_) {
        return TransferResult::timedOut;
    }
    const bool scrambled = scrambleOn.load();
    if (isReadCommand(header[0])) {
        // Before the header: the answer's chunks are queued as soon as the mouse has it.
        command_.flushInput();
    }
    const TransferResult sent = sendPacket(header, scrambled);
    if (stalled_) {
        return sent;
    }

    if (!isReadCommand(header[0])) {
        const std::size_t chunks = chunkCount(header[2]);
        const std::size_t length = clampLength(lengths_.output, kChunkReportBufferSize);
        TransferResult result = sent;
        for (std::size_t c = 0; c < chunks; ++c) {
            ChunkReport report{};
            const std::size_t offset = c * kChunkPayloadSize;
            if (offset < payload.size()) {
                const std::size_t n = std::min(kChunkPayloadSize, payload.size() - offset);
                std::copy_n(payload.begin() + offset, n, report.begin() + 1);
            }
            const TransferResult written =
                noted(command_.writeReport(std::span(report).first(length), transferTimeout));
            if (written == TransferResult::timedOut) {
                // The mouse stopped taking reports: the rest would wait as long each.
                return written;
            }
            result = worse(result, written);
            pacer_.pause(kChunkWritePauseMs);
        }
        return result;
    }

    TransferResult answered = TransferResult::ok;
    header = receivePacket(scrambled, answered);
    if (answered != TransferResult::ok) {
        // No answer, so no length to trust: zeros announce nothing real.
        return worse(sent, answered);
    }
    const std::size_t chunks = chunkCount(header[2]);
    const std::size_t length = clampLength(lengths_.input, kChunkReportBufferSize);
    TransferResult result = sent;
    for (std::size_t c = 0; c < chunks; ++c) {
        ChunkReport report{};
        const ReadResult read =
            noted(command_.readReport(std::span(report).first(length), chunkReadTimeout));
        if (read == ReadResult::timedOut) {
            // The mouse stopped sending: waiting for the rest would hang the window. What it
            // still sends of this block must not open the next one.
            command_.flushInput();
            return read;
        }
        result = worse(result, read);
        // A failed read leaves the chunk's zeros, which are copied like any other chunk.
        const std::size_t offset = c * kChunkPayloadSize;
        if (offset < payload.size()) {
            const std::size_t n = std::min(kChunkPayloadSize, payload.size() - offset);
            std::copy_n(report.begin() + 1, n, payload.begin() + offset);
        }
    }
    return result;
}

void DeviceLink::handshake() {
    beginSequence();
    const CommandPacket probe = makePacket(0x00, {kHandshakeMagic[0], kHandshakeMagic[1],
                                                  kHandshakeMagic[2], kHandshakeMagic[3], 0, 0});
    bool scrambledAttempt = false;
    bool matched = false;
    for (;;) {
        (void)sendPacket(probe, scrambledAttempt);
        pacer_.pause(kHandshakePauseMs);
        TransferResult answered = TransferResult::ok;
        const CommandPacket answer = receivePacket(scrambledAttempt, answered);
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
