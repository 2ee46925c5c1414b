#include "protocol/commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace qor {
namespace {

// A block answer may announce up to 255 bytes: eight chunks.
constexpr std::size_t kLargestBlock = 256;

CommandPacket header(std::uint8_t code, std::uint8_t index, std::uint8_t length = 0) {
    CommandPacket p{};
    p[0] = code;
    p[1] = index;
    p[2] = length;
    return p;
}

std::string format(const char* pattern, auto... values) {
    std::array<char, 512> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), pattern, values...);
    return std::string(buffer.data(), n > 0 ? std::min<std::size_t>(n, buffer.size() - 1) : 0);
}

// An answer that arrived and checks out: its checksum, its command and, where it names one,
// the index asked for.
bool answered(TransferResult result, const CommandPacket& answer, std::uint8_t code) {
    return result == TransferResult::ok && answer[0] == code &&
           packetChecksum(answer) == answer[kChecksumByte];
}

} // namespace

DeviceCommands::DeviceCommands(DeviceLink& link, Pacer& pacer, DeviceMirror& mirror,
                               DiagnosticSink diagnostics)
    : link_(link), pacer_(pacer), mirror_(mirror), diagnostics_(std::move(diagnostics)) {}

void DeviceCommands::diagnose(std::string_view text) {
    if (diagnostics_) {
        diagnostics_(text);
    }
}

void DeviceCommands::pause() {
    if (!link_.stalled()) {
        pacer_.pause(kRepeatPauseMs);
    }
}

bool DeviceCommands::writeSensorSettings() {
    CommandPacket p{command::kWriteSensor, mirror_.sensorType, mirror_.rate, mirror_.option1,
                    mirror_.option2};
    return link_.exchange(p) == TransferResult::ok;
}

bool DeviceCommands::readSensorSettings() {
    CommandPacket p = header(command::kReadSensor, 0);
    if (!answered(link_.exchange(p), p, command::kReadSensor)) {
        return false;
    }
    mirror_.sensorType = p[1];
    mirror_.rate = p[2];
    mirror_.option1 = p[3];
    mirror_.option2 = p[4];
    if (diagnostics_) {
        diagnose(format("Sensor Type:%02x\n,,Rate:%02x\n,Option1:%02x\n,Option2:%02x\n", p[1], p[2],
                        p[3], p[4]));
    }
    return true;
}

bool DeviceCommands::writeLightingParams(std::array<bool, 2> which) {
    bool ok = true;
    for (std::uint8_t i = 0; i < 2; ++i) {
        if (!which[i]) {
            continue;
        }
        const auto& set = mirror_.lighting.ledParams[i];
        CommandPacket p{command::kWriteLightingParams, i, set[0], set[1], set[2]};
        ok = link_.exchange(p) == TransferResult::ok && ok;
        pause();
    }
    return ok;
}

std::array<bool, 2> DeviceCommands::readLightingParams() {
    // The request for set 1 goes out in the buffer that received set 0's answer, so its bytes
    // 2..6 still carry that answer; the firmware expects exactly this.
    std::array<bool, 2> known{};
    CommandPacket p{};
    for (std::uint8_t i = 0; i < 2; ++i) {
        p[0] = command::kReadLightingParams;
        p[1] = i;
        if (answered(link_.exchange(p), p, command::kReadLightingParams) && p[1] == i) {
            std::copy_n(p.begin() + 2, 3, mirror_.lighting.ledParams[i].begin());
            known[i] = true;
        }
        pause();
    }
    return known;
}

bool DeviceCommands::writeLightingEffect() {
    const auto& l = mirror_.lighting;
    CommandPacket p{command::kWriteLightingEffect, l.effect, l.effectOption1, l.effectOption2};
    return link_.exchange(p) == TransferResult::ok;
}

bool DeviceCommands::readLightingEffect() {
    CommandPacket p = header(command::kReadLightingEffect, 0);
    if (!answered(link_.exchange(p), p, command::kReadLightingEffect)) {
        return false;
    }
    mirror_.lighting.effect = p[1];
    mirror_.lighting.effectOption1 = p[2];
    mirror_.lighting.effectOption2 = p[3];
    if (diagnostics_) {
        diagnose(format("Effect:%02x\n,Option1:%02x\n,Option2:%02x\n", p[1], p[2], p[3]));
    }
    return true;
}

