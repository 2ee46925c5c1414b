#include "window/main_window.h"

#include "base/virtual_keys.h"
#include "dpi_lighting/dpi.h"
#include "macro/pair_gauge.h"

namespace qor {
namespace {

struct FrameButton {
    FrameArea area;
    std::u16string_view normal;
    std::u16string_view over;
};
constexpr FrameButton kFrameButtons[] = {
    {FrameArea::PreviousPage, u"/button-PrePage-normal.png", u"/button-PrePage-over.png"},
    {FrameArea::NextPage, u"/button-NextPage-normal.png", u"/button-NextPage-over.png"},
    {FrameArea::Skins, u"/button-Skins-normal.png", u"/button-Skins-over.png"},
    {FrameArea::Minimise, u"/button-min-normal.png", u"/button-min-over.png"},
    {FrameArea::Close, u"/button-close-normal.png", u"/button-close-over.png"},
    {FrameArea::Ok, u"/button-normal.png", u"/button-over.png"},
    {FrameArea::Apply, u"/button-normal.png", u"/button-over.png"},
    {FrameArea::Cancel, u"/button-normal.png", u"/button-over.png"},
};

Scene frameScene(Page page, const StringTable& strings, std::optional<FrameArea> hovered) {
    Scene s;
    s.image(page == Page::Basic ? u"/BasicSet2.png" : u"/AdvancedSet2.png", kWholeClient);
    for (const auto& b : kFrameButtons) {
        s.image(hovered == b.area ? b.over : b.normal, frameRect(b.area));
    }
    s.text(strings.text(page == Page::Basic ? StringId::BasicSettings : StringId::AdvancedSettings),
           frameRect(FrameArea::PageTitle), TextAlign::Left, FontRole::Title, ColourRole::Black);
    s.text(strings.text(StringId::Ok), frameRect(FrameArea::Ok), TextAlign::Centre);
    s.text(strings.text(StringId::Apply), frameRect(FrameArea::Apply), TextAlign::Centre);
    s.text(strings.text(StringId::Cancel), frameRect(FrameArea::Cancel), TextAlign::Centre);
    s.text(strings.text(StringId::WebAddress), frameRect(FrameArea::WebLink), TextAlign::Centre);
    return s;
}

std::vector<BasicDispatchEntry> buildBasicDispatchTable() {
    std::vector<BasicDispatchEntry> t;
    t.push_back({BasicTarget::KeySetA, 0, kKeySetARect});
    t.push_back({BasicTarget::KeySetB, 0, kKeySetBRect});
    t.push_back({BasicTarget::KeyDefault, 0, kKeyDefaultRect});
    for (std::size_t row = 0; row < kKeyRowsShown; ++row) {
        t.push_back({BasicTarget::KeyRow, row, keyRowRect(row)});
    }
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        t.push_back({BasicTarget::DpiOnOff, stage, dpiOnOffRect(stage)});
    }
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        t.push_back({BasicTarget::DpiColour, stage, dpiColourRect(stage)});
    }
    t.push_back({BasicTarget::LightingMode, 0, lightingBoxRect(LightingBox::Mode)});
    t.push_back({BasicTarget::LightingParameter, 0, lightingBoxRect(LightingBox::Parameter)});
    t.push_back({BasicTarget::LightingEffect, 0, lightingBoxRect(LightingBox::Effect)});
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        for (std::size_t step = 1; step <= kMaxDpiSteps; ++step) {
            t.push_back(
                {BasicTarget::DpiStep, stage * kMaxDpiSteps + step - 1, dpiStepRect(stage, step)});
        }
    }
    return t;
}

std::vector<AdvancedDispatchEntry> buildAdvancedDispatchTable() {
    std::vector<AdvancedDispatchEntry> t;
    t.push_back({AdvancedTarget::PrecisionBox, 0, kPrecisionBoxRect});
    t.push_back({AdvancedTarget::OneScreenBox, 0, kOneScreenBoxRect});
    t.push_back({AdvancedTarget::PointerDefault, 0, kPointerDefaultRect});
    t.push_back({AdvancedTarget::StartRecording, 0, kRecordStartRect});
    t.push_back({AdvancedTarget::StopRecording, 0, kRecordStopRect});
    for (std::size_t b = 0; b < kMacroButtons; ++b) {
        t.push_back({AdvancedTarget::MacroButton, b, macroButtonRect(MacroButton(b))});
    }
    t.push_back({AdvancedTarget::EventBox, 0, kEventBoxRect});
    for (std::size_t slider = 0; slider < kPointerSliders; ++slider) {
        for (std::size_t step = 1; step <= kSliderSteps; ++step) {
            t.push_back({AdvancedTarget::PointerStep, slider * kSliderSteps + step - 1,
                         pointerStepRect(static_cast<PointerSlider>(slider), step)});
        }
    }
    return t;
}

} // namespace

