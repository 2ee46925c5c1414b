// The frame every small dialog of the program shares: a skin image as background, OK, Cancel
// and the close image with their hover images, the order a press is tested in, which keys a
// dialog swallows and which edit takes a captured key. What a dialog shows besides is its
// content, a model of its own. The frame is the model the window host runs.
#pragma once
#include "base/window_ids.h"
#include "ui/scene.h"
#include "ui/scene_window_model.h"
#include "ui/strings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qor {

enum class DialogKind : std::uint8_t {
    SingleKey,
    WindowsFunction,
    Multimedia,
    FireKey,
    MacroKey,
    ComboKey,
    DelayTime,
    Skins,
    ManageProfiles,
    ProfileName,
};

struct DialogTraits {
    int templateId;
    std::u16string_view background;     // skin image, from the skin folder
    std::u16string_view failureCaption; // of the "error" box when the background does not load
    bool capturesKeys;                  // a keyboard hook runs while it is open
};
const DialogTraits& dialogTraits(DialogKind kind);

// The message when a capture dialog's keyboard hook cannot be installed, with the system's
// error code; empty for the dialogs without a hook.
std::u16string hookFailureText(DialogKind kind, unsigned long errorCode);

// The text of the box shown when a dialog's background does not load.
inline constexpr std::u16string_view kDialogLoadFailureText = u"error";

inline constexpr Rect kDialogCloseRect{352, 6, 370, 24};
inline constexpr Rect kDialogOkRect{166, 253, 271, 274};
inline constexpr Rect kDialogCancelRect{270, 253, 375, 274};

// Pop-up lists end above the footer: one that reached over OK and Cancel would take their
// presses, and the dialog cuts off what lies below its image.
inline constexpr int kDialogListBottom = 243;

enum class DialogEnd : std::uint8_t { None, Ok, Cancel };

// The keys go to a field whenever nothing else has them: at the start, and after a list that
// had the focus has gone; a capture dialog would otherwise drop what is typed. Given the
// control that has the focus (none: nothing of the dialog, or a disabled control), the edit to
// give it to, or nothing when a field or list keeps it.
std::optional<int> fieldToFocus(const Scene& scene, std::optional<int> focused);

// The edit a key named by a capture dialog's hook goes to: the control that has the focus when
// it is one of the scene's edits; nothing otherwise.
std::optional<int> captureEdit(const Scene& scene, std::optional<int> focused);

// What one dialog adds to the frame. Every operation is a user action; the dialog's controls
// and drawings come from `scene()`.
class DialogContent {
public:
    virtual ~DialogContent() = default;
    virtual DialogKind kind() const = 0;
    // A press at the content's own drop-down box toggles its list: true when the press was one.
    virtual bool pressBox(int /*x*/, int /*y*/) { return false; }
    // A press anywhere else closes an open list.
    virtual void closeLists() {}
    // The open list that follows the pointer and scrolls with the wheel, if there is one.
    virtual std::optional<int> followingList() const { return std::nullopt; }
    // A selection or double click in list `listId`.
    virtual void chooseItem(int /*listId*/, std::size_t /*item*/) {}
    // The pointer over item `item` of list `listId`.
    virtual void pointerOverItem(int /*listId*/, std::size_t /*item*/) {}
    // The user changed the text of edit `editId`, or the edit lost the focus.
    virtual void textChanged(int /*editId*/, std::u16string_view /*text*/) {}
    virtual void focusLost(int /*editId*/) {}
    // The keyboard hook named a key; `focusedEdit` is the edit that has the focus, if any.
    virtual void keyCaptured(std::u16string_view /*name*/, std::optional<int> /*focusedEdit*/) {}
    // The content's texts and controls, drawn over the frame.
    virtual Scene scene() const = 0;
    // A press of the content's own asked the dialog to end as with OK ("Use Now").
    virtual bool endRequested() const { return false; }
    // Whether OK may end the dialog now; a content that refuses says why in its scene.
    virtual bool okAllowed() const { return true; }
};

