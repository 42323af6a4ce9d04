#include "Figure.h"

#include "form/Form1.h"
#include "form/QBColor.h"

#include <cmath>

namespace pr::figure {

namespace {

// Hides Ｄ, Ｅ, Ｆ where the copy's crossing lies on m's crossing, shows the others in light
// red. X1 is read afresh for each label.
void applyCopyLabelVisibility(Form1 &f)
{
    const struct {
        int label;
        double x0;
    } rows[] = {{kPointD, kCoincideD}, {kPointE, kCoincideE}, {kPointF, kCoincideF}};
    for (const auto &row : rows) {
        const float x1 = f.Line2[kCopyOfL].X1;
        Label &label = f.Label3[row.label];
        if (std::fabs(double(x1) - row.x0) < kCoincideTolerance) {
            label.Visible = false;
        } else {
            label.Visible = true;
            label.ForeColor = QBColor(kCopyColour);
        }
    }
}

void setLine(Line &line, float x1, float y1, float x2, float y2)
{
    line.X1 = x1;
    line.Y1 = y1;
    line.X2 = x2;
    line.Y2 = y2;
}

} // namespace

void ResetFigure(Form1 &f)
{
    FigureState &s = f.st;

    f.gamen.DrawWidth = 3;
    f.gamen.Cls();
    f.Shape1.Visible = false;
    for (int i = 0; i <= 7; ++i)
        f.Option1[i].Enabled = false;
    f.Command3.Enabled = true;
    f.Command4.Enabled = true;

    s.memoMode = false;
    s.diagonalMode = false;
    s.dragMode = DragMode::None;
    s.diagonalStep = 0;
    // A stroke never outlives memo mode: without this a pen held down across a reset would
    // keep drawing once memo mode is turned on again, with no button held.
    s.penDown = false;

    s.pY = 250;
    s.qY = 350;
    s.rY = 500;
    s.lTopX = 400;
    s.lBotX = 150;
    s.lTopY = 150;
    s.lBotY = 550;
    s.mTopX = 470;
    s.mBotX = 550;
    s.mTopY = 150;
    s.mBotY = 550;

    // Parallels and their letters, which end 2 or 3 px above their line's left end.
    const struct {
        int line;
        float y;
        int letter;
        float lift;
    } parallels[] = {{kParallelP, s.pY, kLetterP, 36},
                     {kParallelQ, s.qY, kLetterQ, 34},
                     {kParallelR, s.rY, kLetterR, 30}};
    for (const auto &p : parallels) {
        setLine(f.Line1[p.line], 50, p.y, 750, p.y);
        f.Image1[p.letter].Top = p.y - p.lift;
        f.Image1[p.letter].Left = 50;
    }

    setLine(f.Line1[kTransversalL], s.lTopX, s.lTopY, s.lBotX, s.lBotY);
    f.Image1[kLetterL].Top = s.lTopY + 10;
    f.Image1[kLetterL].Left = s.lTopX - 4;

    setLine(f.Line1[kTransversalM], s.mTopX, s.mTopY, s.mBotX, float(s.mBotY));
    f.Image1[kLetterM].Top = s.mTopY + 10;
    f.Image1[kLetterM].Left = s.mTopX + 6;

    // Point labels stand above their crossing, ℓ's to the left and m's to the right; Ｄ, Ｅ, Ｆ
    // rest exactly beneath Ａ, Ｂ, Ｃ.
    const auto place = [](Label &label, float left, float top) {
        label.Left = left;
        label.Top = top;
    };
    place(f.Label2[kPointA], s.lTopX - 84, s.pY - 31);
    place(f.Label3[kPointD], s.lTopX - 84, s.pY - 31);
    place(f.Label2[kPointB], s.lTopX - 145, s.qY - 31);
    place(f.Label3[kPointE], s.lTopX - 145, s.qY - 31);
    place(f.Label2[kPointC], s.lTopX - 237, s.rY - 31);
    place(f.Label3[kPointF], s.lTopX - 237, s.rY - 31);
    place(f.Label2[kPointAPrime], s.mTopX + 22, s.pY - 31);
    place(f.Label2[kPointBPrime], s.mTopX + 42, s.qY - 31);
    place(f.Label2[kPointCPrime], s.mTopX + 70, s.rY - 31);

    setLine(f.Line2[kCopyOfL], s.lTopX, s.lTopY, s.lBotX, s.lBotY);
    f.Line2[kCopyOfL].BorderColor = QBColor(kCopyColour);

    // Parked: x = 1000 lies beyond the surface's right edge; y stays as it was.
    for (int i : {kProlongationL, kProlongationM}) {
        f.Line2[i].X1 = 1000;
        f.Line2[i].X2 = 1000;
    }
    f.Label3[kPointG].Top = -50;

    // Arrowhead marks pointing right on each parallel.
    const float ys[] = {s.pY, s.qY, s.rY};
    for (int k = 0; k < 3; ++k) {
        setLine(f.Line3[2 * k], 680, ys[k], 660, ys[k] + 10);
        setLine(f.Line3[2 * k + 1], 680, ys[k], 660, ys[k] - 10);
    }

    for (int k = 0; k <= 4; ++k) {
        f.Line4[k].X1 = 1000;
        f.Line4[k].X2 = 1000;
    }
    for (int k = kPointA; k <= kPointCPrime; ++k)
        f.Label2[k].BackColor = QBColor(kSurfaceColour);
}

void chooseDrag(Form1 &f, float X, float Y)
{
    FigureState &s = f.st;
    if (s.memoMode || s.diagonalMode)
        return;
    // Independent tests: the last region that matches decides dragMode. The bounds are
    // constants of the one layout (p at 250, r at 500), not the fields.
    if (250 <= Y && Y <= 500 && f.Line2[kCopyOfL].X2 <= X && X <= f.Line2[kCopyOfL].X1) {
        f.Line2[kCopyOfL].BorderColor = QBColor(kHeldColour);
        for (int i = kPointD; i <= kPointF; ++i)
            f.Label3[i].ForeColor = QBColor(kHeldColour);
        s.dragMode = DragMode::Copy;
    }
    if (Y < 250 && X < float(f.Line1[kTransversalL].X1 + 40)) {
        setLine(f.Line2[kProlongationL], s.lTopX, s.lTopY, float(double(s.lTopX) + 87.5), 10);
        f.Line2[kProlongationL].BorderColor = QBColor(kHeldColour);
        s.dragMode = DragMode::ProlongationL;
    }
    if (Y < 250 && X > float(f.Line1[kTransversalM].X1 - 20)) {
        setLine(f.Line2[kProlongationM], s.mTopX, s.mTopY, s.mTopX - 28, 10);
        f.Line2[kProlongationM].BorderColor = QBColor(kHeldColour);
        s.dragMode = DragMode::ProlongationM;
    }
}

void slideCopy(Form1 &f, float X)
{
    FigureState &s = f.st;
    if (s.dragMode != DragMode::Copy)
        return;
    const float d = X - s.lastX;
    f.Line2[kCopyOfL].X1 = f.Line2[kCopyOfL].X1 + d;
    f.Line2[kCopyOfL].X2 = f.Line2[kCopyOfL].X2 + d;
    for (int i = kPointD; i <= kPointF; ++i)
        f.Label3[i].Left = f.Label3[i].Left + d;
    applyCopyLabelVisibility(f);
}

void endDrag(Form1 &f)
{
    FigureState &s = f.st;
    if (s.memoMode || s.diagonalMode)
        return;
    if (s.dragMode == DragMode::Copy) {
        f.Line2[kCopyOfL].BorderColor = QBColor(kCopyColour);
        applyCopyLabelVisibility(f);
        s.dragMode = DragMode::None;
    }
    // Ｇ stands just right of where the two prolongations cross, about (453, 65).
    if (s.dragMode == DragMode::ProlongationL) {
        f.Line2[kProlongationL].BorderColor = QBColor(kFigureColour);
        f.Label3[kPointG].Top = 52;
        f.Label3[kPointG].Left = 460;
        s.dragMode = DragMode::None;
    }
    if (s.dragMode == DragMode::ProlongationM) {
        f.Line2[kProlongationM].BorderColor = QBColor(kFigureColour);
        f.Label3[kPointG].Top = 52;
        f.Label3[kPointG].Left = 460;
        s.dragMode = DragMode::None;
    }
}

} // namespace pr::figure
