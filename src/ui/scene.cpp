#include "ui/scene.h"

namespace qor {

void Scene::append(Scene&& other) {
    for (auto& d : other.drawings) {
        drawings.push_back(std::move(d));
    }
    for (auto& c : other.controls) {
        controls.push_back(std::move(c));
    }
}

const SceneControl* Scene::control(int id) const {
    for (const auto& c : controls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

SceneControl staticControl(int id, const Rect& rect, std::u16string_view text, TextAlign align) {
    SceneControl c;
    c.kind = ControlKind::Static;
    c.id = id;
    c.rect = rect;
    c.text = std::u16string(text);
    c.align = align;
    return c;
}

SceneControl listControl(int id, const Rect& rect, std::vector<std::u16string> items,
                         std::optional<std::size_t> selected) {
    SceneControl c;
    c.kind = ControlKind::List;
    c.id = id;
    c.rect = rect;
    c.items = std::move(items);
    c.selected = selected;
    return c;
}

SceneControl editControl(int id, const Rect& rect, std::u16string_view text, TextAlign align) {
    SceneControl c = staticControl(id, rect, text, align);
    c.kind = ControlKind::Edit;
    return c;
}

SceneControl colourBox(int id, const Rect& rect, Rgb fill) {
    SceneControl c = staticControl(id, rect, {}, TextAlign::Left);
    c.fill = fill;
    return c;
}

std::optional<Rgb> roleColour(ColourRole role) {
    switch (role) {
    case ColourRole::Black:
        return Rgb{0, 0, 0};
    case ColourRole::White:
        return Rgb{255, 255, 255};
    case ColourRole::Warning:
        return Rgb{255, 72, 56}; // red on both skins' dark panels
    case ColourRole::SkinText:
        break;
    }
    return std::nullopt;
}

bool intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool touches(const SceneDrawing& drawing, const Rect& area) {
    if (const auto* text = std::get_if<SceneText>(&drawing)) {
        return intersects(text->rect, area);
    }
    return intersects(std::get<SceneImage>(drawing).area, area);
}

} // namespace qor
