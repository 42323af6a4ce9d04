#pragma once
#include "form/ControlArray.h"
#include "form/Label.h"
#include "form/Line.h"

#include <cstdint>

namespace pr {

struct Form1;

// What undo brings back of the form besides the strokes: the copy of ℓ with Ｄ, Ｅ, Ｆ, the
// prolongations with Ｇ, the construction lines and which of them is built next.
//
// Modes are not part of it (memo and diagonal on or off, the pen, the buttons' states, the
// eraser cursor, the point labels' backgrounds), nor the pointer: applying content keeps
// them as they are. The copy of ℓ is white while diagonal mode is on: that white is the
// mode's, so the snapshot holds light red instead and applying it in diagonal mode paints
// it white again. Light magenta (a press on the copy that a second press took over) is
// content.
struct FigureContent {
    ControlArray<Line, 0, 2> Line2;   // the copy of ℓ, the prolongations of ℓ and m
    ControlArray<Label, 1, 4> Label3; // Ｇ, Ｄ, Ｅ, Ｆ
    ControlArray<Line, 0, 4> Line4;   // construction lines
    std::int16_t diagonalStep = 0;

    static FigureContent of(const Form1 &form);
    // Puts the content back; a construction line half built is abandoned (the next point
    // click starts a line), as leaving and entering diagonal mode does.
    void applyTo(Form1 &form) const;

    bool operator==(const FigureContent &) const = default;
};

} // namespace pr
