#include "ui/win32/scene_painter.h"

#include "ui/win32/drawing.h"
#include "ui/win32/mem_dc.h"

namespace qor {

COLORREF colourRef(Rgb c) {
    return RGB(c.red, c.green, c.blue);
}

void paintScene(HDC dc, const Scene& scene, const PaintContext& context, const Rect& area) {
    RECT r{area.left, area.top, area.right, area.bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (context.background != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, context.background);
        BitBlt(dc, 0, 0, context.backgroundSize.cx, context.backgroundSize.cy, source, 0, 0,
               SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    HGDIOBJ oldFont = SelectObject(dc, context.textFont);
    for (const auto& drawing : scene.drawings) {
        if (!touches(drawing, area)) {
            continue;
        }
        if (const auto* image = std::get_if<SceneImage>(&drawing)) {
            std::wstring path = context.skinFolder;
            path.append(image->name.begin(), image->name.end());
            drawPng(dc, path, image->area.left, image->area.top);
            continue;
        }
        const auto& text = std::get<SceneText>(drawing);
        SelectObject(dc, text.font == FontRole::Title ? context.titleFont : context.textFont);
        const std::optional<Rgb> fixed = roleColour(text.colour);
        const COLORREF colour = fixed ? colourRef(*fixed) : context.textColour;
        const RECT tr{text.rect.left, text.rect.top, text.rect.right, text.rect.bottom};
        drawText(dc, text.text, tr, text.align, colour, text.wrap, text.bottom);
    }
    SelectObject(dc, oldFont);
}

void paintWindow(HWND hwnd, HDC target, const Scene& scene, const PaintContext& context,
                 const Rect* area) {
    RECT client;
    GetClientRect(hwnd, &client);
    Rect whole{client.left, client.top, client.right, client.bottom};
    if (area != nullptr) {
        whole = Rect{std::max(area->left, whole.left), std::max(area->top, whole.top),
                     std::min(area->right, whole.right), std::min(area->bottom, whole.bottom)};
        if (whole.left >= whole.right || whole.top >= whole.bottom) {
            return;
        }
    }
    const RECT r{whole.left, whole.top, whole.right, whole.bottom};
    CMemDC mem(target, r);
    paintScene(mem, scene, context, whole);
}

} // namespace qor
