#pragma once
#include "board/Stroke.h"
#include "form/StrokeSink.h"

#include <vector>

namespace pr {

// A stroke sink that can take the whole layer at once: undo, redo and an opened board replace
// every stroke together. The default is what any sink understands, a clear followed by every
// segment in order; a front end with a raster overrides it to repaint in one pass (or to
// reuse a raster it still has for exactly these strokes).
class LayerSink : public StrokeSink {
public:
    virtual void redrawLayer(Rgb background, const std::vector<Stroke> &strokes)
    {
        clearLayer(background);
        for (const Stroke &s : strokes)
            for (std::size_t i = 1; i < s.points.size(); ++i)
                drawSegment(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y,
                            s.colour, s.width);
    }
};

} // namespace pr
