#include "emulator/emulated_hid_system.h"

#include "base/text_utf8.h"
#include "device/mouse_ids.h"

namespace qor {

namespace {

constexpr HidAttributes kMouseAttributes{kMouseVendorId, kMouseProductId, 0x0102};
constexpr char16_t kInterfaceClass[] = u"#{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::u16string mousePath(std::u16string_view collection) {
    return u"\\\\?\\hid#" + mouseInterfaceId(IdSpelling::lower) + u"&" +
           std::u16string(collection) + u"#8&2c4b1d0e&0&0000" + kInterfaceClass;
}

EmulatedInterface mouseInterface(std::u16string_view collection, HidCaps caps,
                                 EmulatedTarget target) {
    EmulatedInterface i;
    i.path = mousePath(collection);
    i.attributes = kMouseAttributes;
    i.caps = caps;
    i.target = target;
    i.belongsToMouse = true;
    return i;
}

} // namespace

std::vector<EmulatedInterface> emulatedMouseInterfaces() {
    return {
        mouseInterface(u"mi_00", HidCaps{0x0002, 0x0001, 0, 8, 0}, EmulatedTarget::none),
        mouseInterface(u"mi_01&col01", HidCaps{0x0001, 0x000C, 0, 3, 0}, EmulatedTarget::none),
        mouseInterface(u"mi_01&col02", HidCaps{0xFF01, 0xFF01, 0, kEmulatedEventLength, 0},
                       EmulatedTarget::mouseEvent),
        mouseInterface(u"mi_01&col03",
                       HidCaps{0xFF00, 0xFF00, kEmulatedFeatureLength, kEmulatedChunkLength,
                               kEmulatedChunkLength},
                       EmulatedTarget::mouseCommand),
    };
}

EmulatedInterface emulatedOtherKeyboard() {
    EmulatedInterface i;
    i.path =
        std::u16string(u"\\\\?\\hid#vid_046d&pid_c31c&mi_00#7&1f0e2a3b&0&0000") + kInterfaceClass;
    i.attributes = HidAttributes{0x046D, 0xC31C, 0x6400};
    i.caps = HidCaps{0x0006, 0x0001, 0, 9, 2};
    return i;
}

EmulatedHidSystem::EmulatedHidSystem(MouseEmulator& mouse) : mouse_(mouse) {
    interfaces_.push_back(emulatedOtherKeyboard());
    for (auto& i : emulatedMouseInterfaces()) {
        interfaces_.push_back(std::move(i));
    }
}

EmulatedHidSystem::EmulatedHidSystem(MouseEmulator& mouse,
                                     std::vector<EmulatedInterface> interfaces)
    : mouse_(mouse), interfaces_(std::move(interfaces)) {}

std::vector<const EmulatedInterface*> EmulatedHidSystem::visible() const {
    std::vector<const EmulatedInterface*> list;
    const bool mousePresent = mouse_.present();
    for (const auto& i : interfaces_) {
        if (!i.belongsToMouse || mousePresent) {
            list.push_back(&i);
        }
    }
    return list;
}

const EmulatedInterface* EmulatedHidSystem::find(const std::u16string& path) const {
    for (const EmulatedInterface* i : visible()) {
        if (i->path == path) {
            return i;
        }
    }
    return nullptr;
}

bool EmulatedHidSystem::beginScan() {
    if (scanFails_) {
        return false;
    }
    snapshot_ = visible();
    scanOpen_ = true;
    ++scans_;
    return true;
}

InterfaceStatus EmulatedHidSystem::describe(std::uint32_t index, std::u16string& path,
                                            HidAttributes& attributes) {
    queryOpen_ = false;
    described_ = nullptr;
    if (!scanOpen_ || index >= snapshot_.size()) {
        return InterfaceStatus::noMoreItems;
    }
    const EmulatedInterface& i = *snapshot_[index];
    if (i.detailFails) {
        return InterfaceStatus::detailFailed;
    }
    path = i.path;
    if (i.queryOpenFails || (i.belongsToMouse && !mouse_.present())) {
        return InterfaceStatus::openFailed;
    }
    queryOpen_ = true;
    described_ = &i;
    attributes = i.attributes;
    return InterfaceStatus::ok;
}

CapsStatus EmulatedHidSystem::capabilities(HidCaps& caps) {
    queryOpen_ = false;
    if (described_ == nullptr) {
        return CapsStatus::preparsedDataFailed;
    }
    if (described_->capsStatus == CapsStatus::ok) {
        caps = described_->caps;
    }
    return described_->capsStatus;
}

void EmulatedHidSystem::endScan() {
    queryOpen_ = false;
    scanOpen_ = false;
    described_ = nullptr;
    snapshot_.clear();
}

bool EmulatedHidSystem::open(const std::u16string& path, const char* what, EmulatedTarget target) {
    const EmulatedInterface* i = find(path);
    if (i == nullptr || i->openFails) {
        return false;
    }
    opened_.push_back(std::string(what) + ' ' + utf16ToUtf8(path));
    if (target == EmulatedTarget::mouseEvent && i->target == EmulatedTarget::mouseEvent) {
        mouse_.setEventCollectionOpen(true);
    }
    return true;
}

bool EmulatedHidSystem::openEventRead(const std::u16string& path) {
    return open(path, "event-read", EmulatedTarget::mouseEvent);
}

bool EmulatedHidSystem::openEventWrite(const std::u16string& path) {
    return open(path, "event-write", EmulatedTarget::none);
}

bool EmulatedHidSystem::openCommand(const std::u16string& path) {
    if (!open(path, "command", EmulatedTarget::mouseCommand)) {
        return false;
    }
    commandPath_ = path;
    return true;
}

void EmulatedHidSystem::closeDevice() {
    opened_.push_back("close");
    commandPath_.clear();
    mouse_.setEventCollectionOpen(false);
}

} // namespace qor
