// What the program behind the main window does for it: the session in the program, a script in
// tests.
#pragma once

namespace qor {

class SettingsFlow {
public:
    virtual ~SettingsFlow() = default;
    virtual bool connected() const = 0;
    // What the window shows first: the Basic page when the mouse answered, nothing otherwise
    // (the tray's first click draws it then).
    bool drawsBasicPageAtStart() const { return connected(); }
    // OK and Apply; false when not every setting reached the mouse (the mouse away included),
    // which the flow has then said.
    virtual bool confirm() = 0;
    virtual void cancel() = 0;
    virtual void firstBasicDrawing() = 0;
    virtual void rereadKeyRows() = 0;
};

} // namespace qor
