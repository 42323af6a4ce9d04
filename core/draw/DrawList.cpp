#include "DrawList.h"

#include "Aids.h"
#include "form/Form1.h"
#include "form/Stacking.h"

#include <algorithm>

namespace pr {

Box Box::united(const Box &o) const
{
    if (o.isEmpty())
        return *this;
    if (isEmpty())
        return o;
    const double l = std::min(x, o.x), t = std::min(y, o.y);
    return {l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
}

Box Box::intersected(const Box &o) const
{
    const double l = std::max(x, o.x), t = std::max(y, o.y);
    const double r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    if (!(r > l && b > t))
        return {};
    return {l, t, r - l, b - t};
}

Box DrawItem::bounds() const
{
    switch (kind) {
    case DrawKind::None:
        return {};
    case DrawKind::StrokeLayer:
    case DrawKind::Fill:
        return box;
    case DrawKind::Segment: {
        const double grow = double(width) / 2 + 1;
        const double l = std::min(x1, x2), t = std::min(y1, y2);
        const double w = std::max(x1, x2) - l, h = std::max(y1, y2) - t;
        return Box{l, t, w, h}.grown(grow);
    }
    case DrawKind::Text:
    case DrawKind::Image:
    case DrawKind::Outline:
        return box.grown(1);
    case DrawKind::Triangle: {
        const double l = std::min({x1, x2, x3}), t = std::min({y1, y2, y3});
        return Box{l, t, std::max({x1, x2, x3}) - l, std::max({y1, y2, y3}) - t}.grown(1);
    }
    case DrawKind::Arc:
        return Box{x1 - box.w, y1 - box.w, 2 * box.w, 2 * box.w}.grown(double(width) / 2 + 1);
    }
    return {};
}

namespace {

DrawItem fill(Box box, Rgb colour)
{
    DrawItem d;
    d.kind = DrawKind::Fill;
    d.box = box;
    d.colour = colour;
    return d;
}

DrawItem segment(const Line &l)
{
    DrawItem d;
    d.kind = DrawKind::Segment;
    d.clipped = true;
    d.roundEnds = true; // so that a line of zero length (a construction line after its first
                        // click) shows as a dot
    d.colour = l.BorderColor;
    d.x1 = l.X1;
    d.y1 = l.Y1;
    d.x2 = l.X2;
    d.y2 = l.Y2;
    d.width = look::strokeWidth(l.BorderWidth);
    return d;
}

DrawItem text(const Label &l)
{
    DrawItem d;
    if (!l.Visible)
        return d;
    d.kind = DrawKind::Text;
    d.clipped = true;
    d.box = {l.Left, l.Top, l.Width, l.Height};
    d.colour = l.ForeColor;
    d.back = l.BackColor;
    d.text = look::textStyle(l.Font);
    d.caption = l.Caption;
    return d;
}

DrawItem image(const Image &i)
{
    DrawItem d;
    d.kind = DrawKind::Image;
    d.clipped = true;
    d.box = {i.Left, i.Top, i.Width, i.Height};
    d.image = i.Picture;
    const look::LetterGlyph glyph = look::letterGlyph(i.Picture);
    d.caption = glyph.text;
    d.text = look::kLetterStyle;
    d.colour = look::kLetterInk;
    d.back = look::kLetterBack;
    d.x1 = i.Left + glyph.originX;
    d.y1 = i.Top + glyph.baselineY;
    return d;
}

DrawItem outline(const Shape &s)
{
    DrawItem d;
    if (!s.Visible)
        return d;
    d.kind = DrawKind::Outline;
    d.clipped = true;
    d.box = {s.Left, s.Top, s.Width, s.Height};
    d.width = look::strokeWidth(s.BorderWidth);
    d.colour = look::kEraserOutline;
    return d;
}

DrawItem element(const Form1 &f, ElementRef r)
{
    switch (r.kind) {
    case ElementKind::Line1:
        return segment(f.Line1[r.index]);
    case ElementKind::Line2:
        return segment(f.Line2[r.index]);
    case ElementKind::Line3:
        return segment(f.Line3[r.index]);
    case ElementKind::Line4:
        return segment(f.Line4[r.index]);
    case ElementKind::Label2:
        return text(f.Label2[r.index]);
    case ElementKind::Label3:
        return text(f.Label3[r.index]);
    case ElementKind::Image1:
        return image(f.Image1[r.index]);
    case ElementKind::Shape1:
        return outline(f.Shape1);
    }
    return {};
}

} // namespace

DrawList DrawList::build(const Form1 &f, look::Palette palette)
{
    constexpr double b = PictureBox::kBorder;
    constexpr double w = PictureBox::kOuterWidth, h = PictureBox::kOuterHeight;
    DrawList list;
    list.outer = {-b, -b, w, h};
    list.clip = {0, 0, PictureBox::kInnerWidth, PictureBox::kInnerHeight};
    list.items.reserve(kFirstElement + kStackingFrontToBack.size() + aids::kSlots);

    DrawItem layer;
    layer.kind = DrawKind::StrokeLayer;
    layer.box = list.outer;
    layer.colour = f.gamen.BackColor;
    list.items.push_back(layer);

    // The sunken frame, one pixel per ring, in outer-box coordinates shifted by the border.
    const double l = -b, t = -b, r = w - b, bo = h - b;
    list.items.push_back(fill({l, t, w, 1}, look::kBorderOuterShadow));
    list.items.push_back(fill({l, t, 1, h}, look::kBorderOuterShadow));
    list.items.push_back(fill({l, bo - 1, w, 1}, look::kBorderOuterLight));
    list.items.push_back(fill({r - 1, t, 1, h}, look::kBorderOuterLight));
    list.items.push_back(fill({l + 1, t + 1, w - 2, 1}, look::kBorderInnerShadow));
    list.items.push_back(fill({l + 1, t + 1, 1, h - 2}, look::kBorderInnerShadow));
    list.items.push_back(fill({l + 1, bo - 2, w - 2, 1}, look::kBorderInnerLight));
    list.items.push_back(fill({r - 2, t + 1, 1, h - 2}, look::kBorderInnerLight));

    for (auto it = kStackingFrontToBack.rbegin(); it != kStackingFrontToBack.rend(); ++it) {
        if (list.items.size() == kFirstTriangle)
            aids::appendTriangles(f, list.items);
        list.items.push_back(element(f, *it));
    }
    aids::appendMarks(f, list.items);
    if (palette != look::Palette::Lesson)
        for (std::size_t i = 0; i < list.items.size(); ++i)
            if (i == 0 || i >= kFrameEnd) {
                DrawItem &d = list.items[i];
                d.colour = look::paint(palette, d.colour);
                d.back = look::paint(palette, d.back);
            }
    return list;
}

// The triangles go beneath the lines and above the point labels and letters, which are the
// backmost elements.
constexpr bool labelsAndLettersBackmost()
{
    const std::size_t n = kStackingFrontToBack.size();
    for (std::size_t back = 0; back < DrawList::kElementsBeneathTriangles; ++back) {
        const ElementRef r = kStackingFrontToBack[n - 1 - back];
        if (r.kind != ElementKind::Image1 && r.kind != ElementKind::Label2 &&
            r.kind != ElementKind::Label3)
            return false;
    }
    return kStackingFrontToBack[n - 1 - DrawList::kElementsBeneathTriangles].kind ==
           ElementKind::Line1;
}
static_assert(labelsAndLettersBackmost());

std::size_t DrawList::slotOf(ElementKind kind, int index)
{
    const std::size_t n = kStackingFrontToBack.size();
    for (std::size_t p = 0; p < n; ++p)
        if (kStackingFrontToBack[p].kind == kind && kStackingFrontToBack[p].index == index) {
            const std::size_t back = n - 1 - p; // 0 for the backmost
            return kFirstElement + back + (back >= kElementsBeneathTriangles ? kTriangleSlots : 0);
        }
    return 0;
}

Box DrawList::changedArea(const DrawList &before, const DrawList &after)
{
    Box dirty;
    for (const Box &b : changedAreas(before, after))
        dirty = dirty.united(b);
    return dirty;
}

std::vector<Box> DrawList::changedAreas(const DrawList &before, const DrawList &after)
{
    if (before.items.size() != after.items.size())
        return {after.outer};
    std::vector<Box> boxes;
    const auto area = [](const Box &b) { return b.isEmpty() ? 0.0 : b.w * b.h; };
    for (std::size_t i = 0; i < after.items.size(); ++i) {
        const DrawItem &a = before.items[i], &b = after.items[i];
        if (a == b)
            continue;
        // A changed background or frame repaints all; it never happens while the form lives.
        if (i < kFrameEnd)
            return {after.outer};
        Box next = a.bounds().united(b.bounds()).intersected(after.outer);
        if (next.isEmpty())
            continue;
        // Joined with any box where the two together cost no more than apart; a join can make
        // a box that meets others, so look again until none joins.
        for (bool joined = true; joined;) {
            joined = false;
            for (std::size_t k = 0; k < boxes.size(); ++k) {
                const Box u = boxes[k].united(next);
                if (area(u) <= area(boxes[k]) + area(next)) {
                    next = u;
                    boxes.erase(boxes.begin() + std::ptrdiff_t(k));
                    joined = true;
                    break;
                }
            }
        }
        boxes.push_back(next);
    }
    return boxes;
}

} // namespace pr
