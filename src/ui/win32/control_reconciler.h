// Keeps a window's child controls equal to a scene's: creates what is missing, destroys what is
// gone, updates texts, items and selections. Changes made here are not user edits: while it
// works, `updating()` is true and the owner ignores the controls' notifications.
#pragma once
#include "ui/scene.h"

#include "base/win32/wide_text.h"

#include <windows.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// A window's text.
std::u16string windowText(HWND hwnd);

// The item of a list box under a point of the list's client area (a mouse message's lParam);
// nothing when the point is below the last item.
std::optional<std::size_t> listItemAt(HWND list, LPARAM clientPoint);

class ControlReconciler {
public:
    ControlReconciler() = default;
    ~ControlReconciler() { destroyAll(); }
    ControlReconciler(const ControlReconciler&) = delete;
    ControlReconciler& operator=(const ControlReconciler&) = delete;

    void attach(HWND parent, HFONT font) {
        parent_ = parent;
        font_ = font;
    }
    void setFont(HFONT font) { font_ = font; }

    void reconcile(const std::vector<SceneControl>& controls);
    void destroyAll();

    bool updating() const { return updating_; }
    HWND window(int id) const;
    // The scene control behind a child window, if it is one of ours.
    const SceneControl* control(int id) const;

private:
    struct Live {
        HWND hwnd = nullptr;
        SceneControl shown; // what the window shows now
    };
    HWND create(const SceneControl& c) const;
    void update(Live& live, const SceneControl& c);

    HWND parent_ = nullptr;
    HFONT font_ = nullptr;
    std::map<int, Live> live_;
    bool updating_ = false;
};

} // namespace qor
