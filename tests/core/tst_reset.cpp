// The form after start-up and after a reset: state, element positions, what a reset keeps.
#include "RecordingSink.h"
#include "figure/Figure.h"
#include "form/QBColor.h"
#include "support/FormInvariants.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <string>

using namespace pr;

namespace {

struct LinePos {
    float x1, y1, x2, y2;
};

struct Point {
    float x, y;
};

void compareLine(const Line &l, LinePos p)
{
    CHECK(l.X1 == p.x1);
    CHECK(l.Y1 == p.y1);
    CHECK(l.X2 == p.x2);
    CHECK(l.Y2 == p.y2);
}

// Puts the lesson through a bit of everything: a slide, both prolongations, memo mode with a
// thick pen and strokes, then diagonal mode with two lines and a half.
void useEverything(Lesson &l)
{
    l.gamen_MouseDown(1, 0, 300, 300);
    l.gamen_MouseMove(1, 0, 452.5f, 310);
    l.gamen_MouseUp(1, 0, 452.5f, 310);
    l.gamen_MouseDown(1, 0, 100, 100);
    l.gamen_MouseUp(1, 0, 100, 100);
    l.gamen_MouseDown(1, 0, 600, 100);
    l.gamen_MouseUp(1, 0, 600, 100);
    l.clickCommand(3);
    l.clickOption(7);
    l.gamen_MouseDown(1, 0, 10, 10);
    l.gamen_MouseMove(1, 0, 20, 20);
    l.gamen_MouseUp(1, 0, 20, 20);
    l.clickCommand(3);
    l.clickCommand(4);
    for (int i : {0, 4, 1, 5, 2})
        clickPointLabel(l, i);
}

} // namespace

// On failure, names the first control or field that differs.
#define CHECK_SAME_FORM(a, b) CHECK_MESSAGE((a) == (b), FormInvariants::firstDifference((a), (b)))

TEST_SUITE_BEGIN("reset");

TEST_CASE("loadSetsTheWindowAndPen")
{
    Lesson l;
    l.Form_Load();
    const Form1 &f = l.form;
    CHECK(f.Caption == "平行線と線分の比 (by Vorlane)");
    CHECK(f.gamen.ScaleMode == 3);
    CHECK(f.gamen.FontSize == 20.0f);
    CHECK(f.gamen.ForeColor == rgb(255, 255, 255));
    CHECK(f.gamen.DrawWidth == 3);
    CHECK(f.st.penColor == 12);
    CHECK(f.selectedOption1() == 0);
    for (int i = 0; i <= 7; ++i) {
        CAPTURE(i);
        CHECK(!f.Option1[i].Enabled);
    }
    CHECK((f.Command1.Enabled && f.Command2.Enabled));
    CHECK((f.Command3.Enabled && f.Command4.Enabled));
    CHECK(!f.Shape1.Visible);
    CHECK(!f.endRequested);
}

TEST_CASE("loadClearsTheSurfaceThroughTheSink")
{
    RecordingSink sink;
    Lesson l;
    l.form.gamen.setSink(&sink);
    l.Form_Load();
    CHECK(sink.clears == 1);
    CHECK(sink.segments.empty());
}

TEST_CASE("stateAfterReset")
{
    const Lesson l = loadedLesson();
    const FigureState &s = l.form.st;
    CHECK(s.pY == 250.0f);
    CHECK(s.qY == 350.0f);
    CHECK(s.rY == 500.0f);
    CHECK(s.lTopX == 400.0f);
    CHECK(s.lBotX == 150.0f);
    CHECK(s.lTopY == 150.0f);
    CHECK(s.lBotY == 550.0f);
    CHECK(s.mTopX == 470.0f);
    CHECK(s.mBotX == 550.0f);
    CHECK(s.mTopY == 150.0f);
    CHECK(s.mBotY == std::int16_t(550));
    CHECK(s.dragMode == DragMode::None);
    CHECK_FALSE(s.memoMode);
    CHECK_FALSE(s.diagonalMode);
    CHECK(s.diagonalStep == std::int16_t(0));
}

