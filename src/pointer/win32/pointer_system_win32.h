// The pointer options through SystemParametersInfoW and GetDoubleClickTime.
#pragma once
#include "pointer/pointer_options.h"

namespace qor {

class Win32PointerSystem final : public PointerSystem {
public:
    bool getMouse(MouseParams& params) override;
    bool setMouse(const MouseParams& params) override;
    bool getMouseSpeed(int& speed) override;
    bool setMouseSpeed(int speed) override;
    bool getWheelScrollLines(int& lines) override;
    bool setWheelScrollLines(int lines) override;
    unsigned getDoubleClickTime() override;
    bool setDoubleClickTime(unsigned milliseconds) override;
};

} // namespace qor
