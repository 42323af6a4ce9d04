#pragma once
#include "Rgb.h"

namespace pr {

// A line element inside the drawing surface. Coordinates are logical surface pixels
// (float, origin at the surface's inner top-left corner, y down), never rounded or clamped.
struct Line {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    Rgb BorderColor = 0;
    int BorderWidth = 1; // design attribute; the look turns it into a stroke width

    bool operator==(const Line &) const = default;
};

} // namespace pr
