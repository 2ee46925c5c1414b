// The key area of the Basic page as a presentation model: seven key rows with their function
// lists and the DPI side list, the two key sets and "Default". Every choice changes the record
// and the row texts together; the parameter dialogs are reached through a port.
#pragma once
#include "base/message_sink.h"
#include "base/window_ids.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/str_ini.h"
#include "ui/strings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

inline constexpr std::size_t kKeyRowsShown = 7;
inline constexpr std::size_t kDpiSwitchPosition = 6;

// What the parameter dialogs return on OK.
struct ListChoice { // Windows function and multimedia dialogs
    std::size_t position = 0;
    std::u16string name;
};
struct FireChoice {
    std::size_t position = 0;
    std::u16string name;
    std::uint8_t speed = 5;
    std::uint8_t times = 0;
};
struct ComboChoice {
    std::u16string modifier;
    std::u16string key1;
    std::u16string key2;
};
struct MacroChoice {
    std::size_t index = 0;
    std::uint8_t loopMode = 1; // 1..3
    std::u16string name;
};

// Runs a parameter dialog modally; nothing comes back on Cancel.
class KeyDialogs {
public:
    virtual ~KeyDialogs() = default;
    virtual std::optional<ListChoice> windowsFunction() = 0;
    virtual std::optional<ListChoice> multimedia() = 0;
    virtual std::optional<FireChoice> fireKey() = 0;
    virtual std::optional<std::u16string> singleKey() = 0;
    virtual std::optional<ComboChoice> comboKey() = 0;
    virtual std::optional<MacroChoice> macroKey() = 0;
};

// Every dialog answers Cancel: for a build or a test without them.
class NoKeyDialogs final : public KeyDialogs {
public:
    std::optional<ListChoice> windowsFunction() override { return {}; }
    std::optional<ListChoice> multimedia() override { return {}; }
    std::optional<FireChoice> fireKey() override { return {}; }
    std::optional<std::u16string> singleKey() override { return {}; }
    std::optional<ComboChoice> comboKey() override { return {}; }
    std::optional<MacroChoice> macroKey() override { return {}; }
};

// Layout; rows count from 0.
Rect keyRowRect(std::size_t row);
Rect functionListRect(std::size_t row);
// The buttons that choose key set A or B (labelled "Mode A" and "Mode B").
inline constexpr Rect kKeySetARect{253, 518, 358, 539};
inline constexpr Rect kKeySetBRect{357, 518, 462, 539};
inline constexpr Rect kKeyDefaultRect{307, 549, 412, 570};
inline constexpr Rect kKeyHeadingRect{259, 160, 364, 181};

// The row text a dialog's result gives, with the interface language's label as prefix.
std::u16string comboRowText(std::u16string_view label, const ComboChoice& choice);

class KeyRows {
public:
    KeyRows(SettingsRecord& record, KeyRowTexts& texts, const StringTable& strings,
            MessageSink& messages, KeyDialogs& dialogs);

    // Clicks of the dispatcher.
    void pressRow(std::size_t row);
    void pressKeySet(KeySet set);
    void pressDefault();
    // A press elsewhere in the window, or the page's controls going away.
    void closeLists();
    // Whether a press at p leaves the open list alone: p lies in the open row's box, its list or
    // the side list.
    bool openListContains(int x, int y) const;

    // The pointer over item `item` of the open function list, whose rectangle inside the list
    // is `itemRect`: the selection follows, and item 6 brings the DPI side list.
    void pointerOverList(std::size_t item, const Rect& itemRect);
    void pointerOverSideList(std::size_t item);
    // Selection in the open function list, or in the side list.
    void chooseFunction(std::size_t position);
    void chooseDpiSwitch(std::size_t position);

    std::optional<std::size_t> openRow() const { return openRow_; }
    bool sideListOpen() const { return sideList_.has_value(); }
    std::optional<Rect> sideListRect() const { return sideList_; }
    std::u16string_view rowText(std::size_t row) const;

    // The key area: heading, rows, key-set buttons, "Default", and the open lists.
    // `hoveredRow` is drawn with the "-over" image, and "Default" when `defaultHovered`.
    Scene scene(std::optional<std::size_t> hoveredRow, bool defaultHovered) const;

private:
    KeySet activeSet() const { return record_.activeMode == 0 ? KeySet::A : KeySet::B; }
    std::u16string& text(std::size_t row) { return texts_.rows(activeSet())[row]; }
    bool leftClickGuardAllows(std::size_t row);
    std::u16string_view label(std::size_t position) const;
    // Runs the dialog of a parameter function; false on Cancel.
    bool runDialog(std::size_t row, std::size_t position);

    SettingsRecord& record_;
    KeyRowTexts& texts_;
    const StringTable& strings_;
    MessageSink& messages_;
    KeyDialogs& dialogs_;

    std::optional<std::size_t> openRow_;
    std::optional<std::size_t> listSelection_;
    std::optional<Rect> sideList_;
    std::optional<std::size_t> sideSelection_;
};

} // namespace qor
