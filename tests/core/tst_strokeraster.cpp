// What the stroke raster is told to paint: only what changed after an undo, everything at the
// new resolution after a resize, nothing for the undo of a clear; and segments cut to the
// surface however far the pointer went.
#include "draw/StrokeRaster.h"
#include "form/QBColor.h"
#include "lesson/Lesson.h"

#include <doctest/doctest.h>

#include <cmath>

using namespace pr;

namespace {

using K = RasterOp::Kind;

struct Counts {
    int make = 0, keep = 0, swap = 0, fill = 0, segments = 0;
    double filled = 0; // pixels
};

Counts count(const std::vector<RasterOp> &ops)
{
    Counts c;
    for (const RasterOp &op : ops) {
        c.make += op.kind == K::Make;
        c.keep += op.kind == K::Keep;
        c.swap += op.kind == K::Swap;
        c.segments += op.kind == K::Segment;
        if (op.kind == K::Fill) {
            ++c.fill;
            c.filled += op.x2 * op.y2;
        }
    }
    return c;
}

// A lesson writing on a raster at k = 2, as a page at scale 1 on a screen of ratio 2 has.
struct Writing {
    StrokeRaster raster;
    Lesson lesson;
    Writing()
    {
        raster.setGeometry(1586, 1282, 2);
        lesson.form.gamen.setSink(&raster);
        raster.setSource(&lesson.strokes());
        lesson.Form_Load();
        lesson.clickCommand(3); // メモ
        raster.take();
        raster.takeDirty();
    }
    ~Writing() { lesson.form.gamen.setSink(nullptr); }
    void stroke(float x0, float y0, float x1, float y1, int steps = 40)
    {
        lesson.press(1, 0, x0, y0);
        for (int i = 1; i <= steps; ++i)
            lesson.move(1, 0, x0 + (x1 - x0) * float(i) / float(steps),
                        y0 + (y1 - y0) * float(i) / float(steps));
        lesson.release(1, 0, x1, y1);
    }
};

} // namespace

TEST_CASE("an undo repaints only around the stroke it takes away")
{
    Writing b;
    for (int row = 0; row < 10; ++row)
        b.stroke(20, 20 + 40.f * float(row), 760, 30 + 40.f * float(row), 100); // 1000 segments
    b.stroke(600, 500, 700, 600);
    b.raster.take();
    b.raster.takeDirty();
    REQUIRE(b.lesson.undo());
    const Counts c = count(b.raster.take());
    const RasterRect dirty = b.raster.takeDirty();
    CHECK(c.make == 0);
    CHECK(c.fill >= 1);
    // Around the last stroke, 100 x 100 logical pixels at k 2, with the pen and a margin.
    CHECK(c.filled < 240.0 * 240.0);
    CHECK(dirty.w < 240);
    CHECK(dirty.h < 240);
    // The writing beneath it that reaches there is painted again, not all of it.
    CHECK(c.segments < 200);
    REQUIRE(b.lesson.redo());
    CHECK(count(b.raster.take()).segments >= 40);
}

TEST_CASE("the undo of a clear takes back the raster it set aside; a resize paints all afresh")
{
    Writing b;
    b.stroke(100, 100, 300, 300);
    b.stroke(100, 300, 300, 100);
    b.raster.take();
    b.lesson.clearWriting();
    CHECK(count(b.raster.take()).keep == 1);
    CHECK(b.raster.isBlank());
    REQUIRE(b.lesson.undo());
    const Counts back = count(b.raster.take());
    CHECK(back.swap == 1);
    CHECK(back.segments == 0);

    b.raster.setGeometry(3172, 2564, 4); // the window grown to twice the size
    const std::vector<RasterOp> ops = b.raster.take();
    const Counts all = count(ops);
    CHECK(all.make == 1);
    CHECK(all.segments == 80);
    // At the new resolution: surface point 100 is raster pixel (100 + 2) * 4.
    for (const RasterOp &op : ops)
        if (op.kind == K::Segment && op.y1 == doctest::Approx(102 * 4)) {
            CHECK(op.x1 == doctest::Approx(102 * 4));
            CHECK(op.width == doctest::Approx(3 * 4));
        }
    const RasterRect dirty = b.raster.takeDirty();
    CHECK(dirty == RasterRect{0, 0, 3172, 2564});
}

TEST_CASE("segments are cut to the surface, however far the pointer went")
{
    struct Case {
        double ax, ay, bx, by;
        bool inside;
        double cutAx, cutBx; // after the cut, to the box 0..100 x 0..100
    };
    const Case cases[] = {
        {10, 10, 90, 90, true, 10, 90},     {-1e30, 50, 1e30, 50, true, 0, 100},
        {-50, -50, -10, -10, false, 0, 0},  {50, 150, 50, 250, false, 0, 0},
        {50, 50, 50, 50, true, 50, 50},     {-100, 50, 50, 50, true, 0, 50},
    };
    for (const Case &c : cases) {
        double ax = c.ax, ay = c.ay, bx = c.bx, by = c.by;
        CHECK(clipSegment(ax, ay, bx, by, 0, 0, 100, 100) == c.inside);
        if (c.inside) {
            CHECK(ax == doctest::Approx(c.cutAx));
            CHECK(bx == doctest::Approx(c.cutBx));
        }
    }
    // A stroke thrown far off the surface reaches the raster cut, with finite ends.
    StrokeRaster raster;
    raster.drawSegment(100, 100, 3e37f, -3e37f, kRed, 3);
    for (const RasterOp &op : raster.take())
        if (op.kind == K::Segment)
            CHECK((std::isfinite(op.x2) && std::fabs(op.x2) < 2000 && std::fabs(op.y2) < 2000));
}