const std::vector<BasicDispatchEntry>& basicDispatchTable() {
    static const std::vector<BasicDispatchEntry> table = buildBasicDispatchTable();
    return table;
}

const std::vector<AdvancedDispatchEntry>& advancedDispatchTable() {
    static const std::vector<AdvancedDispatchEntry> table = buildAdvancedDispatchTable();
    return table;
}

std::vector<HoverArea> hoverAreas(Page page) {
    std::vector<HoverArea> areas;
    if (page == Page::None) {
        return areas;
    }
    for (const auto& b : kFrameButtons) {
        areas.push_back({HoverKind::Frame, b.area, 0, frameRect(b.area)});
    }
    if (page == Page::Basic) {
        areas.push_back({HoverKind::KeyDefault, FrameArea::PageTitle, 0, kKeyDefaultRect});
        for (std::size_t row = 0; row < kKeyRowsShown; ++row) {
            areas.push_back({HoverKind::KeyRow, FrameArea::PageTitle, row, keyRowRect(row)});
        }
    } else {
        areas.push_back({HoverKind::PointerDefault, FrameArea::PageTitle, 0, kPointerDefaultRect});
        for (std::size_t b = 0; b < kMacroButtons; ++b) {
            areas.push_back(
                {HoverKind::MacroButton, FrameArea::PageTitle, b, macroButtonRect(MacroButton(b))});
        }
    }
    return areas;
}

MainWindow::MainWindow(SettingsRecord& record, KeyRowTexts& keyRows, const std::uint8_t& sensorType,
                       const StringTable& strings, Ports ports)
    : record_(record), strings_(strings), ports_(std::move(ports)),
      keys_(record, keyRows, strings, ports_.messages, ports_.keyDialogs),
      dpi_(record, sensorType, strings, ports_.pickColour), lighting_(record, strings),
      pointer_(record, strings, ports_.messages, ports_.pointer) {
    if (ports_.macros != nullptr && ports_.recorder != nullptr && ports_.dialogs != nullptr) {
        macro_.emplace(*ports_.macros, record, strings, ports_.messages, *ports_.recorder,
                       *ports_.dialogs);
    }
}

void MainWindow::pageDrawn(Page previous) {
    // The macro controls go with the page and come back filled from record.ini.
    if (macro_ && previous == Page::Advanced) {
        macro_->pageLeft();
    }
    if (pages_.shown() == Page::Advanced) {
        pointer_.pageDrawn();
        if (macro_) {
            macro_->pageShown();
        }
    }
}

void MainWindow::closeAllLists() {
    keys_.closeLists();
    lighting_.closeLists();
}

bool MainWindow::showPage(Page page) {
    const Page previous = pages_.shown();
    const PageDrawing d = pages_.request(page);
    if (d.firstDraw) {
        ports_.flow.firstBasicDrawing();
    }
    if (d.draw) {
        // The other page's controls go, and with them every open list.
        closeAllLists();
        hovered_.reset();
        pageDrawn(previous);
    }
    return d.draw;
}

bool MainWindow::showFirstPage() {
    return ports_.flow.drawsBasicPageAtStart() && showPage(Page::Basic);
}

void MainWindow::redrawCurrentPage() {
    const Page previous = pages_.shown();
    const PageDrawing d = pages_.redraw();
    if (d.rereadKeyRows) {
        ports_.flow.rereadKeyRows();
    }
    if (d.firstDraw) {
        ports_.flow.firstBasicDrawing();
    }
    closeAllLists();
    hovered_.reset();
    pageDrawn(previous);
}

