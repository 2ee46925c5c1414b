#include "protocol/device_mirror.h"

namespace qor {
namespace {

// Slot 1..12 of the slots' bytes, writable or not as they are; empty for any other number.
template <typename Bytes> auto slotIn(Bytes& bytes, std::size_t slotNumber) {
    const auto all = std::span(bytes);
    if (slotNumber < 1 || slotNumber > kMacroCount) {
        return all.subspan(0, 0);
    }
    return all.subspan((slotNumber - 1) * kMacroSlotBytes, kMacroSlotBytes);
}

} // namespace

std::span<std::uint8_t> DeviceMirror::macroSlot(std::size_t slotNumber) {
    return slotIn(macroSlotBytes, slotNumber);
}

std::span<const std::uint8_t> DeviceMirror::macroSlot(std::size_t slotNumber) const {
    return slotIn(macroSlotBytes, slotNumber);
}

} // namespace qor
