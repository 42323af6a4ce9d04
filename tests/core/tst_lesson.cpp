// The lesson's entry points, the rules of a user's input: what counts as a click on a point
// label, positions the core cannot use, controls that are disabled, and the pen across a
// reset.
#include "RecordingSink.h"
#include "diagonal/Diagonal.h"
#include "form/QBColor.h"
#include "support/FormInvariants.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>

using namespace pr;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Point {
    double x, y;
};

Point centreOf(const Form1 &f, int label)
{
    const Label &l = f.Label2[label];
    return {l.Left + l.Width / 2.0, l.Top + l.Height / 2.0};
}

// A lesson in diagonal mode, where a click on a point label starts a construction line.
Lesson inDiagonalMode()
{
    Lesson l = loadedLesson();
    l.clickCommand(4);
    REQUIRE(l.form.st.diagonalMode);
    return l;
}

// Whether the first construction line has been started on the point of `label`, as one
// click on that label does.
bool startedOn(const Form1 &f, int label)
{
    const diagonal::PointXY p = diagonal::kPoints[label];
    const Line &l = f.Line4[0];
    return f.st.diagonalPhase && l.X1 == p.x && l.Y1 == p.y && l.X2 == p.x && l.Y2 == p.y;
}

// Nothing built yet: the construction as diagonal mode begins it.
bool nothingBuilt(const Form1 &f)
{
    for (const Line &l : f.Line4)
        if (!(l.X1 == 1000 && l.X2 == 1000))
            return false;
    return !f.st.diagonalPhase && f.st.diagonalStep == 0;
}

} // namespace

// On failure, names the first control or field that differs.
#define CHECK_SAME_FORM(a, b) CHECK_MESSAGE((a) == (b), FormInvariants::firstDifference((a), (b)))

TEST_SUITE_BEGIN("lesson");

// --- clicks on the point labels -------------------------------------------------------------
TEST_CASE("aLabelClickIsALeftPressAndReleaseOnTheSameLabel")
{
    SUBCASE("each label at its centre")
    {
        for (int label = 0; label <= 5; ++label) {
            CAPTURE(label);
            Lesson l = inDiagonalMode();
            const Point c = centreOf(l.form, label);
            l.press(1, 0, c.x, c.y);
            CHECK(nothingBuilt(l.form)); // the press alone is no click
            l.release(1, 0, c.x, c.y);
            CHECK(startedOn(l.form, label));
        }
    }
    SUBCASE("anywhere in the box, edges included")
    {
        const Lesson fresh = loadedLesson();
        const Label &a = fresh.form.Label2[0];
        const double left = a.Left, top = a.Top, right = left + a.Width, bottom = top + a.Height;
        for (const Point p : {Point{left, top}, Point{right, bottom}, Point{left, bottom},
                              Point{right, top}}) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            Lesson l = inDiagonalMode();
            CHECK(l.pointLabelAt(p.x, p.y) == 0);
            l.press(1, 0, p.x, p.y);
            l.release(1, 0, right - (p.x - left), bottom - (p.y - top)); // the opposite corner
            CHECK(startedOn(l.form, 0));
        }
        for (const Point p : {Point{left - 0.01, top + 5}, Point{right + 0.01, top + 5},
                              Point{left + 5, top - 0.01}, Point{left + 5, bottom + 0.01}}) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            CHECK(fresh.pointLabelAt(p.x, p.y) == -1);
        }
    }
    SUBCASE("moving away and back before the release still clicks")
    {
        Lesson l = inDiagonalMode();
        const Point a = centreOf(l.form, 0), b = centreOf(l.form, 1);
        l.press(1, 0, a.x, a.y);
        l.move(1, 0, b.x, b.y);
        l.move(1, 0, a.x + 3, a.y - 2);
        l.release(1, 0, a.x + 3, a.y - 2);
        CHECK(startedOn(l.form, 0));
    }
}

