#include "dpi_lighting/dpi_area.h"

#include "dpi_lighting/dpi.h"

#include <algorithm>

namespace qor {
namespace {

constexpr int kColumnLeft = 554;
constexpr int kColumnPitch = 27;
constexpr int kColumnWidth = 16;
constexpr int kStepBottomTop = 500;
constexpr int kStepPitch = 18;
constexpr int kStepHeight = 16;
constexpr int kLabelRight = 544;
constexpr Rect kHeadingRect{504, 275, 609, 296};
constexpr Rect kColourWordRect{494, 523, 544, 539};
constexpr Rect kSelectWordRect{494, 541, 544, 557};

int columnLeft(std::size_t stage) {
    return kColumnLeft + kColumnPitch * static_cast<int>(stage);
}

int stepTop(std::size_t step) {
    return kStepBottomTop - kStepPitch * (static_cast<int>(step) - 1);
}

// The stage whose rectangle of `rectOf` holds the point.
template <typename RectOf> std::optional<std::size_t> stageAt(int x, int y, RectOf rectOf) {
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        if (rectOf(stage).contains(x, y)) {
            return stage;
        }
    }
    return std::nullopt;
}

} // namespace

Rect dpiStepRect(std::size_t stage, std::size_t step) {
    const int x = columnLeft(stage);
    return {x, stepTop(step), x + kColumnWidth, stepTop(step) + kStepHeight};
}

Rect dpiOnOffRect(std::size_t stage) {
    const int x = columnLeft(stage);
    return {x, 541, x + kColumnWidth, 557};
}

Rect dpiColourRect(std::size_t stage) {
    const int x = columnLeft(stage);
    return {x, 523, x + kColumnWidth, 539};
}

Rect dpiColumnRect(std::size_t stage) {
    const int x = columnLeft(stage);
    return {x, dpiStepRect(stage, kMaxDpiSteps).top, x + kColumnWidth, 557};
}

DpiArea::DpiArea(SettingsRecord& record, const std::uint8_t& activeSensorType,
                 const StringTable& strings, ColourPicker pickColour)
    : record_(record), sensorType_(activeSensorType), strings_(strings),
      pickColour_(std::move(pickColour)) {}

bool DpiArea::pressOnOff(int x, int y) {
    const auto stage = stageAt(x, y, dpiOnOffRect);
    if (!stage) {
        return false;
    }
    toggleDpiStage(record_, *stage);
    return true;
}

bool DpiArea::pressColour(int x, int y) {
    const auto stage = stageAt(x, y, dpiColourRect);
    if (!stage) {
        return false;
    }
    // The dialog opens only for a stage that is on.
    if (canPickDpiColor(record_, *stage) && pickColour_) {
        if (const auto c = pickColour_()) {
            pickDpiColor(record_, *stage, c->red, c->green, c->blue);
        }
    }
    return true;
}

bool DpiArea::pressStep(int x, int y) {
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        for (std::size_t step = 1; step <= kMaxDpiSteps; ++step) {
            if (dpiStepRect(stage, step).contains(x, y)) {
                return setDpiStep(record_, stage, step, sensorType_);
            }
        }
    }
    return false;
}

Scene DpiArea::scene() const {
    Scene s;
    const std::size_t steps = stepCount(sensorType_);
    const DpiValueList labels = dpiValueListShown(sensorType_);
    const int labelWidth = steps == kMaxDpiSteps ? 40 : 60;
    s.text(strings_.text(StringId::DpiSetting), kHeadingRect, TextAlign::Centre);
    for (std::size_t step = 1; step <= steps && step <= labels.size(); ++step) {
        const Rect r = dpiStepRect(0, step);
        s.text(labels.labels[step - 1], {r.left - labelWidth, r.top, kLabelRight, r.bottom},
               TextAlign::Right);
    }
    s.text(u"Color", kColourWordRect, TextAlign::Right);
    s.text(u"Select", kSelectWordRect, TextAlign::Right);
    for (std::size_t stage = 0; stage < kDpiStages; ++stage) {
        const bool on = record_.dpiStageOn[stage] == 1;
        const Rect box = dpiOnOffRect(stage);
        s.image(on ? u"/PaneMakingTick.png" : u"/Pane.png", box);
        const std::size_t lit = on ? std::size_t{record_.dpiLevel[stage]} + 1 : 0;
        for (std::size_t step = 1; step <= steps; ++step) {
            const Rect r = dpiStepRect(stage, step);
            s.image(step <= lit ? u"/slider-DPI-light.png" : u"/slider-DPI-dark.png", r);
        }
        const std::u16string number(1, static_cast<char16_t>(u'1' + stage));
        s.text(number, {box.left, 562, box.right, 587}, TextAlign::Centre);

        s.controls.push_back(
            colourBox(kDpiColourBoxIdBase + static_cast<int>(stage) + 1, dpiColourRect(stage),
                      Rgb{record_.dpiColor[stage * 3], record_.dpiColor[stage * 3 + 1],
                          record_.dpiColor[stage * 3 + 2]}));
    }
    return s;
}

} // namespace qor
