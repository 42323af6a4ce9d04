#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace pr {
struct Form1;
}

// What the figure measures at a moment, for the aids that show why the ratios are equal:
// the segments the parallels cut from ℓ, m and the copy of ℓ, the copy's distance to m along
// q and r, and the similar triangles the figure shows. Positions are logical surface pixels;
// lengths are in the figure's unit.
namespace pr::figure {

// 10 logical surface pixels: p, q and r are then 10 and 15 apart, whole numbers a pupil can
// check against the ratio 2 : 3.
inline constexpr double kPixelsPerUnit = 10;

struct Point {
    double x = 0, y = 0;
};

struct Measures {
    // Crossings with p, q, r: ℓ (Ａ, Ｂ, Ｃ), m (Ａ', Ｂ', Ｃ'), the copy (Ｄ, Ｅ, Ｆ).
    std::array<Point, 3> l, m, copy;
    double ab = 0, bc = 0;     // on ℓ, in units
    double apbp = 0, bpcp = 0; // on m (Ａ'Ｂ', Ｂ'Ｃ')
    double de = 0, ef = 0;     // on the copy: a translate of ℓ, so AB and BC again
    double ebp = 0, fcp = 0;   // from the copy to m along q (ＥＢ') and r (ＦＣ'), unsigned
    bool copyMoved = false;    // the copy has left ℓ
};
Measures measure(const Form1 &form);

// Where the prolongations of ℓ and m cross: Ｇ's corner, beside which its label stands.
Point crossingG();

// A similar triangle the figure shows: its corners, the shared one first.
using Triangle = std::array<Point, 3>;
// With the copy through Ａ' (Ｄ hidden there, as a slide leaves it): Ａ'ＥＢ' and Ａ'ＦＣ'. With
// both prolongations shown and Ｇ placed: ＧＡＡ', ＧＢＢ' and ＧＣＣ'. Else none; never both
// sets (a reset is the only way from one to the other).
std::vector<Triangle> similarTriangles(const Form1 &form);

// "2 : 3" where a : b lies within 0.5 % of a ratio of whole numbers up to 10 (the smallest),
// else "1 : 2.4" (b over a to one decimal); "–" where a length is zero.
std::string ratioText(double a, double b);
// A length to one decimal, as "11.8".
std::string lengthText(double units);

} // namespace pr::figure
