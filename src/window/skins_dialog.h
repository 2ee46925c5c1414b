// The skin dialog's content: the text colour box with the system colour dialog, and the skin
// name box with the list of the Skins root's folders. OK hands the main window the working
// skin, its folder and the colour.
#pragma once
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

#include <functional>
#include <string>
#include <vector>

namespace qor {

struct SkinChoice {
    std::u16string name;   // the "Path" value: a folder of the Skins root
    std::u16string folder; // where the images are read from
    Rgb textColour;
    bool operator==(const SkinChoice&) const = default;
};

// The names of the Skins root's folders (not "." and ".."), in the order the search gives them.
using SkinFolderLister = std::function<std::vector<std::u16string>()>;

class SkinsDialog final : public PopupListContent {
public:
    static constexpr int kNameFace = kSkinNameFaceId;
    static constexpr int kColourBox = kSkinColourBoxId;
    static constexpr int kFolderList = kSkinFolderListId;

    // `root` is the Skins root, without a separator at its end.
    SkinsDialog(SkinChoice current, std::u16string root, Language language,
                SkinFolderLister folders, ColourPicker pickColour);
    DialogKind kind() const override { return DialogKind::Skins; }
    bool pressBox(int x, int y) override;
    Scene scene() const override;
    const SkinChoice& result() const { return working_; }

private:
    void opening() override { entries() = folders_(); }
    void chosen(std::size_t item) override;

    SkinChoice working_;
    std::u16string root_;
    Language language_;
    SkinFolderLister folders_;
    ColourPicker pickColour_;
};

} // namespace qor
