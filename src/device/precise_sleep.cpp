#include "device/precise_sleep.h"

#include <thread>

namespace qor {

void preciseSleep(std::chrono::microseconds duration) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kSpinStretch = std::chrono::microseconds(300);
    const auto deadline = Clock::now() + duration;
    if (duration > kSpinStretch) {
        std::this_thread::sleep_until(deadline - kSpinStretch);
    }
    while (Clock::now() < deadline) {
        std::this_thread::yield();
    }
}

} // namespace qor
