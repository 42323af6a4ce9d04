#pragma once
#include "form/StrokeSink.h"

#include <QtCore/QRectF>
#include <QtGui/QImage>

namespace pr {

// The surface's own drawing layer: the freehand strokes, beneath every element.
//
// Logical surface point (x, y) lies at widget point ((x + border) * scale,
// (y + border) * scale); the shown raster covers the whole surface widget at device
// resolution (widget point * dpr), so it is blitted 1:1 and strokes are drawn crisp at any
// size. Strokes are clipped to the surface's inner area. A segment costs work in proportion
// to its own size; nothing is replayed and no stroke is recorded.
//
// So that strokes survive resizes without losing sharpness, the layer also keeps a master
// raster at the finest resolution the window has had. Strokes are drawn into both; after a
// resize the shown raster is rebuilt from the master. Only growing beyond the finest
// resolution so far resamples existing strokes upwards. Usually both are one image, and
// while the surface has no stroke (at start-up, after a clear) there is no raster at all.
class StrokeLayer : public StrokeSink {
public:
    StrokeLayer();

    // widgetSize: the surface widget's size in widget (device-independent) pixels.
    void setGeometry(QSize widgetSize, double scale, double dpr);
    double scale() const { return scale_; }
    double dpr() const { return dpr_; }

    // The raster to show, device pixel ratio set: draw it at the widget's origin. Null while
    // blank: then the surface shows background() alone.
    const QImage &image() const { return shownIsMaster_ ? master_ : shown_; }
    bool isBlank() const { return master_.isNull(); }
    QRgb background() const { return background_; }

    // Widget-pixel rectangle that changed since the last call (empty if nothing); a clear
    // reports the whole layer.
    QRectF takeDirty();

    void clearLayer(Rgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) override;

    // Widget point of a logical surface point.
    QPointF toWidget(QPointF surface) const;

    // Bytes held by the rasters, for measurements.
    qsizetype bytes() const;

private:
    void fitShown(); // the shown raster from the master, for the current scale and ratio
    void paintSegment(QImage &target, double pixelsPerUnit, QPointF a, QPointF b, QRgb colour,
                      int width) const;

    QImage master_;      // finest resolution so far; surface's outer box, masterK_ px per unit
    QImage shown_;       // device resolution of the widget, when finer than nothing above
    bool shownIsMaster_ = true;
    double masterK_ = 1; // device pixels per logical pixel in the master
    QRgb background_;
    double scale_ = 1;
    double dpr_ = 1;
    QSize widgetSize_;
    QRectF dirty_;
};

} // namespace pr
