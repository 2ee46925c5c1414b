// The contents of the key dialogs on the skinned-dialog frame: the single and combo key
// capture, the fire key, and the multimedia and Windows-function choices. Each holds what the
// user sees and picks, and gives the key rows its result.
#pragma once
#include "keys/key_rows.h"
#include "keys/key_tables.h"
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

class SingleKeyDialog final : public DialogContent {
public:
    explicit SingleKeyDialog(Language language) : language_(language) {}
    DialogKind kind() const override { return DialogKind::SingleKey; }
    void keyCaptured(std::u16string_view name, std::optional<int> focusedEdit) override;
    Scene scene() const override;
    const std::u16string& keyName() const { return name_; }

private:
    Language language_;
    std::u16string name_;
};

class ComboKeyDialog final : public PopupListContent {
public:
    static constexpr int kModifierFace = kComboModifierFaceId;
    static constexpr int kModifierList = kComboModifierListId;
    static constexpr int kFirstKeyEdit = kComboFirstKeyEditId;
    static constexpr int kSecondKeyEdit = kComboSecondKeyEditId;

    ComboKeyDialog();
    DialogKind kind() const override { return DialogKind::ComboKey; }
    void keyCaptured(std::u16string_view name, std::optional<int> focusedEdit) override;
    Scene scene() const override;
    ComboChoice result() const { return choice_; }

private:
    void chosen(std::size_t item) override { choice_.modifier = entries()[item]; }
    ComboChoice choice_;
};

class FireKeyDialog final : public PopupListContent {
public:
    static constexpr int kKeyFace = kFireKeyFaceId;
    static constexpr int kKeyList = kFireKeyListId;
    static constexpr int kSpeedEdit = kFireSpeedEditId;
    static constexpr int kTimesEdit = kFireTimesEditId;

    explicit FireKeyDialog(Language language);
    DialogKind kind() const override { return DialogKind::FireKey; }
    void textChanged(int editId, std::u16string_view text) override;
    void focusLost(int editId) override;
    Scene scene() const override;
    // The speed as the field shows it counts even when OK is pressed while it has the focus.
    FireChoice result() const;

private:
    void chosen(std::size_t item) override { position_ = item; }
    Language language_;
    std::size_t position_ = 0;
    std::u16string speedText_;
    std::u16string timesText_;
    std::uint8_t times_ = 1;
};

// The multimedia and the Windows-function dialogs: one list of choices in the interface
// language.
class ChoiceListDialog final : public PopupListContent {
public:
    static constexpr int kMediaFace = kMediaFaceId;
    static constexpr int kMediaList = kMediaListId;
    static constexpr int kWindowsFace = kWindowsFaceId;
    static constexpr int kWindowsList = kWindowsListId;

    // `kind` is DialogKind::Multimedia or DialogKind::WindowsFunction.
    ChoiceListDialog(DialogKind kind, Language language);
    DialogKind kind() const override { return kind_; }
    Scene scene() const override;
    ListChoice result() const { return {position_, entries()[position_]}; }

private:
    void chosen(std::size_t item) override { position_ = item; }
    DialogKind kind_;
    int faceId_;
    std::size_t position_ = 0;
};

// The key rows' parameter dialogs on the skinned frame: every run starts from the defaults, and
// OK hands back what the dialog shows.
class SkinnedKeyDialogs final : public KeyDialogs {
public:
    // `macroNames` reads record.ini's section names when the macro dialog opens.
    SkinnedKeyDialogs(DialogRunner& runner, Language language,
                      std::function<std::vector<std::u16string>()> macroNames);
    std::optional<ListChoice> windowsFunction() override;
    std::optional<ListChoice> multimedia() override;
    std::optional<FireChoice> fireKey() override;
    std::optional<std::u16string> singleKey() override;
    std::optional<ComboChoice> comboKey() override;
    std::optional<MacroChoice> macroKey() override;

private:
    DialogRunner& runner_;
    Language language_;
    std::function<std::vector<std::u16string>()> macroNames_;
};

} // namespace qor
