// The mouse's USB identity: vendor 0x04D9, product 0xA09F. Written here once; every text that
// names the mouse is derived from these numbers.
#pragma once
#include <cstdint>
#include <string>

namespace qor {

inline constexpr std::uint16_t kMouseVendorId = 0x04D9;
inline constexpr std::uint16_t kMouseProductId = 0xA09F;

// How the vendor and product part of a device interface name is spelled.
enum class IdSpelling {
    upper, // "VID_04D9&PID_A09F", as the system names the device in broadcasts
    mixed, // "Vid_04d9&Pid_a09f"
    lower, // "vid_04d9&pid_a09f", as SetupDi gives interface paths
};

// The mouse's vendor and product part of a device interface name.
std::u16string mouseInterfaceId(IdSpelling spelling);

// "04d9:a09f", as lsusb and udev rules name the USB device.
std::string mouseUsbId();

} // namespace qor
