#include "StrokeLayer.h"

#include "app/PictureBox.h"
#include "app/QBColor.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <algorithm>
#include <cmath>

namespace pr {

namespace {

// Liang-Barsky: cuts the segment a-b to the rectangle r. False if nothing is left. Keeps the
// painter away from the huge coordinates a far-flung pointer may deliver.
bool clipSegment(QPointF &a, QPointF &b, const QRectF &r)
{
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF from = a;
    a = from + QPointF(dx, dy) * t0;
    b = from + QPointF(dx, dy) * t1;
    return true;
}

QSize layerPixels(QSize widgetSize, double dpr)
{
    return {std::max(1, int(std::ceil(widgetSize.width() * dpr))),
            std::max(1, int(std::ceil(widgetSize.height() * dpr)))};
}

} // namespace

StrokeLayer::StrokeLayer() : background_(kGreen)
{
    setGeometry(QSize(int(PictureBox::kOuterWidth), int(PictureBox::kOuterHeight)), 1, 1);
}

void StrokeLayer::setGeometry(QSize widgetSize, double scale, double dpr)
{
    const QSize pixels = layerPixels(widgetSize, dpr);
    if (!image_.isNull() && pixels == image_.size() && scale == scale_ && dpr == dpr_)
        return;

    // A blank layer has nothing worth resampling: let it go before the new one is made, so
    // the two never exist together, and only fill the new one. This spares a smooth upscale
    // of an empty layer at start-up on a screen with a device pixel ratio of 2 (2 to 5 ms)
    // and at every resize before the first stroke.
    if (blank_)
        image_ = QImage();
    QImage next(pixels, QImage::Format_RGB32);
    next.fill(background_);
    next.setDevicePixelRatio(dpr);
    if (!image_.isNull()) {
        // Both layers start at the widget's origin, so the old content only needs scaling
        // by the ratio of the two device scales.
        const double ratio = (scale * dpr) / (scale_ * dpr_);
        QPainter p(&next);
        p.resetTransform(); // work in layer pixels
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(0, 0, image_.width() * ratio, image_.height() * ratio), image_,
                    QRectF(0, 0, image_.width(), image_.height()));
    }
    image_ = std::move(next);
    scale_ = scale;
    dpr_ = dpr;
    dirty_ = QRectF(QPointF(0, 0), QSizeF(widgetSize));
}

QRectF StrokeLayer::takeDirty()
{
    const QRectF d = dirty_;
    dirty_ = QRectF();
    return d;
}

QPointF StrokeLayer::toWidget(QPointF surface) const
{
    return (surface + QPointF(PictureBox::kBorder, PictureBox::kBorder)) * scale_;
}

void StrokeLayer::clearLayer(QRgb background)
{
    background_ = background;
    image_.fill(background);
    blank_ = true;
    dirty_ = QRectF(QPointF(0, 0), QSizeF(image_.size()) / dpr_);
}

void StrokeLayer::drawSegment(float x1, float y1, float x2, float y2, QRgb colour, int width)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    QPointF a = toWidget(QPointF(x1, y1));
    QPointF b = toWidget(QPointF(x2, y2));
    const QRectF inner(toWidget(QPointF(0, 0)),
                       QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * scale_);

    // Cut the segment to the inner area grown by the pen, so its round ends still reach the
    // edge, then to the inner area itself by the painter's clip.
    const double half = std::max(1, width) * scale_ / 2 + 1;
    if (!clipSegment(a, b, inner.adjusted(-half, -half, half, half)))
        return;
    const QRectF bounds = QRectF(a, b).normalized().adjusted(-half, -half, half, half) & inner;
    if (bounds.isEmpty())
        return;

    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(inner);
    p.setPen(QPen(QColor(colour), std::max(1, width) * scale_, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawLine(a, b);
    blank_ = false;
    dirty_ |= bounds;
}

} // namespace pr