// A content whose one pop-up list opens under a box: the press on the box toggles it, any other
// press closes it, the pointer highlights the entry under it, and a choice closes it.
class PopupListContent : public DialogContent {
public:
    bool pressBox(int x, int y) override;
    void closeLists() override { closeList(); }
    std::optional<int> followingList() const override;
    void chooseItem(int listId, std::size_t item) override;
    void pointerOverItem(int listId, std::size_t item) override;

protected:
    PopupListContent(int listId, Rect box, Rect list) : id_(listId), box_(box), list_(list) {}
    // The entry `item` (within `entries()`) was chosen; the list has closed.
    virtual void chosen(std::size_t item) = 0;
    // Called when the list opens, so that it shows what is there now.
    virtual void opening() {}
    std::vector<std::u16string>& entries() { return entries_; }
    const std::vector<std::u16string>& entries() const { return entries_; }
    bool listOpen() const { return open_; }
    void closeList() {
        open_ = false;
        highlighted_.reset();
    }
    // The list control while it is open.
    void addList(Scene& scene) const;

private:
    int id_;
    Rect box_;
    Rect list_;
    std::vector<std::u16string> entries_;
    bool open_ = false;
    std::optional<std::size_t> highlighted_;
};

// Runs a dialog with this content modally on the frame; true when it ended with OK.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    virtual bool run(DialogContent& content) = 0;
};

// Runs a dialog whose content has a `result()`: that result on OK, nothing otherwise.
template <class Content> auto resultOf(DialogRunner& runner, Content& content) {
    using Result = std::decay_t<decltype(content.result())>;
    return runner.run(content) ? std::optional<Result>(content.result()) : std::nullopt;
}

class SkinnedDialog final : public SceneWindowModel {
public:
    SkinnedDialog(DialogContent& content, const StringTable& strings);

    const DialogTraits& traits() const { return dialogTraits(content_.kind()); }
    DialogContent& content() { return content_; }

    // A left press at a client point: the content's box first, then every open list closes,
    // then OK, Cancel and the close image.
    DialogEnd press(int x, int y);

    // Hover, as on the main window: a move over a button asks for a hover notification (true);
    // a move elsewhere brings a lit button back and gives the areas to redraw.
    bool pointerMoved(int x, int y, std::vector<Rect>& redraw) override;
    std::vector<Rect> hoverAt(int x, int y) override;
    std::vector<Rect> pointerLeft() override;

    // Whether a key message with this virtual key never reaches the dialog: the capture
    // dialogs keep Enter and Escape from ending them, and the Windows keys out of the program.
    bool keyDiscarded(unsigned virtualKey, bool keyDown) const;

    // The buttons and the content; the background image is the painter's.
    Scene scene() const override;

    // The window host's operations.
    std::u16string_view background() const override { return traits().background; }
    // Without its background the dialog has neither its size nor its controls: after the
    // "error" box it ends with Cancel, so that nobody is left with an empty window.
    std::optional<MissingBackground> backgroundMissing() const override;
    HostAction pressAt(int x, int y) override;
    void listChosen(int id, std::optional<std::size_t> item, bool doubleClick) override;
    void textChanged(int id, std::u16string_view text) override { content_.textChanged(id, text); }
    void focusLost(int id) override { content_.focusLost(id); }
    void pointerOverList(int id, std::size_t item, const Rect& itemRect) override;
    std::optional<int> wheelList() const override { return content_.followingList(); }
    bool hooksKeysAtOpen() const override { return traits().capturesKeys; }
    std::u16string keyHookFailure(unsigned long errorCode) const override {
        return hookFailureText(content_.kind(), errorCode);
    }
    // A capture dialog's hook names every key it sees: the single key dialog by one message,
    // the combo dialog by another; the key itself goes on unless `keyDiscarded`.
    KeyHookAnswer keyHooked(int code, unsigned virtualKey, std::u16string_view name,
                            std::uint32_t flags) override;
    void keyNamed(std::u16string_view name, std::optional<int> focusedControl) override;
    HostAction commandChosen(int id) override;
    ControlPaint controlColours(ControlClass kind, int id,
                                const SceneControl* control) const override;
    std::optional<int> focusTarget(std::optional<int> focused) const override {
        return fieldToFocus(scene(), focused);
    }

private:
    enum class Button : std::uint8_t { Ok, Cancel, Close };
    std::optional<Button> buttonAt(int x, int y) const;
    std::vector<Rect> setHover(std::optional<Button> button);

    DialogContent& content_;
    const StringTable& strings_;
    std::optional<Button> hovered_;
};

} // namespace qor
