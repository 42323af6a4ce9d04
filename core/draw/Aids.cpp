#include "Aids.h"

#include "figure/Measures.h"
#include "form/Form1.h"
#include "form/QBColor.h"

#include <cmath>
#include <numbers>
#include <string>

namespace pr::aids {

namespace {

using figure::Point;

// The lesson's own colours, so that the palettes map them: the triangles in turn yellow,
// blue and light magenta; the lengths that never change white, those that follow the copy
// yellow.
constexpr int kFills[kTriangleSlots] = {kPenYellow, kPenBlue, kHeldColour};
constexpr std::uint8_t kFillAlpha = 80;
constexpr double kMarkRadius = 22, kMarkGap = 5;

// The width a caption takes: the gothic's digits and Latin letters are about 0.62 em.
double widthOf(const std::string &s)
{
    double n = 0;
    for (unsigned char c : s)
        n += c < 0x80 ? 0.62 : (c & 0xC0) != 0x80 ? 1.0 : 0.0;
    return n * kTextStyle.pixelSize + 4;
}

DrawItem text(const std::string &caption, double left, double top, int colour)
{
    DrawItem d;
    d.kind = DrawKind::Text;
    d.clipped = true;
    d.caption = caption;
    d.text = kTextStyle;
    d.box = {left, top, widthOf(caption), double(kTextStyle.pixelSize) + 2};
    d.colour = QBColor(colour);
    d.back = kGreen;
    return d;
}

// Beside the segment from a to b: its length, `side` px left (negative) or right of its
// middle, centred on it in height.
DrawItem length(const Point &a, const Point &b, double value, double side, int colour)
{
    const std::string s = figure::lengthText(value);
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const double w = widthOf(s);
    return text(s, side < 0 ? mx + side - w : mx + side, my - (kTextStyle.pixelSize + 2) / 2.0,
                colour);
}

// A distance along a parallel, named, under the parallel right of m's crossing `at`: between
// the copy and m lie the triangles, whose fills a text's ground would hide. Clear of the
// parallel's arrowhead (10 px deep) and of m, which leans 1 px right for every 5 down.
DrawItem along(const std::string &name, const Point &at, double value, int colour)
{
    return text(name + " = " + figure::lengthText(value), at.x + 12, at.y + 14, colour);
}

double angleOf(const Point &from, const Point &to)
{
    // Degrees counter-clockwise on screen, where y runs down.
    return std::atan2(-(to.y - from.y), to.x - from.x) * 180 / std::numbers::pi;
}

// The arc inside the triangle's corner at `at` between the sides towards p and q.
DrawItem arc(const Point &at, const Point &p, const Point &q, double radius, int colour)
{
    double a = angleOf(at, p), b = angleOf(at, q);
    double sweep = b - a;
    while (sweep > 180)
        sweep -= 360;
    while (sweep < -180)
        sweep += 360;
    DrawItem d;
    d.kind = DrawKind::Arc;
    d.clipped = true;
    d.x1 = float(at.x);
    d.y1 = float(at.y);
    d.x2 = float(a);
    d.y2 = float(sweep);
    d.box = {0, 0, radius, radius};
    d.width = 2.5f;
    d.colour = QBColor(colour);
    return d;
}

} // namespace

void appendTriangles(const Form1 &f, std::vector<DrawItem> &items)
{
    const std::vector<figure::Triangle> shown =
        f.aids.triangles ? figure::similarTriangles(f) : std::vector<figure::Triangle>{};
    for (std::size_t i = 0; i < kTriangleSlots; ++i) {
        DrawItem d;
        // The largest first, so that each smaller one lies over it.
        if (i < shown.size()) {
            const figure::Triangle &t = shown[shown.size() - 1 - i];
            d.kind = DrawKind::Triangle;
            d.clipped = true;
            d.x1 = float(t[0].x), d.y1 = float(t[0].y);
            d.x2 = float(t[1].x), d.y2 = float(t[1].y);
            d.x3 = float(t[2].x), d.y3 = float(t[2].y);
            d.colour = QBColor(kFills[shown.size() - 1 - i]);
            d.alpha = kFillAlpha;
        }
        items.push_back(d);
    }
}

void appendMarks(const Form1 &f, std::vector<DrawItem> &items)
{
    const std::size_t start = items.size();
    items.resize(start + kTextSlots + kArcSlots);
    if (f.aids.ratios) {
        const figure::Measures m = figure::measure(f);
        DrawItem *t = &items[start];
        *t++ = length(m.l[0], m.l[1], m.ab, -14, kFigureColour);
        *t++ = length(m.l[1], m.l[2], m.bc, -14, kFigureColour);
        *t++ = length(m.m[0], m.m[1], m.apbp, 14, kFigureColour);
        *t++ = length(m.m[1], m.m[2], m.bpcp, 14, kFigureColour);
        const double row1 = 553, row2 = 595;
        *t++ = text("AB : BC = " + figure::ratioText(m.ab, m.bc), 8, row1, kFigureColour);
        *t++ = text("A'B' : B'C' = " + figure::ratioText(m.apbp, m.bpcp), 470, row1,
                    kFigureColour);
        if (m.copyMoved) {
            // Beside the copy once it has left ℓ, far enough not to sit on AB and BC.
            if (std::fabs(m.copy[0].x - m.l[0].x) >= 75) {
                *t++ = length(m.copy[0], m.copy[1], m.de, -14, kFigureColour);
                *t++ = length(m.copy[1], m.copy[2], m.ef, -14, kFigureColour);
            }
            *t++ = along("EB'", m.m[1], m.ebp, kPenYellow);
            *t++ = along("FC'", m.m[2], m.fcp, kPenYellow);
            *t++ = text("EB' : FC' = " + figure::ratioText(m.ebp, m.fcp), 230, row2, kPenYellow);
        }
    }
    if (f.aids.triangles) {
        // Corresponding angles marked alike: the corner on the second side once, the corner
        // on the third twice (the shared corner needs no mark: it is the same angle).
        DrawItem *a = &items[start + kTextSlots];
        const std::vector<figure::Triangle> shown = figure::similarTriangles(f);
        for (const figure::Triangle &t : shown) {
            *a++ = arc(t[1], t[0], t[2], kMarkRadius, kFigureColour);
            *a++ = arc(t[2], t[0], t[1], kMarkRadius, kFigureColour);
            *a++ = arc(t[2], t[0], t[1], kMarkRadius + kMarkGap, kFigureColour);
        }
    }
}

} // namespace pr::aids
