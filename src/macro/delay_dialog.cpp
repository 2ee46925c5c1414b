#include "macro/delay_dialog.h"

namespace qor {
namespace {

constexpr LanguageTexts kPrompt{u"Please enter a delay", u"请输入一个延时", u"請輸入一個延時"};
constexpr LanguageTexts kRange{u"(value range 0-10000)", u"(数值范围 0-10000)",
                               u"(數值範圍 0-10000)"};
// The field sits in the skin's well (120,129)-(264,145); the prompt and the range above it.
constexpr Rect kPromptRect{20, 84, 364, 102};
constexpr Rect kRangeRect{20, 104, 364, 122};
constexpr Rect kFieldRect{122, 130, 262, 144};

} // namespace

void DelayTimeDialog::textChanged(int editId, std::u16string_view text) {
    if (editId == kDelayEdit) {
        entry_ = delayEntryFromText(text);
    }
}

Scene DelayTimeDialog::scene() const {
    Scene s;
    s.text(kPrompt.in(language_), kPromptRect, TextAlign::Centre, FontRole::Text,
           ColourRole::White);
    s.text(kRange.in(language_), kRangeRect, TextAlign::Centre, FontRole::Text, ColourRole::White);
    SceneControl field = editControl(kDelayEdit, kFieldRect, entry_.text, TextAlign::Centre);
    field.digitsOnly = true;
    s.controls.push_back(std::move(field));
    return s;
}

std::optional<DelayEntry> askDelay(DialogRunner& runner, Language language) {
    DelayTimeDialog dialog(language);
    return resultOf(runner, dialog);
}

} // namespace qor
