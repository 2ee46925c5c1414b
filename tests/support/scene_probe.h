// What the window and dialog tests ask of a scene: where to press an area, and the texts and
// images it draws.
#pragma once
#include "ui/scene.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qor::test {

inline int centreX(const Rect& a) {
    return (a.left + a.right) / 2;
}
inline int centreY(const Rect& a) {
    return (a.top + a.bottom) / 2;
}

inline std::vector<std::u16string> sceneTexts(const Scene& scene) {
    std::vector<std::u16string> out;
    for (const auto& d : scene.drawings) {
        if (const auto* t = std::get_if<SceneText>(&d)) {
            out.push_back(t->text);
        }
    }
    return out;
}

inline std::vector<std::u16string_view> sceneImages(const Scene& scene) {
    std::vector<std::u16string_view> out;
    for (const auto& d : scene.drawings) {
        if (const auto* i = std::get_if<SceneImage>(&d)) {
            out.push_back(i->name);
        }
    }
    return out;
}

// Whether the scene draws image `name` laid out over `area`.
inline bool drawsImage(const Scene& scene, std::u16string_view name, const Rect& area) {
    for (const auto& d : scene.drawings) {
        if (const auto* i = std::get_if<SceneImage>(&d); i && i->name == name && i->area == area) {
            return true;
        }
    }
    return false;
}

} // namespace qor::test
