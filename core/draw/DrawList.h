#pragma once
#include "Look.h"
#include "Palette.h"
#include "form/Image.h"
#include "form/Rgb.h"
#include "form/Stacking.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pr {

struct Form1;

// A rectangle in logical surface pixels (origin at the surface's inner top-left corner,
// y down). Empty when either side is not positive.
struct Box {
    double x = 0, y = 0, w = 0, h = 0;

    bool isEmpty() const { return !(w > 0 && h > 0); }
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    // The smallest box holding both; an empty box adds nothing.
    Box united(const Box &o) const;
    Box intersected(const Box &o) const;
    bool intersects(const Box &o) const { return !intersected(o).isEmpty(); }
    Box grown(double by) const { return {x - by, y - by, w + 2 * by, h + 2 * by}; }
    bool operator==(const Box &) const = default;
};

enum class DrawKind : std::uint8_t {
    None,        // an element that shows nothing now (a hidden label or cursor)
    StrokeLayer, // the surface's own layer of freehand strokes, in `colour` where blank
    Fill,        // box filled with colour
    Segment,     // line (x1, y1)-(x2, y2), `width` wide, in colour; round ends if roundEnds
    Text,        // box filled with `back`, then `caption` in colour from its top-left, clipped
    Image,       // a line letter: bitmap `image` scaled into box; or, where the face of
                 // `text` is installed, box filled with `back` and then the glyph `caption`
                 // in colour with its pen origin on the baseline at (x1, y1)
    Outline,     // rectangle outline `width` thick drawn inside box, in colour
    Triangle,    // the triangle (x1, y1), (x2, y2), (x3, y3) filled with colour at `alpha`
    Arc,         // an arc about (x1, y1) of radius box.w, from angle x2 through y2 more
                 // (degrees, counter-clockwise on screen), `width` wide, in colour
};

// One drawing primitive. Coordinates are logical surface pixels. A front end draws a letter
// (Image) as vectors from its outline where it has the italic face (look::kLetterStyle) and
// falls back on the bitmap where it has not; both cover the same box.
struct DrawItem {
    DrawKind kind = DrawKind::None;
    bool clipped = false; // cut to DrawList::clip (the inner area); else to DrawList::outer
    bool roundEnds = false;
    Rgb colour = 0;
    Rgb back = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    std::uint8_t alpha = 255; // of a Triangle's fill; every other kind is opaque
    Box box;
    float width = 0;
    look::TextStyle text;
    std::string caption; // UTF-8
    ImageId image = ImageId::LetterL;

    // Area the item covers, grown by a pixel against rounding; empty if it shows nothing.
    Box bounds() const;
    bool operator==(const DrawItem &) const = default;
};

// What the surface shows, back to front: the stroke layer, the sunken border, every element
// in stacking order with the aids' translucent triangles between the point labels and
// letters and the figure's lines, then the aids' lengths, ratios and angle marks. Each element has its own slot, a None item while it shows
// nothing, so two lists of the same form compare slot by slot.
class DrawList {
public:
    // The surface's own colours (layer, elements) in `palette`; the frame keeps its own.
    static DrawList build(const Form1 &form, look::Palette palette = look::Palette::Lesson);

    std::vector<DrawItem> items;
    Box outer; // the surface with its border: (-2, -2) to (791, 639)
    Box clip;  // the inner area elements and strokes are cut to: (0, 0) to (789, 637)

    // Index of the first element slot (after the stroke layer and the border); the aids'
    // triangles take kTriangleSlots slots from kFirstTriangle, after the backmost
    // kElementsBeneathTriangles elements (the point labels and the letters).
    static constexpr std::size_t kFrameEnd = 9, kFirstElement = kFrameEnd;
    static constexpr std::size_t kElementsBeneathTriangles = 14, kTriangleSlots = 3;
    static constexpr std::size_t kFirstTriangle = kFirstElement + kElementsBeneathTriangles;
    // The slot of an element (kStackingFrontToBack's), or 0 for none.
    static std::size_t slotOf(ElementKind kind, int index);

    // The area to repaint when `before` was shown and `after` is to be: the old and new
    // extent of every slot that differs, cut to the outer box; empty if nothing changed.
    static Box changedArea(const DrawList &before, const DrawList &after);
    // The same area as a few boxes, so that changes far apart (a text below the figure, the
    // copy of ℓ above it) do not repaint all between them: each differing slot's old and new
    // extent, joined where joining adds little to repaint. Their union is changedArea's.
    static std::vector<Box> changedAreas(const DrawList &before, const DrawList &after);
};

} // namespace pr
