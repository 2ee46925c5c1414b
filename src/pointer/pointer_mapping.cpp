#include "pointer/pointer_mapping.h"

#include <algorithm>

namespace qor {
namespace {

// Positions outside the slider (a damaged file, or odd values read from Windows) are written as
// the nearest slider step: unclamped, a position past 13 would wrap the double-click time
// around to billions of milliseconds.
unsigned sliderStep(std::uint8_t position) {
    return std::clamp<unsigned>(position, 1, kSliderSteps);
}

} // namespace

MouseParams mouseParamsOfPrecision(std::uint8_t pointerPrecision) {
    return pointerPrecision != 0 ? MouseParams{6, 10, 1} : MouseParams{0, 0, 0};
}

std::uint8_t precisionOfMouseParams(bool readOk, const MouseParams& params) {
    return readOk && params[2] != 0 ? 1 : 0;
}

int mouseSpeedOfPosition(std::uint8_t position) {
    const unsigned p = sliderStep(position);
    return p == 1 ? 1 : static_cast<int>(2 * p - 2);
}

std::uint8_t positionOfMouseSpeed(int speed) {
    return static_cast<std::uint8_t>(speed / 2 + 1);
}

int wheelLinesOf(std::uint8_t scrollOneScreen, std::uint8_t scrollLinesPosition) {
    return scrollOneScreen != 0 ? -1 : int{scrollLinesPosition};
}

WheelPosition wheelPositionOfLines(int lines) {
    if (lines == -1) {
        return {1, 0};
    }
    return {0, static_cast<std::uint8_t>(lines)};
}

unsigned doubleClickTimeOfPosition(std::uint8_t position) {
    return 970u - 70u * sliderStep(position);
}

std::uint8_t positionOfDoubleClickTime(unsigned milliseconds) {
    const std::uint32_t difference = 900u - static_cast<std::uint32_t>(milliseconds);
    return static_cast<std::uint8_t>(difference / 70u + 1u);
}

} // namespace qor
