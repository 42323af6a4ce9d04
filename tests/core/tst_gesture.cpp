// The press-move-release gesture on the figure: hit regions, the slide of the copy of ℓ with
// its labels, the prolongations and Ｇ, and what each mode lets through.
#include "RecordingSink.h"
#include "figure/Figure.h"
#include "form/QBColor.h"
#include "support/FormInvariants.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <string>

using namespace pr;

namespace {

// The form with only the pointer record changed, for presses that must select nothing.
Form1 withPointer(Form1 f, float x, float y)
{
    f.st.lastX = x;
    f.st.lastY = y;
    return f;
}

// Slides the copy so that its top end lands on x1 (it starts at 400).
void slideCopyTo(Lesson &l, float x1)
{
    l.gamen_MouseDown(1, 0, 300, 300);
    l.gamen_MouseMove(1, 0, 300 + (x1 - 400), 300);
}

} // namespace

// On failure, names the first control or field that differs.
#define CHECK_SAME_FORM(a, b) CHECK_MESSAGE((a) == (b), FormInvariants::firstDifference((a), (b)))

TEST_SUITE_BEGIN("gesture");

// --- press: which region a left press selects ---------------------------------------------
TEST_CASE("pressRegions")
{
    const struct {
        const char *name;
        float x, y;
        DragMode dragMode;
    } rows[] = {
        {"copy, inside", 300, 300, DragMode::Copy},
        {"copy, y = 250 inclusive", 300, 250, DragMode::Copy},
        {"copy, y = 500 inclusive", 300, 500, DragMode::Copy},
        {"copy, x = X2 inclusive", 150, 400, DragMode::Copy},
        {"copy, x = X1 inclusive", 400, 260, DragMode::Copy},
        {"copy band, left of X2", 149.9f, 300, DragMode::None},
        {"copy band, right of X1", 400.1f, 300, DragMode::None},
        {"below r", 300, 500.1f, DragMode::None},
        {"just above p, ℓ side", 300, 249.99f, DragMode::ProlongationL},
        {"ℓ top, far left", -30, -5, DragMode::ProlongationL},
        {"ℓ top, x just below 440", 439.99f, 100, DragMode::ProlongationL},
        {"ℓ top bound 440 is strict", 440, 100, DragMode::None},
        {"gap between the tops", 445, 100, DragMode::None},
        {"m top bound 450 is strict", 450, 100, DragMode::None},
        {"m top, x just above 450", 450.01f, 100, DragMode::ProlongationM},
        {"m top, far right", 900, 249, DragMode::ProlongationM},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        Lesson l = loadedLesson();
        l.gamen_MouseDown(1, 0, row.x, row.y);
        CHECK(l.form.st.dragMode == row.dragMode);
        CHECK(l.form.st.lastX == row.x);
        CHECK(l.form.st.lastY == row.y);
    }
}

TEST_CASE("aMissChangesOnlyThePointerRecord")
{
    const struct {
        float x, y;
    } points[] = {{100, 600}, {445, 10}, {420, 400}};
    for (const auto p : points) {
        CAPTURE(p.x);
        CAPTURE(p.y);
        Lesson l = loadedLesson();
        const Form1 expected = withPointer(l.form, p.x, p.y);
        l.gamen_MouseDown(1, 0, p.x, p.y);
        CHECK_SAME_FORM(l.form, expected);
    }
}

TEST_CASE("otherButtonsOnlyRecordThePointer")
{
    for (std::int16_t button : {std::int16_t(0), std::int16_t(4), std::int16_t(3)}) {
        CAPTURE(button);
        Lesson l = loadedLesson();
        const Form1 expected = withPointer(l.form, 300, 300);
        l.gamen_MouseDown(button, 1, 300, 300); // on the copy, with shift
        CHECK_SAME_FORM(l.form, expected);
    }
}

TEST_CASE("pressOnCopyHighlightsIt")
{
    Lesson l = loadedLesson();
    Form1 &f = l.form;
    f.Label3[3].Visible = false; // visibility is left as it is
    l.gamen_MouseDown(1, 0, 300, 300);
    CHECK(f.Line2[0].BorderColor == QBColor(13));
    for (int i = 2; i <= 4; ++i) {
        CAPTURE(i);
        CHECK(f.Label3[i].ForeColor == QBColor(13));
    }
    CHECK(!f.Label3[3].Visible);
    CHECK(f.Line2[1].X1 == 1000.0f); // nothing else shown
}

