#include "macro/macro_editor.h"

#include "base/text_case.h"
#include "base/text_replace.h"
#include "macro/macro_slot_bytes.h"

#include <algorithm>

namespace qor {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The name a macro gets from the name box: INI section names lose their surrounding blanks
// anyway, and the section list holds at most 31 characters per name.
std::u16string macroNameFrom(std::u16string_view typed) {
    std::size_t begin = 0;
    std::size_t end = typed.size();
    while (begin < end && isBlank(typed[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(typed[end - 1])) {
        --end;
    }
    std::u16string name(typed.substr(begin, std::min(end - begin, kMacroNameMaxChars)));
    while (!name.empty() && isBlank(name.back())) {
        name.pop_back();
    }
    return name;
}

} // namespace

DelayEntry delayEntryFromText(std::u16string_view text) {
    return DelayEntry{std::u16string(text), parseDecimal(text)};
}

MacroItem delayLineFor(const DelayEntry& entry) {
    if (entry.value < 0 || entry.value > kDelayEntryMaxMs) {
        return MacroItem(kDefaultDelayItem);
    }
    MacroItem line = entry.text;
    line.append(kDelaySuffix);
    return line;
}

MacroEditor::MacroEditor(const MacroFile& file, SettingsRecord& record, MessageSink& messages,
                         MacroTexts texts)
    : file_(file), record_(record), messages_(messages), texts_(std::move(texts)) {}

std::optional<MacroSlot> MacroEditor::slotAt(std::size_t position) {
    if (position >= kMacroCount) {
        return std::nullopt;
    }
    return macroSlotOf(record_, position);
}

void MacroEditor::showPage() {
    clearArea();
    if (file_.exists()) {
        const MacroFileView view = file_.read();
        std::vector<std::u16string> names = view.macroNames();
        // Only the first twelve sections have a slot, in the mouse and in the record.
        if (names.size() > kMacroCount) {
            names.resize(kMacroCount);
        }
        macroList_ = std::move(names);
        if (!macroList_.empty()) {
            const std::u16string& first = macroList_.front();
            nameBox_ = first;
            setLoopText(view.loopText(first));
            sequence_ = view.items(first);
        }
    }
    if (!macroList_.empty()) {
        selectedMacro_ = 0;
        setLoopText(formatDecimal(slotLoopCount(macroSlotOf(record_, 0))));
    } else {
        setLoopText(u"");
    }
}

void MacroEditor::leavePage() {
    clearArea();
}

void MacroEditor::clearArea() {
    macroList_.clear();
    selectedMacro_.reset();
    sequence_.clear();
    selectedLine_.reset();
    nameBox_.clear();
    loopBox_.clear();
    eventFace_.clear();
    eventListOpen_ = false;
}

PairUsage MacroEditor::pairUsage() const {
    PairUsage usage;
    usage.needed = macroPairsNeeded(MacroItemsView{sequence_, sequence_.size()});
    usage.fits = usage.needed <= kMacroPairCapacity;
    usage.left = usage.fits ? kMacroPairCapacity - usage.needed : 0;
    return usage;
}

void MacroEditor::selectMacro(std::size_t index) {
    if (index >= macroList_.size()) {
        return;
    }
    selectedMacro_ = index;
    const std::u16string name = macroList_[index];
    nameBox_ = name;
    setLoopText(file_.readLoopText(name));
    const MacroFileView view = file_.read();
    selectedLine_.reset();
    if (view.itemCount(name) != 0) {
        sequence_ = view.items(name);
        // The loop write above may have moved the entry (see alignListWithFile).
        if (std::optional<MacroSlot> slot = slotAt(selectedMacro_.value_or(index))) {
            setLoopText(formatDecimal(slotLoopCount(*slot)));
        }
    } else {
        sequence_.clear();
    }
}

std::u16string MacroEditor::acceptedLoopText() const {
    // Derived from the box rather than kept from its last accepted change: a count typed before
    // "New" selected the macro would otherwise not be the one saved.
    return formatDecimal(loopCountFromText(loopBox_));
}

void MacroEditor::setLoopBox(std::u16string_view text) {
    setLoopText(text);
}

void MacroEditor::setLoopText(std::u16string_view text) {
    loopBox_ = text;
    loopBoxChanged();
}

void MacroEditor::loopBoxChanged() {
    const int value = parseDecimal(loopBox_);
    if (value < 1 || value > kMacroLoopMax) {
        // Setting the text runs this handler again, which stores the 1.
        setLoopText(u"1");
        return;
    }
    if (!selectedMacro_) {
        return;
    }
    file_.writeLoopCount(macroList_[*selectedMacro_], value);
    alignListWithFile();
    if (std::optional<MacroSlot> slot = slotAt(*selectedMacro_)) {
        setSlotLoopCount(*slot, static_cast<std::uint16_t>(value));
    }
}

void MacroEditor::alignListWithFile() {
    const std::vector<std::u16string> fileOrder = file_.listMacros();
    std::vector<bool> placed(macroList_.size(), false);
    std::vector<std::size_t> order; // old positions in their new order
    for (const std::u16string& section : fileOrder) {
        for (std::size_t i = 0; i < macroList_.size(); ++i) {
            if (!placed[i] && equalsIgnoreCase(macroList_[i], section)) {
                placed[i] = true;
                order.push_back(i);
                break;
            }
        }
    }
    for (std::size_t i = 0; i < macroList_.size(); ++i) {
        if (!placed[i]) {
            order.push_back(i);
        }
    }
    std::vector<std::u16string> list;
    std::optional<std::size_t> selected;
    for (std::size_t k = 0; k < order.size(); ++k) {
        list.push_back(std::move(macroList_[order[k]]));
        if (selectedMacro_ == order[k]) {
            selected = k;
        }
    }
    macroList_ = std::move(list);
    selectedMacro_ = selected;
}

void MacroEditor::newMacro() {
    const std::u16string name = macroNameFrom(nameBox_);
    if (name.empty()) {
        messages_.show(texts_.nameBlank, texts_.appTitle);
        return;
    }
    if (macroList_.empty()) {
        nameBox_ = name;
        macroList_.push_back(name);
        selectedMacro_ = 0;
        return;
    }
    if (macroList_.size() >= kMacroCount) {
        messages_.show(kMacroLimitText, kWarningCaption);
        return;
    }
    const bool listed =
        std::any_of(macroList_.begin(), macroList_.end(),
                    [&](const std::u16string& m) { return equalsIgnoreCase(m, name); });
    if (listed) {
        messages_.show(texts_.nameExists, texts_.appTitle);
        return;
    }
    nameBox_ = name;
    macroList_.push_back(name);
    clearSequence();
    selectedMacro_ = macroList_.size() - 1;
}

void MacroEditor::deleteMacro() {
    if (!selectedMacro_) {
        return;
    }
    const std::u16string name = macroList_[*selectedMacro_];
    macroList_.erase(macroList_.begin() + static_cast<std::ptrdiff_t>(*selectedMacro_));
    selectedMacro_.reset();
    clearSequence();
    nameBox_.clear();
    file_.deleteMacro(name);
}

void MacroEditor::confirm() {
    if (!selectedMacro_) {
        return;
    }
    if (sequence_.empty()) {
        if (std::optional<MacroSlot> slot = slotAt(*selectedMacro_)) {
            std::fill(slot->begin(), slot->end(), std::uint8_t{0});
        }
        return;
    }
    file_.saveMacro(macroList_[*selectedMacro_], acceptedLoopText(), sequence_);
    rebuildMacroSlotBytes(file_, record_);
    alignListWithFile();
}

void MacroEditor::selectLine(std::optional<std::size_t> line) {
    if (line && *line >= sequence_.size()) {
        return;
    }
    selectedLine_ = line;
}

void MacroEditor::editSelectedDelay(const std::function<std::optional<DelayEntry>()>& runDialog) {
    if (!selectedLine_ || !isDelayItem(sequence_[*selectedLine_])) {
        return;
    }
    const std::size_t line = *selectedLine_;
    const std::optional<DelayEntry> entry = runDialog();
    if (!entry || line >= sequence_.size()) {
        return;
    }
    sequence_[line] = delayLineFor(*entry);
    selectedLine_ = line;
}

void MacroEditor::insertLines(std::size_t at, std::initializer_list<std::u16string_view> lines) {
    for (std::u16string_view line : lines) {
        sequence_.insert(sequence_.begin() + static_cast<std::ptrdiff_t>(at), MacroItem(line));
        ++at;
    }
}

void MacroEditor::insertMouseEvent(std::size_t index) {
    if (index >= kMouseEvents.size()) {
        return;
    }
    const std::u16string_view event = kMouseEvents[index];
    const bool click = event.find(u"Click") != std::u16string_view::npos;
    const std::u16string down = replaceAll(event, u" Click", kPressSeparator);
    const std::u16string up = replaceAll(event, u" Click", kReleaseSeparator);
    const std::u16string_view pause = kDefaultDelayItem;

    if (!selectedLine_) {
        if (sequence_.empty() && selectedMacro_) {
            if (click) {
                insertLines(0, {down, pause, up, pause});
            } else {
                insertLines(0, {event, pause});
            }
        }
    } else if (const std::size_t p = *selectedLine_; isDelayItem(sequence_[p])) {
        if (click) {
            insertLines(p + 1, {down, pause, up, pause});
        } else {
            insertLines(p + 1, {event, pause});
        }
        selectedLine_ = p + 1;
    } else {
        if (click) {
            insertLines(p + 1, {pause, down, pause, up});
        } else {
            insertLines(p + 1, {pause, event});
        }
        selectedLine_ = p + 2;
    }
    eventFace_ = event;
    eventListOpen_ = false;
}

void MacroEditor::deleteSelectedLine() {
    if (!selectedLine_) {
        return;
    }
    sequence_.erase(sequence_.begin() + static_cast<std::ptrdiff_t>(*selectedLine_));
    selectedLine_.reset();
}

void MacroEditor::clearSequence() {
    sequence_.clear();
    selectedLine_.reset();
}

void MacroEditor::appendLine(MacroItem line) {
    sequence_.push_back(std::move(line));
    selectedLine_ = sequence_.size() - 1;
}

void MacroEditor::truncateSequence(std::size_t length) {
    if (length >= sequence_.size()) {
        return;
    }
    sequence_.resize(length);
    selectedLine_ = length == 0 ? std::nullopt : std::optional<std::size_t>(length - 1);
}

} // namespace qor
