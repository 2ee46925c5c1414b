#include "pointer/win32/pointer_system_win32.h"

#include <windows.h>

namespace qor {
namespace {

// Every option is written to the user's profile as well as announced, so that it survives the
// next log-on; the core writes only what differs, so the broadcast stays rare.
constexpr UINT kAnnounceAndStore = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

} // namespace

bool Win32PointerSystem::getMouse(MouseParams& params) {
    int block[3] = {};
    if (!SystemParametersInfoW(SPI_GETMOUSE, 0, block, 0)) {
        return false;
    }
    params = {block[0], block[1], block[2]};
    return true;
}

bool Win32PointerSystem::setMouse(const MouseParams& params) {
    int block[3] = {params[0], params[1], params[2]};
    return SystemParametersInfoW(SPI_SETMOUSE, 0, block, kAnnounceAndStore) != FALSE;
}

bool Win32PointerSystem::getMouseSpeed(int& speed) {
    int value = 0;
    if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &value, 0)) {
        return false;
    }
    speed = value;
    return true;
}

bool Win32PointerSystem::setMouseSpeed(int speed) {
    // The speed travels in the pointer argument itself.
    return SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                 reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                                 kAnnounceAndStore) != FALSE;
}

bool Win32PointerSystem::getWheelScrollLines(int& lines) {
    UINT value = 0;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &value, 0)) {
        return false;
    }
    lines = value == WHEEL_PAGESCROLL ? -1 : static_cast<int>(value);
    return true;
}

bool Win32PointerSystem::setWheelScrollLines(int lines) {
    const UINT value = lines < 0 ? WHEEL_PAGESCROLL : static_cast<UINT>(lines);
    return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, value, nullptr, kAnnounceAndStore) !=
           FALSE;
}

unsigned Win32PointerSystem::getDoubleClickTime() {
    return GetDoubleClickTime();
}

bool Win32PointerSystem::setDoubleClickTime(unsigned milliseconds) {
    return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, milliseconds, nullptr,
                                 kAnnounceAndStore) != FALSE;
}

} // namespace qor
