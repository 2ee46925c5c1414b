// The main window as a presentation model: which page is shown, the frame both pages share,
// the Basic page's areas, the click dispatch in its fixed order, the hover images, the
// OK / Apply / Cancel flows and the skin dialog. The window host paints `scene()`, reconciles
// its child controls with it and carries out the returned action; it decides nothing itself.
#pragma once
#include "base/message_sink.h"
#include "base/window_ids.h"
#include "dpi_lighting/dpi_area.h"
#include "dpi_lighting/lighting_area.h"
#include "keys/key_rows.h"
#include "macro/macro_area.h"
#include "pointer/pointer_area.h"
#include "pointer/pointer_options.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/scene_window_model.h"
#include "ui/strings.h"
#include "window/frame_areas.h"
#include "window/page_state.h"
#include "window/settings_flow.h"
#include "window/skin_settings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace qor {

// The Basic page's click targets, in the order a press is tested against them.
enum class BasicTarget {
    KeySetA,
    KeySetB,
    KeyDefault,
    KeyRow,
    DpiOnOff,
    DpiColour,
    LightingMode,
    LightingParameter,
    LightingEffect,
    DpiStep,
};
struct BasicDispatchEntry {
    BasicTarget target;
    std::size_t index; // row, stage or step as the target counts them (from 0)
    Rect rect;
};
const std::vector<BasicDispatchEntry>& basicDispatchTable();

// The Advanced page's click targets, in the order a press is tested against them.
enum class AdvancedTarget {
    PrecisionBox,
    OneScreenBox,
    PointerDefault,
    StartRecording,
    StopRecording,
    MacroButton,
    EventBox,
    PointerStep,
};
struct AdvancedDispatchEntry {
    AdvancedTarget target;
    std::size_t index; // slider * 11 + step - 1 for steps; the button for macro buttons
    Rect rect;
};
const std::vector<AdvancedDispatchEntry>& advancedDispatchTable();

// The areas that show an "-over" image while the pointer rests on them.
enum class HoverKind { Frame, KeyDefault, KeyRow, PointerDefault, MacroButton };
struct HoverArea {
    HoverKind kind;
    FrameArea frame; // Frame only
    std::size_t row; // KeyRow, and MacroButton's button
    Rect rect;
    bool operator==(const HoverArea&) const = default;
};
std::vector<HoverArea> hoverAreas(Page page);

// What a press asks of the window, besides painting. The skin dialog is the model's own: the
// host sees its outcome (HostAction::SkinChanged), never OpenSkins.
enum class WindowAction { None, Hide, EndProgram, MoveWindow, OpenWebLink, OpenSkins };

class MainWindow final : public SceneWindowModel {
public:
    struct Ports {
        SettingsFlow& flow;
        MessageSink& messages;
        KeyDialogs& keyDialogs;
        ColourPicker pickColour;
        // Runs the apply with the wait cursor and whatever the platform needs around it.
        std::function<void(const std::function<void()>&)> busy;
        // The system's pointer options; none where there are none to set.
        PointerSystem* pointer = nullptr;
        // record.ini, the recorder's hook and the delay dialog; without them the Advanced page
        // has no macro area.
        const MacroFile* macros = nullptr;
        RecorderHost* recorder = nullptr;
        DialogRunner* dialogs = nullptr;
        // The skin and str.ini's skin values; without them (and the dialogs) the Skins button
        // opens nothing.
        SkinSettings* skins = nullptr;
    };
    MainWindow(SettingsRecord& record, KeyRowTexts& keyRows, const std::uint8_t& sensorType,
               const StringTable& strings, Ports ports);

    Page page() const { return pages_.shown(); }
    const PageState& pageState() const { return pages_; }
    // A request to show a page; true when it is drawn (it was not the page shown).
    bool showPage(Page page);
    // The end of start-up: the Basic page is drawn at once only while the mouse is connected
    // (its first drawing runs the connect read-back); otherwise at the first show. True when
    // it is drawn.
    bool showFirstPage();
    // The page shown, drawn again from the record and, on the Basic page, with str.ini's key-row
    // texts read again: after Cancel, when the window shows again.
    void redrawCurrentPage();

