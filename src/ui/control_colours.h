// How the window's child controls are coloured: text colour, background and the brush handed
// back to the control, by the control's kind and identifier.
#pragma once
#include "settings/settings_record.h"
#include "ui/scene.h"

#include <optional>

namespace qor {

enum class ControlClass { Edit, ListBox, Button, Static };

struct ControlPaint {
    std::optional<Rgb> text;       // nothing: the control's own
    std::optional<Rgb> background; // an opaque text background; nothing: transparent
    std::optional<Rgb> brush;      // nothing: the system's default brush
    bool windowFont = false;       // the window's font selected for the control
    bool operator==(const ControlPaint&) const = default;
};

ControlPaint controlPaint(ControlClass kind, int id, Rgb skinText, const SettingsRecord& record);

// A skinned dialog's controls: white on dark grey, and a colour box in its colour. `control` is
// the scene's control behind the window, if it is one.
ControlPaint dialogControlPaint(ControlClass kind, const SceneControl* control);

} // namespace qor
