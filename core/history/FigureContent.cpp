#include "FigureContent.h"

#include "form/Form1.h"
#include "form/QBColor.h"

namespace pr {

FigureContent FigureContent::of(const Form1 &form)
{
    FigureContent c;
    c.Line2 = form.Line2;
    if (c.Line2[kCopyOfL].BorderColor == QBColor(kFigureColour))
        c.Line2[kCopyOfL].BorderColor = QBColor(kCopyColour);
    c.Label3 = form.Label3;
    c.Line4 = form.Line4;
    c.diagonalStep = form.st.diagonalStep;
    return c;
}

void FigureContent::applyTo(Form1 &form) const
{
    form.Line2 = Line2;
    if (form.st.diagonalMode)
        form.Line2[kCopyOfL].BorderColor = QBColor(kFigureColour);
    form.Label3 = Label3;
    form.Line4 = Line4;
    form.st.diagonalStep = diagonalStep;
    form.st.diagonalPhase = false;
}

} // namespace pr
