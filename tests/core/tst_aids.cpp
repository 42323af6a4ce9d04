// The aids over the figure: what 比を表示 measures and writes, which triangles 相似な三角形
// shades, against values worked out by hand for the one layout the figure has.
#include "board/BoardFile.h"
#include "draw/Aids.h"
#include "draw/StrokeRaster.h"
#include "figure/Measures.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace pr;

namespace {

// The copy of ℓ slid from the initial screen until its top end is at x1, and let go.
Lesson slidTo(double x1)
{
    Lesson l = loadedLesson();
    l.press(1, 0, 300, 300);
    l.move(1, 0, 300 + (x1 - 400), 300);
    l.release(1, 0, 300 + (x1 - 400), 300);
    return l;
}

std::vector<std::string> texts(const Form1 &f)
{
    std::vector<std::string> out;
    for (const DrawItem &d : DrawList::build(f).items)
        if (d.kind == DrawKind::Text && d.text == aids::kTextStyle)
            out.push_back(d.caption);
    return out;
}

} // namespace

TEST_CASE("lengths and ratios as worked out by hand: ℓ, m, and the copy on its way to Ａ'")
{
    // ℓ runs from (400, 150) to (150, 550), m from (470, 150) to (550, 550); p, q, r at y 250,
    // 350, 500: AB = √(62.5² + 100²), A'B' = √(20² + 100²), EB' = 635 − x1, FC' = 758.75 − x1.
    const struct {
        double x1;
        double ebp, fcp;
        const char *ratio;
    } cases[] = {{400, 23.5, 35.875, nullptr}, {460, 17.5, 29.875, "1 : 1.7"},
                 {552.5, 8.25, 20.625, "2 : 5"}, {600, 3.5, 15.875, "1 : 4.5"}};
    for (const auto &c : cases) {
        CAPTURE(c.x1);
        Lesson l = slidTo(c.x1);
        const figure::Measures m = figure::measure(l.form);
        CHECK(m.ab == doctest::Approx(std::hypot(62.5, 100) / 10));
        CHECK(m.bc == doctest::Approx(std::hypot(93.75, 150) / 10));
        CHECK(m.apbp == doctest::Approx(std::hypot(20, 100) / 10));
        CHECK(m.bpcp == doctest::Approx(std::hypot(30, 150) / 10));
        CHECK(m.de == doctest::Approx(m.ab));
        CHECK(m.ef == doctest::Approx(m.bc));
        CHECK(m.ebp == doctest::Approx(c.ebp));
        CHECK(m.fcp == doctest::Approx(c.fcp));
        CHECK(m.copyMoved == (c.x1 != 400));

        l.setAids({true, false});
        const std::vector<std::string> shown = texts(l.form);
        const auto has = [&](const std::string &s) {
            return std::find(shown.begin(), shown.end(), s) != shown.end();
        };
        CHECK(has("AB : BC = 2 : 3"));
        CHECK(has("A'B' : B'C' = 2 : 3"));
        CHECK(has("11.8"));
        CHECK(has("FC' = " + figure::lengthText(c.fcp)) == (c.ratio != nullptr));
        if (c.ratio)
            CHECK(has(std::string("EB' : FC' = ") + c.ratio));
        else
            CHECK(shown.size() == 6); // the copy on ℓ: nothing of it yet
    }
    CHECK(figure::lengthText(8.25) == "8.3");
    CHECK(figure::ratioText(2, 3.01) == "2 : 3");   // within 0.5 %
    CHECK(figure::ratioText(2, 3.03) == "1 : 1.5"); // not
    CHECK(figure::ratioText(0, 3) == "–");
}

