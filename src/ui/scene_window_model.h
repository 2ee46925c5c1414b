// What a window of the program does, as the one Win32 host of every window sees it: the main
// window and each skinned dialog are models with this interface, and the host turns window
// messages into these operations, paints `scene()` and reconciles its controls. Every decision
// is the model's; the host only carries out what an operation returns.
#pragma once
#include "base/virtual_keys.h"
#include "ui/control_colours.h"
#include "ui/scene.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// What the host does after an operation, besides drawing what changed.
enum class HostAction : std::uint8_t {
    None,
    MoveWindow,  // the press drags the window, as a press on a caption would
    Hide,        // the window hides (the main window goes to the tray)
    Ok,          // a modal window ends with OK
    Cancel,      // a modal window ends with Cancel
    EndProgram,  // the main window's shell ends the program
    OpenWebLink, // the main window's shell opens the web address
    SkinChanged, // the skin dialog ended with OK: the shell takes the skin and draws anew
};

// The answer to the thread's keyboard hook.
struct KeyHookAnswer {
    KeyHookVerdict verdict = KeyHookVerdict::PassOn;
    // A message the host sends its window first, whose arrival hands the named key to
    // `keyNamed` (0: none).
    unsigned keyNamedMessage = 0;
    bool operator==(const KeyHookAnswer&) const = default;
};

// A control's context menu: the resource menu, the one command of its first pop-up and the text
// that command shows.
struct ContextMenu {
    int menu = 0;
    int command = 0;
    std::u16string text;
    bool operator==(const ContextMenu&) const = default;
};

// What the window does when its background image does not load.
struct MissingBackground {
    std::u16string text; // of the box shown first; empty: no box
    std::u16string caption;
    HostAction then = HostAction::None;
    bool operator==(const MissingBackground&) const = default;
};

// One notch of the wheel over an open list: three lines, down for a delta of 0 or less.
struct ListScroll {
    bool down;
    int lines;
};
ListScroll listScrollForWheel(int wheelDelta);

class SceneWindowModel {
public:
    virtual ~SceneWindowModel() = default;

    // What the window looks like now: its drawings, in painting order, and its child controls.
    virtual Scene scene() const = 0;
    // The background, from the skin folder ("/main.png"), and what the window does without it
    // (nothing: it keeps the one it has, and its size).
    virtual std::u16string_view background() const = 0;
    virtual std::optional<MissingBackground> backgroundMissing() const { return std::nullopt; }

    // A left press at a client point.
    virtual HostAction pressAt(int x, int y) = 0;
    // A selection or double click in list `id`; nothing selected: no item.
    virtual void listChosen(int /*id*/, std::optional<std::size_t> /*item*/, bool /*doubleClick*/) {
    }
    // The user changed the text of edit `id`; an edit lost the focus.
    virtual void textChanged(int /*id*/, std::u16string_view /*text*/) {}
    virtual void focusLost(int /*id*/) {}
    // The pointer over item `item` of list `id` (`itemRect` inside the list).
    virtual void pointerOverList(int /*id*/, std::size_t /*item*/, const Rect& /*itemRect*/) {}
    // The list the wheel scrolls wherever the pointer is, if one does.
    virtual std::optional<int> wheelList() const { return std::nullopt; }

    // Hover. A move inside a hover area asks for a hover notification (true); a move outside
    // every area brings a lit one back and gives the areas to redraw.
    virtual bool pointerMoved(int x, int y, std::vector<Rect>& redraw) = 0;
    // The hover notification at a point: the areas to redraw.
    virtual std::vector<Rect> hoverAt(int x, int y) = 0;
    // The pointer left the window: the areas to redraw.
    virtual std::vector<Rect> pointerLeft() = 0;

    // A key press on its way to the window or one of its controls: nothing lets it through;
    // otherwise it is taken, and the host carries out the action.
    virtual std::optional<HostAction> keyPressed(unsigned /*virtualKey*/) { return std::nullopt; }
    // Whether the thread's keyboard hook runs from the moment the window opens, and the text of
    // the box shown when it cannot be installed (with the system's error code).
    virtual bool hooksKeysAtOpen() const { return false; }
    virtual std::u16string keyHookFailure(unsigned long /*errorCode*/) const { return {}; }
    // The thread's keyboard hook, while this window has it: the hook code, the key, the name the
    // system gives it (empty but for the hook's action code) and the keystroke flags.
    virtual KeyHookAnswer keyHooked(int /*code*/, unsigned /*virtualKey*/,
                                    std::u16string_view /*name*/, std::uint32_t /*flags*/) {
        return {};
    }
    // The key named by the hook arrives, with the control that has the focus, if any.
    virtual void keyNamed(std::u16string_view /*name*/, std::optional<int> /*focusedControl*/) {}

    // The right button over control `id`: its context menu, if it has one.
    virtual std::optional<ContextMenu> contextMenu(int /*id*/) const { return std::nullopt; }
    // A command: a menu's, or the dialog manager's OK and Cancel (Enter, Escape, Close).
    virtual HostAction commandChosen(int id) = 0;

    // How a child control is coloured; `control` is the scene's control behind it, if any.
    virtual ControlPaint controlColours(ControlClass kind, int id,
                                        const SceneControl* control) const = 0;
    // The edit that gets the focus, given the control that has it (nothing: none of the
    // window's, or a disabled one); nothing when the focus stays where it is.
    virtual std::optional<int> focusTarget(std::optional<int> /*focused*/) const {
        return std::nullopt;
    }
};

} // namespace qor
