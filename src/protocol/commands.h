// The commands the program sends to the mouse, one operation each, working on the device mirror.
// Repeated commands pause 2 ms after each repetition; the link itself paces chunk writes.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "device/device_link.h"
#include "device/pacer.h"
#include "protocol/device_mirror.h"

namespace qor {

namespace command {
inline constexpr std::uint8_t kWriteSensor = 0x03;
inline constexpr std::uint8_t kReadSensor = 0x83;
inline constexpr std::uint8_t kWriteLightingParams = 0x07;
inline constexpr std::uint8_t kReadLightingParams = 0x87;
inline constexpr std::uint8_t kWriteLightingEffect = 0x0D;
inline constexpr std::uint8_t kReadLightingEffect = 0x8D;
inline constexpr std::uint8_t kWriteConfigBlock = 0x10;
inline constexpr std::uint8_t kReadConfigBlock = 0x90;
inline constexpr std::uint8_t kWriteDpiStages = 0x11;
inline constexpr std::uint8_t kWriteKeyMatrix = 0x12;
inline constexpr std::uint8_t kWriteMacroSlot = 0x13;
inline constexpr std::uint8_t kReadMacroSlot = 0x93;
} // namespace command

inline constexpr unsigned kRepeatPauseMs = 2;

// Texts about what the mouse answered and what was sent; formatted for a debug channel only.
using DiagnosticSink = std::function<void(std::string_view text)>;

class DeviceCommands {
public:
    DeviceCommands(DeviceLink& link, Pacer& pacer, DeviceMirror& mirror,
                   DiagnosticSink diagnostics = {});

    void writeSensorSettings(); // 0x03
    void readSensorSettings();  // 0x83
    void writeLightingParams(); // 0x07, sets 0 and 1
    void readLightingParams();  // 0x87, sets 0 and 1
    void writeLightingEffect(); // 0x0D
    void readLightingEffect();  // 0x8D
    void writeConfigBlocks();   // 0x10, blocks 0, 1, 2
    void readConfigBlocks();    // 0x90, blocks 0, 1, 2
    void writeDpiStages();      // 0x11
    void writeKeyMatrices();    // 0x12, matrices 1..4
    void writeMacroSlots();     // 0x13, slots 1..12
    void readMacroSlots();      // 0x93, slots 1..12

    DeviceMirror& mirror() { return mirror_; }

private:
    void diagnose(std::string_view text);

    DeviceLink& link_;
    Pacer& pacer_;
    DeviceMirror& mirror_;
    DiagnosticSink diagnostics_;
};

} // namespace qor
