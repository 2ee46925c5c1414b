// The Windows pointer options of the Advanced page: slider positions and check boxes in the
// record, and the values SystemParametersInfoW takes and gives for them.
#pragma once
#include <array>
#include <cstdint>

namespace qor {

inline constexpr unsigned kSliderSteps = 11;

// SPI_SETMOUSE parameter block: thresholds and acceleration.
using MouseParams = std::array<int, 3>;

MouseParams mouseParamsOfPrecision(std::uint8_t pointerPrecision);
// 1 when the read succeeded and acceleration is on.
std::uint8_t precisionOfMouseParams(bool readOk, const MouseParams& params);

// Position 1 gives speed 1; position p from 2 gives 2p - 2. Positions are taken as 1..11.
int mouseSpeedOfPosition(std::uint8_t position);
std::uint8_t positionOfMouseSpeed(int speed);

// -1 scrolls one screen per notch; otherwise the position is the number of lines.
int wheelLinesOf(std::uint8_t scrollOneScreen, std::uint8_t scrollLinesPosition);
struct WheelPosition {
    std::uint8_t scrollOneScreen = 0;
    std::uint8_t scrollLinesPosition = 0;
};
WheelPosition wheelPositionOfLines(int lines);

// 970 - 70p ms: 900 at position 1 down to 200 at position 11 (positions taken as 1..11).
unsigned doubleClickTimeOfPosition(std::uint8_t position);
// (900 - time) / 70 + 1 in unsigned 32-bit arithmetic, kept to 8 bits.
std::uint8_t positionOfDoubleClickTime(unsigned milliseconds);

} // namespace qor
