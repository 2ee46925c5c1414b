#include "ui/win32/frame_painter.h"

#include "ui/frame_areas.h"
#include "ui/win32/drawing.h"

namespace qor {
namespace {

RECT toRect(const HitArea& a) {
    return RECT{a.left, a.top, a.right, a.bottom};
}

} // namespace

void paintFrame(HDC dc, const RECT& client, const FramePaint& frame) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (frame.background != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, frame.background);
        BitBlt(dc, 0, 0, frame.backgroundSize.cx, frame.backgroundSize.cy, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    if (frame.page == 0 || frame.strings == nullptr) {
        return;
    }
    const std::wstring& root = frame.skinFolder;
    drawPng(dc, root + (frame.page == 1 ? L"/BasicSet2.png" : L"/AdvancedSet2.png"), 0, 0);

    const struct {
        FrameArea area;
        const wchar_t* image;
    } buttons[] = {
        {FrameArea::PreviousPage, L"/button-PrePage-normal.png"},
        {FrameArea::NextPage, L"/button-NextPage-normal.png"},
        {FrameArea::Skins, L"/button-Skins-normal.png"},
        {FrameArea::Minimise, L"/button-min-normal.png"},
        {FrameArea::Close, L"/button-close-normal.png"},
        {FrameArea::Ok, L"/button-normal.png"},
        {FrameArea::Apply, L"/button-normal.png"},
        {FrameArea::Cancel, L"/button-normal.png"},
    };
    for (const auto& b : buttons) {
        const HitArea r = frameRect(b.area);
        drawPng(dc, root + b.image, r.left, r.top);
    }

    const StringTable& strings = *frame.strings;
    HGDIOBJ oldFont = SelectObject(dc, frame.titleFont);
    drawText(dc,
             strings.text(frame.page == 1 ? StringId::BasicSettings : StringId::AdvancedSettings),
             toRect(frameRect(FrameArea::PageTitle)), TextAlign::Left, RGB(0, 0, 0));
    SelectObject(dc, frame.textFont);
    const struct {
        StringId text;
        FrameArea area;
    } captions[] = {
        {StringId::Ok, FrameArea::Ok},
        {StringId::Apply, FrameArea::Apply},
        {StringId::Cancel, FrameArea::Cancel},
        {StringId::WebAddress, FrameArea::WebLink},
    };
    for (const auto& c : captions) {
        drawText(dc, strings.text(c.text), toRect(frameRect(c.area)), TextAlign::Centre,
                 frame.textColour);
    }
    SelectObject(dc, oldFont);
}

} // namespace qor
