#include "StrokeLayer.h"

#include "form/PictureBox.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <cmath>
#include <optional>
#include <utility>

namespace pr {

namespace {

// Paints segments into one raster; one painter for many segments, with exactly the state a
// painter for a single segment has, so a layer painted again equals the one drawn live.
class SegmentPainter {
public:
    // `only`, in the target's pixels, narrows the clip to whole pixels of an area.
    SegmentPainter(QImage &target, double k, const QRegion &only) : p_(&target)
    {
        const double dpr = target.devicePixelRatio();
        p_.scale(1 / dpr, 1 / dpr); // undo the image's pixel ratio: draw in its own pixels
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setClipRect(QRectF(QPointF(PictureBox::kBorder, PictureBox::kBorder) * k,
                              QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * k));
        if (!only.isEmpty())
            p_.setClipRegion(only, Qt::IntersectClip);
    }

    void segment(const RasterOp &op)
    {
        if (op.colour != colour_ || op.width != width_) {
            p_.setPen(QPen(QColor(op.colour), op.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            colour_ = op.colour;
            width_ = op.width;
        }
        p_.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
    }

private:
    QPainter p_;
    Rgb colour_ = 0;
    double width_ = -1;
};

} // namespace

qsizetype StrokeLayer::bytes() const { return image_.sizeInBytes() + kept_.sizeInBytes(); }

void StrokeLayer::setGeometry(QSize widgetSize, double scale, double dpr)
{
    scale_ = scale;
    dpr_ = dpr;
    raster_.setGeometry(int(std::ceil(widgetSize.width() * dpr)),
                        int(std::ceil(widgetSize.height() * dpr)), scale * dpr);
    run();
}

void StrokeLayer::setPalette(look::Palette palette)
{
    raster_.setPalette(palette);
    run();
}

void StrokeLayer::run()
{
    std::optional<SegmentPainter> painter;
    QRegion region; // the pixels a Fill opened, which its segments are cut to
    for (const RasterOp &op : raster_.take()) {
        if (op.kind != RasterOp::Kind::Segment)
            painter.reset();
        switch (op.kind) {
        case RasterOp::Kind::Make:
            image_ = QImage(op.w, op.h, QImage::Format_RGB32);
            image_.fill(QColor(op.colour));
            image_.setDevicePixelRatio(dpr_);
            break;
        case RasterOp::Kind::Drop:
            image_ = QImage();
            break;
        case RasterOp::Kind::Keep:
            kept_ = std::exchange(image_, QImage());
            break;
        case RasterOp::Kind::Swap:
            std::swap(image_, kept_);
            break;
        case RasterOp::Kind::Forget:
            kept_ = QImage();
            break;
        case RasterOp::Kind::Fill: {
            const QRect r(int(op.x1), int(op.y1), int(op.x2), int(op.y2));
            QPainter p(&image_);
            p.scale(1 / dpr_, 1 / dpr_);
            p.fillRect(r, QColor(op.colour));
            region += r;
            break;
        }
        case RasterOp::Kind::EndFill:
            region = QRegion();
            break;
        case RasterOp::Kind::Segment:
            if (image_.isNull())
                break;
            if (!painter)
                painter.emplace(image_, raster_.k(), region);
            painter->segment(op);
            break;
        }
    }
}

QRectF StrokeLayer::takeDirty()
{
    const RasterRect r = raster_.takeDirty();
    if (r.empty())
        return {};
    return QRectF(r.x / dpr_, r.y / dpr_, r.w / dpr_, r.h / dpr_);
}

QPointF StrokeLayer::toWidget(QPointF surface) const
{
    return (surface + QPointF(PictureBox::kBorder, PictureBox::kBorder)) * scale_;
}

void StrokeLayer::clearLayer(Rgb background)
{
    raster_.clearLayer(background);
    run();
}

void StrokeLayer::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    raster_.drawSegment(x1, y1, x2, y2, colour, width);
    run();
}

void StrokeLayer::redrawLayer(Rgb background, const std::vector<Stroke> &strokes)
{
    raster_.redrawLayer(background, strokes);
    run();
}

} // namespace pr
