// The set of HID interfaces of a machine with the emulated mouse plugged in, behind the same
// enumeration port as SetupDi and HidD. Discovery runs against it unchanged.
#pragma once
#include "device/hid_ports.h"
#include "emulator/mouse_emulator.h"

#include <string>
#include <vector>

namespace qor {

enum class EmulatedTarget { none, mouseEvent, mouseCommand };

struct EmulatedInterface {
    std::u16string path;
    HidAttributes attributes;
    HidCaps caps;
    // Which side of the emulated mouse opening this interface reaches.
    EmulatedTarget target = EmulatedTarget::none;
    // Whether the interface vanishes with the mouse.
    bool belongsToMouse = false;
    // Faults of this interface.
    bool detailFails = false;
    bool queryOpenFails = false;
    bool openFails = false;
    CapsStatus capsStatus = CapsStatus::ok;
};

// The mouse's four collections in the order the system lists them: its boot mouse and keyboard
// collections, then the event collection (0xFF01), then the feature collection (0xFF00). Paths are
// lower case, as SetupDi gives them.
std::vector<EmulatedInterface> emulatedMouseInterfaces();
// A keyboard of another vendor, listed before the mouse.
EmulatedInterface emulatedOtherKeyboard();

class EmulatedHidSystem final : public DeviceEnumerator {
public:
    // Presents emulatedOtherKeyboard() followed by emulatedMouseInterfaces().
    explicit EmulatedHidSystem(MouseEmulator& mouse);
    EmulatedHidSystem(MouseEmulator& mouse, std::vector<EmulatedInterface> interfaces);

    // The interfaces in enumeration order; tests edit them freely between scans.
    std::vector<EmulatedInterface>& interfaces() { return interfaces_; }
    void setScanFails(bool fails) { scanFails_ = fails; }

    bool beginScan() override;
    InterfaceStatus describe(std::uint32_t index, std::u16string& path,
                             HidAttributes& attributes) override;
    CapsStatus capabilities(HidCaps& caps) override;
    void endScan() override;
    bool openEventRead(const std::u16string& path) override;
    bool openEventWrite(const std::u16string& path) override;
    bool openCommand(const std::u16string& path) override;
    void closeDevice() override;

    // Observation for tests.
    bool scanOpen() const { return scanOpen_; }
    bool queryOpen() const { return queryOpen_; }
    unsigned scans() const { return scans_; }
    // "event-read <path>", "event-write <path>", "command <path>" and "close" in call order
    // (UTF-8 paths).
    const std::vector<std::string>& opened() const { return opened_; }
    const std::u16string& commandPath() const { return commandPath_; }

private:
    const EmulatedInterface* find(const std::u16string& path) const;
    std::vector<const EmulatedInterface*> visible() const;
    bool open(const std::u16string& path, const char* what, EmulatedTarget target);

    MouseEmulator& mouse_;
    std::vector<EmulatedInterface> interfaces_;
    std::vector<const EmulatedInterface*> snapshot_;
    const EmulatedInterface* described_ = nullptr;
    bool scanFails_ = false;
    bool scanOpen_ = false;
    bool queryOpen_ = false;
    unsigned scans_ = 0;
    std::vector<std::string> opened_;
    std::u16string commandPath_;
};

} // namespace qor