TEST_CASE("pressOnTopsLaysOutProlongations")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 100, 100);
    const Line &p = f.Line2[1];
    CHECK(p.X1 == 400.0f);
    CHECK(p.Y1 == 150.0f);
    CHECK(p.X2 == 487.5f);
    CHECK(p.Y2 == 10.0f);
    CHECK(p.BorderColor == QBColor(13));
    l.gamen_MouseUp(1, 0, 100, 100);
    l.gamen_MouseDown(1, 0, 700, 0);
    const Line &m = f.Line2[2];
    CHECK(m.X1 == 470.0f);
    CHECK(m.Y1 == 150.0f);
    CHECK(m.X2 == 442.0f);
    CHECK(m.Y2 == 10.0f);
    CHECK(m.BorderColor == QBColor(13));
    CHECK(f.Line2[1].BorderColor == QBColor(15)); // the first stays committed
}

TEST_CASE("overlappingRegionsLastMatchWins")
{
    // The tests read ℓ's and m's top ends afresh; were they to overlap, every matching
    // region would act and the last would decide.
    Lesson l = loadedLesson();
    Form1 &f = l.form;
    f.Line1[3].X1 = 480; // ℓ-top now reaches x < 520, m-top starts at x > 450
    l.gamen_MouseDown(1, 0, 500, 100);
    CHECK(f.st.dragMode == DragMode::ProlongationM);
    CHECK(f.Line2[1].BorderColor == QBColor(13));
    CHECK(f.Line2[2].BorderColor == QBColor(13));
}

TEST_CASE("copyRegionFollowsTheCopy")
{
    Lesson l = loadedLesson();
    slideCopyTo(l, 600);
    l.gamen_MouseUp(1, 0, 0, 0);
    l.gamen_MouseDown(1, 0, 320, 300); // where the copy was
    CHECK(l.form.st.dragMode == DragMode::None);
    l.gamen_MouseDown(1, 0, 350.5f, 300); // X2 is now 350
    CHECK(l.form.st.dragMode == DragMode::Copy);
}

TEST_CASE("rightPressResetsThenRecords")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    slideCopyTo(l, 520);
    l.gamen_MouseDown(2, 0, 77, 88);
    CHECK(f.st.dragMode == DragMode::None);
    CHECK(f.Line2[0].X1 == 400.0f);
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    CHECK(f.st.lastX == 77.0f);
    CHECK(f.st.lastY == 88.0f);
    // The rest of the gesture slides nothing.
    l.gamen_MouseMove(1, 0, 200, 300);
    CHECK(f.Line2[0].X1 == 400.0f);
}

TEST_CASE("pressInDiagonalModeSelectsNothing")
{
    Lesson l = loadedLesson();
    l.clickCommand(4);
    const Form1 expected = withPointer(l.form, 300, 300);
    l.gamen_MouseDown(1, 0, 300, 300);
    CHECK_SAME_FORM(l.form, expected);
    l.gamen_MouseMove(1, 0, 350, 310);
    l.gamen_MouseUp(1, 0, 350, 310);
    CHECK(l.form.Line2[0].X1 == 400.0f);
    CHECK(l.form.Line2[0].BorderColor == QBColor(15));
}

// --- move: the slide ------------------------------------------------------------------------
TEST_CASE("slideFollowsHorizontalMotionOnly")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 210.25f, 480); // anywhere on the copy
    l.gamen_MouseMove(1, 0, 240.5f, 100);  // vertical motion is ignored
    CHECK(f.Line2[0].X1 == 430.25f);
    CHECK(f.Line2[0].X2 == 180.25f);
    CHECK(f.Line2[0].Y1 == 150.0f);
    CHECK(f.Line2[0].Y2 == 550.0f);
    CHECK(f.Label3[2].Left == 346.25f);
    CHECK(f.Label3[3].Left == 285.25f);
    CHECK(f.Label3[4].Left == 193.25f);
    CHECK(f.Label3[2].Top == 219.0f);
    l.gamen_MouseMove(1, 0, 240.5f, 400); // only Y changes: nothing moves
    CHECK(f.Line2[0].X1 == 430.25f);
    CHECK(f.st.lastY == 400.0f);
    // Labels shown get light red from the first move; the copy stays highlighted.
    for (int i = 2; i <= 4; ++i) {
        CAPTURE(i);
        CHECK(f.Label3[i].ForeColor == QBColor(12));
    }
    CHECK(f.Line2[0].BorderColor == QBColor(13));
    // The figure's own lines and labels stay put.
    CHECK(f.Line1[3].X1 == 400.0f);
    CHECK(f.Label2[0].Left == 316.0f);
}

