#include "FormInvariants.h"

#include "diagonal/Diagonal.h"
#include "form/QBColor.h"
#include "lesson/Lesson.h"

#include <cmath>
#include <sstream>
#include <type_traits>

using pr::EventScript;
using pr::Form1;
using pr::Lesson;
using Kind = pr::EventScript::Kind;

namespace {

// The eight pens: palette colour and stroke width, thin row 0..3 then thick row 4..7.
struct Pen {
    int colour;
    int width;
    bool eraser;
};
constexpr Pen kPens[8] = {
    {12, 3, false}, {14, 3, false}, {9, 3, false}, {2, 15, true},
    {12, 6, false}, {14, 6, false}, {9, 6, false}, {2, 25, true},
};

std::string str(float v)
{
    std::ostringstream s;
    s << v;
    return s.str();
}

bool usablePosition(const EventScript::Event &e)
{
    return Lesson::usableCoordinate(e.x) && Lesson::usableCoordinate(e.y);
}

// The visible point label whose box (edges included) holds a surface point, or -1: the
// labels that take clicks.
int pointLabelUnder(const Form1 &f, double x, double y)
{
    for (int i = f.Label2.first; i <= f.Label2.last; ++i) {
        const pr::Label &l = f.Label2[i];
        if (l.Visible && l.Left <= x && x <= double(l.Left) + l.Width && l.Top <= y &&
            y <= double(l.Top) + l.Height)
            return i;
    }
    return -1;
}

// Whether the construction lines, the line being built and the phase are as they were.
bool sameConstruction(const Form1 &a, const Form1 &b)
{
    return a.Line4 == b.Line4 && a.st.diagonalStep == b.st.diagonalStep &&
           a.st.diagonalPhase == b.st.diagonalPhase;
}

// What one click on a point label does to the construction: the line being built
// (Line4(step)) starts on the label's point, or ends there and the next line is due; the
// fifth line done, the count starts again and the mode ends. `label` -1: the label is not
// known, any labelled point will do. Empty if `after` shows such a click.
std::string oneClick(const Form1 &before, const Form1 &after, int label)
{
    const int k = before.st.diagonalStep;
    for (int j = 0; j <= 4; ++j)
        if (j != k && !(after.Line4[j] == before.Line4[j]))
            return "a label click changed Line4(" + std::to_string(j) + "), not the line being built";
    const pr::Line &was = before.Line4[k], &now = after.Line4[k];
    if (now.BorderColor != was.BorderColor || now.BorderWidth != was.BorderWidth)
        return "a label click changed the look of a construction line";
    const auto at = [&](int i) {
        const pr::diagonal::PointXY p = pr::diagonal::kPoints[i];
        return now.X2 == p.x && now.Y2 == p.y;
    };
    bool onPoint = false;
    for (int i = 0; i <= 5; ++i)
        onPoint = onPoint || ((label < 0 || label == i) && at(i));
    if (!onPoint)
        return label < 0 ? "a construction line ends on no labelled point"
                         : "a construction line does not end on the point of the label clicked (" +
                               std::to_string(label) + ")";
    if (!before.st.diagonalPhase) {
        if (!(now.X1 == now.X2 && now.Y1 == now.Y2))
            return "the first click of a line does not collapse it on its point";
        if (!after.st.diagonalPhase || after.st.diagonalStep != k || !after.st.diagonalMode)
            return "the first click of a line did not wait for its second";
    } else {
        if (!(now.X1 == was.X1 && now.Y1 == was.Y1))
            return "the second click of a line moved its start";
        if (after.st.diagonalPhase || after.st.diagonalStep != (k + 1) % 5)
            return "the second click of a line did not go on to the next";
        if (after.st.diagonalMode != (k != 4))
            return k == 4 ? "the fifth line did not end the mode"
                          : "a line before the fifth ended the mode";
    }
    return {};
}

// Collects the first failure only: later rules often fail as a consequence of it. The
// description is a string or a function making one, called only when the rule is broken.
class Rules {
public:
    template <typename What> void require(bool ok, What &&what)
    {
        if (ok || !failure_.empty())
            return;
        if constexpr (std::is_invocable_v<What>)
            failure_ = what();
        else
            failure_ = what;
    }
    const std::string &failure() const { return failure_; }

private:
    std::string failure_;
};

template <typename F> void forEachNumber(const Form1 &f, F &&visit)
{
    for (const pr::Line &l : f.Line1)
        visit("Line1", {l.X1, l.Y1, l.X2, l.Y2});
    for (const pr::Line &l : f.Line2)
        visit("Line2", {l.X1, l.Y1, l.X2, l.Y2});
    for (const pr::Line &l : f.Line3)
        visit("Line3", {l.X1, l.Y1, l.X2, l.Y2});
    for (const pr::Line &l : f.Line4)
        visit("Line4", {l.X1, l.Y1, l.X2, l.Y2});
    for (const pr::Label &l : f.Label2)
        visit("Label2", {l.Left, l.Top, l.Width, l.Height});
    for (const pr::Label &l : f.Label3)
        visit("Label3", {l.Left, l.Top, l.Width, l.Height});
    for (const pr::Image &i : f.Image1)
        visit("Image1", {i.Left, i.Top, i.Width, i.Height});
    const pr::Shape &s = f.Shape1;
    visit("Shape1", {s.Left, s.Top, s.Width, s.Height});
    const pr::FigureState &st = f.st;
    visit("figure geometry", {st.pY, st.qY, st.rY, st.lTopX, st.lBotX, st.lTopY, st.lBotY, st.mTopX,
                              st.mBotX, st.mTopY});
    visit("figure state", {st.lastX, st.lastY});
    visit("gamen", {f.gamen.FontSize});
}

} // namespace