TEST_CASE("whatIsNoLabelClick")
{
    Lesson l = inDiagonalMode();
    const Point a = centreOf(l.form, 0), b = centreOf(l.form, 4);

    SUBCASE("pressed on one label, released on another")
    {
        l.press(1, 0, a.x, a.y);
        l.release(1, 0, b.x, b.y);
        CHECK(nothingBuilt(l.form));
        // and the next click counts from its own press
        l.press(1, 0, b.x, b.y);
        l.release(1, 0, b.x, b.y);
        CHECK(startedOn(l.form, 4));
    }
    SUBCASE("pressed off the labels, released on one")
    {
        l.press(1, 0, 600, 600);
        l.move(1, 0, a.x, a.y);
        l.release(1, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("pressed on a label, released off it")
    {
        l.press(1, 0, a.x, a.y);
        l.release(1, 0, 600, 600);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("the middle button")
    {
        l.press(4, 0, a.x, a.y);
        l.release(4, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
        CHECK(l.form.st.diagonalMode);
    }
    SUBCASE("the right button")
    {
        // A right press resets and so leaves the mode; were 対角線 clicked again before the
        // release (by keyboard, say), the right release must still be no click.
        l.press(2, 0, a.x, a.y);
        CHECK_FALSE(l.form.st.diagonalMode);
        l.clickCommand(4);
        l.release(2, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("a left press released by another button")
    {
        l.press(1, 0, a.x, a.y);
        l.release(4, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("another button's press released by the left")
    {
        l.press(4, 0, a.x, a.y);
        l.release(1, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("a hidden label")
    {
        l.form.Label2[0].Visible = false;
        CHECK(l.pointLabelAt(a.x, a.y) == -1);
        l.press(1, 0, a.x, a.y);
        l.release(1, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("a label hidden between press and release")
    {
        l.press(1, 0, a.x, a.y);
        l.form.Label2[0].Visible = false;
        l.release(1, 0, a.x, a.y);
        CHECK(nothingBuilt(l.form));
    }
    SUBCASE("Ｄ, Ｅ, Ｆ and Ｇ take no clicks")
    {
        // Slid off Ａ, Ｂ, Ｃ, the copy's labels stand alone; Ｇ shows above the figure.
        Lesson n = loadedLesson();
        n.press(1, 0, 300, 300);
        n.move(1, 0, 360, 300);
        n.release(1, 0, 360, 300);
        n.press(1, 0, 100, 100);
        n.release(1, 0, 100, 100);
        n.clickCommand(4);
        for (int i = 1; i <= 4; ++i) {
            CAPTURE(i);
            const Label &other = n.form.Label3[i];
            REQUIRE(other.Visible);
            const double x = other.Left + other.Width / 2.0, y = other.Top + other.Height / 2.0;
            CHECK(n.pointLabelAt(x, y) == -1);
            n.press(1, 0, x, y);
            n.release(1, 0, x, y);
            CHECK(nothingBuilt(n.form));
        }
    }
}

// --- positions the core cannot use ----------------------------------------------------------
TEST_CASE("usableCoordinates")
{
    for (double v : {0.0, -0.0, 1.5, -789.25, 1e6, -1e6})
        CHECK_MESSAGE(Lesson::usableCoordinate(v), v);
    for (double v : {kNaN, kInf, -kInf, 1e7, -1e7, 1e30, std::nextafter(1e6, 2e6),
                     std::nextafter(-1e6, -2e6)})
        CHECK_MESSAGE(!Lesson::usableCoordinate(v), v);
}

TEST_CASE("pressesAndMovesAtUnusablePositionsAreDropped")
{
    const Point bad[] = {{kNaN, 100}, {100, kNaN}, {kInf, 100}, {100, -kInf},
                         {1e7, 100},  {100, -1e7}, {kNaN, kNaN}};
    SUBCASE("normal mode")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            RecordingSink sink;
            Lesson l = loadedLesson(&sink);
            const Form1 before = l.form;
            l.press(1, 0, p.x, p.y);
            l.press(2, 0, p.x, p.y); // not even a right press resets
            l.move(1, 0, p.x, p.y);
            CHECK_SAME_FORM(l.form, before);
            CHECK(sink.clears == 1);
        }
    }
    SUBCASE("while the copy is held")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            Lesson l = loadedLesson();
            l.press(1, 0, 300, 300);
            l.move(1, 0, 310, 300);
            const Form1 before = l.form;
            l.move(1, 0, p.x, p.y);
            CHECK_SAME_FORM(l.form, before);
            l.move(1, 0, 320, 300); // the slide goes on from the last usable position
            CHECK(l.form.Line2[0].X1 == 420.0f);
        }
    }
    SUBCASE("while a stroke is drawn")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            RecordingSink sink;
            Lesson l = loadedLesson(&sink);
            l.clickCommand(3);
            l.press(1, 0, 10, 10);
            const Form1 before = l.form;
            l.move(1, 0, p.x, p.y);
            CHECK_SAME_FORM(l.form, before);
            CHECK(sink.segments.empty());
            l.move(1, 0, 20, 30);
            REQUIRE(sink.segments.size() == 1);
            CHECK(sink.segments[0] == RecordingSink::Segment{10, 10, 20, 30, QBColor(12), 3});
        }
    }
}

TEST_CASE("aReleaseAtAnUnusablePositionComesAtTheLastUsableOne")
{
    const Point bad[] = {{kNaN, kNaN}, {kInf, 20}, {20, -kInf}, {1e7, -1e7}};
    SUBCASE("it ends a stroke")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            RecordingSink sink;
            Lesson l = loadedLesson(&sink);
            l.clickCommand(3);
            l.press(1, 0, 10, 10);
            l.move(1, 0, 20, 20);
            l.release(1, 0, p.x, p.y);
            CHECK_FALSE(l.form.st.penDown);
            l.move(0, 0, 40, 40);
            CHECK(sink.segments.size() == 1);
        }
    }
    SUBCASE("it ends a drag")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            Lesson l = loadedLesson();
            l.press(1, 0, 300, 300);
            l.move(1, 0, 552.5, 300);
            l.release(1, 0, p.x, p.y);
            CHECK(l.form.st.dragMode == DragMode::None);
            CHECK(l.form.Line2[0].BorderColor == QBColor(12));
            CHECK(l.form.Line2[0].X1 == 652.5f);
            l.move(0, 0, 100, 300);
            CHECK(l.form.Line2[0].X1 == 652.5f);
        }
    }
    SUBCASE("it clicks the label pressed when the last usable position is on it")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            Lesson l = inDiagonalMode();
            const Point a = centreOf(l.form, 2);
            l.press(1, 0, a.x, a.y);
            l.move(1, 0, p.x, p.y); // dropped
            l.release(1, 0, p.x, p.y);
            CHECK(startedOn(l.form, 2));
        }
    }
    SUBCASE("it is no click when the last usable position left the label")
    {
        for (const Point p : bad) {
            CAPTURE(p.x);
            CAPTURE(p.y);
            Lesson l = inDiagonalMode();
            const Point a = centreOf(l.form, 2), b = centreOf(l.form, 5);
            l.press(1, 0, a.x, a.y);
            l.move(1, 0, b.x, b.y);
            l.release(1, 0, p.x, p.y);
            CHECK(nothingBuilt(l.form));
        }
    }
}

