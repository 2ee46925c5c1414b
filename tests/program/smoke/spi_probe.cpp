// Prints what the system reports for the pointer options the Advanced page sets, for the Wine
// tests to compare with what the page chose: "params=T1,T2,A speed=N lines=N doubleclick=MS".
#include <windows.h>

#include <cstdio>

int main() {
    int params[3] = {-1, -1, -1};
    int speed = -1;
    UINT lines = 0;
    const bool ok = SystemParametersInfoW(SPI_GETMOUSE, 0, params, 0) &&
                    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0) &&
                    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (!ok) {
        std::printf("SystemParametersInfoW failed: %lu\n", GetLastError());
        return 1;
    }
    // WHEEL_PAGESCROLL (one screen at a time) prints as -1, as the program stores it.
    std::printf("params=%d,%d,%d speed=%d lines=%d doubleclick=%u\n", params[0], params[1],
                params[2], speed, static_cast<int>(lines), GetDoubleClickTime());
    return 0;
}
