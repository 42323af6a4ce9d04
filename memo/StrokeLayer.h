#pragma once
#include "app/StrokeSink.h"

#include <QtCore/QRectF>
#include <QtGui/QImage>

namespace pr {

// The surface's own drawing layer: the freehand strokes, beneath every element.
//
// It is a raster at device resolution that covers the whole surface widget, so it is blitted
// 1:1 with no resampling. Logical surface point (x, y) lies at widget point
// ((x + border) * scale, (y + border) * scale) and at layer pixel (widget point * dpr).
// Strokes are clipped to the surface's inner area. A segment costs work in proportion to
// its own size; nothing is replayed. When the scale or device pixel ratio changes the layer
// is resampled, so strokes survive a resize or a move to another screen.
class StrokeLayer : public StrokeSink {
public:
    StrokeLayer();

    // widgetSize: the surface widget's size in widget (device-independent) pixels.
    void setGeometry(QSize widgetSize, double scale, double dpr);
    double scale() const { return scale_; }
    double dpr() const { return dpr_; }

    const QImage &image() const { return image_; }

    // Widget-pixel rectangle that changed since the last call (empty if nothing); a clear
    // reports the whole layer.
    QRectF takeDirty();

    void clearLayer(QRgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, QRgb colour, int width) override;

    // Widget point of a logical surface point.
    QPointF toWidget(QPointF surface) const;

private:
    QImage image_;
    QRgb background_;
    bool blank_ = true; // nothing drawn since the last clear: only the background to keep
    double scale_ = 1;
    double dpr_ = 1;
    QRectF dirty_;
};

} // namespace pr
