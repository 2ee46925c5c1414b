#include "keys/macro_key_dialog.h"

#include <array>

namespace qor {
namespace {

constexpr Rect kLabelRect{50, 50, 370, 68};
constexpr Rect kFaceRect{50, 70, 116, 84};
constexpr Rect kBox{50, 70, 132, 84};
constexpr Rect kListRect{50, 86, 132, 226};
constexpr int kCheckLeft = 20;
constexpr int kCheckSize = 16;
constexpr int kFirstCheckTop = 108;
constexpr int kCheckPitch = 40;
// A mode's text may take two lines, centred on its check mark.
constexpr int kTextOverhang = 8;
constexpr int kTextLeft = 42;
constexpr int kTextRight = 378;

constexpr LanguageTexts kLabel{u"Please select a macro", u"请从列表框选择一个宏",
                               u"請從清單方塊選擇一個巨集"};
constexpr std::array<LanguageTexts, kLoopModes> kModes = {{
    {u"Repeat a specified number of times or press any key to end", u"重复指定次数或按任意键结束",
     u"重複指定次數或按任意鍵結束"},
    {u"Repeat until press any key to end", u"重复直到按任意键结束", u"重複直到按任意鍵結束"},
    {u"Repeat until the key is released", u"重复直到该按键松开结束", u"重複直到該按鍵鬆開結束"},
}};

} // namespace

Rect loopModeCheckRect(std::size_t mode) {
    const int top = kFirstCheckTop + kCheckPitch * static_cast<int>(mode - 1);
    return {kCheckLeft, top, kCheckLeft + kCheckSize, top + kCheckSize};
}

Rect loopModeTextRect(std::size_t mode) {
    const Rect check = loopModeCheckRect(mode);
    return {kTextLeft, check.top - kTextOverhang, kTextRight, check.bottom + kTextOverhang};
}

MacroKeyDialog::MacroKeyDialog(std::vector<std::u16string> macroNames, Language language)
    : PopupListContent(kList, kBox, kListRect), language_(language) {
    entries() = std::move(macroNames);
}

bool MacroKeyDialog::pressBox(int x, int y) {
    if (PopupListContent::pressBox(x, y)) {
        return true;
    }
    // The open list (x 50 to 132) lies over a part of the texts, not over the check marks: a
    // press inside it is the list's, and the frame only closes the list.
    if (listOpen() && kListRect.contains(x, y)) {
        return false;
    }
    for (std::size_t mode = 1; mode <= kLoopModes; ++mode) {
        if (loopModeCheckRect(mode).contains(x, y) || loopModeTextRect(mode).contains(x, y)) {
            // A press outside the open list closes it and acts.
            closeList();
            choice_.loopMode = static_cast<std::uint8_t>(mode);
            return true;
        }
    }
    return false;
}

void MacroKeyDialog::chosen(std::size_t item) {
    choice_.index = item;
    choice_.name = entries()[item];
}

Scene MacroKeyDialog::scene() const {
    Scene s;
    s.text(kLabel.in(language_), kLabelRect, TextAlign::Left, FontRole::Text, ColourRole::White);
    for (std::size_t mode = 1; mode <= kLoopModes; ++mode) {
        s.image(choice_.loopMode == mode ? u"/PaneMakingTick.png" : u"/Pane.png",
                loopModeCheckRect(mode));
        s.wrappedText(kModes[mode - 1].in(language_), loopModeTextRect(mode), TextAlign::Left,
                      ColourRole::White);
    }
    s.controls.push_back(staticControl(kFace, kFaceRect, choice_.name, TextAlign::Centre));
    addList(s);
    return s;
}

} // namespace qor
