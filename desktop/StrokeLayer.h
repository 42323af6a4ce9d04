#pragma once
#include "draw/StrokeRaster.h"

#include <QtCore/QRectF>
#include <QtGui/QImage>
#include <QtGui/QRegion>

namespace pr {

// The surface's own drawing layer on screen: the freehand strokes, beneath every element.
//
// Logical surface point (x, y) lies at widget point ((x + border) * scale,
// (y + border) * scale); the raster covers the whole surface widget at device resolution
// (widget point * dpr), so it is blitted 1:1 and strokes are drawn crisp at any size.
//
// What to paint, and where again, is the core's StrokeRaster to decide (after a resize, the
// whole layer from the strokes at the new resolution; after an undo, only where the strokes
// changed); this class carries out its steps on a QImage. While the surface has no stroke
// there is no raster at all.
class StrokeLayer : public LayerSink {
public:
    // The strokes the layer shows, painted again after a resize; not owned, may be null.
    void setSource(const std::vector<Stroke> *strokes) { raster_.setSource(strokes); }

    // widgetSize: the surface widget's size in widget (device-independent) pixels.
    void setGeometry(QSize widgetSize, double scale, double dpr);
    double scale() const { return scale_; }
    double dpr() const { return dpr_; }

    // The raster to show, device pixel ratio set: draw it at the widget's origin. Null while
    // blank: then the surface shows background() alone.
    const QImage &image() const { return image_; }
    bool isBlank() const { return image_.isNull(); }
    // The colour a blank layer shows, in the layer's palette.
    QRgb background() const { return look::paint(raster_.palette(), raster_.background()); }
    // Paints the raster again in `palette`: the whole layer is dirty after a change.
    void setPalette(look::Palette palette);

    // Widget-pixel rectangle that changed since the last call (empty if nothing); a clear or
    // a redraw reports the whole layer.
    QRectF takeDirty();

    void clearLayer(Rgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) override;
    void redrawLayer(Rgb background, const std::vector<Stroke> &strokes) override;

    // Widget point of a logical surface point.
    QPointF toWidget(QPointF surface) const;

    // Bytes held by the rasters, for measurements.
    qsizetype bytes() const;

private:
    void run(); // carries out the raster's steps

    StrokeRaster raster_;
    QImage image_;
    QImage kept_; // the raster the last clear or redraw let go
    double scale_ = 1;
    double dpr_ = 1;
};

} // namespace pr
