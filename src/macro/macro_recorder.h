// The keyboard recorder of the macro area. The window's keyboard hook (WH_KEYBOARD on the
// window's own thread) hands every call to hookProc; the recorder message it sends comes back
// to onRecorderMessage, which appends lines to the editor's sequence list. Pauses are not
// measured: every recorded event after the first is preceded by a "50 ms" line.
#pragma once
#include "base/message_sink.h"
#include "base/virtual_keys.h"
#include "base/window_ids.h"
#include "macro/macro_editor.h"
#include "macro/macro_texts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

// kRecorderMessage is sent (not posted) to the main window. wParam 0 press, 1 release; lParam 1
// when the key was up before the event.
inline constexpr std::uintptr_t kRecordedPress = 0;
inline constexpr std::uintptr_t kRecordedRelease = 1;
// Posted by the hook: Ctrl+Break, after which neither key stays in the sequence; and the 65th
// event, which is not recorded.
inline constexpr std::uintptr_t kRecordedBreak = 2;
inline constexpr std::uintptr_t kRecordedLimit = 3;
inline constexpr std::uint32_t kRecordedEventsMax = 64;

// What the recorder needs from the window.
class RecorderHost {
public:
    virtual ~RecorderHost() = default;
    // Installs the thread keyboard hook; the system's error code when that fails.
    virtual std::optional<std::uint32_t> installKeyboardHook() = 0;
    virtual void removeKeyboardHook() = 0;
    virtual void setWindowTitle(std::u16string_view title) = 0;
    // The title the window had before a recording asked for Ctrl+Break.
    virtual void restoreWindowTitle() = 0;
    // Sends the recorder message to the main window, whose handler calls onRecorderMessage.
    virtual void sendRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Posts it instead: handled once the hook has returned, so that a message box it opens does
    // not take the very key message the hook is looking at.
    virtual void postRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

enum class SequenceState : std::uint8_t {
    NothingRecorded = 0, // nothing pressed yet in this recording
    Pressed = 1,         // at least one press recorded
    Stopped = 2,
};

// Discard keeps Ctrl+Break from the window, which would cancel it.
using HookVerdict = KeyHookVerdict;

class MacroRecorder {
public:
    MacroRecorder(MacroEditor& editor, RecorderHost& host, MessageSink& messages,
                  MacroTexts texts = englishMacroTexts());

    // "Start Recording" and "Stop Recording".
    void startRecording();
    void stopRecording();
    // Leaving the Advanced page: an installed hook goes without a word; nothing else changes.
    void leavePage();

    // The hook procedure: code, the virtual key, the system's name of the key
    // (GetKeyNameTextW of the flags) and the keystroke flags.
    HookVerdict hookProc(int code, unsigned virtualKey, std::u16string_view keyName,
                         std::uint32_t flags);
    void onRecorderMessage(std::uintptr_t wParam, std::intptr_t lParam);

    // While recording on the Advanced page, key presses must not reach the page's controls.
    bool swallowsKeyDowns() const { return hookInstalled_; }

    bool hookInstalled() const { return hookInstalled_; }
    bool recordingStarted() const { return recordingStarted_; }
    std::uint32_t eventCount() const { return eventCount_; }
    SequenceState sequenceState() const { return state_; }
    const std::u16string& currentKeyName() const { return currentKeyName_; }
    const std::u16string& lastPressedName() const { return lastPressedName_; }

private:
    void removeHook();
    // Ctrl+Break, as the title asks, and the 65th event: the hook goes first, so that the keys
    // that close the "Stop Recording" box are not recorded; after Ctrl+Break the Ctrl press that
    // began it leaves the list.
    void endRecording(bool byBreak);
    // The lines a Ctrl+Break leaves behind: its own Ctrl press when nothing followed it, or a
    // release that balances a Ctrl still held from a combination.
    void dropBreakKeys();

    MacroEditor& editor_;
    RecorderHost& host_;
    MessageSink& messages_;
    MacroTexts texts_;

    bool hookInstalled_ = false;
    bool recordingStarted_ = false;
    std::uint32_t eventCount_ = 0;
    SequenceState state_ = SequenceState::NothingRecorded;
    std::u16string currentKeyName_;
    std::u16string lastPressedName_;
    unsigned currentVirtualKey_ = 0;
    // While a Ctrl press is the last thing recorded: the list's length before it.
    std::optional<std::size_t> beforeCtrlPress_;
    // The name of a Ctrl key pressed and not yet released in this recording.
    std::optional<std::u16string> ctrlHeld_;
    // Ctrl+Break was pressed and its stop is on its way: nothing more is recorded.
    bool endPending_ = false;
};

} // namespace qor