FormInvariants::FormInvariants(const Form1 &initial) : initial_(initial) {}

bool FormInvariants::isReset(const EventScript::Event &e)
{
    return (e.kind == Kind::Command && e.index == 1) ||
           (e.kind == Kind::Press && e.button == 2 && usablePosition(e));
}

std::string FormInvariants::checkState(const Form1 &f) const
{
    Rules r;
    const pr::FigureState &s = f.st;
    using pr::DragMode;
    r.require(s.dragMode == DragMode::None || s.dragMode == DragMode::Copy ||
                  s.dragMode == DragMode::ProlongationL || s.dragMode == DragMode::ProlongationM,
              [&] { return "dragMode " + std::to_string(int(s.dragMode)) + " is no DragMode"; });
    r.require(!(s.memoMode && s.diagonalMode), "memo and diagonal mode both on");
    r.require(s.diagonalStep >= 0 && s.diagonalStep <= 4,
              [&] { return "diagonalStep " + std::to_string(s.diagonalStep) + " is not 0..4"; });
    r.require(!s.penDown || s.memoMode, "the pen is down outside memo mode");
    r.require(s.dragMode == DragMode::None || (!s.memoMode && !s.diagonalMode),
              "a drag is pending in memo or diagonal mode");

    const bool memo = s.memoMode, diagonal = s.diagonalMode;
    for (int i = 0; i <= 7; ++i)
        r.require(f.Option1[i].Enabled == memo,
                  [&] { return "pen option " + std::to_string(i) + " enabled is not memo mode"; });
    r.require(f.Command3.Enabled == !diagonal, "メモ enabled is not 'diagonal mode off'");
    r.require(f.Command4.Enabled == !memo, "対角線 enabled is not 'memo mode off'");
    r.require(f.Command1.Enabled && f.Command2.Enabled, "初期画面 or 終了 disabled");

    int selected = -1, count = 0;
    for (int i = 0; i <= 7; ++i)
        if (f.Option1[i].Value) {
            selected = i;
            ++count;
        }
    r.require(count == 1, "not exactly one pen option selected");
    if (count == 1) {
        const Pen &pen = kPens[selected];
        r.require(f.Shape1.Visible == (memo && pen.eraser),
                  "eraser cursor shown is not 'memo mode with an eraser selected'");
        if (f.Shape1.Visible)
            r.require(f.Shape1.Width == float(pen.width), [&] {
                return "eraser cursor " + str(f.Shape1.Width) + " wide, its eraser " +
                       std::to_string(pen.width);
            });
        r.require(s.penColor == pen.colour, "pen colour is not the selected pen's");
        r.require(f.gamen.DrawWidth == pen.width || f.gamen.DrawWidth == 3,
                  "draw width is neither the selected pen's nor the reset's 3");
    }
    r.require(f.Shape1.Height == 25, "eraser cursor height changed");

    // The figure itself never moves: parallels, transversals, marks, letters, point labels
    // and the geometry fields.
    for (int i = 0; i <= 4; ++i)
        r.require(f.Line1[i] == initial_.Line1[i],
                  [&] { return "Line1(" + std::to_string(i) + ") moved"; });
    for (int i = 0; i <= 5; ++i)
        r.require(f.Line3[i] == initial_.Line3[i],
                  [&] { return "Line3(" + std::to_string(i) + ") moved"; });
    for (int i = 0; i <= 4; ++i)
        r.require(f.Image1[i] == initial_.Image1[i],
                  [&] { return "Image1(" + std::to_string(i) + ") moved"; });
    for (int i = 0; i <= 5; ++i) {
        pr::Label l = f.Label2[i];
        l.BackColor = initial_.Label2[i].BackColor;
        r.require(l == initial_.Label2[i],
                  [&] { return "Label2(" + std::to_string(i) + ") changed"; });
        r.require(f.Label2[i].BackColor == pr::QBColor(diagonal ? 1 : 2),
                  "point label background does not show the diagonal mode");
    }
    pr::FigureState geometry = s;
    const pr::FigureState &g0 = initial_.st;
    geometry.dragMode = g0.dragMode;
    geometry.lastX = g0.lastX;
    geometry.lastY = g0.lastY;
    geometry.memoMode = g0.memoMode;
    geometry.penDown = g0.penDown;
    geometry.penColor = g0.penColor;
    geometry.diagonalMode = g0.diagonalMode;
    geometry.diagonalPhase = g0.diagonalPhase;
    geometry.diagonalStep = g0.diagonalStep;
    r.require(geometry == g0, "a geometry field of the figure changed");

    // The copy of ℓ and Ｄ, Ｅ, Ｆ only ever slide sideways.
    r.require(f.Line2[0].Y1 == 150 && f.Line2[0].Y2 == 550, "the copy of ℓ moved vertically");
    for (int i = 2; i <= 4; ++i)
        r.require(f.Label3[i].Top == initial_.Label3[i].Top,
                  [&] { return "Label3(" + std::to_string(i) + ") moved vertically"; });
    if (diagonal)
        r.require(f.Line2[0].BorderColor == pr::QBColor(15),
                  "the copy of ℓ is not white in diagonal mode");
    else
        r.require(f.Line2[0].BorderColor == pr::QBColor(12) ||
                      f.Line2[0].BorderColor == pr::QBColor(13),
                  "the copy of ℓ is neither light red nor light magenta");
    return r.failure();
}

