#pragma once
#include "form/FontRole.h"
#include "form/Image.h"
#include "form/Rgb.h"

#include <cstdint>

// How the form's controls and elements look, decided once for every front end: fonts by
// role, stroke widths, the eraser outline and the surface's sunken border. The geometry
// stays in the form; this is only style. Sizes are logical pixels at form scale 1.
namespace pr::look {

enum class Face : std::uint8_t {
    Gothic, // a proportional Japanese gothic (sans) face
    Mincho, // a proportional Japanese mincho (serif) face
    Italic, // the line letters' Latin italic serif face (P052 Italic, which has U+2113 ℓ)
};

struct TextStyle {
    Face face = Face::Gothic;
    int pixelSize = 12;
    bool bold = false;

    bool operator==(const TextStyle &) const = default;
};

// The face, size and weight of a role; the design's point sizes at 96 dpi.
constexpr TextStyle textStyle(FontRole role)
{
    switch (role) {
    case FontRole::Gothic16: // 12 pt
        return {Face::Gothic, 16, false};
    case FontRole::Gothic32B: // 24 pt bold
        return {Face::Gothic, 32, true};
    case FontRole::Mincho29B: // 21.75 pt bold
        return {Face::Mincho, 29, true};
    case FontRole::Default: // 9 pt
        break;
    }
    return {Face::Gothic, 12, false};
}

// The line letters ℓ, m, p, q, r. Each is a bitmap of the form (white on the surface green,
// shown at its natural size) and, for a front end that has the italic face, the same glyph as
// an outline: `text` in kLetterStyle with its pen origin on the baseline at (originX,
// baselineY) logical pixels from the box's top-left corner. Those places are the bitmaps'
// own, fitted to their ink to an eighth of a pixel: about the glyph centred by its advance
// across the box, its baseline 7.5 pixels below the box's middle.
struct LetterGlyph {
    const char *text; // UTF-8
    float originX, baselineY;
};

inline constexpr TextStyle kLetterStyle{Face::Italic, 34, false};
inline constexpr Rgb kLetterInk = rgb(255, 255, 255);
inline constexpr Rgb kLetterBack = rgb(0, 128, 0); // the bitmaps' green, the surface's own

constexpr LetterGlyph letterGlyph(ImageId id)
{
    switch (id) {
    case ImageId::LetterL: // 24 x 34, advance 17
        return {"\xE2\x84\x93", 3.0f, 23.625f}; // ℓ U+2113
    case ImageId::LetterM: // 35 x 24, advance 26
        return {"m", 4.0f, 19.125f};
    case ImageId::LetterP: // 24 x 34, advance 17
        return {"p", 3.0f, 24.0f};
    case ImageId::LetterQ: // 24 x 31, advance 16
        return {"q", 4.0f, 23.125f};
    case ImageId::LetterR: // 24 x 27, advance 13
        return {"r", 5.0f, 21.25f};
    }
    return {"", 0, 0};
}

// Stroke width of a line or outline for its design attribute. The design widths (4 for the
// figure's lines, 2 for the marks, 3 for the cursor) read well on the green at their own
// size, so they are used as logical pixels.
constexpr float strokeWidth(int borderWidth) { return borderWidth < 1 ? 1.0f : float(borderWidth); }

// The eraser cursor: an outline of this colour drawn inside its box, so that the box is the
// eraser's footprint.
inline constexpr Rgb kEraserOutline = rgb(0, 0, 0);

// The surface's 2-pixel sunken frame, as a classic picture box has: outer ring dark at the
// top and left, light at the bottom and right; inner ring the same a shade nearer.
inline constexpr Rgb kBorderOuterShadow = rgb(128, 128, 128);
inline constexpr Rgb kBorderOuterLight = rgb(255, 255, 255);
inline constexpr Rgb kBorderInnerShadow = rgb(64, 64, 64);
inline constexpr Rgb kBorderInnerLight = rgb(212, 208, 200);

} // namespace pr::look
