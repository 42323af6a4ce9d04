// Diagonal mode: the toggle and the construction of up to five lines by label clicks.
#include "diagonal/Diagonal.h"
#include "form/QBColor.h"
#include "support/FormInvariants.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <ostream>
#include <string>

using namespace pr;

namespace {

struct Seg {
    double x1, y1, x2, y2;
    bool operator==(const Seg &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Seg &s)
{
    return os << "(" << s.x1 << ", " << s.y1 << ")-(" << s.x2 << ", " << s.y2 << ")";
}

Seg lineOf(const Line &l) { return {l.X1, l.Y1, l.X2, l.Y2}; }

// A segment between two single-precision points, as the form stores them.
Seg seg(float x1, float y1, float x2, float y2) { return {x1, y1, x2, y2}; }

bool parked(const Line &l) { return l.X1 == 1000 && l.X2 == 1000; }

} // namespace

// On failure, names the first control or field that differs.
#define CHECK_SAME_FORM(a, b) CHECK_MESSAGE((a) == (b), FormInvariants::firstDifference((a), (b)))

TEST_SUITE_BEGIN("diagonal");

TEST_CASE("toggleMarksTheMode")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.clickCommand(4);
    CHECK(f.st.diagonalMode);
    CHECK_FALSE(f.st.diagonalPhase);
    CHECK(!f.Command3.Enabled);
    CHECK(f.Command4.Enabled);
    CHECK(f.Line2[0].BorderColor == QBColor(15));
    for (int i = 0; i <= 5; ++i) {
        CAPTURE(i);
        CHECK(f.Label2[i].BackColor == QBColor(1));
    }
    l.clickCommand(3); // memo is disabled meanwhile
    CHECK_FALSE(f.st.memoMode);

    l.clickCommand(4);
    CHECK_FALSE(f.st.diagonalMode);
    CHECK(f.Command3.Enabled);
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    for (int i = 0; i <= 5; ++i) {
        CAPTURE(i);
        CHECK(f.Label2[i].BackColor == QBColor(2));
    }
}

TEST_CASE("onAndOffWithoutClicksOnlyResetsThePhase")
{
    Lesson l = loadedLesson();
    l.clickCommand(4);
    clickPointLabel(l, 0); // phase 1
    l.clickCommand(4);
    const Form1 before = l.form;
    l.clickCommand(4);
    l.clickCommand(4);
    Form1 expected = before;
    expected.st.diagonalPhase = false;
    CHECK_SAME_FORM(l.form, expected);
}

TEST_CASE("pointsOfTheLabels")
{
    const struct {
        const char *name;
        int from, to;
        Seg line;
    } rows[] = {
        {"Ａ to Ｂ'", 0, 4, seg(337.5, 250, 510, 350)},
        {"Ｂ' to Ａ", 4, 0, seg(510, 350, 337.5, 250)},
        {"Ｂ to Ｃ'", 1, 5, seg(275, 350, 540, 500)},
        {"Ａ' to Ｃ, Ｃ at 181.3", 3, 2, seg(490, 250, 181.3f, 500)},
        {"Ａ to Ｃ along ℓ", 0, 2, seg(337.5, 250, 181.3f, 500)},
        {"Ａ to Ａ' along p", 0, 3, seg(337.5, 250, 490, 250)},
        {"Ｂ twice", 1, 1, seg(275, 350, 275, 350)},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        Lesson l = loadedLesson();
        const Form1 &f = l.form;
        l.clickCommand(4);
        clickPointLabel(l, row.from);
        const Seg collapsed{row.line.x1, row.line.y1, row.line.x1, row.line.y1};
        CHECK(lineOf(f.Line4[0]) == collapsed); // collapsed on the point
        CHECK(f.st.diagonalPhase);
        clickPointLabel(l, row.to);
        CHECK(lineOf(f.Line4[0]) == row.line);
        CHECK_FALSE(f.st.diagonalPhase);
        CHECK(f.st.diagonalStep == std::int16_t(1));
        CHECK(parked(f.Line4[1]));
    }
}