std::string FormInvariants::checkFinite(const Form1 &f)
{
    std::string failure;
    forEachNumber(f, [&failure](const char *what, std::initializer_list<float> values) {
        for (float v : values)
            if (!std::isfinite(v) && failure.empty())
                failure = std::string("non-finite value ") + str(v) + " in " + what;
    });
    return failure;
}

std::string FormInvariants::firstDifference(const Form1 &a, const Form1 &b)
{
    const auto array = [](const auto &x, const auto &y, const char *name) -> std::string {
        for (int i = x.first; i <= x.last; ++i)
            if (!(x[i] == y[i]))
                return std::string(name) + "(" + std::to_string(i) + ")";
        return {};
    };
    for (const std::string &d :
         {array(a.Line1, b.Line1, "Line1"), array(a.Line2, b.Line2, "Line2"),
          array(a.Line3, b.Line3, "Line3"), array(a.Line4, b.Line4, "Line4"),
          array(a.Label2, b.Label2, "Label2"), array(a.Label3, b.Label3, "Label3"),
          array(a.Image1, b.Image1, "Image1"), array(a.Option1, b.Option1, "Option1"),
          array(a.Label4, b.Label4, "Label4")})
        if (!d.empty())
            return d;
    const struct {
        bool same;
        const char *name;
    } fields[] = {
        {a.Shape1 == b.Shape1, "Shape1"},       {a.gamen == b.gamen, "gamen"},
        {a.Command1 == b.Command1, "Command1"}, {a.Command2 == b.Command2, "Command2"},
        {a.Command3 == b.Command3, "Command3"}, {a.Command4 == b.Command4, "Command4"},
        {a.Label1 == b.Label1, "Label1"},       {a.st == b.st, "figure state"},
        {a.Caption == b.Caption, "Caption"},    {a.endRequested == b.endRequested, "endRequested"},
        {a.ClientWidth == b.ClientWidth && a.ClientHeight == b.ClientHeight &&
             a.BackColor == b.BackColor,
         "the window's size or colour"},
    };
    for (const auto &f : fields)
        if (!f.same)
            return f.name;
    return {};
}

