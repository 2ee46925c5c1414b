// The macro area of the Advanced page as the window sees it: the editor and the recorder behind
// the page's buttons, lists, boxes and the event face; where each lies on the skin's macro
// panel; what a press, a list choice, an edit, the pointer and the context menu do; and the
// scene with the capacity gauge.
#pragma once
#include "base/message_sink.h"
#include "base/window_ids.h"
#include "macro/macro_editor.h"
#include "macro/macro_file.h"
#include "macro/macro_recorder.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/skinned_dialog.h"
#include "ui/strings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

inline constexpr Rect kRecordStartRect{735, 229, 764, 258};
inline constexpr Rect kRecordStopRect{735, 265, 764, 294};
inline constexpr Rect kEventBoxRect{735, 402, 854, 416};
inline constexpr Rect kEventListRect{734, 419, 854, 569};

enum class MacroButton : std::uint8_t { New = 0, Delete = 1, Confirm = 2 };
inline constexpr std::size_t kMacroButtons = 3;
Rect macroButtonRect(MacroButton button);

class MacroArea {
public:
    MacroArea(const MacroFile& file, SettingsRecord& record, const StringTable& strings,
              MessageSink& messages, RecorderHost& host, DialogRunner& dialogs);

    // The page is shown: the controls come, filled from record.ini and the macro slots.
    void pageShown();
    // The page is left: the controls go, and a recording ends without a word.
    void pageLeft();

    void pressStart() { recorder_.startRecording(); }
    void pressStop() { recorder_.stopRecording(); }
    void pressButton(MacroButton button);
    void pressEventBox() {
        editor_.clickEventFace();
        eventHighlight_.reset();
    }
    // Any press on the page first closes an open event list unless it is on the box or list.
    void closeEventListAway(int x, int y);

    // A selection (or a double click) in one of the area's lists.
    void listSelected(int id, std::size_t item, bool doubleClick);
    // The pointer over an item: the sequence and event lists follow it.
    void pointerOverList(int id, std::size_t item);
    // The user changed the text of one of the boxes.
    void textChanged(int id, std::u16string_view text);

    // The context menu over a control: the text of its one entry, or nothing where there is no
    // menu.
    std::optional<std::u16string> contextMenuAt(int id) const;
    void command(int id);

    // While recording, key presses must not reach the page.
    bool swallowsKeyDowns() const { return recorder_.swallowsKeyDowns(); }
    HookVerdict hookProc(int code, unsigned virtualKey, std::u16string_view keyName,
                         std::uint32_t flags) {
        return recorder_.hookProc(code, virtualKey, keyName, flags);
    }
    void recorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
        recorder_.onRecorderMessage(wParam, lParam);
    }

    Scene scene(std::optional<MacroButton> hovered) const;

    const MacroEditor& editor() const { return editor_; }
    const MacroRecorder& recorder() const { return recorder_; }

private:
    const StringTable& strings_;
    DialogRunner& dialogs_;
    MacroEditor editor_;
    MacroRecorder recorder_;
    std::optional<std::size_t> eventHighlight_;
};

} // namespace qor
