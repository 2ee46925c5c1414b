// Fixed pauses that pace the mouse. Real adapters sleep; tests record.
#pragma once

namespace qor {

class Pacer {
public:
    virtual ~Pacer() = default;
    virtual void pause(unsigned milliseconds) = 0;
};

} // namespace qor
