// Memo mode: the toggle, the eight pens, strokes on the surface's own layer, the eraser
// cursor, and the rule that a stroke never outlives the gesture or mode that began it.
#include "RecordingSink.h"
#include "form/QBColor.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace pr;
using Segment = RecordingSink::Segment;

namespace {

struct MemoLesson {
    RecordingSink sink;
    Lesson l;
    Form1 &f = l.form;
    MemoLesson() : l(loadedLesson(&sink)) {}
    MemoLesson(const MemoLesson &) = delete;
};

} // namespace

TEST_SUITE_BEGIN("memo");

// --- toggle and pens ------------------------------------------------------------------------
TEST_CASE("toggleEnablesThePensAndExcludesDiagonal")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    CHECK(f.st.memoMode);
    CHECK_FALSE(f.st.diagonalMode);
    for (int i = 0; i <= 7; ++i) {
        CAPTURE(i);
        CHECK(f.Option1[i].Enabled);
    }
    CHECK(!f.Command4.Enabled);
    CHECK(f.Command3.Enabled);
    m.l.clickCommand(4); // disabled: ignored
    CHECK_FALSE(f.st.diagonalMode);

    m.l.clickCommand(3);
    CHECK_FALSE(f.st.memoMode);
    for (int i = 0; i <= 7; ++i) {
        CAPTURE(i);
        CHECK(!f.Option1[i].Enabled);
    }
    CHECK(f.Command4.Enabled);
    CHECK(m.sink.clears == 1); // leaving memo mode keeps the strokes
}

TEST_CASE("penTable")
{
    const struct {
        const char *name;
        int index;
        int colour;
        int width;
        bool cursor;
    } rows[] = {
        {"thin red", 0, 12, 3, false},    {"thin yellow", 1, 14, 3, false},
        {"thin blue", 2, 9, 3, false},    {"thin eraser", 3, 2, 15, true},
        {"thick red", 4, 12, 6, false},   {"thick yellow", 5, 14, 6, false},
        {"thick blue", 6, 9, 6, false},   {"thick eraser", 7, 2, 25, true},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        MemoLesson m;
        Form1 &f = m.f;
        m.l.clickCommand(3);
        m.l.clickOption(row.index == 7 ? 3 : 7); // start from the other eraser, cursor shown
        m.l.clickOption(row.index);
        CHECK(f.selectedOption1() == row.index);
        CHECK(f.st.penColor == row.colour);
        CHECK(f.gamen.DrawWidth == row.width);
        CHECK(f.Shape1.Visible == row.cursor);
        if (row.cursor)
            CHECK(f.Shape1.Width == float(row.width)); // the eraser's footprint
        CHECK(f.Shape1.Height == 25.0f);

        // Its strokes carry the pen; the eraser paints in the surface's own green.
        m.l.gamen_MouseDown(1, 0, 10, 20);
        m.l.gamen_MouseMove(1, 0, 30, 40);
        REQUIRE(m.sink.segments.size() == std::size_t(1));
        CHECK(m.sink.segments[0] == Segment{10, 20, 30, 40, QBColor(int(row.colour)), row.width});
        if (row.cursor)
            CHECK(m.sink.segments[0].colour == f.gamen.BackColor);
    }
}

TEST_CASE("optionsAreOneGroupAndIgnoredWhileDisabled")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickOption(5); // disabled outside memo mode
    CHECK(f.selectedOption1() == 0);
    CHECK(f.st.penColor == 12);
    m.l.clickCommand(3);
    m.l.clickOption(5);
    m.l.clickOption(2); // lower row clears the upper
    int selected = 0;
    for (const OptionButton &o : f.Option1)
        selected += o.Value;
    CHECK(selected == 1);
    CHECK(f.selectedOption1() == 2);
    m.l.clickOption(8); // no such option
    m.l.clickOption(-1);
    CHECK(f.selectedOption1() == 2);
}

TEST_CASE("cursorShowsAtOnceWithAnEraserStillSelected")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.clickOption(7);
    m.l.clickCommand(3);
    CHECK(!f.Shape1.Visible);
    m.l.clickCommand(3); // no option clicked: the thick eraser is still selected
    CHECK(f.Shape1.Visible);
    CHECK(f.Shape1.Width == 25.0f);
    CHECK(f.gamen.DrawWidth == 25);

    m.l.clickOption(1);
    m.l.clickCommand(3);
    m.l.clickCommand(3); // with a colour pen the cursor stays hidden
    CHECK(!f.Shape1.Visible);
}

TEST_CASE("cursorIsCentredOnThePointer")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.clickOption(3);
    m.l.gamen_MouseMove(0, 0, 100.5f, 200.25f);
    CHECK(f.Shape1.Left == 100.5f - 7.5f);
    CHECK(f.Shape1.Top == 200.25f - 12.5f);
    m.l.gamen_MouseMove(0, 0, -3, 700); // past the edge too
    CHECK(f.Shape1.Left == -10.5f);
    CHECK(f.Shape1.Top == 687.5f);
}

