// The delay dialog: one field for a delay in milliseconds under its prompt, on the skinned
// frame. A double click on a delay line of the sequence list opens it.
#pragma once
#include "macro/macro_editor.h"
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

namespace qor {

class DelayTimeDialog final : public DialogContent {
public:
    static constexpr int kDelayEdit = kDelayEditId;

    explicit DelayTimeDialog(Language language) : language_(language) {}
    DialogKind kind() const override { return DialogKind::DelayTime; }
    void textChanged(int editId, std::u16string_view text) override;
    Scene scene() const override;
    // The field's text and its value; an empty field is a delay of 0.
    const DelayEntry& result() const { return entry_; }

private:
    Language language_;
    DelayEntry entry_;
};

// Runs the delay dialog; nothing on Cancel.
std::optional<DelayEntry> askDelay(DialogRunner& runner, Language language);

} // namespace qor
