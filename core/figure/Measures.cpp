#include "Measures.h"

#include "form/Form1.h"
#include "form/QBColor.h"

#include <cmath>
#include <numeric>
#include <vector>

namespace pr::figure {

namespace {

// The x where the line through (x1, y1) and (x2, y2) reaches height y.
double xAt(double x1, double y1, double x2, double y2, double y)
{
    return y1 == y2 ? x1 : x1 + (x2 - x1) * (y - y1) / (y2 - y1);
}

std::array<Point, 3> crossings(const Line &line, const std::array<double, 3> &ys)
{
    std::array<Point, 3> out;
    for (std::size_t i = 0; i < 3; ++i)
        out[i] = {xAt(line.X1, line.Y1, line.X2, line.Y2, ys[i]), ys[i]};
    return out;
}

double units(const Point &a, const Point &b)
{
    return std::hypot(a.x - b.x, a.y - b.y) / kPixelsPerUnit;
}

bool shownWhite(const Line &l)
{
    return l.X1 < 999 && l.BorderColor == QBColor(kFigureColour);
}

} // namespace

Measures measure(const Form1 &f)
{
    const std::array<double, 3> ys = {f.Line1[kParallelP].Y1, f.Line1[kParallelQ].Y1,
                                      f.Line1[kParallelR].Y1};
    Measures m;
    m.l = crossings(f.Line1[kTransversalL], ys);
    m.m = crossings(f.Line1[kTransversalM], ys);
    m.copy = crossings(f.Line2[kCopyOfL], ys);
    m.ab = units(m.l[0], m.l[1]);
    m.bc = units(m.l[1], m.l[2]);
    m.apbp = units(m.m[0], m.m[1]);
    m.bpcp = units(m.m[1], m.m[2]);
    m.de = units(m.copy[0], m.copy[1]);
    m.ef = units(m.copy[1], m.copy[2]);
    m.ebp = units(m.copy[1], m.m[1]);
    m.fcp = units(m.copy[2], m.m[2]);
    m.copyMoved = std::fabs(m.copy[0].x - m.l[0].x) > 1e-3;
    return m;
}

Point crossingG()
{
    // ℓ through (400, 150) and (150, 550), m through (470, 150) and (550, 550).
    const double s = (470.0 - 400.0) / (250.0 / 400.0 + 80.0 / 400.0); // height above y 150
    return {400 + 250.0 / 400.0 * s, 150 - s};
}

std::vector<Triangle> similarTriangles(const Form1 &f)
{
    const Measures m = measure(f);
    if (m.copyMoved && !f.Label3[kPointD].Visible)
        return {{m.m[0], m.copy[1], m.m[1]}, {m.m[0], m.copy[2], m.m[2]}};
    if (shownWhite(f.Line2[kProlongationL]) && shownWhite(f.Line2[kProlongationM]) &&
        f.Label3[kPointG].Top >= 0) {
        const Point g = crossingG();
        return {{g, m.l[0], m.m[0]}, {g, m.l[1], m.m[1]}, {g, m.l[2], m.m[2]}};
    }
    return {};
}

std::string ratioText(double a, double b)
{
    if (!(a > 0) || !(b > 0) || !std::isfinite(a) || !std::isfinite(b))
        return "–";
    for (int q = 1; q <= 10; ++q)
        for (int p = 1; p <= 10; ++p)
            if (std::fabs((a / b) / (double(p) / q) - 1) <= 0.005 && std::gcd(p, q) == 1)
                return std::to_string(p) + " : " + std::to_string(q);
    return "1 : " + lengthText(b / a);
}

std::string lengthText(double u)
{
    // Not printf: the decimal point would follow the C locale.
    const long long tenths = std::isfinite(u) ? std::llround(std::fabs(u) * 10) : 0;
    return (u < 0 && tenths ? "-" : "") + std::to_string(tenths / 10) + "." +
           std::to_string(tenths % 10);
}

} // namespace pr::figure
