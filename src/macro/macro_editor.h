// The macro area of the Advanced page as a presentation model: the macro list, the "Key Press
// Sequence" list, the name and loop boxes, the event face and its list, and what each button,
// selection and edit does to them, to record.ini and to the record's macro slots. The window
// mirrors this state into its controls; every text the model sets in a box has already been
// through the box's change handler here, so the window must not report it back.
#pragma once
#include "base/message_sink.h"
#include "macro/macro_file.h"
#include "macro/macro_item.h"
#include "macro/macro_slot.h"
#include "macro/macro_texts.h"
#include "settings/settings_record.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The entries of the event list, in order.
inline constexpr std::array<std::u16string_view, 9> kMouseEvents = {
    u"L-Button Click", u"R-Button Click", u"M-Button Click", u"L-Button   Dn", u"L-Button   Up",
    u"R-Button   Dn",  u"R-Button   Up",  u"M-Button   Dn",  u"M-Button   Up"};

// Delays entered above this become the default delay.
inline constexpr int kDelayEntryMaxMs = 10000;

// What the delay dialog returns on OK: the edit's text and that text read as a number.
struct DelayEntry {
    std::u16string text;
    int value = 0;
};
DelayEntry delayEntryFromText(std::u16string_view text);

// The line a delay entry becomes: the text with " ms", or "50 ms" when the value is outside
// 0..10000.
MacroItem delayLineFor(const DelayEntry& entry);

struct PairUsage {
    std::size_t needed = 0; // pairs the sequence's events take
    std::size_t left = 0;   // pairs still free in a slot; 0 when the sequence does not fit
    bool fits = true;
};

class MacroEditor {
public:
    MacroEditor(const MacroFile& file, SettingsRecord& record, MessageSink& messages,
                MacroTexts texts = englishMacroTexts());

    // The Advanced page is shown: fill the area from record.ini and the macro slots.
    void showPage();
    // The Advanced page is left: the controls and their contents are gone. (The recorder's hook
    // is the recorder's to remove.)
    void leavePage();

    // State of the controls.
    const std::vector<std::u16string>& macroList() const { return macroList_; }
    std::optional<std::size_t> selectedMacro() const { return selectedMacro_; }
    const std::vector<MacroItem>& sequence() const { return sequence_; }
    std::optional<std::size_t> selectedLine() const { return selectedLine_; }
    const std::u16string& nameBox() const { return nameBox_; }
    const std::u16string& loopBox() const { return loopBox_; }
    // The loop count Confirm saves: what the loop box shows, as the box's handler accepts it.
    std::u16string acceptedLoopText() const;
    const std::u16string& eventFace() const { return eventFace_; }
    bool eventListOpen() const { return eventListOpen_; }
    // How many pairs the sequence takes in its slot and how many are left.
    PairUsage pairUsage() const;

    // The user picks a macro in the macro list.
    void selectMacro(std::size_t index);
    // The user types into the boxes.
    void setNameBox(std::u16string_view text) { nameBox_ = text; }
    void setLoopBox(std::u16string_view text);

    void newMacro();
    void deleteMacro();
    void confirm();

    // A click on, or the pointer over, a line of the sequence list; nothing clears the selection.
    void selectLine(std::optional<std::size_t> line);
    // Double-click in the sequence list. The dialog runs only when the selected line is a delay;
    // it returns nothing on Cancel.
    void editSelectedDelay(const std::function<std::optional<DelayEntry>()>& runDialog);
    // A click on the event face opens or closes the event list; a click elsewhere on the page
    // closes it.
    void clickEventFace() { eventListOpen_ = !eventListOpen_; }
    void clickElsewhere() { eventListOpen_ = false; }
    // The user picks entry `index` of the event list.
    void insertMouseEvent(std::size_t index);
    // The context menu's "Delete": removes the selected line only.
    void deleteSelectedLine();

    // For the recorder.
    bool macroListEmpty() const { return macroList_.empty(); }
    bool macroIsSelected() const { return selectedMacro_.has_value(); }
    void clearSequence();
    // Appends a line and selects the last line.
    void appendLine(MacroItem line);
    // Keeps the first `length` lines and selects the last of them.
    void truncateSequence(std::size_t length);

private:
    // Empties every list and box of the area.
    void clearArea();
    // Every text change of the loop box, typed or set here.
    void setLoopText(std::u16string_view text);
    void loopBoxChanged();
    // After a write that may have created or moved a section: the macro list takes the file's
    // order (macros without a section stay behind them), so that list position, macro number
    // and slot agree.
    void alignListWithFile();
    std::optional<MacroSlot> slotAt(std::size_t position);
    void insertLines(std::size_t at, std::initializer_list<std::u16string_view> lines);

    const MacroFile& file_;
    SettingsRecord& record_;
    MessageSink& messages_;
    MacroTexts texts_;

    std::vector<std::u16string> macroList_;
    std::optional<std::size_t> selectedMacro_;
    std::vector<MacroItem> sequence_;
    std::optional<std::size_t> selectedLine_;
    std::u16string nameBox_;
    std::u16string loopBox_;
    std::u16string eventFace_;
    bool eventListOpen_ = false;
};

} // namespace qor
