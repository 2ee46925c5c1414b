// Fake /sys/class/hidraw trees for the discovery tests: one folder per node with the uevent
// and report descriptor of a HID device, and the descriptors of the mouse's interfaces.
#pragma once
#include "device/hidraw_scan.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qor::test {

using DescriptorBytes = std::vector<std::uint8_t>;

// The mouse's command interface: no report IDs, 8-byte features, 32-byte chunks.
inline const DescriptorBytes kMouseCommandDescriptor = {
    0x06, 0x00, 0xFF, 0x0A, 0x00, 0xFF, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0xB1, 0x02, 0x95, 0x20, 0x09,
    0x02, 0x81, 0x02, 0x95, 0x20, 0x09, 0x03, 0x91, 0x02, 0xC0};
// The event interface: a consumer collection (ID 3) and the event collection (ID 6).
inline const DescriptorBytes kMouseEventDescriptor = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x75, 0x10,
    0x95, 0x02, 0x19, 0x00, 0x2A, 0xFF, 0x03, 0x81, 0x00, 0xC0, 0x06, 0x01, 0xFF, 0x0A, 0x01,
    0xFF, 0xA1, 0x01, 0x85, 0x06, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0};
// A boot mouse interface.
inline const DescriptorBytes kBootMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
    0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09,
    0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};

inline std::string hidUevent(std::uint16_t bus, std::uint16_t vendor, std::uint16_t product) {
    char line[64];
    std::snprintf(line, sizeof line, "HID_ID=%04X:%08X:%08X\n", bus, vendor, product);
    return "DRIVER=hid-generic\n" + std::string(line) + "HID_NAME=Some Mouse\nHID_PHYS=usb\n";
}

class SysfsTree {
public:
    SysfsTree() : dir_("qor-sysfs") {}
    HidrawRoots roots() const { return {dir_.path() / "class", dir_.path() / "dev"}; }

    void node(const std::string& name, const std::string& uevent,
              const DescriptorBytes& descriptor) {
        const auto device = dir_.path() / "class" / name / "device";
        writeFile(device / "uevent", uevent);
        writeFile(device / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
    }
    void mouseNode(const std::string& name, const DescriptorBytes& descriptor) {
        node(name, hidUevent(kBusUsb, 0x04D9, 0xA09F), descriptor);
    }
    void remove(const std::string& name, const std::string& file) {
        std::filesystem::remove(dir_.path() / "class" / name / "device" / file);
    }

private:
    ScratchDir dir_;
};

} // namespace qor::test
