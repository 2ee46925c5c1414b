#include "pointer/pointer_area.h"

#include "settings/settings_state.h"

#include <algorithm>

namespace qor {
namespace {

constexpr int kSliderRowTop[kPointerSliders] = {200, 350, 500};
constexpr int kStepLeft = 52;
constexpr int kStepPitch = 24;
constexpr int kStepHeight = 11;
constexpr int kCaptionRight = 316;
constexpr int kLabelLeft = 74;
constexpr int kLabelRight = 400;

constexpr PointerSlider kSliders[kPointerSliders] = {
    PointerSlider::MouseSpeed, PointerSlider::ScrollLines, PointerSlider::DoubleClick};

int rowTop(PointerSlider slider) {
    return kSliderRowTop[static_cast<std::size_t>(slider)];
}

std::uint8_t& positionOf(SettingsRecord& record, PointerSlider slider) {
    switch (slider) {
    case PointerSlider::MouseSpeed:
        return record.mouseSpeedPosition;
    case PointerSlider::ScrollLines:
        return record.scrollLinesPosition;
    case PointerSlider::DoubleClick:
        break;
    }
    return record.doubleClickPosition;
}

StringId captionOf(PointerSlider slider) {
    switch (slider) {
    case PointerSlider::MouseSpeed:
        return StringId::MouseSpeed;
    case PointerSlider::ScrollLines:
        return StringId::ScrollingSpeed;
    case PointerSlider::DoubleClick:
        break;
    }
    return StringId::DoubleClickSpeed;
}

} // namespace

Rect pointerStepRect(PointerSlider slider, std::size_t step) {
    const int left = kStepLeft + kStepPitch * (static_cast<int>(step) - 1);
    const int top = rowTop(slider);
    return {left, top, left + kStepPitch, top + kStepHeight};
}

Rect pointerSliderRect(PointerSlider slider) {
    const Rect first = pointerStepRect(slider, 1);
    return {first.left, first.top, pointerStepRect(slider, kSliderSteps).right, first.bottom};
}

std::size_t litPointerSteps(std::uint8_t position) {
    return std::min<std::size_t>(position, kSliderSteps);
}

PointerArea::PointerArea(SettingsRecord& record, const StringTable& strings, MessageSink& messages,
                         PointerSystem* system)
    : record_(record), strings_(strings), messages_(messages), system_(system) {}

void PointerArea::pageDrawn() {
    if (systemRead_) {
        return;
    }
    systemRead_ = true;
    if (system_ != nullptr) {
        readPointerOptions(*system_, messages_, record_);
    }
}

bool PointerArea::pressStep(int x, int y) {
    for (const PointerSlider slider : kSliders) {
        if (!pointerSliderRect(slider).contains(x, y)) {
            continue;
        }
        for (std::size_t step = 1; step <= kSliderSteps; ++step) {
            if (pointerStepRect(slider, step).contains(x, y)) {
                positionOf(record_, slider) = static_cast<std::uint8_t>(step);
                return true;
            }
        }
    }
    return false;
}

void PointerArea::togglePrecision() {
    record_.pointerPrecision = record_.pointerPrecision != 0 ? 0 : 1;
}

void PointerArea::toggleOneScreen() {
    record_.scrollOneScreen = record_.scrollOneScreen != 0 ? 0 : 1;
}

void PointerArea::pressDefault() {
    if (system_ != nullptr) {
        restorePointerOptionDefaults(*system_, messages_, record_);
    } else {
        restorePointerDefaults(record_);
    }
}

Scene PointerArea::scene(bool defaultHovered) const {
    Scene s;
    for (const PointerSlider slider : kSliders) {
        const int top = rowTop(slider);
        s.text(strings_.text(captionOf(slider)), {kStepLeft, top - 22, kCaptionRight, top - 6},
               TextAlign::Left);
        const std::size_t lit = litPointerSteps(positionOf(record_, slider));
        for (std::size_t step = 1; step <= kSliderSteps; ++step) {
            s.image(step <= lit ? u"/slider-light.png" : u"/slider-dark.png",
                    pointerStepRect(slider, step));
        }
    }
    const auto box = [&s](std::uint8_t on, const Rect& rect) {
        s.image(on != 0 ? u"/PaneMakingTick.png" : u"/Pane.png", rect);
    };
    box(record_.pointerPrecision, kPrecisionBoxRect);
    box(record_.scrollOneScreen, kOneScreenBoxRect);
    s.text(strings_.text(StringId::EnhancePointerPrecision),
           {kLabelLeft, kPrecisionBoxRect.top, kLabelRight, kPrecisionBoxRect.bottom},
           TextAlign::Left);
    s.text(strings_.text(StringId::ScrollOneScreen),
           {kLabelLeft, kOneScreenBoxRect.top, kLabelRight, kOneScreenBoxRect.bottom},
           TextAlign::Left);
    s.image(defaultHovered ? u"/button-over.png" : u"/button-normal.png", kPointerDefaultRect);
    s.text(strings_.text(StringId::PointerDefault), kPointerDefaultRect, TextAlign::Centre);
    return s;
}

} // namespace qor