TEST_CASE("initialScreen")
{
    const Lesson l = loadedLesson();
    const Form1 &f = l.form;
    compareLine(f.Line1[0], {50, 250, 750, 250});
    compareLine(f.Line1[1], {50, 350, 750, 350});
    compareLine(f.Line1[2], {50, 500, 750, 500});
    compareLine(f.Line1[3], {400, 150, 150, 550});
    compareLine(f.Line1[4], {470, 150, 550, 550});
    compareLine(f.Line2[0], {400, 150, 150, 550});
    CHECK(f.Line2[0].BorderColor == QBColor(12));

    const Point letters[5] = {{396, 160}, {476, 160}, {50, 214}, {50, 316}, {50, 470}};
    for (int i = 0; i <= 4; ++i) {
        CAPTURE(i);
        CHECK(f.Image1[i].Left == letters[i].x);
        CHECK(f.Image1[i].Top == letters[i].y);
    }

    const Point points[6] = {{316, 219}, {255, 319}, {163, 469},
                             {492, 219}, {512, 319}, {540, 469}};
    for (int i = 0; i <= 5; ++i) {
        CAPTURE(i);
        CHECK(f.Label2[i].Left == points[i].x);
        CHECK(f.Label2[i].Top == points[i].y);
        CHECK(f.Label2[i].BackColor == QBColor(2));
    }
    for (int i = 2; i <= 4; ++i) { // Ｄ, Ｅ, Ｆ rest exactly beneath Ａ, Ｂ, Ｃ
        CAPTURE(i);
        CHECK(f.Label3[i].Left == points[i - 2].x);
        CHECK(f.Label3[i].Top == points[i - 2].y);
    }

    for (int k = 0; k < 3; ++k) {
        CAPTURE(k);
        const float y = 250.0f + (k == 0 ? 0 : k == 1 ? 100 : 250);
        compareLine(f.Line3[2 * k], {680, y, 660, y + 10});
        compareLine(f.Line3[2 * k + 1], {680, y, 660, y - 10});
    }
    for (int i : {1, 2}) {
        CAPTURE(i);
        CHECK(f.Line2[i].X1 == 1000.0f);
        CHECK(f.Line2[i].X2 == 1000.0f);
    }
    for (int k = 0; k <= 4; ++k) {
        CAPTURE(k);
        CHECK(f.Line4[k].X1 == 1000.0f);
        CHECK(f.Line4[k].X2 == 1000.0f);
    }
    CHECK(f.Label3[1].Top == -50.0f);
}

TEST_CASE("captionsAndDesignColours")
{
    const Form1 f;
    CHECK(f.Command1.Caption == "初期画面");
    CHECK(f.Command2.Caption == "終了");
    CHECK(f.Command3.Caption == "メモ");
    CHECK(f.Command4.Caption == "対角線");
    CHECK(f.Label1.Caption == "相似と比");
    CHECK(f.Label4[0].Caption == "太字");
    CHECK(f.Label4[1].Caption == "細字");
    const char *pens[4] = {"赤色", "黄色", "青色", "消しゴム"};
    for (int i = 0; i < 4; ++i) {
        CAPTURE(i);
        CHECK(f.Option1[i].Caption == pens[i]);
        CHECK(f.Option1[i + 4].Caption == pens[i]);
        CHECK(f.Option1[i].Top == 360); // thin row below the thick one
        CHECK(f.Option1[i + 4].Top == 120);
    }
    const char *points[6] = {"Ａ", "Ｂ", "Ｃ", "Ａ'", "Ｂ'", "Ｃ'"};
    for (int i = 0; i <= 5; ++i) {
        CAPTURE(i);
        CHECK(f.Label2[i].Caption == points[i]);
    }
    CHECK(f.Label3[1].Caption == "Ｇ");
    CHECK(f.Label3[2].Caption == "Ｄ");
    CHECK(f.Label3[1].ForeColor == rgb(255, 255, 255));
    CHECK(f.Label3[4].ForeColor == rgb(255, 0, 0));
    CHECK(f.BackColor == rgb(192, 255, 192));
    CHECK(f.gamen.BackColor == rgb(0, 128, 0));
    CHECK(f.Label1.ForeColor == rgb(0, 255, 0));
    CHECK(f.Shape1.Height == 25.0f);
}

