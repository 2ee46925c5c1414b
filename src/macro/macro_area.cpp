#include "macro/macro_area.h"

#include "macro/delay_dialog.h"
#include "macro/pair_gauge.h"

namespace qor {
namespace {

// The macro panel of the skin: the name and loop boxes with their labels over the two lists,
// and the record column with the buttons, the gauge and the event box.
constexpr Rect kHeadingRect{504, 144, 609, 163};
constexpr Rect kNameLabelRect{513, 170, 618, 190};
constexpr Rect kLoopLabelRect{622, 170, 722, 190};
constexpr Rect kNameBoxRect{516, 194, 615, 208};
constexpr Rect kLoopBoxRect{625, 194, 719, 208};
// Two lines each, for "Key Press Sequence" in the list's width.
constexpr Rect kMacroListLabelRect{513, 212, 618, 245};
constexpr Rect kSequenceLabelRect{622, 212, 722, 245};
constexpr Rect kMacroListRect{514, 249, 617, 517};
constexpr Rect kSequenceListRect{623, 249, 721, 517};
constexpr Rect kRecordHeadingRect{733, 194, 857, 224};
constexpr Rect kStartLabelRect{770, 229, 860, 258};
constexpr Rect kStopLabelRect{770, 265, 860, 294};
constexpr Rect kRecordingHintRect{733, 320, 860, 366};
constexpr Rect kEventLabelRect{733, 368, 860, 400};
// The box's arrow stays visible at its right end.
constexpr Rect kEventFaceRect{737, 403, 840, 415};

constexpr Rect kMacroButtonRects[kMacroButtons] = {
    {513, 528, 618, 549}, {617, 528, 722, 549}, {721, 528, 826, 549}};
constexpr StringId kMacroButtonTexts[kMacroButtons] = {StringId::MacroNew, StringId::MacroDelete,
                                                       StringId::MacroConfirm};

SceneControl box(int id, const Rect& rect, std::u16string_view text, bool digitsOnly) {
    SceneControl c = editControl(id, rect, text, TextAlign::Centre);
    c.digitsOnly = digitsOnly;
    return c;
}

// The macro lists lie in the skin's wells, without a frame of their own.
SceneControl unframedList(int id, const Rect& rect, std::vector<std::u16string> items,
                          std::optional<std::size_t> selected) {
    SceneControl c = listControl(id, rect, std::move(items), selected);
    c.framed = false;
    return c;
}

} // namespace

Rect macroButtonRect(MacroButton button) {
    return kMacroButtonRects[static_cast<std::size_t>(button)];
}

MacroArea::MacroArea(const MacroFile& file, SettingsRecord& record, const StringTable& strings,
                     MessageSink& messages, RecorderHost& host, DialogRunner& dialogs)
    : strings_(strings), dialogs_(dialogs), editor_(file, record, messages, macroTextsOf(strings)),
      recorder_(editor_, host, messages, macroTextsOf(strings)) {}

void MacroArea::pageShown() {
    editor_.showPage();
    eventHighlight_.reset();
}

void MacroArea::pageLeft() {
    recorder_.leavePage();
    editor_.leavePage();
    eventHighlight_.reset();
}

void MacroArea::pressButton(MacroButton button) {
    switch (button) {
    case MacroButton::New:
        editor_.newMacro();
        return;
    case MacroButton::Delete:
        editor_.deleteMacro();
        return;
    case MacroButton::Confirm:
        editor_.confirm();
        return;
    }
}

void MacroArea::closeEventListAway(int x, int y) {
    if (editor_.eventListOpen() && !kEventBoxRect.contains(x, y) &&
        !kEventListRect.contains(x, y)) {
        editor_.clickElsewhere();
        eventHighlight_.reset();
    }
}

void MacroArea::listSelected(int id, std::size_t item, bool doubleClick) {
    switch (id) {
    case kMacroListId:
        editor_.selectMacro(item);
        return;
    case kSequenceListId:
        editor_.selectLine(item);
        if (doubleClick) {
            editor_.editSelectedDelay([this] { return askDelay(dialogs_, strings_.language()); });
        }
        return;
    case kEventListId:
        if (editor_.eventListOpen()) {
            editor_.insertMouseEvent(item);
            eventHighlight_.reset();
        }
        return;
    default:
        return;
    }
}

void MacroArea::pointerOverList(int id, std::size_t item) {
    if (id == kSequenceListId) {
        editor_.selectLine(item);
    } else if (id == kEventListId && editor_.eventListOpen() && item < kMouseEvents.size()) {
        eventHighlight_ = item;
    }
}

void MacroArea::textChanged(int id, std::u16string_view text) {
    if (id == kLoopBoxId) {
        editor_.setLoopBox(text);
    } else if (id == kNameBoxId) {
        editor_.setNameBox(text);
    }
}

std::optional<std::u16string> MacroArea::contextMenuAt(int id) const {
    if (id != kSequenceListId) {
        return std::nullopt;
    }
    return std::u16string(strings_.text(StringId::MacroDelete));
}

void MacroArea::command(int id) {
    if (id == kDeleteMacroLineCommand) {
        editor_.deleteSelectedLine();
    }
}

Scene MacroArea::scene(std::optional<MacroButton> hovered) const {
    Scene s;
    const auto label = [&](StringId id, const Rect& rect) {
        s.labelAbove(strings_.text(id), rect, TextAlign::Left);
    };
    s.text(strings_.text(StringId::MacroSetting), kHeadingRect, TextAlign::Centre);
    label(StringId::MacroName, kNameLabelRect);
    label(StringId::LoopTimes, kLoopLabelRect);
    label(StringId::SelectMacro, kMacroListLabelRect);
    label(StringId::KeyPressSequence, kSequenceLabelRect);
    s.wrappedText(strings_.text(StringId::RecordOption), kRecordHeadingRect, TextAlign::Centre,
                  ColourRole::SkinText);
    s.wrappedText(strings_.text(StringId::StartRecording), kStartLabelRect, TextAlign::Left,
                  ColourRole::SkinText);
    s.wrappedText(strings_.text(StringId::StopRecording), kStopLabelRect, TextAlign::Left,
                  ColourRole::SkinText);
    s.labelAbove(strings_.text(StringId::InsertMouseEvent), kEventLabelRect, TextAlign::Centre);
    s.append(pairGaugeScene(editor_.pairUsage()));
    if (recorder_.hookInstalled()) {
        // The window has no caption to show its title: the hint is shown here too.
        s.wrappedText(strings_.text(StringId::StopRecordingHint), kRecordingHintRect,
                      TextAlign::Centre, ColourRole::Warning);
    }
    for (std::size_t i = 0; i < kMacroButtons; ++i) {
        const auto button = static_cast<MacroButton>(i);
        s.image(hovered == button ? u"/button-over.png" : u"/button-normal.png",
                kMacroButtonRects[i]);
        s.text(strings_.text(kMacroButtonTexts[i]), kMacroButtonRects[i], TextAlign::Centre);
    }

    s.controls.push_back(box(kLoopBoxId, kLoopBoxRect, editor_.loopBox(), true));
    s.controls.push_back(box(kNameBoxId, kNameBoxRect, editor_.nameBox(), false));
    s.controls.push_back(
        unframedList(kMacroListId, kMacroListRect, editor_.macroList(), editor_.selectedMacro()));
    std::vector<std::u16string> lines(editor_.sequence().begin(), editor_.sequence().end());
    s.controls.push_back(
        unframedList(kSequenceListId, kSequenceListRect, std::move(lines), editor_.selectedLine()));
    s.controls.push_back(
        staticControl(kEventFaceId, kEventFaceRect, editor_.eventFace(), TextAlign::Centre));
    if (editor_.eventListOpen()) {
        s.controls.push_back(listControl(kEventListId, kEventListRect,
                                         {kMouseEvents.begin(), kMouseEvents.end()},
                                         eventHighlight_));
    }
    return s;
}

} // namespace qor
