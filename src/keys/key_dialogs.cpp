#include "keys/key_dialogs.h"

#include "base/decimal.h"
#include "keys/key_tables.h"
#include "keys/macro_key_dialog.h"

#include <array>
#include <tuple>

namespace qor {
namespace {

constexpr LanguageTexts kEnterAKey{u"Please enter a key", u"请输入一个按键", u"請輸入一個按鍵"};
constexpr Rect kSingleKeyFace{74, 129, 150, 143};
constexpr Rect kSingleKeyPrompt{45, 108, 181, 124};

constexpr Rect kComboModifierFace{50, 70, 116, 84};
constexpr Rect kComboModifierBox{50, 70, 132, 84};
constexpr Rect kComboModifierList{50, 86, 132, 226};
constexpr Rect kComboFirstKey{50, 120, 131, 134};
constexpr Rect kComboSecondKey{50, 170, 131, 184};

constexpr Rect kFireFace{50, 70, 116, 84};
constexpr Rect kFireBox{50, 70, 132, 84};
constexpr Rect kFireList{50, 86, 132, kDialogListBottom};
constexpr Rect kFireSpeed{50, 120, 131, 134};
constexpr Rect kFireTimes{50, 170, 131, 184};
constexpr std::uint8_t kDefaultFireSpeed = 32;
constexpr std::uint8_t kDefaultFireTimes = 1;
constexpr int kSlowestFireSpeed = 255;
constexpr int kFastestFireSpeed = 5;
constexpr int kMostFireTimes = 255;

// The field labels end just before their fields; the explanation takes the free column beside
// the fields, where it has room for its long English lines.
constexpr Rect kSpeedLabel{4, 120, 48, 134};
constexpr Rect kTimesLabel{4, 170, 48, 184};
constexpr Rect kFireExplanation{146, 60, 376, 240};
constexpr LanguageTexts kSpeedText{u"Speed", u"速度", u"速度"};
constexpr LanguageTexts kTimesText{u"Times", u"次数", u"次數"};
constexpr std::array<LanguageTexts, 3> kFireExplanationLines = {{
    {u"Illustration:", u"说明:", u"說明:"},
    {u"Speed (value range 5-255, with smaller values faster)",
     u"速度(数值范围5-255，数值越小速度越快)", u"速度(數值範圍5-255，數值越小速度越快)"},
    {u"Times (value range 0-255,0 indicates fire key to end when the key released)",
     u"次数(数值范围0-255，0表示按键放开火力键结束)",
     u"次數(數值範圍0-255，0表示按鍵放開火力鍵結束)"},
}};

// Wide enough for the longest entry, "Multimedia Player"; the Windows list scrolls.
constexpr Rect kChoiceFace{43, 129, 207, 143};
constexpr Rect kChoiceBox{43, 129, 223, 143};
constexpr Rect kMediaListRect{43, 145, 223, kDialogListBottom};
constexpr Rect kWindowsListRect{43, 145, 223, kDialogListBottom};

SceneControl edit(int id, const Rect& rect, std::u16string_view text, bool enabled) {
    SceneControl c = editControl(id, rect, text, TextAlign::Centre);
    c.enabled = enabled;
    return c;
}

} // namespace

// --- single key -------------------------------------------------------------------------------

void SingleKeyDialog::keyCaptured(std::u16string_view name, std::optional<int> /*focusedEdit*/) {
    name_ = std::u16string(name.substr(0, kKeyNameMaxLength));
}

Scene SingleKeyDialog::scene() const {
    Scene s;
    s.text(kEnterAKey.in(language_), kSingleKeyPrompt, TextAlign::Centre, FontRole::Text,
           ColourRole::White);
    s.controls.push_back(staticControl(kSingleKeyFaceId, kSingleKeyFace, name_, TextAlign::Centre));
    return s;
}

// --- combo key --------------------------------------------------------------------------------

ComboKeyDialog::ComboKeyDialog()
    : PopupListContent(kModifierList, kComboModifierBox, kComboModifierList) {
    for (const auto& m : modifierTable()) {
        entries().emplace_back(m.name);
    }
}

void ComboKeyDialog::keyCaptured(std::u16string_view name, std::optional<int> focusedEdit) {
    const std::u16string key(name.substr(0, kKeyNameMaxLength));
    if (focusedEdit == kFirstKeyEdit) {
        choice_.key1 = key;
    } else if (focusedEdit == kSecondKeyEdit) {
        choice_.key2 = key;
    }
}

Scene ComboKeyDialog::scene() const {
    Scene s;
    s.controls.push_back(
        staticControl(kModifierFace, kComboModifierFace, choice_.modifier, TextAlign::Centre));
    // The edits show only what was captured: the typed character is not theirs to keep.
    for (const auto& [id, rect, text] :
         {std::tuple{kFirstKeyEdit, kComboFirstKey, &choice_.key1},
          std::tuple{kSecondKeyEdit, kComboSecondKey, &choice_.key2}}) {
        SceneControl e = edit(id, rect, *text, !listOpen());
        e.readOnly = true;
        s.controls.push_back(std::move(e));
    }
    addList(s);
    return s;
}

// --- fire key ---------------------------------------------------------------------------------

FireKeyDialog::FireKeyDialog(Language language)
    : PopupListContent(kKeyList, kFireBox, kFireList), language_(language),
      speedText_(formatDecimal(kDefaultFireSpeed)), timesText_(formatDecimal(kDefaultFireTimes)),
      times_(kDefaultFireTimes) {
    for (const auto& k : fireKeyTable()) {
        entries().emplace_back(k.text);
    }
}

void FireKeyDialog::textChanged(int editId, std::u16string_view text) {
    if (editId == kSpeedEdit) {
        speedText_ = std::u16string(text); // checked when the field is left
        return;
    }
    if (editId != kTimesEdit) {
        return;
    }
    const int value = parseDecimal(text);
    if (value < 0 || value > kMostFireTimes) {
        times_ = kDefaultFireTimes;
        timesText_ = formatDecimal(kDefaultFireTimes);
        return;
    }
    times_ = static_cast<std::uint8_t>(value);
    timesText_ = std::u16string(text);
}

void FireKeyDialog::focusLost(int editId) {
    if (editId != kSpeedEdit) {
        return;
    }
    const int value = parseDecimal(speedText_);
    if (value < kFastestFireSpeed || value > kSlowestFireSpeed) {
        speedText_ = formatDecimal(kFastestFireSpeed);
    }
}

FireChoice FireKeyDialog::result() const {
    const int speed = parseDecimal(speedText_);
    const bool inRange = speed >= kFastestFireSpeed && speed <= kSlowestFireSpeed;
    return FireChoice{position_, entries()[position_],
                      static_cast<std::uint8_t>(inRange ? speed : kFastestFireSpeed), times_};
}

Scene FireKeyDialog::scene() const {
    Scene s;
    s.text(kSpeedText.in(language_), kSpeedLabel, TextAlign::Right, FontRole::Text,
           ColourRole::White);
    s.text(kTimesText.in(language_), kTimesLabel, TextAlign::Right, FontRole::Text,
           ColourRole::White);
    std::u16string explanation;
    for (const auto& line : kFireExplanationLines) {
        if (!explanation.empty()) {
            explanation.push_back(u'\n');
        }
        explanation.append(line.in(language_));
    }
    s.wrappedText(explanation, kFireExplanation, TextAlign::Left, ColourRole::White);
    s.controls.push_back(
        staticControl(kKeyFace, kFireFace, entries()[position_], TextAlign::Centre));
    SceneControl speed = edit(kSpeedEdit, kFireSpeed, speedText_, !listOpen());
    speed.digitsOnly = true;
    SceneControl times = edit(kTimesEdit, kFireTimes, timesText_, !listOpen());
    times.digitsOnly = true;
    s.controls.push_back(std::move(speed));
    s.controls.push_back(std::move(times));
    addList(s);
    return s;
}

// --- multimedia and Windows functions ---------------------------------------------------------

ChoiceListDialog::ChoiceListDialog(DialogKind kind, Language language)
    : PopupListContent(kind == DialogKind::Multimedia ? kMediaList : kWindowsList, kChoiceBox,
                       kind == DialogKind::Multimedia ? kMediaListRect : kWindowsListRect),
      kind_(kind), faceId_(kind == DialogKind::Multimedia ? kMediaFace : kWindowsFace) {
    for (const auto& e : kind == DialogKind::Multimedia ? mediaTable() : windowsFunctionTable()) {
        entries().emplace_back(usageText(e, language));
    }
}

Scene ChoiceListDialog::scene() const {
    Scene s;
    s.controls.push_back(
        staticControl(faceId_, kChoiceFace, entries()[position_], TextAlign::Left));
    addList(s);
    return s;
}

// --- the dialogs for the key rows -------------------------------------------------------------

SkinnedKeyDialogs::SkinnedKeyDialogs(DialogRunner& runner, Language language,
                                     std::function<std::vector<std::u16string>()> macroNames)
    : runner_(runner), language_(language), macroNames_(std::move(macroNames)) {}

std::optional<ListChoice> SkinnedKeyDialogs::windowsFunction() {
    ChoiceListDialog d(DialogKind::WindowsFunction, language_);
    return resultOf(runner_, d);
}

std::optional<ListChoice> SkinnedKeyDialogs::multimedia() {
    ChoiceListDialog d(DialogKind::Multimedia, language_);
    return resultOf(runner_, d);
}

std::optional<FireChoice> SkinnedKeyDialogs::fireKey() {
    FireKeyDialog d(language_);
    return resultOf(runner_, d);
}

std::optional<std::u16string> SkinnedKeyDialogs::singleKey() {
    SingleKeyDialog d(language_);
    return runner_.run(d) ? std::optional(d.keyName()) : std::nullopt;
}

std::optional<ComboChoice> SkinnedKeyDialogs::comboKey() {
    ComboKeyDialog d;
    return resultOf(runner_, d);
}

std::optional<MacroChoice> SkinnedKeyDialogs::macroKey() {
    MacroKeyDialog d(macroNames_(), language_);
    return resultOf(runner_, d);
}

} // namespace qor
