#include "StrokeLayer.h"

#include "form/PictureBox.h"
#include "form/QBColor.h"

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

QSize pixelsFor(QSizeF size, double k)
{
    return {std::max(1, int(std::ceil(size.width() * k))),
            std::max(1, int(std::ceil(size.height() * k)))};
}

const QSizeF kOuter(PictureBox::kOuterWidth, PictureBox::kOuterHeight);
const QPointF kBorder(PictureBox::kBorder, PictureBox::kBorder);

} // namespace

StrokeLayer::StrokeLayer() : background_(kGreen)
{
    setGeometry(kOuter.toSize(), 1, 1);
}

qsizetype StrokeLayer::bytes() const
{
    return master_.sizeInBytes() + (shownIsMaster_ ? 0 : shown_.sizeInBytes());
}

void StrokeLayer::setGeometry(QSize widgetSize, double scale, double dpr)
{
    const double k = scale * dpr;
    if (widgetSize == widgetSize_ && scale == scale_ && dpr == dpr_)
        return;
    scale_ = scale;
    dpr_ = dpr;
    widgetSize_ = widgetSize;
    dirty_ = QRectF(QPointF(0, 0), QSizeF(widgetSize));

    if (isBlank()) {
        masterK_ = k; // nothing to keep: the first stroke makes the master at this size
        return;
    }
    if (k > masterK_) {
        // Finer than ever before: the master grows; earlier strokes are resampled once.
        QImage next(pixelsFor(kOuter, k), QImage::Format_RGB32);
        next.fill(background_);
        QPainter p(&next);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(master_.size()) * (k / masterK_)), master_);
        p.end();
        master_ = std::move(next);
        masterK_ = k;
    }
    fitShown();
}

void StrokeLayer::fitShown()
{
    const double k = scale_ * dpr_;
    shownIsMaster_ = k == masterK_;
    if (shownIsMaster_) {
        shown_ = QImage();
        master_.setDevicePixelRatio(dpr_);
        return;
    }
    shown_ = QImage(pixelsFor(QSizeF(widgetSize_), dpr_), QImage::Format_RGB32);
    shown_.fill(background_);
    QPainter p(&shown_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(master_.size()) * (k / masterK_)), master_);
    p.end();
    shown_.setDevicePixelRatio(dpr_);
}

QRectF StrokeLayer::takeDirty()
{
    const QRectF d = dirty_;
    dirty_ = QRectF();
    return d;
}

QPointF StrokeLayer::toWidget(QPointF surface) const
{
    return (surface + kBorder) * scale_;
}

void StrokeLayer::clearLayer(Rgb background)
{
    // Blank again: the rasters go, and the master's resolution starts over.
    background_ = background;
    master_ = QImage();
    shown_ = QImage();
    shownIsMaster_ = true;
    masterK_ = scale_ * dpr_;
    dirty_ = QRectF(QPointF(0, 0), QSizeF(widgetSize_));
}

void StrokeLayer::paintSegment(QImage &target, double k, QPointF a, QPointF b, QRgb colour,
                               int width) const
{
    // Work in the target's own pixels: k device pixels per logical surface pixel.
    QPointF pa = (a + kBorder) * k, pb = (b + kBorder) * k;
    const QRectF inner(kBorder * k,
                       QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * k);
    // Cut the segment to the inner area grown by the pen, so its round ends still reach the
    // edge; the painter's clip then cuts it at the edge itself.
    const double half = width * k / 2 + 1;
    if (!clipSegment(pa, pb, inner.adjusted(-half, -half, half, half)))
        return;
    QPainter p(&target);
    const double dpr = target.devicePixelRatio();
    p.scale(1 / dpr, 1 / dpr); // undo the image's pixel ratio: draw in its own pixels
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(inner);
    p.setPen(QPen(QColor(colour), width * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(pa, pb);
}

void StrokeLayer::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    width = std::max(1, width);
    const QPointF a(x1, y1), b(x2, y2);
    if (isBlank()) {
        master_ = QImage(pixelsFor(kOuter, masterK_), QImage::Format_RGB32);
        master_.fill(background_);
        fitShown();
    }
    paintSegment(master_, masterK_, a, b, colour, width);
    if (!shownIsMaster_)
        paintSegment(shown_, scale_ * dpr_, a, b, colour, width);

    const double half = width * scale_ / 2 + 1;
    const QRectF inner(toWidget(QPointF(0, 0)),
                       QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * scale_);
    const QRectF bounds =
        QRectF(toWidget(a), toWidget(b)).normalized().adjusted(-half, -half, half, half) & inner;
    if (!bounds.isEmpty())
        dirty_ |= bounds;
}

} // namespace pr