TEST_CASE("resetLeavesTheThickPenAtDrawWidthThree")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.clickOption(4);
    m.l.Command1_Click();
    CHECK(f.gamen.DrawWidth == 3);
    CHECK(f.selectedOption1() == 4);
    CHECK(f.st.penColor == 12);
    CHECK(!f.Option1[4].Enabled);
    m.l.clickCommand(3); // entering memo mode does not re-apply the pen
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.gamen_MouseMove(1, 0, 5, 5);
    REQUIRE(!m.sink.segments.empty());
    CHECK(m.sink.segments.back().width == 3);
}

// --- strokes ----------------------------------------------------------------------------------
TEST_CASE("aStrokeIsThePolylineOfTheMoves")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 1.5f, 2.5f);
    CHECK(m.sink.segments.empty()); // the press draws nothing
    m.l.gamen_MouseMove(1, 0, 10, 20);
    m.l.gamen_MouseMove(1, 0, 10, 20); // a move to the same point: a zero-length segment
    m.l.gamen_MouseMove(1, 0, 900, -40);
    m.l.gamen_MouseUp(1, 0, 900, -40);
    const Rgb red = QBColor(12);
    const std::vector<Segment> expected = {
        {1.5f, 2.5f, 10, 20, red, 3}, {10, 20, 10, 20, red, 3}, {10, 20, 900, -40, red, 3}};
    REQUIRE(m.sink.segments.size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        CAPTURE(i);
        CHECK(m.sink.segments[i] == expected[i]);
    }
    CHECK_FALSE(f.st.penDown);
}

TEST_CASE("clickWithoutMotionDrawsNothing")
{
    MemoLesson m;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 100, 100);
    m.l.gamen_MouseUp(1, 0, 100, 100);
    CHECK(m.sink.segments.empty());
}

TEST_CASE("hoveringDrawsNothingButFollowsThePointer")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseMove(0, 0, 50, 60);
    m.l.gamen_MouseMove(0, 0, 70, 80);
    CHECK(m.sink.segments.empty());
    CHECK(f.st.lastX == 70.0f);
    CHECK(f.st.lastY == 80.0f);
}

TEST_CASE("pressInMemoModeSelectsNothingOnTheCopy")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 300, 300);
    CHECK(f.st.dragMode == DragMode::None);
    CHECK(f.st.penDown);
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    m.l.gamen_MouseMove(1, 0, 350, 300);
    CHECK(f.Line2[0].X1 == 400.0f);
    CHECK(m.sink.segments.size() == std::size_t(1));
}

TEST_CASE("anyReleaseEndsTheStroke")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.gamen_MouseDown(4, 0, 1, 1); // middle press: no reset, no new stroke
    m.l.gamen_MouseUp(4, 0, 1, 1);   // its release ends the stroke, left still held
    m.l.gamen_MouseMove(1, 0, 40, 40);
    CHECK(m.sink.segments.empty());
    CHECK_FALSE(f.st.penDown);
}

TEST_CASE("theColourIsReadAtEachSegment")
{
    MemoLesson m;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.gamen_MouseMove(1, 0, 10, 0);
    m.l.clickOption(6); // a pen chosen mid-stroke (by keyboard) applies at once
    m.l.gamen_MouseMove(1, 0, 20, 0);
    REQUIRE(m.sink.segments.size() == std::size_t(2));
    CHECK(m.sink.segments[0].colour == QBColor(12));
    CHECK(m.sink.segments[1].colour == QBColor(9));
    CHECK(m.sink.segments[1].width == 6);
}

TEST_CASE("rightPressClearsStrokesAndLeavesMemoMode")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.gamen_MouseMove(1, 0, 10, 0);
    m.l.gamen_MouseUp(1, 0, 10, 0);
    CHECK(m.sink.clears == 1);
    m.l.gamen_MouseDown(2, 0, 5, 5);
    CHECK(m.sink.clears == 2);
    CHECK_FALSE(f.st.memoMode);
    CHECK_FALSE(f.st.penDown);
    CHECK(f.Command4.Enabled);
}

// A pen held down across a reset used to stay down: after turning memo mode on again,
// moving with no button held drew a stroke.
TEST_CASE("aStrokeDoesNotOutliveAResetOrItsMode")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.gamen_MouseDown(1, 0, 100, 100); // left down, stroke begins
    m.l.gamen_MouseDown(2, 0, 100, 100); // right down: reset, memo mode off
    m.l.gamen_MouseUp(1, 0, 100, 100);
    m.l.gamen_MouseUp(2, 0, 100, 100);
    m.l.clickCommand(3);
    m.l.gamen_MouseMove(0, 0, 200, 200); // no button held
    m.l.gamen_MouseMove(0, 0, 300, 250);
    CHECK(m.sink.segments.empty());

    // The same when memo mode is left by its own button while the pen is down.
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.clickCommand(3);
    m.l.clickCommand(3);
    m.l.gamen_MouseMove(0, 0, 50, 50);
    CHECK(m.sink.segments.empty());
    CHECK_FALSE(f.st.penDown);
}

