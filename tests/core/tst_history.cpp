// The board kept as strokes and a history of steps: what one undo brings back, what counts
// as one step, what undo may not do while a gesture is in progress, and that the layer is
// drawn again from the strokes.
#include "RecordingSink.h"
#include "diagonal/Diagonal.h"
#include "form/QBColor.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <vector>

using namespace pr;
using Segment = RecordingSink::Segment;

namespace {

struct Board1 {
    RecordingSink sink;
    Lesson l = loadedLesson(&sink);
    Board1() { l.form.gamen.setSink(&sink); }
    Board1(const Board1 &) = delete;

    void stroke(std::initializer_list<std::pair<float, float>> points)
    {
        auto it = points.begin();
        l.press(1, 0, it->first, it->second);
        for (++it; it != points.end(); ++it)
            l.move(1, 0, it->first, it->second);
        const auto &last = *(points.end() - 1);
        l.release(1, 0, last.first, last.second);
    }
    void slide(float from, float to)
    {
        l.press(1, 0, from, 400);
        l.move(1, 0, to, 400);
        l.release(1, 0, to, 400);
    }
};

// The segments the strokes stand for, as the sink should hold them after a redraw.
std::vector<Segment> segmentsOf(const std::vector<Stroke> &strokes)
{
    std::vector<Segment> out;
    for (const Stroke &s : strokes)
        for (std::size_t i = 1; i < s.points.size(); ++i)
            out.push_back({s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y,
                           s.colour, s.width});
    return out;
}

} // namespace

TEST_SUITE_BEGIN("history");

TEST_CASE("strokesAreRecordedAsDrawn")
{
    Board1 b;
    b.l.clickCommand(3);
    b.stroke({{100, 100}, {110, 105}, {120, 90}});
    b.l.clickOption(7); // thick eraser
    b.stroke({{110, 100}, {115, 100}});
    REQUIRE(b.l.strokes().size() == 2);
    const Stroke &pen = b.l.strokes()[0];
    CHECK(pen.colour == QBColor(12));
    CHECK(pen.width == 3);
    CHECK_FALSE(pen.eraser);
    CHECK(pen.points == std::vector<StrokePoint>{{100, 100}, {110, 105}, {120, 90}});
    CHECK(b.l.strokes()[1].eraser);
    CHECK(b.l.strokes()[1].width == 25);
    CHECK(segmentsOf(b.l.strokes()) == b.sink.segments);
    CHECK(b.l.strokeList().segmentCount() == 3);

    SUBCASE("a pen chosen mid-gesture starts a new stroke at the same point")
    {
        b.l.press(1, 0, 300, 300);
        b.l.move(1, 0, 310, 300);
        b.l.clickOption(4);
        b.l.move(1, 0, 320, 300);
        b.l.release(1, 0, 320, 300);
        REQUIRE(b.l.strokes().size() == 4);
        CHECK(b.l.strokes()[3].points.front() == StrokePoint{310, 300});
        CHECK(b.l.strokes()[3].width == 6);
        // Still one step: the whole gesture goes with one undo.
        CHECK(b.l.undo());
        CHECK(b.l.strokes().size() == 2);
    }
    SUBCASE("a click without a move draws nothing and records nothing")
    {
        const auto steps = b.l.history().undoCount();
        b.l.press(1, 0, 300, 300);
        b.l.release(1, 0, 300, 300);
        CHECK(b.l.strokes().size() == 2);
        CHECK(b.l.history().undoCount() == steps);
    }
}