Form1 FormInvariants::expectedAfterReset(const Form1 &after) const
{
    Form1 e = initial_;
    e.gamen.setSink(after.gamen.sink());
    e.endRequested = after.endRequested;
    e.st.penColor = after.st.penColor;
    e.st.lastX = after.st.lastX;
    e.st.lastY = after.st.lastY;
    e.st.diagonalPhase = after.st.diagonalPhase;
    for (int i = 0; i <= 7; ++i)
        e.Option1[i].Value = after.Option1[i].Value;
    for (int i = 1; i <= 4; ++i) {
        e.Label3[i].Visible = after.Label3[i].Visible;
        e.Label3[i].ForeColor = after.Label3[i].ForeColor;
    }
    e.Label3[1].Left = after.Label3[1].Left;
    for (int i : {1, 2}) {
        e.Line2[i].BorderColor = after.Line2[i].BorderColor;
        e.Line2[i].Y1 = after.Line2[i].Y1;
        e.Line2[i].Y2 = after.Line2[i].Y2;
    }
    for (int k = 0; k <= 4; ++k) {
        e.Line4[k].Y1 = after.Line4[k].Y1;
        e.Line4[k].Y2 = after.Line4[k].Y2;
    }
    e.Shape1.Left = after.Shape1.Left;
    e.Shape1.Top = after.Shape1.Top;
    e.Shape1.Width = after.Shape1.Width;
    return e;
}