    // A left-button press at a client point.
    WindowAction press(int x, int y);
    // The skin dialog, with the skin in use; on OK the choice is taken and saved. The page is
    // then drawn again as the model has it: nothing is read from the files, so what was chosen
    // since the last Apply stays. True on OK.
    bool openSkins();
    // A selection or double click in list `id`; nothing happens without a selected item.
    void listSelected(int id, std::optional<std::size_t> item, bool doubleClick = false);
    // The user changed the text of edit `id`.
    void textChanged(int id, std::u16string_view text) override;
    // The right button over control `id`: the text of the context menu's one entry, if the
    // control has a menu; and the menu's command.
    std::optional<std::u16string> contextMenuAt(int id) const;
    void command(int id);
    // The pointer over item `item` of list `id` (`itemRect` inside the list): the selection
    // follows it in the key rows' lists.
    void pointerOverList(int id, std::size_t item, const Rect& itemRect) override;

    // Hover. A move inside a hover area asks for a hover notification (true); a move outside
    // every area brings the lit area back to normal and returns the areas to redraw.
    bool pointerMoved(int x, int y, std::vector<Rect>& redraw) override;
    // The hover notification at p: the area there lights up; returns the areas to redraw.
    std::vector<Rect> hoverAt(int x, int y) override;
    // The pointer left the window.
    std::vector<Rect> pointerLeft() override;

    // Enter or Escape: the window hides.
    WindowAction keyDown(unsigned virtualKey) const;
    // While a recording runs on the Advanced page no key press reaches the page.
    bool keyDownSwallowed() const { return recording(); }
    // A macro recording runs on the Advanced page.
    bool recording() const;
    // The recorder's message: the areas to draw again. A recorded key changes the gauge alone
    // (the list is a control); the end of a recording takes its hint away: the whole page.
    std::vector<Rect> recorderMessage(std::uintptr_t wParam, std::intptr_t lParam);

    // The page as it looks now: the frame, the page background and its areas; the child
    // controls the page must have. Nothing before the first page is shown.
    Scene scene() const override;

    // The window host's operations, on top of those above.
    std::u16string_view background() const override { return u"/main.png"; }
    // The press, with the skin dialog run here: OpenSkins becomes SkinChanged on OK.
    HostAction pressAt(int x, int y) override;
    void listChosen(int id, std::optional<std::size_t> item, bool doubleClick) override {
        listSelected(id, item, doubleClick);
    }
    // Enter and Escape hide the window; while a recording runs every key press is swallowed.
    std::optional<HostAction> keyPressed(unsigned virtualKey) override;
    // The recorder's keyboard hook.
    KeyHookAnswer keyHooked(int code, unsigned virtualKey, std::u16string_view name,
                            std::uint32_t flags) override;
    std::optional<ContextMenu> contextMenu(int id) const override;
    // The menu's commands; the dialog manager's OK and Cancel (Enter, Escape) hide the window.
    HostAction commandChosen(int id) override;
    ControlPaint controlColours(ControlClass kind, int id,
                                const SceneControl* control) const override;

    KeyRows& keyRows() { return keys_; }
    LightingArea& lighting() { return lighting_; }
    PointerArea& pointer() { return pointer_; }
    // None without the macro ports.
    MacroArea* macro() { return macro_ ? &*macro_ : nullptr; }
    const MacroArea* macro() const { return macro_ ? &*macro_ : nullptr; }

private:
    // The macro area while the Advanced page is shown; none otherwise.
    MacroArea* shownMacro();
    const MacroArea* shownMacro() const;
    void closeListsAway(int x, int y);
    void closeAllLists();
    bool pressBasic(int x, int y);
    bool pressAdvanced(int x, int y);
    static void pressMacro(MacroArea& macro, const AdvancedDispatchEntry& e);
    // The page shown has just been drawn anew; `previous` was shown before.
    void pageDrawn(Page previous);
    std::vector<Rect> setHover(std::optional<HoverArea> area);
    // OK and Apply: true when every setting reached the mouse.
    bool confirm();

    SettingsRecord& record_;
    const StringTable& strings_;
    Ports ports_;
    PageState pages_;
    KeyRows keys_;
    DpiArea dpi_;
    LightingArea lighting_;
    PointerArea pointer_;
    std::optional<MacroArea> macro_;
    std::optional<HoverArea> hovered_;
};

} // namespace qor