TEST_CASE("oneUndoBringsBackAResetAndEveryStroke")
{
    Board1 b;
    b.slide(300, 350);
    b.l.press(1, 0, 300, 100); // prolongation of ℓ
    b.l.release(1, 0, 300, 100);
    b.l.clickCommand(3);
    b.stroke({{100, 100}, {110, 105}, {120, 90}});
    b.stroke({{200, 200}, {220, 220}});
    const Board before = b.l.board();
    const FigureContent content = FigureContent::of(b.l.form);
    const std::vector<Segment> drawn = b.sink.segments;

    SUBCASE("right press") { b.l.press(2, 0, 10, 10); b.l.release(2, 0, 10, 10); }
    SUBCASE("初期画面") { b.l.clickCommand(1); }

    CHECK(b.l.strokes().empty());
    CHECK(b.sink.segments.empty());
    CHECK_FALSE(b.l.form.st.memoMode);
    REQUIRE(b.l.undo());
    CHECK(b.l.board() == before);
    CHECK(FigureContent::of(b.l.form) == content);
    CHECK(b.sink.segments == drawn);
    CHECK(b.l.form.Line2[0].BorderColor == QBColor(12));
    // Modes are not part of the board: memo mode stays off.
    CHECK_FALSE(b.l.form.st.memoMode);

    REQUIRE(b.l.redo());
    CHECK(b.l.strokes().empty());
    CHECK(b.sink.segments.empty());
    CHECK(b.l.board() == loadedLesson().board());
}

TEST_CASE("eachActionIsOneStep")
{
    Board1 b;
    b.slide(300, 320);
    b.slide(320, 340);
    CHECK(b.l.history().undoCount() == 2);
    CHECK(b.l.undo());
    CHECK(b.l.form.Line2[0].X1 == 420);

    SUBCASE("the two clicks of a construction line")
    {
        b.l.clickCommand(4);
        clickPointLabel(b.l, 0);
        CHECK(b.l.history().undoCount() == 2); // a line half built is a step of its own
        clickPointLabel(b.l, 4);
        CHECK(b.l.history().undoCount() == 2); // ... merged with its end
        CHECK(b.l.form.Line4[0].X2 == 510);
        CHECK(b.l.undo());
        CHECK(b.l.form.Line4[0].X1 == 1000);
        CHECK(b.l.form.st.diagonalStep == 0);
        // Still in diagonal mode, and the next click starts a line.
        CHECK(b.l.form.st.diagonalMode);
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(15));
        CHECK(b.l.redo());
        CHECK(b.l.form.Line4[0].X2 == 510);
        CHECK(b.l.form.st.diagonalStep == 1);
    }
    SUBCASE("undo while a line is half built abandons it")
    {
        b.l.clickCommand(4);
        clickPointLabel(b.l, 0);
        CHECK(b.l.undo());
        CHECK(b.l.form.Line4[0].X1 == 1000);
        CHECK_FALSE(b.l.form.st.diagonalPhase);
        clickPointLabel(b.l, 1);
        CHECK(b.l.form.Line4[0].X1 == 275);
        CHECK(b.l.form.Line4[0].X2 == 275);
    }
    SUBCASE("mode changes are no steps")
    {
        const auto steps = b.l.history().undoCount();
        b.l.clickCommand(3);
        b.l.clickOption(5);
        b.l.clickCommand(3);
        b.l.clickCommand(4);
        b.l.clickCommand(4);
        CHECK(b.l.history().undoCount() == steps);
        CHECK(b.l.canRedo()); // nothing new was done, so redo still works
    }
}

TEST_CASE("undoWaitsForTheGestureToEnd")
{
    Board1 b;
    b.l.clickCommand(3);
    b.stroke({{100, 100}, {110, 100}});
    b.l.press(1, 0, 200, 200);
    b.l.move(1, 0, 210, 200);
    CHECK_FALSE(b.l.canUndo());
    CHECK_FALSE(b.l.undo());
    b.l.clearWriting();
    CHECK(b.l.strokes().size() == 2); // ignored too
    b.l.move(1, 0, 220, 200);
    b.l.release(1, 0, 220, 200);
    CHECK(b.l.undo());
    REQUIRE(b.l.strokes().size() == 1);
    CHECK(b.l.strokes()[0].points.back() == StrokePoint{110, 100});

    SUBCASE("a slide in progress")
    {
        b.l.clickCommand(3);
        b.l.press(1, 0, 300, 400);
        b.l.move(1, 0, 310, 400);
        CHECK_FALSE(b.l.undo());
        CHECK(b.l.form.Line2[0].X1 == 410);
    }
}

