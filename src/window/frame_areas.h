// The fixed client rectangles shared by both pages of the main window: the title, the page,
// skin, minimise and close buttons, OK / Apply / Cancel and the web link.
#pragma once
#include "base/rect.h"

#include <array>
#include <optional>

namespace qor {

enum class FrameArea {
    PageTitle,
    PreviousPage,
    NextPage,
    Skins,
    Minimise,
    Close,
    Ok,
    Apply,
    Cancel,
    WebLink,
};

struct FrameAreaEntry {
    FrameArea area;
    Rect rect;
};

// In the order the click dispatch tests them (the title is drawn only and never clicked).
inline constexpr std::array<FrameAreaEntry, 10> kFrameAreas{{
    {FrameArea::Ok, {513, 609, 618, 630}},
    {FrameArea::Apply, {617, 609, 722, 630}},
    {FrameArea::Skins, {701, 5, 719, 23}},
    {FrameArea::Minimise, {825, 5, 843, 23}},
    {FrameArea::Close, {850, 5, 868, 23}},
    {FrameArea::PreviousPage, {20, 55, 60, 95}},
    {FrameArea::NextPage, {70, 55, 110, 95}},
    {FrameArea::Cancel, {721, 609, 826, 630}},
    {FrameArea::WebLink, {259, 628, 449, 646}},
    {FrameArea::PageTitle, {120, 50, 352, 100}},
}};

constexpr Rect frameRect(FrameArea area) {
    for (const auto& e : kFrameAreas) {
        if (e.area == area) {
            return e.rect;
        }
    }
    return {};
}

// The first clickable frame area at a client point; the title is not clickable. Where two
// buttons share an edge pixel (OK and Apply at x 617) the earlier one in dispatch order wins.
std::optional<FrameArea> frameAreaAt(int x, int y);

// What a left-button press at a client point does on the shared frame: Minimise hides the
// window, Close ends the program, a press outside every area moves the window; the other areas
// are the pages' to act on.
enum class FrameClick { HideWindow, EndProgram, AreaAction, MoveWindow };
FrameClick frameClickAt(int x, int y);

} // namespace qor