std::string FormInvariants::checkTransition(const Form1 &before, const Form1 &after,
                                            const EventScript::Event &e, long clears, long segments,
                                            const StrokeCounter::Segment &last) const
{
    Rules r;
    const bool pointer = e.isPointer();
    const bool usable = pointer && usablePosition(e);
    // A whole label click ends with a left release at the label's centre.
    const bool labelClick = e.kind == Kind::Label && before.Label2.contains(e.index);
    const bool release = e.kind == Kind::Release || labelClick;

    if (pointer && !usable && e.kind != Kind::Release)
        r.require(after == before, [&] {
            return "a press or move at an unusable position changed " +
                   firstDifference(after, before);
        });

    const bool reset = isReset(e);
    if (reset) {
        r.require(after == expectedAfterReset(after), [&] {
            return "the reset did not restore the initial form: " +
                   firstDifference(after, expectedAfterReset(after)) + " differs";
        });
        r.require(clears == 1, [&] {
            return "the reset cleared the surface " + std::to_string(clears) + " times";
        });
    } else {
        r.require(clears == 0, "the surface was cleared without a reset");
    }

    // A release always reaches the form, at the last usable position if its own is not.
    if (release) {
        r.require(!after.st.penDown, "a release left the pen down");
        if (!before.st.memoMode && !before.st.diagonalMode)
            r.require(after.st.dragMode == pr::DragMode::None,
                      "a release in normal mode left a drag pending");
    }

    const bool strokes =
        e.kind == Kind::Move && usable && before.st.memoMode && before.st.penDown;
    if (strokes) {
        r.require(segments == 1, [&] {
            return "a move with the pen down drew " + std::to_string(segments) + " segments";
        });
        r.require(last.x1 == before.st.lastX && last.y1 == before.st.lastY && last.x2 == e.x &&
                      last.y2 == e.y,
                  "a stroke segment does not run from the last point to the pointer");
        r.require(last.colour == pr::QBColor(before.st.penColor) &&
                      last.width == before.gamen.DrawWidth,
                  "a stroke segment is not in the pen's colour and width");
    } else {
        r.require(segments == 0, "something was drawn outside a stroke");
    }

    if (e.kind == Kind::Command && e.index == 2) {
        Form1 expected = before;
        expected.endRequested = true;
        r.require(after == expected,
                  [&] { return "終了 changed " + firstDifference(after, expected); });
    }
    const bool ignoredClick =
        (e.kind == Kind::Command && (e.index < 1 || e.index > 4)) ||
        (e.kind == Kind::Command && e.index == 3 && !before.Command3.Enabled) ||
        (e.kind == Kind::Command && e.index == 4 && !before.Command4.Enabled) ||
        (e.kind == Kind::Option &&
         (e.index < 0 || e.index > 7 || !before.Option1[e.index].Enabled)) ||
        (e.kind == Kind::Label && !labelClick);
    if (ignoredClick)
        r.require(after == before, [&] {
            return "a click on a disabled or missing control changed " +
                   firstDifference(after, before);
        });

    if (e.kind == Kind::Move && usable && before.st.dragMode == pr::DragMode::None &&
        !before.st.memoMode && !before.st.diagonalMode) {
        Form1 expected = before;
        expected.Shape1.Left = after.Shape1.Left;
        expected.Shape1.Top = after.Shape1.Top;
        r.require(after == expected, [&] {
            return "an idle move changed more than the cursor: " + firstDifference(after, expected);
        });
    }

    // The construction lines: a reset parks them (expectedAfterReset), 対角線 restarts the
    // phase on entering the mode, and only a click on a point label builds: a left release
    // over a visible point label in diagonal mode (whether the press was on the same label
    // the event alone cannot tell). Where an unusable release was delivered is not known
    // here, so any labelled point will do for it.
    if (!reset) {
        const bool mayClick = release && (labelClick || e.button == 1) &&
                              before.st.diagonalMode;
        if (e.kind == Kind::Command && e.index == 4 && before.Command4.Enabled) {
            r.require(after.Line4 == before.Line4 &&
                          after.st.diagonalStep == before.st.diagonalStep,
                      "対角線 changed the construction lines");
            if (!before.st.diagonalMode)
                r.require(!after.st.diagonalPhase, "entering diagonal mode kept a half line");
            else
                r.require(after.st.diagonalPhase == before.st.diagonalPhase,
                          "leaving diagonal mode changed the phase");
        } else if (!mayClick) {
            r.require(sameConstruction(after, before),
                      "the construction changed without a click on a point label");
        } else if (!sameConstruction(after, before)) {
            const int label = labelClick ? e.index
                              : usable   ? pointLabelUnder(before, e.x, e.y)
                                         : -1;
            r.require(!usable || label >= 0, "a release off the point labels built a line");
            r.require(oneClick(before, after, label).empty(),
                      [&] { return oneClick(before, after, label); });
        }
    }
    return r.failure();
}