void MainWindow::closeListsAway(int x, int y) {
    if (!keys_.openListContains(x, y)) {
        keys_.closeLists();
    }
    if (!lighting_.openListContains(x, y)) {
        lighting_.closeLists();
    }
    if (MacroArea* macro = shownMacro()) {
        macro->closeEventListAway(x, y);
    }
}

bool MainWindow::confirm() {
    // The flow says what did not reach the mouse, and that the mouse is away.
    bool complete = false;
    if (ports_.busy && ports_.flow.connected()) {
        ports_.busy([this, &complete] { complete = ports_.flow.confirm(); });
    } else {
        complete = ports_.flow.confirm();
    }
    return complete;
}

WindowAction MainWindow::press(int x, int y) {
    // Lists close at any press outside them, a press on the frame's buttons included.
    closeListsAway(x, y);
    if (const auto area = frameAreaAt(x, y)) {
        switch (*area) {
        case FrameArea::Ok:
            // The window stays while not every setting reached the mouse.
            return confirm() ? WindowAction::Hide : WindowAction::None;
        case FrameArea::Apply:
            confirm();
            return WindowAction::None;
        case FrameArea::Skins:
            return WindowAction::OpenSkins;
        case FrameArea::Minimise:
            return WindowAction::Hide;
        case FrameArea::Close:
            return WindowAction::EndProgram;
        case FrameArea::PreviousPage:
            showPage(Page::Basic);
            return WindowAction::None;
        case FrameArea::NextPage:
            showPage(Page::Advanced);
            return WindowAction::None;
        case FrameArea::Cancel:
            closeAllLists();
            ports_.flow.cancel();
            return WindowAction::Hide;
        case FrameArea::WebLink:
            return WindowAction::OpenWebLink;
        case FrameArea::PageTitle:
            break;
        }
    }
    if (pages_.shown() == Page::Basic && pressBasic(x, y)) {
        return WindowAction::None;
    }
    if (pages_.shown() == Page::Advanced && pressAdvanced(x, y)) {
        return WindowAction::None;
    }
    return WindowAction::MoveWindow;
}

bool MainWindow::openSkins() {
    if (ports_.skins == nullptr || ports_.dialogs == nullptr) {
        return false;
    }
    SkinSettings& skins = *ports_.skins;
    SkinsDialog content(
        skins.current(), skins.root(), strings_.language(),
        [&skins] { return skins.folderNames(); }, ports_.pickColour);
    const std::optional<SkinChoice> chosen = resultOf(*ports_.dialogs, content);
    if (!chosen) {
        return false;
    }
    skins.take(*chosen);
    // The pointer is on the dialog, no longer on the Skins button.
    hovered_.reset();
    return true;
}

HostAction MainWindow::pressAt(int x, int y) {
    switch (press(x, y)) {
    case WindowAction::None:
        return HostAction::None;
    case WindowAction::Hide:
        return HostAction::Hide;
    case WindowAction::EndProgram:
        return HostAction::EndProgram;
    case WindowAction::MoveWindow:
        return HostAction::MoveWindow;
    case WindowAction::OpenWebLink:
        return HostAction::OpenWebLink;
    case WindowAction::OpenSkins:
        return openSkins() ? HostAction::SkinChanged : HostAction::None;
    }
    return HostAction::None;
}

bool MainWindow::pressBasic(int x, int y) {
    for (const auto& e : basicDispatchTable()) {
        if (!e.rect.contains(x, y)) {
            continue;
        }
        switch (e.target) {
        case BasicTarget::KeySetA:
            keys_.pressKeySet(KeySet::A);
            return true;
        case BasicTarget::KeySetB:
            keys_.pressKeySet(KeySet::B);
            return true;
        case BasicTarget::KeyDefault:
            keys_.pressDefault();
            return true;
        case BasicTarget::KeyRow:
            keys_.pressRow(e.index);
            return true;
        case BasicTarget::DpiOnOff:
            return dpi_.pressOnOff(x, y);
        case BasicTarget::DpiColour:
            return dpi_.pressColour(x, y);
        case BasicTarget::LightingMode:
            lighting_.pressBox(LightingBox::Mode);
            return true;
        case BasicTarget::LightingParameter:
            lighting_.pressBox(LightingBox::Parameter);
            return true;
        case BasicTarget::LightingEffect:
            lighting_.pressBox(LightingBox::Effect);
            return true;
        case BasicTarget::DpiStep:
            // Steps past the sensor type's list fall through to the window's own handling.
            if (dpi_.pressStep(x, y)) {
                return true;
            }
            break;
        }
    }
    return false;
}