TEST_CASE("clearWritingLeavesTheFigure")
{
    Board1 b;
    b.slide(300, 360);
    b.l.clickCommand(4);
    clickPointLabel(b.l, 0);
    clickPointLabel(b.l, 5);
    b.l.clickCommand(4);
    b.l.clickCommand(3);
    b.stroke({{100, 100}, {110, 100}, {120, 100}});
    const FigureContent content = FigureContent::of(b.l.form);
    const auto steps = b.l.history().undoCount();

    b.l.clearWriting();
    CHECK(b.l.strokes().empty());
    CHECK(b.sink.segments.empty());
    CHECK(FigureContent::of(b.l.form) == content);
    CHECK(b.l.form.st.memoMode);
    CHECK(b.l.history().undoCount() == steps + 1);
    CHECK(b.l.history().top()->kind == HistoryStep::Kind::ClearWriting);

    b.l.clearWriting(); // nothing left to clear: no step
    CHECK(b.l.history().undoCount() == steps + 1);
    CHECK(b.l.undo());
    CHECK(b.l.strokes().size() == 1);
    CHECK(b.sink.segments.size() == 2);
}

TEST_CASE("openBoardIsOneStepAndRefusesWhatTheHandlersCannotMake")
{
    Board1 b;
    b.l.clickCommand(3);
    b.stroke({{100, 100}, {110, 100}});
    Board other = slidBoard(50);
    other.prolongationM = Board::Prolongation::Shown;
    other.pointG = true;
    other.lines[0] = {true, 2, 3};
    other.nextLine = 1;
    other.strokes.push_back({QBColor(9), 6, false, {{1, 2}, {3, 4}, {5, 6}}});

    const Board before = b.l.board();
    SUBCASE("a board the handlers cannot make is refused, the lesson untouched")
    {
        Board bad = other;
        bad.strokes[0].width = 7;
        CHECK_FALSE(b.l.openBoard(bad).ok());
        bad = other;
        bad.lines[1] = {true, 0, 6};
        CHECK_FALSE(b.l.openBoard(bad).ok());
        CHECK(b.l.board() == before);
        CHECK(b.l.form.st.memoMode);
    }
    SUBCASE("opened, undone, redone")
    {
        CHECK(b.l.openBoard(other).ok());
        CHECK(b.l.board() == other);
        CHECK_FALSE(b.l.form.st.memoMode);
        CHECK(b.l.form.Label3[1].Top == 52); // Ｇ with a prolongation
        CHECK(b.sink.segments == segmentsOf(other.strokes));
        CHECK(b.l.undo());
        CHECK(b.l.board() == before);
        CHECK(b.l.redo());
        CHECK(b.l.board() == other);
    }
}

TEST_CASE("theCopyLeftLightMagentaThroughDiagonalMode")
{
    // A press on the copy taken over by a press above p leaves the copy light magenta;
    // diagonal mode paints it white and, when it ends, light red. The history stays a chain
    // through it: each undo takes one step, and all of them lead back to the start.
    Board1 b;
    const FigureContent initial = FigureContent::of(b.l.form);
    b.l.press(1, 0, 150, 250);
    clickPointLabel(b.l, 0);
    REQUIRE(b.l.form.Line2[0].BorderColor == QBColor(13));
    CHECK(b.l.history().undoCount() == 1);

    b.l.clickCommand(4);
    CHECK(b.l.history().undoCount() == 1); // the mode only shows the copy white

    SUBCASE("undone in diagonal mode")
    {
        CHECK(b.l.undo());
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(15));
        CHECK_FALSE(b.l.undo()); // no phantom step from the white of the mode
        b.l.clickCommand(4);
        CHECK(FigureContent::of(b.l.form) == initial);
        CHECK(b.l.redo());
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(13));
    }
    SUBCASE("the mode's end is a step")
    {
        b.l.clickCommand(4);
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(12));
        CHECK(b.l.history().undoCount() == 2);
        CHECK(b.l.undo());
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(13));
        CHECK(b.l.undo());
        CHECK(FigureContent::of(b.l.form) == initial);
        CHECK_FALSE(b.l.undo());
        CHECK(b.l.redo());
        CHECK(b.l.redo());
        CHECK(b.l.form.Line2[0].BorderColor == QBColor(12));
    }
}

