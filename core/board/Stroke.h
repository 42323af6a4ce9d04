#pragma once
#include "form/Rgb.h"

#include <vector>

namespace pr {

// A point of a freehand stroke in logical surface pixels (origin at the surface's inner
// top-left corner, y down), exactly as the handlers passed it on: never rounded or clamped.
struct StrokePoint {
    float x = 0, y = 0;

    bool operator==(const StrokePoint &) const = default;
};

// One freehand stroke as it was drawn: the polyline through the press point and each move
// that drew a segment, in one pen. Segment i runs from points[i] to points[i + 1] with round
// ends, `width` logical pixels wide, so a stroke of n points is n - 1 segments (at least 1).
// A pen change in the middle of a gesture starts a new stroke at the same point.
//
// Eraser strokes are painted in the surface's background colour (`colour` is that colour);
// drawn in order, they cover the strokes before them and never the figure.
struct Stroke {
    Rgb colour = 0;
    int width = 0;        // logical pixels: 3 or 6 for the colour pens, 3, 15 or 25 for the eraser
    bool eraser = false;  // painted in the background colour
    std::vector<StrokePoint> points;

    std::size_t segments() const { return points.empty() ? 0 : points.size() - 1; }
    bool operator==(const Stroke &) const = default;
};

} // namespace pr