bool MainWindow::pressAdvanced(int x, int y) {
    for (const auto& e : advancedDispatchTable()) {
        if (!e.rect.contains(x, y)) {
            continue;
        }
        switch (e.target) {
        case AdvancedTarget::PrecisionBox:
            pointer_.togglePrecision();
            return true;
        case AdvancedTarget::OneScreenBox:
            pointer_.toggleOneScreen();
            return true;
        case AdvancedTarget::PointerDefault:
            pointer_.pressDefault();
            return true;
        case AdvancedTarget::StartRecording:
        case AdvancedTarget::StopRecording:
        case AdvancedTarget::MacroButton:
        case AdvancedTarget::EventBox:
            if (macro_) {
                pressMacro(*macro_, e);
                return true;
            }
            break;
        case AdvancedTarget::PointerStep:
            return pointer_.pressStep(x, y);
        }
    }
    return false;
}

void MainWindow::pressMacro(MacroArea& macro, const AdvancedDispatchEntry& e) {
    switch (e.target) {
    case AdvancedTarget::StartRecording:
        macro.pressStart();
        return;
    case AdvancedTarget::StopRecording:
        macro.pressStop();
        return;
    case AdvancedTarget::MacroButton:
        macro.pressButton(MacroButton(e.index));
        return;
    case AdvancedTarget::EventBox:
        macro.pressEventBox();
        return;
    default:
        return; // the pointer area's
    }
}

void MainWindow::listSelected(int id, std::optional<std::size_t> item, bool doubleClick) {
    if (!item) {
        return;
    }
    if (MacroArea* macro = shownMacro()) {
        macro->listSelected(id, *item, doubleClick);
        return;
    }
    if (pages_.shown() != Page::Basic) {
        return;
    }
    if (id == kDpiSideListId) {
        keys_.chooseDpiSwitch(*item);
    } else if (id > kFunctionListIdBase && id <= kFunctionListIdBase + int(kKeyRowsShown)) {
        if (keys_.openRow() == static_cast<std::size_t>(id - kFunctionListIdBase - 1)) {
            keys_.chooseFunction(*item);
        }
    } else if (id == kModeListId) {
        lighting_.choose(LightingBox::Mode, *item);
    } else if (id == kParameterListId) {
        lighting_.choose(LightingBox::Parameter, *item);
    } else if (id == kEffectListId) {
        lighting_.choose(LightingBox::Effect, *item);
    }
}

void MainWindow::textChanged(int id, std::u16string_view text) {
    if (MacroArea* macro = shownMacro()) {
        macro->textChanged(id, text);
    }
}

std::optional<std::u16string> MainWindow::contextMenuAt(int id) const {
    const MacroArea* macro = shownMacro();
    return macro != nullptr ? macro->contextMenuAt(id) : std::nullopt;
}

void MainWindow::command(int id) {
    if (MacroArea* macro = shownMacro()) {
        macro->command(id);
    }
}

void MainWindow::pointerOverList(int id, std::size_t item, const Rect& itemRect) {
    if (MacroArea* macro = shownMacro()) {
        macro->pointerOverList(id, item);
        return;
    }
    if (pages_.shown() != Page::Basic) {
        return;
    }
    if (id == kDpiSideListId) {
        keys_.pointerOverSideList(item);
    } else if (keys_.openRow() &&
               id == kFunctionListIdBase + static_cast<int>(*keys_.openRow()) + 1) {
        keys_.pointerOverList(item, itemRect);
    }
}

std::vector<Rect> MainWindow::setHover(std::optional<HoverArea> area) {
    std::vector<Rect> redraw;
    if (hovered_ == area) {
        return redraw;
    }
    if (hovered_) {
        redraw.push_back(hovered_->rect);
    }
    if (area) {
        redraw.push_back(area->rect);
    }
    hovered_ = area;
    return redraw;
}

