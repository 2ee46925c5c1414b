#include "ui/control_colours.h"

#include "base/window_ids.h"

namespace qor {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMacroListBrush{2, 4, 5};
constexpr Rgb kStaticGreen{100, 150, 100};
constexpr Rgb kDialogGrey{40, 40, 40};

constexpr int kDpiColourBoxes = 4;

bool isMacroTextList(int id) {
    return id == kMacroListId || id == kSequenceListId;
}
bool isDpiColourBox(int id) {
    return id > kDpiColourBoxIdBase && id <= kDpiColourBoxIdBase + kDpiColourBoxes;
}
bool isBlackText(int id) {
    return id == kModeTextId || id == kParameterTextId || id == kEffectTextId || id == kEventFaceId;
}

} // namespace

ControlPaint controlPaint(ControlClass kind, int id, Rgb skinText, const SettingsRecord& record) {
    ControlPaint p;
    switch (kind) {
    case ControlClass::Edit:
        // An edit erases deleted characters with the text background: the brush's colour.
        p.text = skinText;
        p.background = kBlack;
        p.brush = kBlack;
        break;
    case ControlClass::ListBox:
        // A list box fills each item with the text background colour, whatever the mode: it
        // must be the brush's colour, or the items come out white on white.
        if (isMacroTextList(id)) {
            p.text = skinText;
            p.background = kMacroListBrush;
            p.brush = kMacroListBrush;
        } else {
            p.text = kWhite;
            p.background = kBlack;
            p.brush = kBlack;
            p.windowFont = true;
        }
        break;
    case ControlClass::Button:
        break;
    case ControlClass::Static:
        if (isDpiColourBox(id)) {
            const std::size_t at = static_cast<std::size_t>(id - kDpiColourBoxIdBase - 1) * 3;
            p.brush = Rgb{record.dpiColor[at], record.dpiColor[at + 1], record.dpiColor[at + 2]};
        } else if (isBlackText(id)) {
            p.text = skinText;
            p.background = kBlack;
            p.brush = kBlack;
            p.windowFont = true;
        } else {
            p.text = skinText;
            p.background = kStaticGreen;
            p.brush = kStaticGreen;
            p.windowFont = true;
        }
        break;
    }
    return p;
}

ControlPaint dialogControlPaint(ControlClass kind, const SceneControl* control) {
    ControlPaint p;
    if (control != nullptr && control->fill) {
        p.brush = *control->fill;
        return p;
    }
    p.text = kWhite;
    p.brush = kDialogGrey;
    p.windowFont = true;
    // Lists fill their items, and edits erase what was deleted, with the text background: it
    // must be the brush's colour.
    if (kind == ControlClass::ListBox || kind == ControlClass::Edit) {
        p.background = kDialogGrey;
    }
    return p;
}

} // namespace qor