TEST_CASE("aResetOrChangeInTheMiddleOfAGestureEndsItAsItsOwnStep")
{
    // A stroke or a slide still held when a reset, a mode button or another board comes:
    // the gesture ends where it is and is a step of its own, so one undo after a reset brings
    // back everything that was on screen, and one undo after a mode change takes back the
    // gesture alone.
    const Board opened = slidBoard(50);
    struct Row {
        const char *name;
        bool slide;
        bool replacesBoard; // the interruption is a step of its own (a reset, another board)
        void (*interrupt)(Lesson &, const Board &);
    };
    const Row rows[] = {
        {"right press", false, true, [](Lesson &l, const Board &) { l.press(2, 0, 5, 5); }},
        {"初期画面", false, true, [](Lesson &l, const Board &) { l.clickCommand(1); }},
        {"メモ off", false, false, [](Lesson &l, const Board &) { l.clickCommand(3); }},
        {"a board opened", false, true,
         [](Lesson &l, const Board &o) { CHECK(l.openBoard(o).ok()); }},
        {"right press", true, true, [](Lesson &l, const Board &) { l.press(2, 0, 5, 5); }},
        {"初期画面", true, true, [](Lesson &l, const Board &) { l.clickCommand(1); }},
        {"メモ on", true, false, [](Lesson &l, const Board &) { l.clickCommand(3); }},
        {"対角線", true, false, [](Lesson &l, const Board &) { l.clickCommand(4); }},
        {"a board opened", true, true,
         [](Lesson &l, const Board &o) { CHECK(l.openBoard(o).ok()); }},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        CAPTURE(row.slide);
        Board1 b;
        b.l.clickCommand(3);
        b.stroke({{100, 100}, {110, 100}});
        if (row.slide) {
            b.l.clickCommand(3); // memo off: the next press takes the copy
            b.l.press(1, 0, 300, 400);
            b.l.move(1, 0, 320, 400);
            b.l.move(1, 0, 345, 400);
        } else {
            b.l.press(1, 0, 200, 200);
            b.l.move(1, 0, 210, 200);
            b.l.move(1, 0, 230, 220);
        }
        const std::size_t steps = b.l.history().undoCount();
        const std::vector<Stroke> onScreen = b.l.strokes();
        const float copyOnScreen = b.l.form.Line2[0].X1;

        row.interrupt(b.l, opened);
        b.l.move(1, 0, 260, 240); // the held button goes on moving, then lets go
        b.l.release(1, 0, 260, 240);
        b.l.release(2, 0, 5, 5);

        CHECK(b.l.history().undoCount() == steps + (row.replacesBoard ? 2 : 1));
        if (row.replacesBoard)
            REQUIRE(b.l.undo());
        CHECK(b.l.strokes() == onScreen);
        CHECK(b.l.form.Line2[0].X1 == copyOnScreen);
        CHECK(b.l.form.Line2[0].BorderColor != QBColor(13)); // the slide was let go
        REQUIRE(b.l.undo());
        CHECK(b.l.strokes().size() == 1);
        CHECK(b.l.form.Line2[0].X1 == 400);
    }
}