TEST_CASE("labelVisibilityNearMsPoints")
{
    const struct {
        int label;
        float at;
    } points[] = {{2, 552.5f}, {3, 635}, {4, 758.75f}};
    for (const auto &p : points) {
        const struct {
            const char *name;
            float x1;
            bool visible;
        } rows[] = {
            {"exactly 5 left", p.at - 5, true},
            {"exactly 5 right", p.at + 5, true},
            {"just inside left", p.at - 4.5f, false},
            {"just inside right", p.at + 4.5f, false},
            {"on the point", p.at, false},
        };
        for (const auto &row : rows) {
            CAPTURE(p.label);
            INFO(std::string(row.name));
            Lesson l = loadedLesson();
            const Form1 &f = l.form;
            slideCopyTo(l, row.x1);
            CHECK(f.Line2[0].X1 == row.x1);
            CHECK(f.Label3[p.label].Visible == row.visible);
            l.gamen_MouseUp(1, 0, 0, 0); // the release applies the same rule
            CHECK(f.Label3[p.label].Visible == row.visible);
            for (int i = 2; i <= 4; ++i)
                if (i != p.label) {
                    CAPTURE(i);
                    CHECK(f.Label3[i].Visible);
                }
        }
    }
}

TEST_CASE("aHiddenLabelKeepsItsColourUntilShown")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    slideCopyTo(l, 552.5f);
    CHECK(!f.Label3[2].Visible);
    CHECK(f.Label3[2].ForeColor == QBColor(13)); // hidden: not recoloured
    l.gamen_MouseMove(1, 0, 300, 300);           // back over ℓ
    CHECK(f.Label3[2].Visible);
    CHECK(f.Label3[2].ForeColor == QBColor(12));
}

TEST_CASE("slidePastTheEdgeAndBack")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 300, 300);
    l.gamen_MouseMove(1, 0, 2300, 300);
    CHECK(f.Line2[0].X1 == 2400.0f);
    l.gamen_MouseMove(1, 0, -1700, 300);
    CHECK(f.Line2[0].X1 == -1600.0f);
    CHECK(f.Label3[4].Left == -1837.0f);
    l.gamen_MouseMove(1, 0, 300, 300);
    CHECK(f.Line2[0].X1 == 400.0f);
    CHECK(f.Label3[2].Left == 316.0f);
}

TEST_CASE("movesWithoutADragLeaveThePointerRecord")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 600, 600); // selects nothing
    l.gamen_MouseUp(1, 0, 600, 600);
    l.gamen_MouseMove(0, 0, 123, 45);
    CHECK(f.st.lastX == 600.0f);
    CHECK(f.st.lastY == 600.0f);
    // ... but the eraser cursor, hidden or not, follows.
    CHECK(f.Shape1.Left == 123.0f - f.Shape1.Width / 2);
    CHECK(f.Shape1.Top == 45.0f - 12.5f);
}

TEST_CASE("prolongationMovesNothing")
{
    Lesson l = loadedLesson();
    l.gamen_MouseDown(1, 0, 100, 100);
    const Form1 pressed = l.form;
    l.gamen_MouseMove(1, 0, 300, 300);
    Form1 expected = withPointer(pressed, 300, 300);
    expected.Shape1 = l.form.Shape1;
    CHECK_SAME_FORM(l.form, expected);
}

// --- release: committing ----------------------------------------------------------------------
TEST_CASE("releaseOfAnyButtonCommitsTheCopy")
{
    for (std::int16_t button : {std::int16_t(1), std::int16_t(2), std::int16_t(4)}) {
        CAPTURE(button);
        Lesson l = loadedLesson();
        const Form1 &f = l.form;
        slideCopyTo(l, 550);
        l.gamen_MouseUp(button, 0, 0, 0);
        CHECK(f.st.dragMode == DragMode::None);
        CHECK(f.Line2[0].BorderColor == QBColor(12));
        CHECK(!f.Label3[2].Visible);
        CHECK((f.Label3[3].Visible && f.Label3[4].Visible));
        CHECK(f.Label3[3].ForeColor == QBColor(12));
        l.gamen_MouseMove(1, 0, 100, 300); // after the commit nothing slides
        CHECK(f.Line2[0].X1 == 550.0f);
    }
}

