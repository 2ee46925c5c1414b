// What a page area or a dialog looks like now, as plain data computed from its model: the
// drawings in painting order and the child controls that must exist. The shell paints the one
// and reconciles the other; it decides nothing.
#pragma once
#include "base/rect.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qor {

enum class TextAlign : std::uint8_t { Left, Centre, Right };
enum class FontRole : std::uint8_t { Title, Text };
// Warning: a value the user should see before going on (a macro that no longer fits).
enum class ColourRole : std::uint8_t { Black, SkinText, White, Warning };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Runs the system's colour dialog; nothing on Cancel.
using ColourPicker = std::function<std::optional<Rgb>()>;

// A skin image ("/Pane.png") with its top-left corner at the area's; the area is what the image
// is laid out to cover, so a partial redraw knows which images lie under it.
struct SceneImage {
    std::u16string_view name;
    Rect area;
    bool operator==(const SceneImage&) const = default;
};

// The area of an image laid out over the whole client (a page background).
inline constexpr Rect kWholeClient{0, 0, 0x7FFF, 0x7FFF};

// A line of text (or a wrapped block), vertically centred in its rectangle, on a transparent
// background.
struct SceneText {
    std::u16string text;
    Rect rect;
    TextAlign align = TextAlign::Left;
    FontRole font = FontRole::Text;
    ColourRole colour = ColourRole::SkinText;
    bool wrap = false;   // broken into lines at word ends, the block centred vertically
    bool bottom = false; // a wrapped block set on the rectangle's bottom (a label over a box)
    bool operator==(const SceneText&) const = default;
};

using SceneDrawing = std::variant<SceneImage, SceneText>;

enum class ControlKind : std::uint8_t { List, Static, Edit };

struct SceneControl {
    ControlKind kind = ControlKind::Static;
    int id = 0;
    Rect rect;
    std::vector<std::u16string> items;   // lists
    std::optional<std::size_t> selected; // lists: the highlighted item
    std::u16string text;                 // statics and edits
    TextAlign align = TextAlign::Left;   // statics and edits
    std::optional<Rgb> fill;             // statics painted in a solid colour
    bool sunken = false;                 // statics with a sunken frame
    bool framed = true;                  // lists with a border
    bool enabled = true;
    bool digitsOnly = false; // edits that take digits only
    bool readOnly = false;   // edits that show what the model puts there, and nothing typed
    bool operator==(const SceneControl&) const = default;
};

// A static text control, and a static painted in one colour.
SceneControl staticControl(int id, const Rect& rect, std::u16string_view text, TextAlign align);
SceneControl colourBox(int id, const Rect& rect, Rgb fill);
// A list with its items and highlighted item; an edit with its text.
SceneControl listControl(int id, const Rect& rect, std::vector<std::u16string> items,
                         std::optional<std::size_t> selected);
SceneControl editControl(int id, const Rect& rect, std::u16string_view text, TextAlign align);

struct Scene {
    std::vector<SceneDrawing> drawings;
    std::vector<SceneControl> controls;

    void image(std::u16string_view name, const Rect& area) {
        drawings.push_back(SceneImage{name, area});
    }
    void text(std::u16string_view text, const Rect& rect, TextAlign align,
              FontRole font = FontRole::Text, ColourRole colour = ColourRole::SkinText) {
        drawings.push_back(SceneText{std::u16string(text), rect, align, font, colour, false});
    }
    void wrappedText(std::u16string_view text, const Rect& rect, TextAlign align,
                     ColourRole colour) {
        drawings.push_back(
            SceneText{std::u16string(text), rect, align, FontRole::Text, colour, true});
    }
    // A label over a box or list: wrapped, its last line on the rectangle's bottom, so that
    // labels of one and of two lines side by side end on the same line.
    void labelAbove(std::u16string_view text, const Rect& rect, TextAlign align) {
        drawings.push_back(SceneText{std::u16string(text), rect, align, FontRole::Text,
                                     ColourRole::SkinText, true, true});
    }
    void append(Scene&& other);
    const SceneControl* control(int id) const;
};

// The colour a text role is drawn in; nothing for the skin's own text colour.
std::optional<Rgb> roleColour(ColourRole role);

bool intersects(const Rect& a, const Rect& b);
// Whether a drawing lies in an area that is redrawn alone (a hover, one changed area): all that
// lies there is drawn again in order, so overlaps come out as a full drawing leaves them.
bool touches(const SceneDrawing& drawing, const Rect& area);

} // namespace qor