TEST_CASE("paletteValues")
{
    CHECK(QBColor(1) == rgb(0, 0, 128));
    CHECK(QBColor(2) == rgb(0, 128, 0));
    CHECK(QBColor(9) == rgb(0, 0, 255));
    CHECK(QBColor(12) == rgb(255, 0, 0));
    CHECK(QBColor(13) == rgb(255, 0, 255));
    CHECK(QBColor(14) == rgb(255, 255, 0));
    CHECK(QBColor(15) == rgb(255, 255, 255));
    CHECK(QBColor(16 + 2) == QBColor(2)); // out of range wraps, never reads past
    CHECK(QBColor(-1) == QBColor(15));
    // The layout a front end relies on: opaque, then red, green, blue from high to low.
    CHECK(rgb(0x12, 0x34, 0x56) == 0xFF123456u);
    CHECK((redOf(QBColor(13)) == 255 && greenOf(QBColor(13)) == 0 && blueOf(QBColor(13)) == 255));
}

TEST_CASE("resetRestoresTheInitialForm")
{
    const Lesson initial = loadedLesson();
    Lesson l = loadedLesson();
    useEverything(l);
    const Form1 &f = l.form;
    CHECK(!(f == initial.form));
    l.Command1_Click();

    // Everything equals the freshly loaded form except what a reset leaves alone.
    Form1 expected = initial.form;
    expected.st.penColor = f.st.penColor;
    expected.st.lastX = f.st.lastX;
    expected.st.lastY = f.st.lastY;
    expected.st.diagonalPhase = f.st.diagonalPhase;
    for (int i = 0; i <= 7; ++i)
        expected.Option1[i].Value = f.Option1[i].Value;
    for (int i = 1; i <= 4; ++i) {
        expected.Label3[i].Visible = f.Label3[i].Visible;
        expected.Label3[i].ForeColor = f.Label3[i].ForeColor;
    }
    expected.Label3[1].Left = f.Label3[1].Left;
    // Parked prolongations keep their y and their last colour; a press re-colours them.
    expected.Line2[1].BorderColor = f.Line2[1].BorderColor;
    expected.Line2[2].BorderColor = f.Line2[2].BorderColor;
    expected.Line2[1].Y1 = f.Line2[1].Y1;
    expected.Line2[1].Y2 = f.Line2[1].Y2;
    expected.Line2[2].Y1 = f.Line2[2].Y1;
    expected.Line2[2].Y2 = f.Line2[2].Y2;
    for (int k = 0; k <= 4; ++k) {
        expected.Line4[k].Y1 = f.Line4[k].Y1;
        expected.Line4[k].Y2 = f.Line4[k].Y2;
    }
    expected.Shape1.Left = f.Shape1.Left;
    expected.Shape1.Top = f.Shape1.Top;
    expected.Shape1.Width = f.Shape1.Width;
    CHECK_SAME_FORM(f, expected);
}

TEST_CASE("resetKeepsThePenAndLeftovers")
{
    Lesson l = loadedLesson();
    useEverything(l);
    Form1 &f = l.form;
    const FigureState before = f.st;
    const float gLeft = f.Label3[1].Left;
    figure::ResetFigure(f);
    CHECK(f.st.penColor == 2); // the thick eraser chosen in memo mode
    CHECK(f.selectedOption1() == 7);
    CHECK(f.st.lastX == before.lastX);
    CHECK(f.st.lastY == before.lastY);
    CHECK(f.st.diagonalPhase == before.diagonalPhase);
    CHECK(f.Label3[1].Left == gLeft);
    CHECK(f.Line4[0].Y2 == 350.0f); // parked lines keep their y
    CHECK(f.gamen.DrawWidth == 3);  // though the thick eraser stays selected
    CHECK(!f.Shape1.Visible);
}

TEST_CASE("twoResetsEqualOne")
{
    Lesson l = loadedLesson();
    useEverything(l);
    figure::ResetFigure(l.form);
    const Form1 once = l.form;
    figure::ResetFigure(l.form);
    CHECK_SAME_FORM(l.form, once);
}

TEST_CASE("rightPressResetsLikeTheButton")
{
    Lesson a = loadedLesson(), b = loadedLesson();
    useEverything(a);
    useEverything(b);
    a.gamen_MouseDown(2, 0, 12.5f, 40);
    b.Command1_Click();
    b.form.st.lastX = 12.5f; // a press also records its position
    b.form.st.lastY = 40;
    CHECK_SAME_FORM(a.form, b.form);
}

TEST_CASE("quitOnlyRequestsTheEnd")
{
    Lesson l = loadedLesson();
    const Form1 before = l.form;
    l.clickCommand(2);
    CHECK(l.form.endRequested);
    l.form.endRequested = false;
    CHECK_SAME_FORM(l.form, before);
}

TEST_SUITE_END();
