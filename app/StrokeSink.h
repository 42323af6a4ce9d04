#pragma once
#include <QtGui/qrgb.h>

namespace pr {

// Receives what the surface draws on its own layer, the layer beneath every element.
// The core only emits these calls; the front end rasterises them at device resolution.
// Coordinates are logical surface pixels; width is a whole number of logical pixels.
class StrokeSink {
public:
    virtual ~StrokeSink() = default;
    virtual void clearLayer(QRgb background) = 0;
    virtual void drawSegment(float x1, float y1, float x2, float y2, QRgb colour, int width) = 0;
};

} // namespace pr
