// Reading the Windows pointer options into the record, applying the record's options to
// Windows, and the pointer area's "Default" button, over a small port of the system calls.
#pragma once
#include "base/message_sink.h"
#include "pointer/pointer_mapping.h"
#include "settings/settings_record.h"

namespace qor {

// The system's pointer options (SystemParametersInfoW and GetDoubleClickTime on Windows).
class PointerSystem {
public:
    virtual ~PointerSystem() = default;
    virtual bool getMouse(MouseParams& params) = 0;
    virtual bool setMouse(const MouseParams& params) = 0;
    virtual bool getMouseSpeed(int& speed) = 0;
    virtual bool setMouseSpeed(int speed) = 0;
    // -1 means one screen per notch.
    virtual bool getWheelScrollLines(int& lines) = 0;
    virtual bool setWheelScrollLines(int lines) = 0;
    // 0 when the system cannot say.
    virtual unsigned getDoubleClickTime() = 0;
    virtual bool setDoubleClickTime(unsigned milliseconds) = 0;
};

// The five pointer bytes of the record from the system. Each failure is reported and the
// reading goes on (a failed read counts as 0).
void readPointerOptions(PointerSystem& system, MessageSink& messages, SettingsRecord& record);

// Writes the four settings in order, each only where the system holds another value; each
// failure is reported and the next one still written.
void applyPointerOptions(PointerSystem& system, MessageSink& messages,
                         const SettingsRecord& record);

// Windows' defaults (precision off, speed 10, 3 lines, 500 ms) to the system, and the record's
// default positions (a later apply writes 550 ms, the time of position 6).
void restorePointerOptionDefaults(PointerSystem& system, MessageSink& messages,
                                  SettingsRecord& record);

} // namespace qor
