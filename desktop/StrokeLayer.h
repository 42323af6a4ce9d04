#pragma once
#include "board/LayerSink.h"

#include <QtCore/QRectF>
#include <QtGui/QImage>
#include <cstdint>
#include <vector>

namespace pr {

// The surface's own drawing layer: the freehand strokes, beneath every element.
//
// Logical surface point (x, y) lies at widget point ((x + border) * scale,
// (y + border) * scale); the raster covers the whole surface widget at device resolution
// (widget point * dpr), so it is blitted 1:1 and strokes are drawn crisp at any size.
// Strokes are clipped to the surface's inner area.
//
// The raster is a cache of the lesson's strokes (setSource): a segment is painted into it
// as it comes, costing work in proportion to its own size, and after a resize or a change of
// pixel ratio the raster is painted again from the strokes, so they are as sharp at the new
// size as if drawn there. While the surface has no stroke there is no raster at all.
//
// A clear keeps the raster it let go, and redrawLayer takes it back when it is asked for
// exactly the strokes that raster showed: the undo of a reset or a clear costs no painting.
class StrokeLayer : public LayerSink {
public:
    StrokeLayer();

    // The strokes the layer shows, painted again after a resize; not owned, may be null.
    void setSource(const std::vector<Stroke> *strokes) { source_ = strokes; }

    // widgetSize: the surface widget's size in widget (device-independent) pixels.
    void setGeometry(QSize widgetSize, double scale, double dpr);
    double scale() const { return scale_; }
    double dpr() const { return dpr_; }

    // The raster to show, device pixel ratio set: draw it at the widget's origin. Null while
    // blank: then the surface shows background() alone.
    const QImage &image() const { return image_; }
    bool isBlank() const { return image_.isNull(); }
    QRgb background() const { return background_; }

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
    struct Kept {
        QImage image;
        std::uint64_t strokes = 0; // hash of the segments it shows
    };

    void paintAll(const std::vector<Stroke> &strokes);
    void makeRaster();
    QRectF whole() const { return QRectF(QPointF(0, 0), QSizeF(widgetSize_)); }

    QImage image_;
    std::uint64_t hash_;  // of every segment painted into image_, in order
    Kept kept_;           // the raster the last clear or redraw let go
    const std::vector<Stroke> *source_ = nullptr;
    QRgb background_;
    double scale_ = 1;
    double dpr_ = 1;
    QSize widgetSize_;
    QRectF dirty_;
};

} // namespace pr