TEST_CASE("the similar triangles: through Ａ', then with Ｇ, and none elsewhere")
{
    using figure::Point;
    const auto near = [](const Point &a, Point b) {
        return std::fabs(a.x - b.x) < 1e-3 && std::fabs(a.y - b.y) < 1e-3;
    };
    CHECK(figure::similarTriangles(slidTo(460).form).empty());
    CHECK(figure::similarTriangles(loadedLesson().form).empty());

    Lesson through = slidTo(552.5);
    REQUIRE(!through.form.Label3[kPointD].Visible);
    const std::vector<figure::Triangle> copy = figure::similarTriangles(through.form);
    REQUIRE(copy.size() == 2);
    CHECK(near(copy[0][0], {490, 250}));
    CHECK(near(copy[0][1], {427.5, 350}));
    CHECK(near(copy[0][2], {510, 350}));
    CHECK(near(copy[1][1], {333.75, 500}));
    CHECK(near(copy[1][2], {540, 500}));

    // Both prolongations, each pressed and let go above p.
    Lesson g = loadedLesson();
    g.press(1, 0, 300, 200);
    g.release(1, 0, 300, 200);
    CHECK(figure::similarTriangles(g.form).empty()); // one prolongation is no triangle
    g.press(1, 0, 480, 200);
    g.release(1, 0, 480, 200);
    const std::vector<figure::Triangle> nested = figure::similarTriangles(g.form);
    REQUIRE(nested.size() == 3);
    const Point corner = figure::crossingG(); // ℓ and m produced: 400 + 0.625 s = 470 − 0.2 s
    CHECK(corner.x == doctest::Approx(400 + 0.625 * 70 / 0.825));
    CHECK(corner.y == doctest::Approx(150 - 70 / 0.825));
    for (const figure::Triangle &t : nested)
        CHECK(near(t[0], corner));
    CHECK(near(nested[2][1], {181.25, 500}));
    CHECK(near(nested[2][2], {540, 500}));
    // Ｇ's label stands beside its corner, not on it.
    const Label &label = g.form.Label3[kPointG];
    CHECK((corner.x < label.Left || corner.y < label.Top));

    g.setAids({false, true});
    int fills = 0, marks = 0;
    for (const DrawItem &d : DrawList::build(g.form).items) {
        fills += d.kind == DrawKind::Triangle && d.alpha < 255;
        marks += d.kind == DrawKind::Arc;
    }
    CHECK(fills == 3);
    CHECK(marks == 9);
}

TEST_CASE("the aids' texts never cover a point label or a line, wherever the copy is")
{
    for (double x1 = 250; x1 <= 800; x1 += 12.5) {
        CAPTURE(x1);
        Lesson l = slidTo(x1);
        l.setAids({true, true});
        const DrawList list = DrawList::build(l.form);
        std::vector<Box> labels;
        for (const Label &label : l.form.Label2)
            labels.push_back({label.Left, label.Top, label.Width, label.Height});
        for (int i = kPointD; i <= kPointF; ++i)
            if (l.form.Label3[i].Visible)
                labels.push_back({l.form.Label3[i].Left, l.form.Label3[i].Top,
                                  l.form.Label3[i].Width, l.form.Label3[i].Height});
        // The figure's lines, which stay put; the copy passes beneath the texts on its way.
        std::vector<DrawItem> lines;
        const std::size_t copy = DrawList::slotOf(ElementKind::Line2, kCopyOfL);
        for (std::size_t i = 0; i < list.items.size(); ++i)
            if (list.items[i].kind == DrawKind::Segment && i != copy)
                lines.push_back(list.items[i]);
        const figure::Measures m = figure::measure(l.form);
        const std::vector<double> copySides = {(m.copy[0].x + m.copy[1].x) / 2 - 14,
                                    (m.copy[1].x + m.copy[2].x) / 2 - 14};
        for (const DrawItem &d : list.items) {
            if (d.kind != DrawKind::Text || d.text != aids::kTextStyle)
                continue;
            CAPTURE(d.caption);
            for (const Box &b : labels)
                CHECK_FALSE(d.box.intersects(b));
            // A text's ground would hide the part of a line (or arrowhead) beneath it; the
            // copy's own lengths go with it, over whatever it passes.
            const bool besideCopy = std::any_of(
                copySides.begin(), copySides.end(),
                [&](double x) { return std::fabs(d.box.right() - x) < 0.01; });
            for (const DrawItem &s : lines) {
                if (besideCopy)
                    break;
                const Box reach = d.box.grown(s.width / 2.0);
                double ax = s.x1, ay = s.y1, bx = s.x2, by = s.y2;
                CHECK_FALSE(clipSegment(ax, ay, bx, by, reach.x, reach.y, reach.w, reach.h));
            }
        }
    }
}

TEST_CASE("a board keeps its aids; without them it is written as before")
{
    Lesson l = slidTo(552.5);
    const std::string plain = BoardFile::write(l.board());
    CHECK(plain.find("\"version\": 1,") != std::string::npos);
    CHECK(plain.find("aids") == std::string::npos);
    const std::uint64_t before = l.revision();
    l.setAids({true, true});
    CHECK(l.revision() > before); // kept again
    // No step of its own: an undo takes back the slide and leaves the aids.
    REQUIRE(l.undo());
    CHECK(l.form.aids == Form1::Aids{true, true});
    CHECK(l.form.Line2[kCopyOfL].X1 == 400);
    REQUIRE(l.redo());
    const std::string text = BoardFile::write(l.board());
    CHECK(text.find("\"aids\": {\"ratios\": true, \"triangles\": true}") != std::string::npos);
    const BoardFile::Result r = BoardFile::read(text);
    REQUIRE(r.ok());
    Lesson other = loadedLesson();
    REQUIRE(other.openBoard(r.board).code == BoardError::None);
    CHECK(other.form.aids == Form1::Aids{true, true});
    CHECK(BoardFile::read(plain).board.ratios == false);
}
