// The commands the program sends to the mouse, one operation each, working on the device mirror.
// Repeated commands pause 2 ms after each repetition; the link itself paces chunk writes.
#pragma once
#include <array>
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

template <std::size_t N> constexpr std::array<bool, N> allOf() {
    std::array<bool, N> all{};
    all.fill(true);
    return all;
}

// Texts about what the mouse answered and what was sent; formatted for a debug channel only.
using DiagnosticSink = std::function<void(std::string_view text)>;

class DeviceCommands {
public:
    DeviceCommands(DeviceLink& link, Pacer& pacer, DeviceMirror& mirror,
                   DiagnosticSink diagnostics = {});

    // Each read says what it learnt: an answer that did not arrive, or that does not check out
    // (checksum, command, index, length), leaves the mirror as it was and reads as unknown.
    // Each write says whether every transfer of it went through; the `which` flags skip the
    // parts that are not to be sent.
    bool writeSensorSettings();                                         // 0x03
    bool readSensorSettings();                                          // 0x83
    bool writeLightingParams(std::array<bool, 2> which = {true, true}); // 0x07, sets 0 and 1
    std::array<bool, 2> readLightingParams();                           // 0x87, sets 0 and 1
    bool writeLightingEffect();                                         // 0x0D
    bool readLightingEffect();                                          // 0x8D
    // 0x10, blocks 0, 1, 2; the result is block 1's, the one the program owns.
    bool writeConfigBlocks(std::array<bool, kConfigBlockCount> which = {true, true, true});
    std::array<bool, kConfigBlockCount> readConfigBlocks(); // 0x90, blocks 0, 1, 2
    bool writeDpiStages();                                  // 0x11
    // 0x12, matrices 1..4
    bool writeKeyMatrices(std::array<bool, kKeyMatrixCount> which = allOf<kKeyMatrixCount>());
    // 0x13, slots 1..12
    bool writeMacroSlots(std::array<bool, kMacroCount> which = allOf<kMacroCount>());
    // 0x93, slots 1..12; a slot not asked for reads as unknown.
    std::array<bool, kMacroCount>
    readMacroSlots(std::array<bool, kMacroCount> which = allOf<kMacroCount>());

    DeviceMirror& mirror() { return mirror_; }
    DeviceLink& link() { return link_; }

private:
    void diagnose(std::string_view text);
    // The repeat pause, not taken once the mouse stopped answering.
    void pause();

    DeviceLink& link_;
    Pacer& pacer_;
    DeviceMirror& mirror_;
    DiagnosticSink diagnostics_;
};

} // namespace qor
