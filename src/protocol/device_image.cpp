#include "protocol/device_image.h"

namespace qor {

std::span<std::uint8_t> DeviceImage::configBlock(std::size_t index) {
    switch (index) {
    case 0:
        return configBlock0;
    case 1:
        return configBlock1;
    case 2:
        return configBlock2;
    default:
        return {};
    }
}

std::span<std::uint8_t> DeviceImage::macroSlot(std::size_t slotNumber) {
    if (slotNumber < 1 || slotNumber > kMacroCount) {
        return {};
    }
    return std::span<std::uint8_t>(macroImage)
        .subspan((slotNumber - 1) * kMacroSlotBytes, kMacroSlotBytes);
}

} // namespace qor