bool MainWindow::pointerMoved(int x, int y, std::vector<Rect>& redraw) {
    for (const auto& a : hoverAreas(pages_.shown())) {
        if (a.rect.contains(x, y)) {
            return true;
        }
    }
    redraw = setHover(std::nullopt);
    return false;
}

std::vector<Rect> MainWindow::hoverAt(int x, int y) {
    for (const auto& a : hoverAreas(pages_.shown())) {
        if (a.rect.contains(x, y)) {
            return setHover(a);
        }
    }
    return setHover(std::nullopt);
}

std::vector<Rect> MainWindow::pointerLeft() {
    return setHover(std::nullopt);
}

std::vector<Rect> MainWindow::recorderMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    if (!macro_) {
        return {};
    }
    macro_->recorderMessage(wParam, lParam);
    if (macro_->recorder().hookInstalled()) {
        return {kPairGaugeRect};
    }
    return {kWholeClient};
}

MacroArea* MainWindow::shownMacro() {
    return pages_.shown() == Page::Advanced ? macro() : nullptr;
}

const MacroArea* MainWindow::shownMacro() const {
    return pages_.shown() == Page::Advanced ? macro() : nullptr;
}

bool MainWindow::recording() const {
    const MacroArea* macro = shownMacro();
    return macro != nullptr && macro->swallowsKeyDowns();
}

std::optional<HostAction> MainWindow::keyPressed(unsigned virtualKey) {
    if (keyDownSwallowed()) {
        return HostAction::None; // a recording runs: the keys are the macro's, not the page's
    }
    if (keyDown(virtualKey) == WindowAction::Hide) {
        return HostAction::Hide;
    }
    return std::nullopt;
}

KeyHookAnswer MainWindow::keyHooked(int code, unsigned virtualKey, std::u16string_view name,
                                    std::uint32_t flags) {
    // The recorder's keys, while its hook is in.
    if (!macro_ || !macro_->recorder().hookInstalled()) {
        return {};
    }
    return KeyHookAnswer{macro_->hookProc(code, virtualKey, name, flags)};
}

std::optional<ContextMenu> MainWindow::contextMenu(int id) const {
    std::optional<std::u16string> entry = contextMenuAt(id);
    if (!entry) {
        return std::nullopt;
    }
    return ContextMenu{kMacroListMenu, kDeleteMacroLineCommand, std::move(*entry)};
}

HostAction MainWindow::commandChosen(int id) {
    if (id == kOkCommand || id == kCancelCommand) {
        return HostAction::Hide;
    }
    command(id);
    return HostAction::None;
}

ControlPaint MainWindow::controlColours(ControlClass kind, int id,
                                        const SceneControl* /*control*/) const {
    const Rgb text =
        ports_.skins != nullptr ? ports_.skins->current().textColour : rgbOf(kInitialTextColour);
    return controlPaint(kind, id, text, record_);
}

WindowAction MainWindow::keyDown(unsigned virtualKey) const {
    return virtualKey == kVirtualKeyReturn || virtualKey == kVirtualKeyEscape ? WindowAction::Hide
                                                                              : WindowAction::None;
}

Scene MainWindow::scene() const {
    const Page page = pages_.shown();
    if (page == Page::None) {
        return {};
    }
    std::optional<FrameArea> frameHover;
    std::optional<std::size_t> rowHover;
    bool defaultHover = false;
    bool pointerDefaultHover = false;
    std::optional<MacroButton> macroHover;
    if (hovered_) {
        switch (hovered_->kind) {
        case HoverKind::Frame:
            frameHover = hovered_->frame;
            break;
        case HoverKind::KeyDefault:
            defaultHover = true;
            break;
        case HoverKind::KeyRow:
            rowHover = hovered_->row;
            break;
        case HoverKind::PointerDefault:
            pointerDefaultHover = true;
            break;
        case HoverKind::MacroButton:
            macroHover = MacroButton(hovered_->row);
            break;
        }
    }
    Scene s = frameScene(page, strings_, frameHover);
    if (page == Page::Basic) {
        s.append(keys_.scene(rowHover, defaultHover));
        s.append(dpi_.scene());
        s.append(lighting_.scene());
    } else {
        s.append(pointer_.scene(pointerDefaultHover));
        if (macro_) {
            s.append(macro_->scene(macroHover));
        }
    }
    return s;
}

} // namespace qor
