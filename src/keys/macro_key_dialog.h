// The macro key dialog's content: the list of record.ini's macros under a face, and the three
// loop modes as check marks. Its result binds a mouse button to a macro.
#pragma once
#include "keys/key_rows.h"
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

#include <string>
#include <vector>

namespace qor {

inline constexpr std::size_t kLoopModes = 3;

// The check mark of loop mode `mode` (1..3) and the text beside it; a press on either picks it.
Rect loopModeCheckRect(std::size_t mode);
Rect loopModeTextRect(std::size_t mode);

class MacroKeyDialog final : public PopupListContent {
public:
    static constexpr int kFace = kMacroKeyFaceId;
    static constexpr int kList = kMacroKeyListId;

    // `macroNames` are the section names of record.ini in file order.
    MacroKeyDialog(std::vector<std::u16string> macroNames, Language language);
    DialogKind kind() const override { return DialogKind::MacroKey; }
    bool pressBox(int x, int y) override;
    Scene scene() const override;
    // Nothing chosen: macro 0 with loop mode 1 and no name.
    MacroChoice result() const { return choice_; }

private:
    void chosen(std::size_t item) override;
    Language language_;
    MacroChoice choice_;
};

} // namespace qor
