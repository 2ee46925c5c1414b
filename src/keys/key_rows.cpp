#include "keys/key_rows.h"

#include "keys/binding_word.h"
#include "keys/key_tables.h"
#include "settings/settings_state.h"

namespace qor {
namespace {

constexpr int kRowLeft = 252;
constexpr int kRowRight = 463;
constexpr int kRowTop = 186;
constexpr int kRowPitch = 23;
constexpr int kRowHeight = 21;
constexpr int kRowNumberWidth = 20;
constexpr int kListTop = 208;
constexpr int kListHeight = 250;
constexpr int kSideListWidth = 66;
constexpr int kSideListHeight = 80;

std::vector<std::u16string> texts(std::span<const std::u16string_view> items) {
    return {items.begin(), items.end()};
}

} // namespace

Rect keyRowRect(std::size_t row) {
    const int top = kRowTop + kRowPitch * static_cast<int>(row);
    return {kRowLeft, top, kRowRight, top + kRowHeight};
}

Rect functionListRect(std::size_t row) {
    const int top = kListTop + kRowPitch * static_cast<int>(row);
    return {kRowLeft, top, kRowRight, top + kListHeight};
}

std::u16string comboRowText(std::u16string_view label, const ComboChoice& choice) {
    std::u16string text(label);
    text += u"-";
    bool first = true;
    const auto add = [&](std::u16string_view name, std::uint8_t code) {
        if (code == 0) {
            return; // a part the mouse gets no code for is not named either
        }
        if (!first) {
            text += u"+";
        }
        text += name;
        first = false;
    };
    add(choice.modifier, modifierBitOfName(choice.modifier));
    add(choice.key1, keyCodeOfName(choice.key1));
    add(choice.key2, keyCodeOfName(choice.key2));
    return text;
}

KeyRows::KeyRows(SettingsRecord& record, KeyRowTexts& texts, const StringTable& strings,
                 MessageSink& messages, KeyDialogs& dialogs)
    : record_(record), texts_(texts), strings_(strings), messages_(messages), dialogs_(dialogs) {}

std::u16string_view KeyRows::label(std::size_t position) const {
    return strings_.text(functionLabelEntry(static_cast<std::uint8_t>(position)));
}

std::u16string_view KeyRows::rowText(std::size_t row) const {
    return row < kKeyRows ? std::u16string_view(texts_.rows(activeSet())[row]) : u"";
}

void KeyRows::closeLists() {
    openRow_.reset();
    listSelection_.reset();
    sideList_.reset();
    sideSelection_.reset();
}

bool KeyRows::openListContains(int x, int y) const {
    if (!openRow_) {
        return false;
    }
    return keyRowRect(*openRow_).contains(x, y) || functionListRect(*openRow_).contains(x, y) ||
           (sideList_ && sideList_->contains(x, y));
}

bool KeyRows::leftClickGuardAllows(std::size_t row) {
    const ButtonTable& table = record_.activeTable();
    if (table.function[row] != static_cast<std::uint8_t>(KeyFunction::LeftClick)) {
        return true;
    }
    for (std::size_t b = 0; b < kMouseButtons; ++b) {
        if (b != row && table.function[b] == static_cast<std::uint8_t>(KeyFunction::LeftClick)) {
            return true;
        }
    }
    messages_.show(strings_.text(StringId::LeftKeyRequired), kWarningCaption);
    return false;
}

void KeyRows::pressRow(std::size_t row) {
    if (row >= kKeyRowsShown) {
        return;
    }
    if (openRow_ == row) {
        closeLists();
        return;
    }
    closeLists();
    if (!leftClickGuardAllows(row)) {
        return;
    }
    openRow_ = row;
}

void KeyRows::pressKeySet(KeySet set) {
    closeLists();
    record_.activeMode = set == KeySet::A ? 0 : 1;
}

void KeyRows::pressDefault() {
    closeLists();
    restoreKeyDefaults(record_);
    setFirstRunKeyRowTexts(texts_, strings_);
}

void KeyRows::pointerOverList(std::size_t item, const Rect& itemRect) {
    if (!openRow_ || item >= kKeyFunctionCount) {
        return;
    }
    listSelection_ = item;
    if (item != kDpiSwitchPosition) {
        sideList_.reset();
        sideSelection_.reset();
        return;
    }
    if (!sideList_) {
        const Rect list = functionListRect(*openRow_);
        const int left = list.left + itemRect.right;
        const int top = list.top + itemRect.top;
        sideList_ = Rect{left, top, left + kSideListWidth, top + kSideListHeight};
    }
}

void KeyRows::pointerOverSideList(std::size_t item) {
    if (sideList_ && item < kDpiSwitchNames.size()) {
        sideSelection_ = item;
    }
}

bool KeyRows::runDialog(std::size_t row, std::size_t position) {
    ButtonTable& t = record_.activeTable();
    const std::u16string_view prefix = label(position);
    switch (static_cast<KeyFunction>(position)) {
    case KeyFunction::Windows: {
        const auto c = dialogs_.windowsFunction();
        if (!c) {
            return false;
        }
        t.windowsChoice[row] = static_cast<std::uint8_t>(c->position);
        t.windowsCode[row] = windowsUsageLow(c->position);
        t.windowsClass[row] = windowsUsageHigh(c->position);
        text(row) = c->name;
        return true;
    }
    case KeyFunction::Multimedia: {
        const auto c = dialogs_.multimedia();
        if (!c) {
            return false;
        }
        t.mediaChoice[row] = static_cast<std::uint8_t>(c->position);
        t.mediaCode[row] = mediaUsage(c->position);
        text(row) = std::u16string(prefix) + u"-" + c->name;
        return true;
    }
    case KeyFunction::FireKey: {
        const auto c = dialogs_.fireKey();
        if (!c) {
            return false;
        }
        t.fireChoice[row] = static_cast<std::uint8_t>(c->position);
        t.fireKey[row] = fireKeyCode(c->position);
        t.fireSpeed[row] = c->speed;
        t.fireTimes[row] = c->times;
        text(row) = std::u16string(prefix) + u"-" + c->name;
        return true;
    }
    case KeyFunction::SingleKey: {
        const auto name = dialogs_.singleKey();
        if (!name) {
            return false;
        }
        t.singleKey[row] = keyCodeOfName(*name);
        text(row) = std::u16string(prefix) + u"-" + *name;
        return true;
    }
    case KeyFunction::ComboKey: {
        const auto c = dialogs_.comboKey();
        if (!c) {
            return false;
        }
        t.comboModifiers[row] = modifierBitOfName(c->modifier);
        t.comboKey1[row] = keyCodeOfName(c->key1);
        t.comboKey2[row] = keyCodeOfName(c->key2);
        text(row) = comboRowText(prefix, *c);
        return true;
    }
    case KeyFunction::MacroKey: {
        const auto c = dialogs_.macroKey();
        if (!c) {
            return false;
        }
        t.macroIndex[row] = static_cast<std::uint8_t>(c->index);
        t.macroLoopMode[row] = static_cast<std::uint8_t>(c->loopMode - 1);
        text(row) = std::u16string(prefix) + u"-" + c->name;
        return true;
    }
    default:
        text(row) = std::u16string(prefix);
        return true;
    }
}

void KeyRows::chooseFunction(std::size_t position) {
    if (!openRow_ || position >= kKeyFunctionCount || position == kDpiSwitchPosition) {
        return; // "DPI Switch" is chosen through the side list; the list stays open
    }
    const std::size_t row = *openRow_;
    // The dialog is modal; the list goes away whatever it answers.
    closeLists();
    if (runDialog(row, position)) {
        record_.activeTable().function[row] = static_cast<std::uint8_t>(position);
    }
}

void KeyRows::chooseDpiSwitch(std::size_t position) {
    if (!openRow_ || !sideList_ || position >= kDpiSwitchNames.size()) {
        return;
    }
    const std::size_t row = *openRow_;
    closeLists();
    text(row) = std::u16string(kDpiSwitchNames[position]);
    record_.activeTable().function[row] = static_cast<std::uint8_t>(KeyFunction::DpiSwitch);
    record_.activeDpiSwitch()[row] = static_cast<std::uint8_t>(position + 1);
}

Scene KeyRows::scene(std::optional<std::size_t> hoveredRow, bool defaultHovered) const {
    Scene s;
    s.text(strings_.text(StringId::KeySetting), kKeyHeadingRect, TextAlign::Centre);
    for (std::size_t row = 0; row < kKeyRowsShown; ++row) {
        const Rect r = keyRowRect(row);
        s.image(hoveredRow == row ? u"/DropdownBox-over.png" : u"/DropdownBox-normal.png", r);
        const std::u16string number(1, static_cast<char16_t>(u'1' + row));
        s.text(number, {r.left, r.top, r.left + kRowNumberWidth, r.bottom}, TextAlign::Left);
        s.text(rowText(row), {r.left + kRowNumberWidth, r.top, r.right, r.bottom}, TextAlign::Left);
    }
    const bool setB = record_.activeMode != 0;
    s.image(setB ? u"/button-normal.png" : u"/button-over.png", kKeySetARect);
    s.image(setB ? u"/button-over.png" : u"/button-normal.png", kKeySetBRect);
    s.text(u"Mode A", kKeySetARect, TextAlign::Centre);
    s.text(u"Mode B", kKeySetBRect, TextAlign::Centre);
    s.image(defaultHovered ? u"/button-over.png" : u"/button-normal.png", kKeyDefaultRect);
    s.text(strings_.text(StringId::KeyDefault), kKeyDefaultRect, TextAlign::Centre);

    if (openRow_) {
        std::vector<std::u16string> items;
        for (std::size_t p = 0; p < kKeyFunctionCount; ++p) {
            items.emplace_back(label(p));
        }
        s.controls.push_back(listControl(kFunctionListIdBase + static_cast<int>(*openRow_) + 1,
                                         functionListRect(*openRow_), std::move(items),
                                         listSelection_));
    }
    if (sideList_) {
        s.controls.push_back(
            listControl(kDpiSideListId, *sideList_, texts(kDpiSwitchNames), sideSelection_));
    }
    return s;
}

} // namespace qor
