// The pointer area of the Advanced page as a presentation model: three sliders of eleven steps,
// the two check boxes and "Default", what a press on each does to the record, the read from
// the system at the page's first drawing and the defaults, through the pointer port.
#pragma once
#include "base/message_sink.h"
#include "pointer/pointer_options.h"
#include "settings/settings_record.h"
#include "ui/scene.h"
#include "ui/strings.h"

#include <cstddef>
#include <cstdint>

namespace qor {

enum class PointerSlider : std::uint8_t { MouseSpeed = 0, ScrollLines = 1, DoubleClick = 2 };
inline constexpr std::size_t kPointerSliders = 3;

inline constexpr Rect kPrecisionBoxRect{51, 255, 67, 271};
inline constexpr Rect kOneScreenBoxRect{51, 405, 67, 421};
inline constexpr Rect kPointerDefaultRect{194, 573, 299, 594};

// Steps count from 1.
Rect pointerStepRect(PointerSlider slider, std::size_t step);
// All eleven steps of a slider: what a change of its position redraws.
Rect pointerSliderRect(PointerSlider slider);

// The lit steps for a stored position: positions past the slider (a wheel of 20 lines, a very
// short double-click time) stay in the record as they are and light the whole slider.
std::size_t litPointerSteps(std::uint8_t position);

class PointerArea {
public:
    // Without a system (a platform with no pointer options) the area edits the record alone.
    PointerArea(SettingsRecord& record, const StringTable& strings, MessageSink& messages,
                PointerSystem* system);

    // Each drawing of the page: the first one in a run fills the five bytes from the system.
    void pageDrawn();
    bool systemRead() const { return systemRead_; }

    // Presses the dispatcher routes here; each returns whether the press was the area's.
    bool pressStep(int x, int y);
    void togglePrecision();
    void toggleOneScreen();
    // The system's defaults written at once, and the record's default positions.
    void pressDefault();

    Scene scene(bool defaultHovered) const;

private:
    SettingsRecord& record_;
    const StringTable& strings_;
    MessageSink& messages_;
    PointerSystem* system_;
    bool systemRead_ = false;
};

} // namespace qor
