#include "Board.h"

#include "diagonal/Diagonal.h"
#include "figure/Figure.h"
#include "form/Form1.h"
#include "form/QBColor.h"

#include <cmath>

namespace pr {

namespace {

// Farthest a slid part of the figure is taken from a file. Slides add up pointer steps of
// at most 1e6 px, so a real lesson stays far below; beyond it float steps would be coarse.
constexpr double kMaxFigureCoordinate = 1e8;

bool figureCoordinate(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxFigureCoordinate;
}

// Stroke points are pointer positions, which the lesson takes only finite and within 1e6
// logical pixels of the origin.
bool pointerCoordinate(float v) { return std::isfinite(v) && std::fabs(v) <= 1e6; }

int pointIndex(float x, float y)
{
    for (int i = 0; i < 6; ++i)
        if (diagonal::kPoints[i].x == x && diagonal::kPoints[i].y == y)
            return i;
    return -1;
}

bool penAllowed(Rgb colour, int width)
{
    if (colour == QBColor(kPenRed) || colour == QBColor(kPenYellow) || colour == QBColor(kPenBlue))
        return width == 3 || width == 6;
    // The eraser is 15 or 25 wide, and 3 after a reset until a pen is chosen again.
    if (colour == QBColor(kPenEraser))
        return width == 3 || width == 15 || width == 25;
    return false;
}

} // namespace

Board Board::of(const Form1 &form, const std::vector<Stroke> &strokes)
{
    Board b;
    b.ratios = form.aids.ratios;
    b.triangles = form.aids.triangles;
    b.copyX1 = form.Line2[kCopyOfL].X1;
    b.copyX2 = form.Line2[kCopyOfL].X2;
    b.copyHighlighted = form.Line2[kCopyOfL].BorderColor == QBColor(kHeldColour);
    for (int i = 0; i < 3; ++i) {
        const Label &l = form.Label3[kPointD + i];
        b.copyLabels[std::size_t(i)] = {l.Left, l.Visible, l.ForeColor == QBColor(kHeldColour)};
    }
    const auto prolongation = [](const Line &l) {
        if (l.X1 == 1000)
            return Prolongation::Hidden;
        return l.BorderColor == QBColor(kHeldColour) ? Prolongation::Highlighted
                                                     : Prolongation::Shown;
    };
    b.prolongationL = prolongation(form.Line2[kProlongationL]);
    b.prolongationM = prolongation(form.Line2[kProlongationM]);
    b.pointG = form.Label3[kPointG].Top != -50;
    for (int k = 0; k < 5; ++k) {
        const Line &l = form.Line4[k];
        const int from = pointIndex(l.X1, l.Y1), to = pointIndex(l.X2, l.Y2);
        if (from >= 0 && to >= 0)
            b.lines[std::size_t(k)] = {true, from, to};
    }
    b.nextLine = form.st.diagonalStep;
    b.strokes = strokes;
    return b;
}

void Board::applyTo(Form1 &form) const
{
    form.aids = {ratios, triangles};
    const FigureState &s = form.st;
    Line &copy = form.Line2[kCopyOfL];
    copy.X1 = copyX1;
    copy.X2 = copyX2;
    copy.BorderColor = copyHighlighted ? QBColor(kHeldColour) : QBColor(kCopyColour);
    for (int i = 0; i < 3; ++i) {
        const CopyLabel &c = copyLabels[std::size_t(i)];
        Label &l = form.Label3[kPointD + i];
        l.Left = c.left;
        l.Visible = c.visible;
        l.ForeColor = c.highlighted ? QBColor(kHeldColour) : QBColor(kCopyColour);
    }
    // The prolongations where a press shows them, white as a release leaves them.
    const auto colour = [](Prolongation p) {
        return p == Prolongation::Highlighted ? QBColor(kHeldColour) : QBColor(kFigureColour);
    };
    Line &lineL = form.Line2[kProlongationL], &lineM = form.Line2[kProlongationM];
    if (prolongationL != Prolongation::Hidden)
        lineL = {s.lTopX, s.lTopY, float(double(s.lTopX) + 87.5), 10, colour(prolongationL),
                 lineL.BorderWidth};
    if (prolongationM != Prolongation::Hidden)
        lineM = {s.mTopX, s.mTopY, s.mTopX - 28, 10, colour(prolongationM), lineM.BorderWidth};
    if (pointG) {
        form.Label3[kPointG].Top = 52;
        form.Label3[kPointG].Left = 460;
    }
    for (int k = 0; k < 5; ++k) {
        const ConstructionLine &c = lines[std::size_t(k)];
        if (!c.shown)
            continue;
        Line &l = form.Line4[k];
        l.X1 = diagonal::kPoints[c.from].x;
        l.Y1 = diagonal::kPoints[c.from].y;
        l.X2 = diagonal::kPoints[c.to].x;
        l.Y2 = diagonal::kPoints[c.to].y;
    }
    form.st.diagonalStep = std::int16_t(nextLine);
}

std::size_t Board::pointCount() const
{
    std::size_t n = 0;
    for (const Stroke &s : strokes)
        n += s.points.size();
    return n;
}

BoardFault Board::check() const
{
    using E = BoardError;
    if (!figureCoordinate(copyX1) || !figureCoordinate(copyX2))
        return {E::FigureRange};
    for (const CopyLabel &c : copyLabels)
        if (!figureCoordinate(c.left))
            return {E::FigureRange};

    // A slide adds the same step to each coordinate of the copy and of Ｄ, Ｅ, Ｆ, in single
    // precision: they stay a translate of the copy at reset up to the rounding, which grows
    // with the distance slid (some 0.8 px after two million slides out to 10^6 and back).
    const double drift =
        4 + std::ldexp(std::fmax(std::fabs(double(copyX1)), std::fabs(double(copyX2))), -12);
    const Board initial;
    if (std::fabs((double(copyX1) - copyX2) - (double(initial.copyX1) - initial.copyX2)) > drift)
        return {E::CopySlant};
    bool atReset = copyX1 == initial.copyX1 && copyX2 == initial.copyX2;
    for (std::size_t i = 0; i < 3; ++i) {
        const double offset = double(initial.copyLabels[i].left) - initial.copyX1;
        if (std::fabs(double(copyLabels[i].left) - copyX1 - offset) > drift)
            return {E::CopyLabelsOff, long(i)};
        atReset = atReset && copyLabels[i].left == initial.copyLabels[i].left;
    }
    // Every move and release of the copy hides a label within 5 px of its partner on m and
    // shows the others; a reset puts the copy back and leaves the labels as they were.
    const double onM[3] = {figure::kCoincideD, figure::kCoincideE, figure::kCoincideF};
    for (std::size_t i = 0; i < 3; ++i) {
        const bool near = std::fabs(double(copyX1) - onM[i]) < figure::kCoincideTolerance;
        if (copyLabels[i].visible && near)
            return {E::LabelShownOnM, long(i)};
        if (!copyLabels[i].visible && !near && !atReset)
            return {E::LabelHiddenOffM, long(i)};
    }

    // A release that commits a prolongation places Ｇ, and only a reset parks it again, with
    // both prolongations.
    const bool anyShown = prolongationL == Prolongation::Shown || prolongationM == Prolongation::Shown;
    const bool anyThere = prolongationL != Prolongation::Hidden || prolongationM != Prolongation::Hidden;
    if ((anyShown && !pointG) || (pointG && !anyThere))
        return {E::PointG};

    for (std::size_t k = 0; k < lines.size(); ++k) {
        const ConstructionLine &c = lines[k];
        if (c.shown && (c.from < 0 || c.from > 5 || c.to < 0 || c.to > 5))
            return {E::LineEnds, long(k)};
    }
    if (nextLine < 0 || nextLine > 4)
        return {E::NextLineRange};
    // Lines are built in turn: those before the next one are drawn, the next one is parked or
    // has its first end only, the rest are parked. After the fifth the turn starts again at
    // the first with all five drawn, and only a reset parks them.
    bool allShown = true;
    for (const ConstructionLine &c : lines)
        allShown = allShown && c.shown;
    if (!allShown) {
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const ConstructionLine &c = lines[k];
            const int next = nextLine;
            const bool fits = int(k) < next   ? c.shown
                              : int(k) > next ? !c.shown
                                              : !c.shown || c.from == c.to;
            if (!fits)
                return {E::LinesAndNextLine};
        }
    }

    if (strokes.size() > kMaxStrokes)
        return {E::TooManyStrokes};
    std::size_t points = 0;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const Stroke &s = strokes[i];
        if (!penAllowed(s.colour, s.width))
            return {E::Pen, long(i)};
        if (s.eraser != (s.colour == QBColor(kPenEraser)))
            return {E::EraserColour, long(i)};
        if (s.points.size() < 2)
            return {E::TooFewPoints, long(i)};
        points += s.points.size();
        if (points > kMaxPoints)
            return {E::TooManyPoints};
        for (const StrokePoint &p : s.points)
            if (!pointerCoordinate(p.x) || !pointerCoordinate(p.y))
                return {E::PointRange, long(i)};
    }
    return {};
}

} // namespace pr
