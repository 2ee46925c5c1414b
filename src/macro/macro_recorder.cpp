#include "macro/macro_recorder.h"

#include "base/virtual_keys.h"
#include "keys/key_tables.h"

#include <cstdint>

namespace qor {

std::u16string hookInstallErrorText(unsigned long errorCode) {
    std::u16string text = u"JournalRecordHook Install error code :";
    // Printed as a signed 32-bit number, as the system's own "%d" does.
    text.append(formatDecimal(static_cast<std::int32_t>(errorCode)));
    text.push_back(u'\n');
    return text;
}

MacroRecorder::MacroRecorder(MacroEditor& editor, RecorderHost& host, MessageSink& messages,
                             MacroTexts texts)
    : editor_(editor), host_(host), messages_(messages), texts_(std::move(texts)) {}

void MacroRecorder::removeHook() {
    if (hookInstalled_) {
        host_.removeKeyboardHook();
        host_.restoreWindowTitle();
        hookInstalled_ = false;
    }
}

void MacroRecorder::startRecording() {
    if (editor_.macroListEmpty()) {
        messages_.show(texts_.nameBlank, kWarningCaption);
        return;
    }
    messages_.show(texts_.startRecording, texts_.appTitle);
    eventCount_ = 0;
    removeHook();
    editor_.clearSequence();
    beforeCtrlPress_.reset();
    ctrlHeld_.reset();
    endPending_ = false;
    if (const std::optional<std::uint32_t> error = host_.installKeyboardHook()) {
        messages_.show(hookInstallErrorText(*error), texts_.appTitle);
        return;
    }
    hookInstalled_ = true;
    recordingStarted_ = true;
    state_ = SequenceState::NothingRecorded;
    host_.setWindowTitle(texts_.stopHint);
}

void MacroRecorder::stopRecording() {
    // Keys pressed to close this box still reach the hook.
    messages_.show(texts_.stopRecording, texts_.appTitle);
    eventCount_ = 0;
    if (!recordingStarted_) {
        messages_.show(texts_.notRecording, kWarningCaption);
        return;
    }
    if (hookInstalled_) {
        removeHook();
        state_ = SequenceState::Stopped;
    }
}

void MacroRecorder::endRecording(bool byBreak) {
    endPending_ = false;
    if (!hookInstalled_) {
        return;
    }
    removeHook();
    state_ = SequenceState::Stopped;
    eventCount_ = 0;
    if (byBreak) {
        dropBreakKeys();
    }
    beforeCtrlPress_.reset();
    ctrlHeld_.reset();
    messages_.show(texts_.stopRecording, texts_.appTitle);
}

void MacroRecorder::dropBreakKeys() {
    if (beforeCtrlPress_) {
        editor_.truncateSequence(*beforeCtrlPress_);
    } else if (ctrlHeld_ && editor_.macroIsSelected()) {
        // Ctrl was part of a combination and is still down: the macro lets it go again.
        editor_.appendLine(delayItem(kDefaultDelayMs));
        editor_.appendLine(releaseItem(*ctrlHeld_));
    }
}

void MacroRecorder::leavePage() {
    removeHook();
}

HookVerdict MacroRecorder::hookProc(int code, unsigned virtualKey, std::u16string_view keyName,
                                    std::uint32_t flags) {
    if (code != kHookAction) {
        return HookVerdict::PassOn;
    }
    const bool released = (flags & kKeyReleasedBit) != 0;
    const bool wasDown = (flags & kKeyWasDownBit) != 0;
    if (virtualKey == kVirtualKeyCancel) {
        // Neither recorded nor counted, and kept from the window, where the dialog manager
        // would take it for Cancel.
        if (!released && !endPending_) {
            endPending_ = true;
            host_.postRecorderMessage(kRecordedBreak, wasDown ? 0 : 1);
        }
        return HookVerdict::Discard;
    }
    if (endPending_) {
        return HookVerdict::Handled; // keys on the way to the stop (the Ctrl release)
    }
    currentKeyName_ = keyName.substr(0, kKeyNameMaxLength);
    currentVirtualKey_ = virtualKey;
    // Auto-repeats of the key last pressed: a press while it was down, or a release of it while
    // it was not.
    if (currentKeyName_ == lastPressedName_ && released != wasDown) {
        return HookVerdict::Handled;
    }
    ++eventCount_;
    if (eventCount_ > kRecordedEventsMax) {
        // The hook goes before the stop box opens: a key that closes the box would otherwise
        // count once more and open another box, and the keyboard could never close them all.
        if (!endPending_) {
            endPending_ = true;
            host_.postRecorderMessage(kRecordedLimit, wasDown ? 0 : 1);
        }
        return HookVerdict::Handled;
    }
    host_.sendRecorderMessage(released ? kRecordedRelease : kRecordedPress, wasDown ? 0 : 1);
    return HookVerdict::Handled;
}

void MacroRecorder::onRecorderMessage(std::uintptr_t wParam, std::intptr_t /*lParam*/) {
    if (wParam == kRecordedBreak || wParam == kRecordedLimit) {
        endRecording(wParam == kRecordedBreak);
        return;
    }
    if (!editor_.macroIsSelected()) {
        return;
    }
    const bool ctrl = currentVirtualKey_ == kVirtualKeyControl;
    if (wParam == kRecordedPress) {
        const std::size_t before = editor_.sequence().size();
        if (state_ != SequenceState::NothingRecorded) {
            editor_.appendLine(delayItem(kDefaultDelayMs));
        }
        editor_.appendLine(pressItem(currentKeyName_));
        if (state_ == SequenceState::NothingRecorded) {
            state_ = SequenceState::Pressed;
        }
        lastPressedName_ = currentKeyName_;
        beforeCtrlPress_ = ctrl ? std::optional<std::size_t>(before) : std::nullopt;
        if (ctrl) {
            ctrlHeld_ = currentKeyName_;
        }
    } else if (wParam == kRecordedRelease) {
        editor_.appendLine(delayItem(kDefaultDelayMs));
        editor_.appendLine(releaseItem(currentKeyName_));
        beforeCtrlPress_.reset();
        if (ctrl) {
            ctrlHeld_.reset();
        }
    }
}

} // namespace qor
