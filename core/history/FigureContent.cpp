#include "FigureContent.h"

#include "form/Form1.h"
#include "form/QBColor.h"

namespace pr {

FigureContent FigureContent::of(const Form1 &form)
{
    FigureContent c;
    c.Line2 = form.Line2;
    if (c.Line2[0].BorderColor == QBColor(15))
        c.Line2[0].BorderColor = QBColor(12);
    c.Label3 = form.Label3;
    c.Line4 = form.Line4;
    c.diagonalStep = form.st.diagonalStep;
    return c;
}

void FigureContent::applyTo(Form1 &form) const
{
    form.Line2 = Line2;
    if (form.st.diagonalMode == 1)
        form.Line2[0].BorderColor = QBColor(15);
    form.Label3 = Label3;
    form.Line4 = Line4;
    form.st.diagonalStep = diagonalStep;
    form.st.diagonalPhase = 0;
}

} // namespace pr