TEST_CASE("undoAndRedoBetweenTheTwoClicksOfAConstructionLine")
{
    Board1 b;
    b.l.clickCommand(4);
    clickPointLabel(b.l, 0);
    clickPointLabel(b.l, 4); // Ａ to Ｂ'
    clickPointLabel(b.l, 1); // Ｂ: the first end of the second line
    REQUIRE(b.l.form.st.diagonalPhase);
    const Line firstEnd = b.l.form.Line4[1];

    // The undo takes the first end away: the next click starts a line of its own.
    CHECK(b.l.undo());
    CHECK(b.l.form.Line4[1].X1 == 1000);
    CHECK_FALSE(b.l.form.st.diagonalPhase);
    CHECK(b.l.form.Line4[0].X2 != 1000); // the finished line stays

    SUBCASE("the redo brings the first end back, waiting for its second click")
    {
        CHECK(b.l.redo());
        CHECK(b.l.form.Line4[1] == firstEnd);
        clickPointLabel(b.l, 5); // Ｃ'
        CHECK(b.l.form.Line4[1].X1 == firstEnd.X1);
        CHECK(b.l.form.Line4[1].X2 == diagonal::kPoints[5].x);
        CHECK(b.l.form.st.diagonalStep == 2);
        CHECK(b.l.undo()); // the whole line is one step
        CHECK(b.l.form.Line4[1].X1 == 1000);
    }
    SUBCASE("a click after the undo starts a new line")
    {
        clickPointLabel(b.l, 2);
        CHECK(b.l.form.st.diagonalPhase);
        CHECK(b.l.form.Line4[1].X1 != firstEnd.X1);
    }
}

TEST_CASE("whatTheCountersAndTheLimitKeep")
{
    SUBCASE("a full history lets its oldest step go")
    {
        History h(3);
        for (int i = 0; i < 4; ++i) {
            HistoryStep step;
            step.keep = std::size_t(i); // tells the steps apart
            h.push(std::move(step));
        }
        CHECK(h.undoCount() == 3);
        CHECK(h.undo().keep == 3);
        CHECK(h.undo().keep == 2);
        CHECK(h.undo().keep == 1);
        CHECK_FALSE(h.canUndo());
    }
    SUBCASE("undo and redo each move the change counter once; nothing to do moves nothing")
    {
        Board1 b;
        b.slide(300, 340);
        const auto r = b.l.revision();
        CHECK(b.l.undo());
        CHECK(b.l.revision() == r + 1);
        CHECK_FALSE(b.l.undo());
        CHECK(b.l.revision() == r + 1);
        CHECK(b.l.redo());
        CHECK(b.l.revision() == r + 2);
        CHECK_FALSE(b.l.redo());
        CHECK(b.l.revision() == r + 2);
    }
    SUBCASE("a pen of the same colour changed mid-stroke starts a stroke of its own")
    {
        Board1 b;
        b.l.clickCommand(3);
        b.l.press(1, 0, 100, 100);
        b.l.move(1, 0, 120, 100);
        b.l.clickOption(4); // thick red, as the thin red before
        b.l.move(1, 0, 140, 100);
        b.l.release(1, 0, 140, 100);
        REQUIRE(b.l.strokes().size() == 2);
        CHECK(b.l.strokes()[0].width == 3);
        CHECK(b.l.strokes()[1].width == 6);
        CHECK(b.l.strokes()[1].points.front() == StrokePoint{120, 100});
        CHECK(b.l.undo()); // still one gesture, one step
        CHECK(b.l.strokes().empty());
    }
    SUBCASE("a board with Ｄ hidden on Ａ' opens as it was saved")
    {
        Board1 b;
        b.slide(300, 300 + 152.5f); // the copy through Ａ'
        const Board saved = b.l.board();
        REQUIRE_FALSE(saved.copyLabels[0].visible);
        Board1 other;
        CHECK(other.l.openBoard(saved).ok());
        CHECK(other.l.board() == saved);
        CHECK_FALSE(other.l.form.Label3[2].Visible);
        CHECK(other.l.form.Label3[3].Visible);
    }
}

TEST_SUITE_END();