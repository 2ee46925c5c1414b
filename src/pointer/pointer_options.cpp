#include "pointer/pointer_options.h"

#include "settings/settings_state.h"

namespace qor {
namespace {

// Each option is written only when the system reports another value (or cannot say): every
// write is stored in the user's profile and broadcast to every top-level window.
void writeChanged(PointerSystem& system, MessageSink& messages, const MouseParams& params,
                  int speed, int lines, unsigned doubleClickMs) {
    MouseParams nowParams{};
    if ((!system.getMouse(nowParams) || nowParams != params) && !system.setMouse(params)) {
        messages.show(u"SETMOUSE failed.", kWarningCaption);
    }
    int nowSpeed = 0;
    if ((!system.getMouseSpeed(nowSpeed) || nowSpeed != speed) && !system.setMouseSpeed(speed)) {
        messages.show(u"SETMOUSESPEED failed.", kWarningCaption);
    }
    int nowLines = 0;
    if ((!system.getWheelScrollLines(nowLines) || nowLines != lines) &&
        !system.setWheelScrollLines(lines)) {
        messages.show(u"SETWHEELSCROLLLINES failed.", kWarningCaption);
    }
    if (system.getDoubleClickTime() != doubleClickMs && !system.setDoubleClickTime(doubleClickMs)) {
        messages.show(u"SPI_SETDOUBLECLICKTIME failed.", kWarningCaption);
    }
}

} // namespace

void readPointerOptions(PointerSystem& system, MessageSink& messages, SettingsRecord& record) {
    MouseParams params{};
    const bool mouseOk = system.getMouse(params);
    record.pointerPrecision = precisionOfMouseParams(mouseOk, params);

    int speed = 0;
    if (!system.getMouseSpeed(speed)) {
        messages.show(u"GETMOUSESPEED failed.", kWarningCaption);
        speed = 0;
    }
    record.mouseSpeedPosition = positionOfMouseSpeed(speed);

    int lines = 0;
    if (!system.getWheelScrollLines(lines)) {
        messages.show(u"GETWHEELSCROLLLINES failed.", kWarningCaption);
        lines = 0;
    }
    const WheelPosition wheel = wheelPositionOfLines(lines);
    record.scrollOneScreen = wheel.scrollOneScreen;
    record.scrollLinesPosition = wheel.scrollLinesPosition;

    const unsigned time = system.getDoubleClickTime();
    if (time == 0) {
        messages.show(u"GetDoubleClickTime failed.", kWarningCaption);
    }
    record.doubleClickPosition = positionOfDoubleClickTime(time);
}

void applyPointerOptions(PointerSystem& system, MessageSink& messages,
                         const SettingsRecord& record) {
    writeChanged(system, messages, mouseParamsOfPrecision(record.pointerPrecision),
                 mouseSpeedOfPosition(record.mouseSpeedPosition),
                 wheelLinesOf(record.scrollOneScreen, record.scrollLinesPosition),
                 doubleClickTimeOfPosition(record.doubleClickPosition));
}

void restorePointerOptionDefaults(PointerSystem& system, MessageSink& messages,
                                  SettingsRecord& record) {
    writeChanged(system, messages, mouseParamsOfPrecision(0), 10, 3, 500);
    restorePointerDefaults(record);
}

} // namespace qor
