#include "Diagonal.h"

#include "form/Form1.h"
#include "form/QBColor.h"
#include "figure/Figure.h"

namespace pr::diagonal {

void Command4_Click(Form1 &f)
{
    figure::endDrag(f); // a drag never outlives the mode it began in
    FigureState &s = f.st;
    if (!s.diagonalMode) {
        s.diagonalMode = true;
        s.diagonalPhase = false;
        f.Command3.Enabled = false;
        s.memoMode = false;
        f.Line2[kCopyOfL].BorderColor = QBColor(kFigureColour);
        for (int i = kPointA; i <= kPointCPrime; ++i)
            f.Label2[i].BackColor = QBColor(kClickableColour);
    } else {
        s.diagonalMode = false;
        f.Command3.Enabled = true;
        s.memoMode = false;
        f.Line2[kCopyOfL].BorderColor = QBColor(kCopyColour);
        for (int i = kPointA; i <= kPointCPrime; ++i)
            f.Label2[i].BackColor = QBColor(kSurfaceColour);
    }
    // Memo mode is off in both branches, so no stroke may stay in progress.
    s.penDown = false;
}

void Label2_Click(Form1 &f, std::int16_t Index)
{
    FigureState &s = f.st;
    if (!s.diagonalMode || Index < kPointA || Index > kPointCPrime)
        return;
    const PointXY p = kPoints[Index];
    Line &line = f.Line4[s.diagonalStep];
    if (!s.diagonalPhase) {
        line.X1 = p.x;
        line.Y1 = p.y;
        line.X2 = p.x;
        line.Y2 = p.y;
        s.diagonalPhase = true;
    } else {
        line.X2 = p.x;
        line.Y2 = p.y;
        s.diagonalPhase = false;
        s.diagonalStep = std::int16_t(s.diagonalStep + 1);
    }
    if (s.diagonalStep > 4) {
        s.diagonalStep = 0;
        Command4_Click(f);
    }
}

} // namespace pr::diagonal
