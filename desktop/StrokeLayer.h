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
// Otherwise redrawLayer paints again only where the new strokes differ from those shown
// (after the segments both have in common): undoing or redoing a stroke costs in proportion
// to the writing that stroke lies on, and the result is the same, pixel for pixel, as
// painting every stroke afresh.
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
    // Runs of at most kBlock connected segments as shown, in order: the hash of every segment
    // up to the run's end, where it ends, and the raster pixels its segments may touch.
    static constexpr std::size_t kBlock = 64;
    struct Block {
        std::uint64_t chain = 0;
        std::size_t end = 0; // segments up to and including the run
        QRectF box;
    };
    struct Shown {
        std::uint64_t hash = 0x9E3779B97F4A7C15ull; // of every segment painted, in order
        std::size_t segments = 0;
        std::vector<Block> blocks; // closed runs
        QRectF openBox;            // the run still open
        std::size_t openCount = 0;
        QPointF openEnd;           // where its last segment ended, in its pen
        Rgb openColour = 0;
        int openWidth = 0;
    };
    struct Kept {
        QImage image;
        Shown shown;
    };

    void paintAll(const std::vector<Stroke> &strokes);
    void paintChanged(const std::vector<Stroke> &strokes, std::size_t common);
    QRectF segmentBox(QPointF a, QPointF b, int width) const; // raster px, conservative
    void note(QPointF a, QPointF b, Rgb colour, int width);
    void makeRaster();
    QRectF whole() const { return QRectF(QPointF(0, 0), QSizeF(widgetSize_)); }

    QImage image_;
    Shown shown_;         // what image_ holds
    Kept kept_;           // the raster the last clear or redraw let go
    const std::vector<Stroke> *source_ = nullptr;
    QRgb background_;
    double scale_ = 1;
    double dpr_ = 1;
    QSize widgetSize_;
    QRectF dirty_;
};

} // namespace pr