TEST_CASE("strokesOutliveTheModeUntilAReset")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.clickOption(1);
    m.l.gamen_MouseDown(1, 0, 0, 0);
    m.l.gamen_MouseMove(1, 0, 10, 0);
    m.l.gamen_MouseUp(1, 0, 10, 0);
    m.l.clickCommand(3);
    CHECK(m.sink.clears == 1);
    CHECK(m.sink.segments.size() == std::size_t(1));
    CHECK(f.selectedOption1() == 1);
    CHECK(!f.Option1[1].Enabled);
    // Outside memo mode a left drag on empty surface draws nothing.
    m.l.gamen_MouseDown(1, 0, 600, 600);
    m.l.gamen_MouseMove(1, 0, 620, 600);
    CHECK(m.sink.segments.size() == std::size_t(1));
}

// --- the pen's eraser end ------------------------------------------------------------------
TEST_CASE("theEraserEndErasesWithTheEraserOfThePensRowForOneStroke")
{
    using End = Lesson::PenEnd;
    const struct {
        int option;
        int width;       // the eraser end's
        int chosenWidth; // the tip's, before and after
        bool cursor;     // the chosen pen's cursor
    } rows[] = {{1, 15, 3, false}, {6, 25, 6, false}, {3, 15, 15, true}, {7, 25, 25, true}};
    for (const auto &row : rows) {
        CAPTURE(row.option);
        MemoLesson m;
        Form1 &f = m.f;
        m.l.clickCommand(3);
        m.l.clickOption(row.option);
        const int colour = f.st.penColor;
        m.l.press(1, 0, 100, 100, End::Eraser);
        CHECK(f.Shape1.Visible);
        CHECK(f.Shape1.Width == float(row.width));
        CHECK(f.Shape1.Left == 100.0f - float(row.width) / 2); // round the pen at once
        m.l.move(1, 0, 200, 100);
        m.l.release(1, 0, 200, 100);
        REQUIRE(m.l.strokes().size() == std::size_t(1));
        CHECK(m.l.strokes()[0].eraser);
        CHECK(m.l.strokes()[0].width == row.width);
        CHECK(f.selectedOption1() == row.option); // the option shown never changes
        CHECK(f.st.penColor == colour);
        CHECK(f.gamen.DrawWidth == row.chosenWidth);
        CHECK(f.Shape1.Visible == row.cursor);

        // The tip writes in the chosen pen again.
        m.l.press(1, 0, 100, 200);
        m.l.move(1, 0, 200, 200);
        m.l.release(1, 0, 200, 200);
        REQUIRE(m.l.strokes().size() == std::size_t(2));
        CHECK(m.l.strokes()[1].colour == QBColor(colour));
        CHECK(m.l.strokes()[1].width == row.chosenWidth);
        CHECK(m.l.strokes()[1].eraser == row.cursor);
        // One undo takes each stroke back.
        CHECK(m.l.undo());
        CHECK(m.l.undo());
        CHECK(m.l.strokes().empty());
    }
}

TEST_CASE("theEraserEndOutsideMemoModeOrCutShortByAResetOrAPen")
{
    using End = Lesson::PenEnd;
    MemoLesson m;
    Form1 &f = m.f;
    // Outside memo mode it slides the copy as the tip does.
    m.l.press(1, 0, 300, 300, End::Eraser);
    CHECK(f.st.dragMode == DragMode::Copy);
    m.l.release(1, 0, 300, 300);
    CHECK(f.st.penColor == kPenRed);

    // A reset in the middle of its stroke gives the chosen pen back first.
    m.l.clickCommand(3);
    m.l.clickOption(4);
    m.l.press(1, 0, 10, 10, End::Eraser);
    m.l.clickCommand(1);
    CHECK(f.st.penColor == kPenRed);
    CHECK(f.gamen.DrawWidth == 3);
    CHECK(!f.Shape1.Visible);

    // A pen chosen mid-stroke: the eraser end erases on with that pen's row, and the tip
    // then writes with that pen.
    m.l.clickCommand(3);
    m.l.clickOption(0);
    m.l.press(1, 0, 10, 10, End::Eraser);
    m.l.clickOption(5);
    CHECK(f.gamen.DrawWidth == 25);
    CHECK(f.st.penColor == kPenEraser);
    m.l.release(1, 0, 10, 10);
    CHECK(f.st.penColor == kPenYellow);
    CHECK(f.gamen.DrawWidth == 6);
}

// After a reset the width is 3 while the thick pen still shows: a click on that same pen
// applies it again.
TEST_CASE("theSelectedPenClickedAgainAppliesAgain")
{
    MemoLesson m;
    Form1 &f = m.f;
    m.l.clickCommand(3);
    m.l.clickOption(4);
    m.l.clickCommand(1);
    m.l.clickCommand(3);
    REQUIRE(f.gamen.DrawWidth == 3);
    m.l.clickOption(4);
    m.l.press(1, 0, 0, 0);
    m.l.move(1, 0, 5, 5);
    m.l.release(1, 0, 5, 5);
    REQUIRE(m.l.strokes().size() == std::size_t(1));
    CHECK(m.l.strokes()[0].width == 6);
}

TEST_SUITE_END();