bool DeviceCommands::writeConfigBlocks(std::array<bool, kConfigBlockCount> which) {
    bool ownBlock = true;
    for (std::uint8_t i = 0; i < kConfigBlockCount; ++i) {
        if (!which[i]) {
            continue;
        }
        const auto block = mirror_.configBlock(i);
        CommandPacket p =
            header(command::kWriteConfigBlock, i, static_cast<std::uint8_t>(block.size()));
        const bool ok = link_.blockTransfer(p, block) == TransferResult::ok;
        if (i == 1) {
            ownBlock = ok;
        }
        pause();
    }
    return ownBlock;
}

std::array<bool, kConfigBlockCount> DeviceCommands::readConfigBlocks() {
    std::array<bool, kConfigBlockCount> known{};
    std::array<std::uint8_t, kLargestBlock> buffer{};
    for (std::uint8_t i = 0; i < kConfigBlockCount; ++i) {
        buffer.fill(0);
        CommandPacket p = header(command::kReadConfigBlock, i);
        const TransferResult result = link_.blockTransfer(p, buffer);
        // The answer must name the block asked for and carry all of it; no more than the
        // block's size is kept.
        const auto block = mirror_.configBlock(i);
        if (answered(result, p, command::kReadConfigBlock) && p[1] == i && p[2] >= block.size()) {
            std::copy_n(buffer.begin(), block.size(), block.begin());
            known[i] = true;
        }
        pause();
    }
    return known;
}

bool DeviceCommands::writeDpiStages() {
    CommandPacket p = header(command::kWriteDpiStages, mirror_.dpiStageCount,
                             static_cast<std::uint8_t>(kDpiStageCodeBytes));
    return link_.blockTransfer(p, mirror_.dpiStageCodes) == TransferResult::ok;
}

bool DeviceCommands::writeKeyMatrices(std::array<bool, kKeyMatrixCount> which) {
    bool ok = true;
    for (std::uint8_t n = 1; n <= kKeyMatrixCount; ++n) {
        if (!which[n - 1]) {
            continue;
        }
        const KeyMatrix& m = mirror_.keyMatrices[n - 1];
        auto bytes = m.bytes();
        CommandPacket p =
            header(command::kWriteKeyMatrix, n, static_cast<std::uint8_t>(bytes.size()));
        ok = link_.blockTransfer(p, bytes) == TransferResult::ok && ok;
        if (diagnostics_) {
            std::array<std::uint32_t, kKeyMatrixWords> w{};
            for (std::size_t i = 0; i < w.size(); ++i) {
                w[i] = m.words[i].value();
            }
            diagnose(format("Write KeyMatrix[%d]:\n%08x\n %08x\n %08x\n %08x\n %08x\n %08x\n "
                            "%08x\n %08x\n %08x\n %08x\n %08x\n %08x\n %08x\n %08x\n %08x\n "
                            "%08x\n",
                            int{n}, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9],
                            w[10], w[11], w[12], w[13], w[14], w[15]));
        }
        pause();
    }
    return ok;
}

bool DeviceCommands::writeMacroSlots(std::array<bool, kMacroCount> which) {
    bool ok = true;
    for (std::uint8_t n = 1; n <= kMacroCount; ++n) {
        if (!which[n - 1]) {
            continue;
        }
        CommandPacket p =
            header(command::kWriteMacroSlot, n, static_cast<std::uint8_t>(kMacroSlotBytes));
        ok = link_.blockTransfer(p, mirror_.macroSlot(n)) == TransferResult::ok && ok;
        pause();
    }
    return ok;
}

std::array<bool, kMacroCount> DeviceCommands::readMacroSlots(std::array<bool, kMacroCount> which) {
    std::array<bool, kMacroCount> known{};
    std::array<std::uint8_t, kLargestBlock> buffer{};
    for (std::uint8_t n = 1; n <= kMacroCount; ++n) {
        if (!which[n - 1]) {
            continue;
        }
        buffer.fill(0);
        CommandPacket p = header(command::kReadMacroSlot, n);
        const TransferResult result = link_.blockTransfer(p, buffer);
        // Only a whole slot, under the number asked for, replaces what the mirror holds.
        const auto slot = mirror_.macroSlot(n);
        if (answered(result, p, command::kReadMacroSlot) && p[1] == n && p[2] >= slot.size()) {
            std::copy_n(buffer.begin(), slot.size(), slot.begin());
            known[n - 1] = true;
        }
        pause();
    }
    return known;
}

} // namespace qor
