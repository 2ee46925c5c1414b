// A pause that ends close to its deadline. The system's sleep wakes up late by its timer slack
// (tens of microseconds on Linux, more under load), which adds up over the hundreds of short
// pauses of one apply; the last stretch is therefore waited out by yielding.
#pragma once
#include <chrono>

namespace qor {

void preciseSleep(std::chrono::microseconds duration);

} // namespace qor
