#include "protocol/device_image.h"

namespace qor {

std::span<std::uint8_t> DeviceImage::macroSlot(std::size_t slotNumber) {
    if (slotNumber < 1 || slotNumber > kMacroCount) {
        return {};
    }
    return std::span<std::uint8_t>(macroImage)
        .subspan((slotNumber - 1) * kMacroSlotBytes, kMacroSlotBytes);
}

} // namespace qor
