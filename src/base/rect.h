// A rectangle in client coordinates: what a click is tested against and what a redraw covers.
#pragma once

namespace qor {

// left and top inside, right and bottom outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr bool contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool operator==(const Rect&) const = default;
};

} // namespace qor
