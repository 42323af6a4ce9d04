#include "Memo.h"

#include "form/Form1.h"
#include "form/QBColor.h"
#include "figure/Figure.h"

namespace pr::memo {

namespace {

struct Pen {
    int colour;    // palette index
    int width;     // draw width, logical px
    bool eraser;
};

// Index 0..3 thin row, 4..7 thick row: red, yellow, blue, eraser. The eraser paints in the
// surface's own green.
constexpr Pen kPens[8] = {
    {kPenRed, 3, false}, {kPenYellow, 3, false}, {kPenBlue, 3, false}, {kPenEraser, 15, true},
    {kPenRed, 6, false}, {kPenYellow, 6, false}, {kPenBlue, 6, false}, {kPenEraser, 25, true},
};

} // namespace

void Command3_Click(Form1 &f)
{
    // A copy or prolongation still held (the button reached by keyboard or a second finger)
    // is let go first; else it would follow the pointer in memo mode with no button held.
    figure::endDrag(f);
    FigureState &s = f.st;
    if (!s.memoMode) {
        for (int i = 0; i <= 7; ++i)
            f.Option1[i].Enabled = true;
        s.memoMode = true;
        f.Command4.Enabled = false;
        if (f.Option1[kThinEraser].Value || f.Option1[kThickEraser].Value)
            f.Shape1.Visible = true;
    } else {
        for (int i = 0; i <= 7; ++i)
            f.Option1[i].Enabled = false;
        s.memoMode = false;
        // The stroke in progress ends with the mode that started it.
        s.penDown = false;
        f.Command4.Enabled = true;
        f.Shape1.Visible = false;
    }
    s.diagonalMode = false;
}

void Option1_Click(Form1 &f, std::int16_t Index)
{
    f.Shape1.Visible = false;
    if (Index < 0 || Index > 7)
        return;
    const Pen &pen = kPens[Index];
    f.st.penColor = pen.colour;
    f.gamen.DrawWidth = pen.width;
    if (pen.eraser) {
        f.Shape1.Visible = true;
        f.Shape1.Width = float(pen.width);
    }
}

std::int16_t eraserOfRow(int option)
{
    return option >= 4 ? std::int16_t(kThickEraser) : std::int16_t(kThinEraser);
}

void penPress(Form1 &f)
{
    if (f.st.memoMode) {
        f.st.penDown = true;
        f.st.dragMode = DragMode::None;
    }
}

void moveEraserCursor(Form1 &f, float X, float Y)
{
    const float h = f.Shape1.Height;
    f.Shape1.Top = Y - h / 2;
    const float w = f.Shape1.Width;
    f.Shape1.Left = X - w / 2;
}

void strokeSegment(Form1 &f, float X, float Y)
{
    const FigureState &s = f.st;
    if (s.memoMode && s.penDown) {
        const Rgb colour = QBColor(s.penColor);
        f.gamen.Line(s.lastX, s.lastY, X, Y, colour);
    }
}

void penRelease(Form1 &f)
{
    if (f.st.memoMode && f.st.penDown)
        f.st.penDown = false;
}

} // namespace pr::memo
