#include "window/skins_dialog.h"

#include <algorithm>

namespace qor {
namespace {

constexpr Rect kPrompt{12, 64, 181, 94};
constexpr Rect kColourRect{42, 94, 151, 110};
constexpr Rect kNameRect{42, 128, 136, 144};
constexpr Rect kNameBox{42, 128, 151, 144};
constexpr Rect kListRect{42, 146, 151, kDialogListBottom};

constexpr LanguageTexts kPromptText{u"Please click to set the UI text color",
                                    u"请点击设置UI文本颜色", u"請點擊設置UI文本顏色"};

} // namespace

SkinsDialog::SkinsDialog(SkinChoice current, std::u16string root, Language language,
                         SkinFolderLister folders, ColourPicker pickColour)
    : PopupListContent(kFolderList, kNameBox, kListRect), working_(std::move(current)),
      root_(std::move(root)), language_(language), folders_(std::move(folders)),
      pickColour_(std::move(pickColour)) {}

bool SkinsDialog::pressBox(int x, int y) {
    if (PopupListContent::pressBox(x, y)) {
        return true;
    }
    if (!kColourRect.contains(x, y)) {
        return false;
    }
    closeList();
    if (const auto colour = pickColour_()) {
        working_.textColour = *colour;
    }
    return true;
}

void SkinsDialog::chosen(std::size_t item) {
    working_.name = entries()[item];
    // The folder is the one whose name is exactly the chosen text; on a system that matches
    // names without regard to case, another spelling is not taken for it.
    const auto found = folders_();
    if (std::find(found.begin(), found.end(), working_.name) != found.end()) {
        working_.folder = root_ + u"/" + working_.name;
    }
}

Scene SkinsDialog::scene() const {
    Scene s;
    s.wrappedText(kPromptText.in(language_), kPrompt, TextAlign::Centre, ColourRole::White);
    s.controls.push_back(colourBox(kColourBox, kColourRect, working_.textColour));
    SceneControl name = staticControl(kNameFace, kNameRect, working_.name, TextAlign::Left);
    name.sunken = true;
    s.controls.push_back(std::move(name));
    addList(s);
    return s;
}

} // namespace qor
