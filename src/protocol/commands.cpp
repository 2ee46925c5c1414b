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

} // namespace

DeviceCommands::DeviceCommands(DeviceLink& link, Pacer& pacer, DeviceMirror& mirror,
                               DiagnosticSink diagnostics)
    : link_(link), pacer_(pacer), mirror_(mirror), diagnostics_(std::move(diagnostics)) {}

void DeviceCommands::diagnose(std::string_view text) {
    if (diagnostics_) {
        diagnostics_(text);
    }
}

void DeviceCommands::writeSensorSettings() {
    CommandPacket p{command::kWriteSensor, mirror_.sensorType, mirror_.rate, mirror_.option1,
                    mirror_.option2};
    link_.exchange(p);
}

void DeviceCommands::readSensorSettings() {
    CommandPacket p = header(command::kReadSensor, 0);
    link_.exchange(p);
    mirror_.sensorType = p[1];
    mirror_.rate = p[2];
    mirror_.option1 = p[3];
    mirror_.option2 = p[4];
    if (diagnostics_) {
        diagnose(format("Sensor Type:%02x\n,,Rate:%02x\n,Option1:%02x\n,Option2:%02x\n", p[1], p[2],
                        p[3], p[4]));
    }
}

void DeviceCommands::writeLightingParams() {
    for (std::uint8_t i = 0; i < 2; ++i) {
        const auto& set = mirror_.lighting.ledParams[i];
        CommandPacket p{command::kWriteLightingParams, i, set[0], set[1], set[2]};
        link_.exchange(p);
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::readLightingParams() {
    // The request for set 1 goes out in the buffer that received set 0's answer, so its bytes
    // 2..6 still carry that answer; the firmware expects exactly this.
    CommandPacket p{};
    for (std::uint8_t i = 0; i < 2; ++i) {
        p[0] = command::kReadLightingParams;
        p[1] = i;
        link_.exchange(p);
        if (p[1] < 2) {
            std::copy_n(p.begin() + 2, 3, mirror_.lighting.ledParams[p[1]].begin());
        }
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::writeLightingEffect() {
    const auto& l = mirror_.lighting;
    CommandPacket p{command::kWriteLightingEffect, l.effect, l.effectOption1, l.effectOption2};
    link_.exchange(p);
}

void DeviceCommands::readLightingEffect() {
    CommandPacket p = header(command::kReadLightingEffect, 0);
    link_.exchange(p);
    mirror_.lighting.effect = p[1];
    mirror_.lighting.effectOption1 = p[2];
    mirror_.lighting.effectOption2 = p[3];
    if (diagnostics_) {
        diagnose(format("Effect:%02x\n,Option1:%02x\n,Option2:%02x\n", p[1], p[2], p[3]));
    }
}

void DeviceCommands::writeConfigBlocks() {
    for (std::uint8_t i = 0; i < kConfigBlockCount; ++i) {
        const auto block = mirror_.configBlock(i);
        CommandPacket p =
            header(command::kWriteConfigBlock, i, static_cast<std::uint8_t>(block.size()));
        link_.blockTransfer(p, block);
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::readConfigBlocks() {
    std::array<std::uint8_t, kLargestBlock> buffer{};
    for (std::uint8_t i = 0; i < kConfigBlockCount; ++i) {
        buffer.fill(0);
        CommandPacket p = header(command::kReadConfigBlock, i);
        link_.blockTransfer(p, buffer);
        // The answer names the block it carries; a block it does not know is dropped, and no
        // more than the block's size is kept.
        const auto block = mirror_.configBlock(p[1]);
        std::copy_n(buffer.begin(), std::min<std::size_t>(p[2], block.size()), block.begin());
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::writeDpiStages() {
    CommandPacket p = header(command::kWriteDpiStages, mirror_.dpiStageCount,
                             static_cast<std::uint8_t>(kDpiStageCodeBytes));
    link_.blockTransfer(p, mirror_.dpiStageCodes);
}

void DeviceCommands::writeKeyMatrices() {
    for (std::uint8_t n = 1; n <= kKeyMatrixCount; ++n) {
        const KeyMatrix& m = mirror_.keyMatrices[n - 1];
        auto bytes = m.bytes();
        CommandPacket p =
            header(command::kWriteKeyMatrix, n, static_cast<std::uint8_t>(bytes.size()));
        link_.blockTransfer(p, bytes);
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
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::writeMacroSlots() {
    for (std::uint8_t n = 1; n <= kMacroCount; ++n) {
        CommandPacket p =
            header(command::kWriteMacroSlot, n, static_cast<std::uint8_t>(kMacroSlotBytes));
        link_.blockTransfer(p, mirror_.macroSlot(n));
        pacer_.pause(kRepeatPauseMs);
    }
}

void DeviceCommands::readMacroSlots() {
    std::array<std::uint8_t, kLargestBlock> buffer{};
    for (std::uint8_t n = 1; n <= kMacroCount; ++n) {
        buffer.fill(0);
        CommandPacket p = header(command::kReadMacroSlot, n);
        link_.blockTransfer(p, buffer);
        // Stored under the slot the answer names, at most one slot's worth.
        const auto slot = mirror_.macroSlot(p[1]);
        std::copy_n(buffer.begin(), std::min<std::size_t>(p[2], slot.size()), slot.begin());
        pacer_.pause(kRepeatPauseMs);
    }
}

} // namespace qor
