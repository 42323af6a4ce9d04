#include "Lesson.h"

#include "diagonal/Diagonal.h"
#include "figure/Figure.h"
#include "form/QBColor.h"
#include "memo/Memo.h"

#include <cmath>

namespace pr {

void Lesson::Form_Load()
{
    form.Caption = "平行線と線分の比 (by Vorlane)";
    form.gamen.FontSize = 20;
    form.gamen.ScaleMode = 3;
    form.gamen.ForeColor = QBColor(15);
    form.gamen.DrawWidth = 3;
    form.st.penColor = 12;
    if (form.selectOption1(0))
        memo::Option1_Click(form, 0);
    figure::ResetFigure(form);
}

void Lesson::Command1_Click() { figure::ResetFigure(form); }

void Lesson::Command2_Click() { form.endRequested = true; }

void Lesson::gamen_MouseDown(std::int16_t Button, std::int16_t /*Shift*/, float X, float Y)
{
    if (Button == 1) {
        figure::chooseDrag(form, X, Y);
        memo::penPress(form);
    }
    if (Button == 2)
        figure::ResetFigure(form);
    form.st.lastX = X;
    form.st.lastY = Y;
}

void Lesson::gamen_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    FigureState &s = form.st;
    memo::moveEraserCursor(form, X, Y);
    if (s.dragMode == 0 && s.memoMode == 0 && s.diagonalMode == 0)
        return;
    memo::strokeSegment(form, X, Y);
    figure::slideCopy(form, X);
    s.lastX = X;
    s.lastY = Y;
}

void Lesson::gamen_MouseUp(std::int16_t /*Button*/, std::int16_t /*Shift*/, float /*X*/,
                           float /*Y*/)
{
    memo::penRelease(form);
    figure::endDrag(form);
}

void Lesson::clickCommand(int number)
{
    switch (number) {
    case 1:
        if (form.Command1.Enabled)
            Command1_Click();
        break;
    case 2:
        if (form.Command2.Enabled)
            Command2_Click();
        break;
    case 3:
        if (form.Command3.Enabled)
            memo::Command3_Click(form);
        break;
    case 4:
        if (form.Command4.Enabled)
            diagonal::Command4_Click(form);
        break;
    default:
        break;
    }
}

void Lesson::clickOption(int index)
{
    if (!form.Option1.contains(index) || !form.Option1[index].Enabled)
        return;
    form.selectOption1(index);
    memo::Option1_Click(form, std::int16_t(index));
}

bool Lesson::usableCoordinate(double v) { return std::isfinite(v) && std::fabs(v) <= 1e6; }

int Lesson::pointLabelAt(double x, double y) const
{
    for (int i = form.Label2.first; i <= form.Label2.last; ++i) {
        const Label &l = form.Label2[i];
        if (l.Visible && l.Left <= x && x <= double(l.Left) + l.Width && l.Top <= y &&
            y <= double(l.Top) + l.Height)
            return i;
    }
    return -1;
}

void Lesson::press(std::int16_t button, std::int16_t shift, double x, double y)
{
    if (!usableCoordinate(x) || !usableCoordinate(y))
        return;
    lastUsableX_ = x;
    lastUsableY_ = y;
    if (button == 1)
        pressedLabel_ = pointLabelAt(x, y);
    gamen_MouseDown(button, shift, float(x), float(y));
}

void Lesson::move(std::int16_t buttons, std::int16_t shift, double x, double y)
{
    if (!usableCoordinate(x) || !usableCoordinate(y))
        return;
    lastUsableX_ = x;
    lastUsableY_ = y;
    gamen_MouseMove(buttons, shift, float(x), float(y));
}

void Lesson::release(std::int16_t button, std::int16_t shift, double x, double y)
{
    // A release must always reach the form (it ends strokes and drags), so an unusable
    // position is replaced by the last usable one.
    if (usableCoordinate(x) && usableCoordinate(y)) {
        lastUsableX_ = x;
        lastUsableY_ = y;
    }
    gamen_MouseUp(button, shift, float(lastUsableX_), float(lastUsableY_));
    // A click on a point label: left press and release on the same visible label.
    const int label = pressedLabel_;
    pressedLabel_ = -1;
    if (button == 1 && label >= 0 && pointLabelAt(lastUsableX_, lastUsableY_) == label)
        diagonal::Label2_Click(form, std::int16_t(label));
}

} // namespace pr
