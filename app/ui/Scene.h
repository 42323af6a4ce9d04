#pragma once
#include "app/ControlArray.h"
#include "app/Image.h"
#include "app/Label.h"
#include "app/Line.h"
#include "app/Shape.h"
#include "app/Stacking.h"

namespace pr {

class Form1;

// A copy of the surface's elements as the front end last painted them. Comparing two
// scenes element by element tells exactly which areas a handler changed.
struct Scene {
    ControlArray<Line, 0, 4> Line1;
    ControlArray<Line, 0, 2> Line2;
    ControlArray<Line, 0, 5> Line3;
    ControlArray<Line, 0, 4> Line4;
    ControlArray<Label, 0, 5> Label2;
    ControlArray<Label, 1, 4> Label3;
    ControlArray<Image, 0, 4> Image1;
    Shape Shape1;

    static Scene capture(const Form1 &form);

    // The element a reference names, or null if it is of another kind.
    const Line *line(ElementRef r) const;
    const Label *label(ElementRef r) const;
    const Image *image(ElementRef r) const;

    bool sameElement(const Scene &other, ElementRef r) const;
};

} // namespace pr
