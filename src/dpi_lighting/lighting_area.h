// The lighting area of the Basic page as a presentation model: the Mode, Parameter and Effect
// boxes (statics 86, 87, 88), their pop-up lists (63, 64, 65), and what a choice stores.
#pragma once
#include "base/window_ids.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/strings.h"

#include <cstddef>
#include <optional>

namespace qor {

enum class LightingBox { Mode, Parameter, Effect };

Rect lightingBoxRect(LightingBox box);
// The list of a box in the record's mode (the Parameter list's height follows the mode).
Rect lightingListRect(LightingBox box, std::uint8_t ledMode);

class LightingArea {
public:
    LightingArea(SettingsRecord& record, const StringTable& strings);

    // A press in a box opens its list, or closes it when it is open.
    void pressBox(LightingBox box);
    // Selection in the open list of `box`.
    void choose(LightingBox box, std::size_t index);
    void closeLists() { open_.reset(); }
    std::optional<LightingBox> openList() const { return open_; }
    // Whether a press at p leaves the open list alone: p lies in its box or its list.
    bool openListContains(int x, int y) const;

    Scene scene() const;

private:
    SettingsRecord& record_;
    const StringTable& strings_;
    std::optional<LightingBox> open_;
};

} // namespace qor