// --- disabled and missing controls ----------------------------------------------------------
TEST_CASE("disabledControlsIgnoreClicks")
{
    SUBCASE("メモ while diagonal mode is on")
    {
        Lesson l = inDiagonalMode();
        const Form1 before = l.form;
        l.clickCommand(3);
        CHECK_SAME_FORM(l.form, before);
    }
    SUBCASE("対角線 while memo mode is on")
    {
        Lesson l = loadedLesson();
        l.clickCommand(3);
        const Form1 before = l.form;
        l.clickCommand(4);
        CHECK_SAME_FORM(l.form, before);
    }
    SUBCASE("pen options outside memo mode")
    {
        Lesson l = loadedLesson();
        const Form1 before = l.form;
        for (int i = 0; i <= 7; ++i)
            l.clickOption(i);
        CHECK_SAME_FORM(l.form, before);
    }
    SUBCASE("初期画面 and 終了 when disabled")
    {
        // The form never disables them; the rule holds for every button all the same.
        Lesson l = loadedLesson();
        l.press(1, 0, 300, 300);
        l.move(1, 0, 320, 300);
        l.form.Command1.Enabled = false;
        l.form.Command2.Enabled = false;
        const Form1 before = l.form;
        l.clickCommand(1);
        l.clickCommand(2);
        CHECK_SAME_FORM(l.form, before);
        l.form.Command1.Enabled = true;
        l.clickCommand(1);
        CHECK(l.form.Line2[0].X1 == 400.0f);
    }
    SUBCASE("a disabled option keeps the selection and the pen")
    {
        Lesson l = loadedLesson();
        l.clickCommand(3);
        l.clickOption(5);
        l.form.Option1[2].Enabled = false;
        const Form1 before = l.form;
        l.clickOption(2);
        CHECK_SAME_FORM(l.form, before);
        CHECK(l.form.selectedOption1() == 5);
    }
    SUBCASE("buttons and options that do not exist")
    {
        for (bool memo : {false, true}) {
            CAPTURE(memo);
            Lesson l = loadedLesson();
            if (memo)
                l.clickCommand(3);
            const Form1 before = l.form;
            for (int n : {0, 5, -1, 99})
                l.clickCommand(n);
            for (int i : {8, -1, 1000})
                l.clickOption(i);
            CHECK_SAME_FORM(l.form, before);
        }
    }
}

// --- the pen across a reset -------------------------------------------------------------------
TEST_CASE("thePenAfterAResetInTheMiddleOfAStroke")
{
    for (bool byButton : {true, false}) {
        CAPTURE(byButton);
        RecordingSink sink;
        Lesson l = loadedLesson(&sink);
        const Form1 &f = l.form;
        l.clickCommand(3);
        l.clickOption(6); // thick blue
        l.press(1, 0, 10, 10);
        l.move(1, 0, 20, 20);
        REQUIRE(sink.segments.size() == 1);
        if (byButton) {
            l.clickCommand(1); // 初期画面 reached with the pen still down
        } else {
            l.press(2, 0, 20, 20); // a right press while the left is held
            l.release(2, 0, 20, 20);
        }
        CHECK(sink.segments.empty()); // the reset cleared the layer
        CHECK_FALSE(f.st.penDown);
        CHECK_FALSE(f.st.memoMode);
        CHECK(f.st.penColor == 9); // the pen stays the one chosen
        CHECK(f.selectedOption1() == 6);
        CHECK(f.gamen.DrawWidth == 3);

        // Memo mode again, with no button held: moving draws nothing.
        l.clickCommand(3);
        l.move(0, 0, 30, 30);
        l.move(1, 0, 40, 50);
        CHECK(sink.segments.empty());
        l.release(1, 0, 40, 50);
        // A new stroke draws in the chosen colour at the reset's width.
        l.press(1, 0, 40, 50);
        l.move(1, 0, 60, 70);
        REQUIRE(sink.segments.size() == 1);
        CHECK(sink.segments[0] == RecordingSink::Segment{40, 50, 60, 70, QBColor(9), 3});
    }
}

TEST_SUITE_END();
