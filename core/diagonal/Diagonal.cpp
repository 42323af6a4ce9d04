#include "Diagonal.h"

#include "form/Form1.h"
#include "form/QBColor.h"
#include "figure/Figure.h"

namespace pr::diagonal {

void Command4_Click(Form1 &f)
{
    figure::endDrag(f); // a drag never outlives the mode it began in
    FigureState &s = f.st;
    if (s.diagonalMode == 0) {
        s.diagonalMode = 1;
        s.diagonalPhase = 0;
        f.Command3.Enabled = false;
        s.memoMode = 0;
        f.Line2[0].BorderColor = QBColor(15);
        for (int i = 0; i <= 5; ++i)
            f.Label2[i].BackColor = QBColor(1);
    } else {
        s.diagonalMode = 0;
        f.Command3.Enabled = true;
        s.memoMode = 0;
        f.Line2[0].BorderColor = QBColor(12);
        for (int i = 0; i <= 5; ++i)
            f.Label2[i].BackColor = QBColor(2);
    }
    // Memo mode is off in both branches, so no stroke may stay in progress.
    s.penDown = 0;
}

void Label2_Click(Form1 &f, std::int16_t Index)
{
    FigureState &s = f.st;
    if (s.diagonalMode == 0 || Index < 0 || Index > 5)
        return;
    const PointXY p = kPoints[Index];
    Line &line = f.Line4[s.diagonalStep];
    if (s.diagonalPhase == 0) {
        line.X1 = p.x;
        line.Y1 = p.y;
        line.X2 = p.x;
        line.Y2 = p.y;
        s.diagonalPhase = 1;
    } else {
        line.X2 = p.x;
        line.Y2 = p.y;
        s.diagonalPhase = 0;
        s.diagonalStep = std::int16_t(s.diagonalStep + 1);
    }
    if (s.diagonalStep > 4) {
        s.diagonalStep = 0;
        Command4_Click(f);
    }
}

} // namespace pr::diagonal
