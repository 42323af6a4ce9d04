// The palettes' colours measured: contrast with the ground (WCAG 2.2 relative luminance),
// and how far apart the chalk colours stay for the three dichromacies, simulated with
// Machado, Oliveira and Fernandes's matrices (2009, severity 1) in linear RGB and measured
// as CIEDE2000 distances. A draw list in a palette uses only the palette's colours.
#include "draw/DrawList.h"
#include "draw/Palette.h"
#include "draw/StrokeRaster.h"
#include "form/QBColor.h"
#include "form/Roles.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <set>
#include <string>

using namespace pr;
using look::Palette;

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;

double linear(int c)
{
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

Vec linearRgb(Rgb c) { return {linear((c >> 16) & 255), linear((c >> 8) & 255), linear(c & 255)}; }

double luminance(const Vec &v) { return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2]; }

double contrast(Rgb a, Rgb b)
{
    const double la = luminance(linearRgb(a)), lb = luminance(linearRgb(b));
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const Mat kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
const Mat kProtan{{{0.152286, 1.052583, -0.204868},
                   {0.114503, 0.786281, 0.099216},
                   {-0.003882, -0.048116, 1.051998}}};
const Mat kDeutan{{{0.367322, 0.860646, -0.227968},
                   {0.280085, 0.672501, 0.047413},
                   {-0.011820, 0.042940, 0.968881}}};
const Mat kTritan{{{1.255528, -0.076749, -0.178779},
                   {-0.078411, 0.930809, 0.147602},
                   {0.004733, 0.691367, 0.303900}}};

// CIELAB (D65) of a linear RGB colour, cut to the gamut as a screen would show it.
Vec lab(const Mat &view, const Vec &c)
{
    Vec v{};
    for (int i = 0; i < 3; ++i)
        v[i] = std::clamp(view[i][0] * c[0] + view[i][1] * c[1] + view[i][2] * c[2], 0.0, 1.0);
    const double x = (0.4124564 * v[0] + 0.3575761 * v[1] + 0.1804375 * v[2]) / 0.95047;
    const double y = 0.2126729 * v[0] + 0.7151522 * v[1] + 0.0721750 * v[2];
    const double z = (0.0193339 * v[0] + 0.1191920 * v[1] + 0.9503041 * v[2]) / 1.08883;
    const auto f = [](double t) {
        return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
    };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double deg(double r) { return r * 180 / std::numbers::pi; }
double rad(double d) { return d * std::numbers::pi / 180; }

double ciede2000(const Vec &p, const Vec &q)
{
    const double c1 = std::hypot(p[1], p[2]), c2 = std::hypot(q[1], q[2]);
    const double cb7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(cb7 / (cb7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * p[1], a2 = (1 + g) * q[1];
    const double c1p = std::hypot(a1, p[2]), c2p = std::hypot(a2, q[2]);
    const auto hue = [](double b, double a) {
        const double h = deg(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(p[2], a1), h2 = hue(q[2], a2);
    double dh = 0, hb = h1 + h2;
    if (c1p * c2p != 0) {
        dh = h2 - h1;
        dh += dh > 180 ? -360 : dh < -180 ? 360 : 0;
        hb = std::abs(h1 - h2) <= 180 ? (h1 + h2) / 2
             : h1 + h2 < 360         ? (h1 + h2 + 360) / 2
                                     : (h1 + h2 - 360) / 2;
    }
    const double dL = q[0] - p[0], dC = c2p - c1p;
    const double dH = 2 * std::sqrt(c1p * c2p) * std::sin(rad(dh / 2));
    const double lb = (p[0] + q[0]) / 2, cbp = (c1p + c2p) / 2;
    const double t = 1 - 0.17 * std::cos(rad(hb - 30)) + 0.24 * std::cos(rad(2 * hb)) +
                     0.32 * std::cos(rad(3 * hb + 6)) - 0.20 * std::cos(rad(4 * hb - 63));
    const double cbp7 = std::pow(cbp, 7);
    const double rc = 2 * std::sqrt(cbp7 / (cbp7 + std::pow(25.0, 7)));
    const double rt = -std::sin(rad(60 * std::exp(-std::pow((hb - 275) / 25, 2)))) * rc;
    const double sl = 1 + 0.015 * (lb - 50) * (lb - 50) / std::sqrt(20 + (lb - 50) * (lb - 50));
    const double sc = 1 + 0.045 * cbp, sh = 1 + 0.015 * cbp * t;
    return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) +
                     rt * (dC / sc) * (dH / sh));
}

Rgb in(Palette p, const look::PaletteEntry &e)
{
    return p == Palette::Lesson ? e.lesson : p == Palette::ColourSafe ? e.colourSafe : e.paper;
}

// The lesson's lines and pens: white, yellow, red, light magenta, blue.
const std::array<Rgb, 5> kChalk{kWhite, kYellow, kRed, rgb(255, 0, 255), rgb(0, 0, 255)};

// The nearest two chalk colours in a view of a palette.
double nearest(Palette p, const Mat &view)
{
    double least = 1e9;
    for (std::size_t i = 0; i < kChalk.size(); ++i)
        for (std::size_t j = i + 1; j < kChalk.size(); ++j)
            least = std::min(least, ciede2000(lab(view, linearRgb(look::paint(p, kChalk[i]))),
                                              lab(view, linearRgb(look::paint(p, kChalk[j])))));
    return least;
}

} // namespace

TEST_CASE("every colour but the ground's has 3 : 1 against it in the colour-safe palette")
{
    const Rgb ground = look::paint(Palette::ColourSafe, kGreen);
    for (const look::PaletteEntry &e : look::paletteEntries()) {
        if (e.lesson == kGreen)
            continue;
        INFO(e.role);
        CHECK(contrast(e.colourSafe, ground) >= 3.0);
    }
    // White letters on the blue behind a clickable label: large bold text, 3 : 1.
    CHECK(contrast(kWhite, look::paint(Palette::ColourSafe, QBColor(kClickableColour))) >= 3.0);
    // The lesson's own red does not reach it: the reason for the palette.
    CHECK(contrast(kRed, kGreen) < 1.5);
}

TEST_CASE("the paper's lines and letters have 3 : 1 against white and stay dark in grey")
{
    const Rgb paper = look::paint(Palette::Paper, kGreen);
    CHECK(paper == kWhite);
    for (const Rgb c : kChalk) {
        INFO(c);
        CHECK(contrast(look::paint(Palette::Paper, c), paper) >= 3.0);
    }
    const Rgb behindClickable = look::paint(Palette::Paper, QBColor(kClickableColour));
    CHECK(contrast(look::paint(Palette::Paper, kWhite), behindClickable) >= 4.5);
}

TEST_CASE("the chalk colours stay apart in simulated protan, deutan and tritan views")
{
    // A CIEDE2000 distance of 10 is a difference seen at a glance; the lesson's own colours
    // come to 10.3 at their nearest (white and yellow, tritan) and 13.5 (magenta and blue,
    // protan).
    struct View {
        const char *name;
        const Mat *matrix;
    };
    const View views[] = {{"trichromat", &kIdentity}, {"protan", &kProtan},
                          {"deutan", &kDeutan},       {"tritan", &kTritan}};
    for (const Palette p : {Palette::ColourSafe, Palette::Paper})
        for (const View &v : views) {
            INFO(int(p), " ", v.name);
            CHECK(nearest(p, *v.matrix) >= 12.0);
        }
    CHECK(nearest(Palette::Lesson, kTritan) < 12.0);
}

TEST_CASE("a draw list in a palette uses only that palette's colours on the surface")
{
    Lesson lesson = loadedLesson();
    std::vector<DrawList> lists[3];
    const auto shoot = [&] {
        for (const Palette p : {Palette::Lesson, Palette::ColourSafe, Palette::Paper})
            lists[int(p)].push_back(DrawList::build(lesson.form, p));
    };
    shoot();
    const Line &copy = lesson.form.Line2[kCopyOfL];
    lesson.press(1, 0, (copy.X1 + copy.X2) / 2, (copy.Y1 + copy.Y2) / 2); // held: magenta
    shoot();
    lesson.release(1, 0, (copy.X1 + copy.X2) / 2 + 40, (copy.Y1 + copy.Y2) / 2);
    lesson.clickCommand(4); // clickable labels on blue
    clickPointLabel(lesson, kPointA);
    clickPointLabel(lesson, kPointBPrime);
    shoot();
    lesson.clickCommand(3);
    lesson.clickOption(kThickEraser);
    lesson.move(0, 0, 300, 300); // the eraser's outline
    shoot();

    for (const Palette p : {Palette::Lesson, Palette::ColourSafe, Palette::Paper}) {
        std::set<Rgb> allowed;
        for (const look::PaletteEntry &e : look::paletteEntries())
            allowed.insert(in(p, e));
        for (const DrawList &list : lists[int(p)])
            for (std::size_t i = 0; i < list.items.size(); ++i) {
                const DrawItem &d = list.items[i];
                if (d.kind == DrawKind::None || (i > 0 && i < DrawList::kFirstElement))
                    continue;
                INFO(int(p), " slot ", i);
                CHECK(allowed.count(d.colour) == 1);
                if (d.kind == DrawKind::Text || d.kind == DrawKind::Image)
                    CHECK(allowed.count(d.back) == 1);
            }
        // The frame is the window's, the same in every palette.
        CHECK(lists[int(p)][0].items[1] == lists[0][0].items[1]);
    }
}

TEST_CASE("the stroke raster paints again in a new palette and keeps the strokes' colours")
{
    StrokeRaster raster;
    Lesson lesson = loadedLesson(&raster);
    raster.setSource(&lesson.strokes());
    lesson.clickCommand(3);
    lesson.press(1, 0, 100, 100);
    lesson.move(1, 0, 200, 150);
    lesson.release(1, 0, 200, 150);
    raster.take();

    raster.setPalette(Palette::ColourSafe);
    const std::vector<RasterOp> safe = raster.take();
    REQUIRE(safe.size() >= 2);
    CHECK(safe.front().kind == RasterOp::Kind::Make);
    CHECK(safe.front().colour == look::paint(Palette::ColourSafe, kGreen));
    CHECK(safe.back().colour == look::paint(Palette::ColourSafe, kRed));
    CHECK(raster.background() == kGreen);
    CHECK(lesson.strokes().back().colour == kRed);

    raster.setPalette(Palette::ColourSafe);
    CHECK(raster.take().empty());
    raster.setPalette(Palette::Lesson);
    CHECK(raster.take().back().colour == kRed);
}