TEST_CASE("fifthLineEndsTheModeAndTheSixthReusesTheFirst")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.clickCommand(4);
    const int clicks[5][2] = {{0, 3}, {1, 4}, {2, 5}, {0, 5}, {2, 3}};
    for (int k = 0; k < 5; ++k) {
        CAPTURE(k);
        CHECK(f.st.diagonalMode);
        CHECK(f.st.diagonalStep == std::int16_t(k));
        clickPointLabel(l, clicks[k][0]);
        clickPointLabel(l, clicks[k][1]);
    }
    CHECK_FALSE(f.st.diagonalMode);
    CHECK(f.st.diagonalStep == std::int16_t(0));
    CHECK_FALSE(f.st.diagonalPhase);
    CHECK(f.Command3.Enabled);
    CHECK(f.Label2[0].BackColor == QBColor(2));
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    for (int k = 0; k <= 4; ++k) { // all five stay
        CAPTURE(k);
        CHECK(!parked(f.Line4[k]));
    }
    CHECK(lineOf(f.Line4[4]) == seg(181.3f, 500, 490, 250));

    clickPointLabel(l, 1); // mode off: inert
    CHECK(lineOf(f.Line4[0]) == seg(337.5, 250, 490, 250));
    l.clickCommand(4);
    clickPointLabel(l, 1);
    CHECK(lineOf(f.Line4[0]) == seg(275, 350, 275, 350));
    CHECK(lineOf(f.Line4[1]) == seg(275, 350, 510, 350)); // the others stay
}

TEST_CASE("leavingKeepsLinesAndStep")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.clickCommand(4);
    for (int i : {0, 3, 1, 4})
        clickPointLabel(l, i);
    l.clickCommand(4);
    CHECK(f.st.diagonalStep == std::int16_t(2));
    CHECK((!parked(f.Line4[0]) && !parked(f.Line4[1])));
    l.clickCommand(4);
    clickPointLabel(l, 2);
    clickPointLabel(l, 5);
    CHECK(lineOf(f.Line4[2]) == seg(181.3f, 500, 540, 500));
}

TEST_CASE("halfLineIsStartedAfreshAfterToggling")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.clickCommand(4);
    clickPointLabel(l, 0);
    l.clickCommand(4);
    l.clickCommand(4);
    CHECK(lineOf(f.Line4[0]) == seg(337.5, 250, 337.5, 250)); // left as it was
    clickPointLabel(l, 5);
    CHECK(lineOf(f.Line4[0]) == seg(540, 500, 540, 500));
    CHECK(f.st.diagonalStep == std::int16_t(0));
}

// A label click is a press and release on the surface as well: outside diagonal mode it
// does what that press and release do there (a prolongation shown, the copy picked up and
// put down, a pen touched and lifted) and nothing more.
TEST_CASE("clicksDoNothingOutsideTheMode")
{
    for (bool memo : {false, true}) {
        CAPTURE(memo);
        Lesson l = loadedLesson();
        if (memo)
            l.clickCommand(3);
        Lesson surfaceOnly = l;
        for (int i = 0; i <= 5; ++i) {
            clickPointLabel(l, i);
            const Label &label = surfaceOnly.form.Label2[i];
            const float x = label.Left + label.Width / 2, y = label.Top + label.Height / 2;
            surfaceOnly.gamen_MouseDown(1, 0, x, y);
            surfaceOnly.gamen_MouseUp(1, 0, x, y);
        }
        diagonal::Label2_Click(l.form, 7); // no such label
        CHECK_SAME_FORM(l.form, surfaceOnly.form);
        for (int k = 0; k <= 4; ++k) {
            CAPTURE(k);
            CHECK(parked(l.form.Line4[k]));
        }
    }
}

TEST_CASE("resetMidConstruction")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    l.clickCommand(4);
    for (int i : {0, 3, 1})
        clickPointLabel(l, i);
    l.gamen_MouseDown(2, 0, 1, 1);
    CHECK_FALSE(f.st.diagonalMode);
    CHECK(f.st.diagonalStep == std::int16_t(0));
    CHECK(f.st.diagonalPhase); // left for the next entry to reset
    for (int k = 0; k <= 4; ++k) {
        CAPTURE(k);
        CHECK(parked(f.Line4[k]));
    }
    CHECK(f.Line4[0].Y2 == 250.0f);
    CHECK(f.Command3.Enabled);
    CHECK(f.Line2[0].BorderColor == QBColor(12));
    CHECK(f.Label2[3].BackColor == QBColor(2));
    l.clickCommand(4);
    clickPointLabel(l, 4);
    CHECK(lineOf(f.Line4[0]) == seg(510, 350, 510, 350));
}

TEST_SUITE_END();
