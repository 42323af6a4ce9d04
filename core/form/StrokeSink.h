#pragma once
#include "Rgb.h"

namespace pr {

// Receives what the surface draws on its own layer, the layer beneath every element.
// The core only emits these calls; a front end rasterises them at device resolution.
// Coordinates are logical surface pixels, passed on as the handlers computed them (they may
// be far off the surface); width is a whole number of logical pixels. A segment is drawn
// with round ends and clipped to the surface's inner area.
class StrokeSink {
public:
    virtual ~StrokeSink() = default;
    virtual void clearLayer(Rgb background) = 0;
    virtual void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) = 0;
};

} // namespace pr
