#include "device/command_packet.h"

#include <algorithm>

namespace qor {

std::uint8_t packetChecksum(const CommandPacket& packet) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kChecksumByte; ++i) {
        sum += packet[i];
    }
    return static_cast<std::uint8_t>(0xFFu - (sum & 0xFFu));
}

void sealPacket(CommandPacket& packet) {
    packet[kChecksumByte] = packetChecksum(packet);
}

CommandPacket makePacket(std::uint8_t code, std::initializer_list<std::uint8_t> parameters) {
    CommandPacket packet{};
    packet[0] = code;
    std::size_t i = 1;
    for (std::uint8_t b : parameters) {
        if (i >= kChecksumByte) {
            break;
        }
        packet[i++] = b;
    }
    sealPacket(packet);
    return packet;
}

} // namespace qor
