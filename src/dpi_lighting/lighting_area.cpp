#include "dpi_lighting/lighting_area.h"

#include "dpi_lighting/lighting.h"

namespace qor {
namespace {

constexpr Rect kHeadingRect{704, 275, 809, 296};
constexpr Rect kModeLabelRect{696, 329, 756, 344};
constexpr Rect kParameterLabelRect{696, 359, 756, 374};
constexpr Rect kEffectLabelRect{697, 390, 757, 404};
constexpr Rect kModeTextRect{767, 330, 835, 344};
constexpr Rect kParameterTextRect{767, 360, 835, 374};
constexpr Rect kEffectTextRect{767, 390, 835, 404};

int parameterListHeight(std::uint8_t ledMode) {
    switch (static_cast<LedMode>(ledMode)) {
    case LedMode::Standard:
        return 173;
    case LedMode::Respiration:
        return 93;
    default:
        return 203;
    }
}

} // namespace

Rect lightingBoxRect(LightingBox box) {
    switch (box) {
    case LightingBox::Mode:
        return {766, 329, 851, 344};
    case LightingBox::Parameter:
        return {766, 359, 851, 374};
    case LightingBox::Effect:
        break;
    }
    return {767, 390, 851, 404};
}

Rect lightingListRect(LightingBox box, std::uint8_t ledMode) {
    switch (box) {
    case LightingBox::Mode:
        return {766, 347, 851, 407};
    case LightingBox::Parameter:
        return {766, 377, 851, 374 + parameterListHeight(ledMode)};
    case LightingBox::Effect:
        break;
    }
    return {766, 407, 851, 447};
}

LightingArea::LightingArea(SettingsRecord& record, const StringTable& strings)
    : record_(record), strings_(strings) {}

void LightingArea::pressBox(LightingBox box) {
    if (open_ == box) {
        open_.reset();
        return;
    }
    open_.reset();
    // Standard always has effect 1, so its Effect box has no list.
    if (box == LightingBox::Effect && effectChoices(record_.ledMode).empty()) {
        return;
    }
    open_ = box;
}

void LightingArea::choose(LightingBox box, std::size_t index) {
    if (open_ != box) {
        return;
    }
    switch (box) {
    case LightingBox::Mode:
        chooseLedMode(record_, index);
        break;
    case LightingBox::Parameter:
        chooseLedParameter(record_, index);
        break;
    case LightingBox::Effect:
        chooseLedEffect(record_, index);
        break;
    }
    open_.reset();
}

bool LightingArea::openListContains(int x, int y) const {
    return open_ && (lightingBoxRect(*open_).contains(x, y) ||
                     lightingListRect(*open_, record_.ledMode).contains(x, y));
}

Scene LightingArea::scene() const {
    Scene s;
    s.text(strings_.text(StringId::DpiEffect), kHeadingRect, TextAlign::Centre);
    s.text(strings_.text(StringId::LightingMode), kModeLabelRect, TextAlign::Right);
    s.text(strings_.text(StringId::LightingParameter), kParameterLabelRect, TextAlign::Right);
    s.text(strings_.text(StringId::LightingEffect), kEffectLabelRect, TextAlign::Right);
    const Rect mode = lightingBoxRect(LightingBox::Mode);
    const Rect parameter = lightingBoxRect(LightingBox::Parameter);
    s.image(u"/dropdownbox.png", mode);
    s.image(u"/dropdownbox.png", parameter);

    const LightingTexts texts = lightingTexts(strings_, record_);
    s.controls.push_back(staticControl(kModeTextId, kModeTextRect, texts.mode, TextAlign::Centre));
    // With the lights off only the Mode box exists; a mode choice brings the other two.
    if (record_.ledMode != 0) {
        s.controls.push_back(staticControl(kParameterTextId, kParameterTextRect, texts.parameter,
                                           TextAlign::Centre));
        s.controls.push_back(
            staticControl(kEffectTextId, kEffectTextRect, texts.effect, TextAlign::Centre));
    }
    if (open_) {
        int id = kModeListId;
        std::vector<std::u16string> items;
        switch (*open_) {
        case LightingBox::Mode:
            for (std::uint8_t m = 1; m <= 3; ++m) {
                items.emplace_back(modeName(strings_, m));
            }
            break;
        case LightingBox::Parameter:
            id = kParameterListId;
            for (const auto text : parameterList(record_.ledMode)) {
                items.emplace_back(text);
            }
            break;
        case LightingBox::Effect:
            id = kEffectListId;
            for (const auto effect : effectChoices(record_.ledMode)) {
                items.emplace_back(effectName(strings_, effect));
            }
            break;
        }
        s.controls.push_back(listControl(id, lightingListRect(*open_, record_.ledMode),
                                         std::move(items), std::nullopt));
    }
    return s;
}

} // namespace qor