TEST_CASE("pressAndReleaseWithoutMotion")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 300, 300);
    l.gamen_MouseUp(1, 0, 300, 300);
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    for (int i = 2; i <= 4; ++i) {
        CAPTURE(i);
        CHECK(f.Label3[i].Visible);
        CHECK(f.Label3[i].ForeColor == QBColor(12));
    }
}

TEST_CASE("releasingProlongationsPlacesG")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 100, 100);
    l.gamen_MouseUp(1, 0, 100, 100);
    CHECK(f.Line2[1].BorderColor == QBColor(15));
    CHECK(f.Label3[1].Left == 460.0f);
    CHECK(f.Label3[1].Top == 52.0f);
    CHECK(f.Line2[2].X1 == 1000.0f); // the other is not shown by this
    const Form1 once = f;
    l.gamen_MouseDown(1, 0, 100, 100);
    l.gamen_MouseUp(1, 0, 100, 100);
    CHECK_SAME_FORM(f, once);
    l.gamen_MouseDown(1, 0, 700, 100);
    l.gamen_MouseUp(1, 0, 700, 100);
    CHECK(f.Line2[2].BorderColor == QBColor(15));
    CHECK(f.Line2[1].BorderColor == QBColor(15));
    CHECK(f.Label3[1].Left == 460.0f);
    CHECK(f.Label3[1].Top == 52.0f);
}

TEST_CASE("releaseWithNothingSelectedChangesNothing")
{
    Lesson l = loadedLesson();
    l.gamen_MouseDown(1, 0, 600, 600);
    const Form1 before = l.form;
    l.gamen_MouseUp(1, 0, 10, 10);
    CHECK_SAME_FORM(l.form, before);
}

// A mode button reached while the copy is held (by keyboard or a second finger) used to
// leave the drag pending: in memo mode the copy then followed the pointer with no button
// held. The button now lets go of the copy first, as a release would.
TEST_CASE("aModeSwitchLetsGoOfTheCopy")
{
    for (int button : {3, 4}) {
        CAPTURE(button);
        Lesson l = loadedLesson();
        const Form1 &f = l.form;
        l.gamen_MouseDown(1, 0, 300, 300);
        l.gamen_MouseMove(1, 0, 452.5f, 300);
        l.clickCommand(button);
        CHECK(f.st.dragMode == DragMode::None);
        CHECK(f.Line2[0].X1 == 552.5f);
        CHECK(!f.Label3[2].Visible); // committed as a release commits
        CHECK(f.Label3[3].ForeColor == QBColor(12));
        l.gamen_MouseMove(0, 0, 350, 300);
        l.gamen_MouseUp(1, 0, 350, 300);
        l.gamen_MouseMove(0, 0, 250, 300);
        CHECK(f.Line2[0].X1 == 552.5f);
        CHECK(f.Line2[0].BorderColor == QBColor(button == 4 ? 15 : 12));
    }
}

TEST_CASE("aModeSwitchCommitsAShownProlongation")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 600, 100);
    l.clickCommand(4);
    CHECK(f.st.dragMode == DragMode::None);
    CHECK(f.Line2[2].BorderColor == QBColor(15));
    CHECK(f.Label3[1].Left == 460.0f);
    CHECK(f.Label3[1].Top == 52.0f);
    l.clickCommand(4); // and nothing is left to commit afterwards
    CHECK(f.st.dragMode == DragMode::None);
}

TEST_CASE("resetAfterProlongationsKeepsGsLeft")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.gamen_MouseDown(1, 0, 100, 100);
    l.gamen_MouseUp(1, 0, 100, 100);
    figure::ResetFigure(l.form);
    CHECK(f.Label3[1].Top == -50.0f);
    CHECK(f.Label3[1].Left == 460.0f);
    CHECK(f.Line2[1].X1 == 1000.0f);
    CHECK(f.Line2[1].Y2 == 10.0f);
}

TEST_SUITE_END();
