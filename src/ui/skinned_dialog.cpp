#include "ui/skinned_dialog.h"

#include "base/decimal.h"
#include "base/virtual_keys.h"

#include <array>

namespace qor {
namespace {

constexpr std::array<DialogTraits, 10> kTraits = {{
    {kSingleKeyDialogTemplate, u"/single-key.png",
     u"Single Key Dialog Load background image failed!!!", true},
    {kWindowsFunctionDialogTemplate, u"/windows-key.png",
     u"Windows Dialog Load background image failed!!!", false},
    {kMultimediaDialogTemplate, u"/media-key.png", u"Media Dialog Load background image failed!!!",
     false},
    {kFireKeyDialogTemplate, u"/fire-key.png", u"FireKey Dialog Load background image failed!!!",
     false},
    {kMacroKeyDialogTemplate, u"/macro-key.png",
     u"Macro Key Dialog Load background image failed!!!", false},
    {kComboKeyDialogTemplate, u"/combo-key.png", u"Combo Dialog Load background image failed!!!",
     true},
    {kDelayTimeDialogTemplate, u"/delay-time.png",
     u"DelayTime Dialog Load background image failed!!!", false},
    {kSkinsDialogTemplate, u"/skins.png", u"Skins Dialog Load background image failed!!!", false},
    {kManageProfilesDialogTemplate, u"/profiles.png",
     u"Profiles Dialog Load background image failed!!!", false},
    {kProfileNameDialogTemplate, u"/profile-name.png",
     u"Profile Name Dialog Load background image failed!!!", false},
}};

} // namespace

const DialogTraits& dialogTraits(DialogKind kind) {
    return kTraits[static_cast<std::size_t>(kind)];
}

std::u16string hookFailureText(DialogKind kind, unsigned long errorCode) {
    const std::u16string code = formatDecimal(static_cast<long long>(errorCode));
    switch (kind) {
    case DialogKind::SingleKey:
        return u"KeyboardHook_SingleDlgKey Install error code :" + code + u"\n";
    case DialogKind::ComboKey:
        return u"KeyboardHook_ComboDlg Install error code :" + code + u"\n";
    default:
        return {};
    }
}

std::optional<int> fieldToFocus(const Scene& scene, std::optional<int> focused) {
    if (focused) {
        const SceneControl* has = scene.control(*focused);
        // The dialog manager may hand the focus to a static.
        if (has != nullptr && has->kind != ControlKind::Static) {
            return std::nullopt;
        }
    }
    for (const auto& c : scene.controls) {
        if (c.kind == ControlKind::Edit && c.enabled) {
            return c.id;
        }
    }
    return std::nullopt;
}

std::optional<int> captureEdit(const Scene& scene, std::optional<int> focused) {
    if (!focused) {
        return std::nullopt;
    }
    const SceneControl* c = scene.control(*focused);
    return c != nullptr && c->kind == ControlKind::Edit ? focused : std::nullopt;
}

bool PopupListContent::pressBox(int x, int y) {
    if (!box_.contains(x, y)) {
        return false;
    }
    if (open_) {
        closeList();
    } else {
        opening();
        open_ = true;
    }
    return true;
}

std::optional<int> PopupListContent::followingList() const {
    return open_ ? std::optional<int>(id_) : std::nullopt;
}

void PopupListContent::chooseItem(int listId, std::size_t item) {
    if (listId != id_ || !open_ || item >= entries_.size()) {
        return;
    }
    closeList();
    chosen(item);
}

void PopupListContent::pointerOverItem(int listId, std::size_t item) {
    if (listId == id_ && open_ && item < entries_.size()) {
        highlighted_ = item;
    }
}

void PopupListContent::addList(Scene& scene) const {
    if (!open_) {
        return;
    }
    scene.controls.push_back(listControl(id_, list_, entries_, highlighted_));
}

SkinnedDialog::SkinnedDialog(DialogContent& content, const StringTable& strings)
    : content_(content), strings_(strings) {}

std::optional<SkinnedDialog::Button> SkinnedDialog::buttonAt(int x, int y) const {
    if (kDialogOkRect.contains(x, y)) {
        return Button::Ok;
    }
    if (kDialogCancelRect.contains(x, y)) {
        return Button::Cancel;
    }
    if (kDialogCloseRect.contains(x, y)) {
        return Button::Close;
    }
    return std::nullopt;
}

DialogEnd SkinnedDialog::press(int x, int y) {
    if (content_.pressBox(x, y)) {
        return content_.endRequested() ? DialogEnd::Ok : DialogEnd::None;
    }
    content_.closeLists();
    const auto button = buttonAt(x, y);
    if (!button) {
        return DialogEnd::None;
    }
    if (*button != Button::Ok) {
        return DialogEnd::Cancel;
    }
    return content_.okAllowed() ? DialogEnd::Ok : DialogEnd::None;
}

std::vector<Rect> SkinnedDialog::setHover(std::optional<Button> button) {
    std::vector<Rect> redraw;
    if (hovered_ == button) {
        return redraw;
    }
    const auto rect = [](Button b) {
        return b == Button::Ok ? kDialogOkRect
                               : (b == Button::Cancel ? kDialogCancelRect : kDialogCloseRect);
    };
    if (hovered_) {
        redraw.push_back(rect(*hovered_));
    }
    if (button) {
        redraw.push_back(rect(*button));
    }
    hovered_ = button;
    return redraw;
}

bool SkinnedDialog::pointerMoved(int x, int y, std::vector<Rect>& redraw) {
    if (buttonAt(x, y)) {
        return true;
    }
    redraw = setHover(std::nullopt);
    return false;
}

std::vector<Rect> SkinnedDialog::hoverAt(int x, int y) {
    return setHover(buttonAt(x, y));
}

std::vector<Rect> SkinnedDialog::pointerLeft() {
    return setHover(std::nullopt);
}

bool SkinnedDialog::keyDiscarded(unsigned virtualKey, bool keyDown) const {
    if (!traits().capturesKeys) {
        return false;
    }
    if (virtualKey == kVirtualKeyLeftWindows || virtualKey == kVirtualKeyRightWindows) {
        return true;
    }
    return keyDown && (virtualKey == kVirtualKeyReturn || virtualKey == kVirtualKeyEscape);
}

std::optional<MissingBackground> SkinnedDialog::backgroundMissing() const {
    return MissingBackground{std::u16string(kDialogLoadFailureText),
                             std::u16string(traits().failureCaption), HostAction::Cancel};
}

HostAction SkinnedDialog::pressAt(int x, int y) {
    switch (press(x, y)) {
    case DialogEnd::Ok:
        return HostAction::Ok;
    case DialogEnd::Cancel:
        return HostAction::Cancel;
    case DialogEnd::None:
        break;
    }
    return HostAction::None;
}

void SkinnedDialog::listChosen(int id, std::optional<std::size_t> item, bool /*doubleClick*/) {
    if (item) {
        content_.chooseItem(id, *item);
    }
}

void SkinnedDialog::pointerOverList(int id, std::size_t item, const Rect& /*itemRect*/) {
    content_.pointerOverItem(id, item);
}

KeyHookAnswer SkinnedDialog::keyHooked(int code, unsigned virtualKey, std::u16string_view /*name*/,
                                       std::uint32_t flags) {
    if (code != kHookAction || !traits().capturesKeys) {
        return {};
    }
    const bool keyDown = (flags & kKeyReleasedBit) == 0;
    return KeyHookAnswer{keyDiscarded(virtualKey, keyDown) ? KeyHookVerdict::Discard
                                                           : KeyHookVerdict::Handled,
                         content_.kind() == DialogKind::SingleKey ? kSingleKeyCapturedMessage
                                                                  : kComboKeyCapturedMessage};
}

void SkinnedDialog::keyNamed(std::u16string_view name, std::optional<int> focusedControl) {
    content_.keyCaptured(name, captureEdit(scene(), focusedControl));
}

HostAction SkinnedDialog::commandChosen(int id) {
    if (id == kOkCommand) {
        return content_.okAllowed() ? HostAction::Ok : HostAction::None;
    }
    return id == kCancelCommand ? HostAction::Cancel : HostAction::None;
}

ControlPaint SkinnedDialog::controlColours(ControlClass kind, int /*id*/,
                                           const SceneControl* control) const {
    return dialogControlPaint(kind, control);
}

Scene SkinnedDialog::scene() const {
    Scene s;
    const auto button = [&](Button b, const Rect& rect, StringId caption) {
        s.image(hovered_ == b ? u"/button-over.png" : u"/button-normal.png", rect);
        s.text(strings_.text(caption), rect, TextAlign::Centre);
    };
    button(Button::Ok, kDialogOkRect, StringId::Ok);
    button(Button::Cancel, kDialogCancelRect, StringId::Cancel);
    s.image(hovered_ == Button::Close ? u"/button-close-over.png" : u"/button-close-normal.png",
            kDialogCloseRect);
    s.append(content_.scene());
    return s;
}

} // namespace qor
