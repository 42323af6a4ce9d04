#include "StrokeLayer.h"
#include "SegmentClip.h"

#include "form/PictureBox.h"
#include "form/QBColor.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <QtGui/QRegion>
#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace pr {

namespace {

const QPointF kBorder(PictureBox::kBorder, PictureBox::kBorder);

// Equal to StrokeLayer::Shown{}.hash: the hash of no segment.
constexpr std::uint64_t kEmptyHash = 0x9E3779B97F4A7C15ull;

// Order-dependent hash of a layer's segments: the same whether they arrive one by one or
// are read from a stroke list.
std::uint64_t mix(std::uint64_t h, float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    const std::uint64_t words[3] = {
        (std::uint64_t(std::bit_cast<std::uint32_t>(x1)) << 32) | std::bit_cast<std::uint32_t>(y1),
        (std::uint64_t(std::bit_cast<std::uint32_t>(x2)) << 32) | std::bit_cast<std::uint32_t>(y2),
        (std::uint64_t(colour) << 32) | std::uint32_t(width)};
    for (std::uint64_t w : words) {
        h ^= w + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        h *= 0xFF51AFD7ED558CCDull;
    }
    return h;
}

// Paints segments into one raster; one painter for many segments, with exactly the state a
// painter for a single segment has, so a layer painted again equals the one drawn live.
class SegmentPainter {
public:
    // `only`, in the target's pixels, narrows the clip to whole pixels of an area.
    SegmentPainter(QImage &target, double k, const QRegion &only = QRegion())
        : p_(&target), k_(k),
          inner_(kBorder * k, QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * k)
    {
        const double dpr = target.devicePixelRatio();
        p_.scale(1 / dpr, 1 / dpr); // undo the image's pixel ratio: draw in its own pixels
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setClipRect(inner_);
        if (!only.isEmpty())
            p_.setClipRegion(only, Qt::IntersectClip);
    }

    void segment(QPointF a, QPointF b, QRgb colour, int width)
    {
        QPointF pa = (a + kBorder) * k_, pb = (b + kBorder) * k_;
        // Cut the segment to the inner area grown by the pen, so its round ends still reach
        // the edge; the painter's clip then cuts it at the edge itself.
        const double half = width * k_ / 2 + 1;
        if (!clipSegment(pa, pb, inner_.adjusted(-half, -half, half, half)))
            return;
        if (colour != colour_ || width != width_) {
            p_.setPen(QPen(QColor(colour), width * k_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            colour_ = colour;
            width_ = width;
        }
        p_.drawLine(pa, pb);
    }

private:
    QPainter p_;
    double k_;
    QRectF inner_;
    QRgb colour_ = 0;
    int width_ = -1;
};

bool usable(float x1, float y1, float x2, float y2)
{
    return std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2);
}

} // namespace

StrokeLayer::StrokeLayer() : background_(kGreen)
{
    setGeometry(QSizeF(PictureBox::kOuterWidth, PictureBox::kOuterHeight).toSize(), 1, 1);
}

qsizetype StrokeLayer::bytes() const { return image_.sizeInBytes() + kept_.image.sizeInBytes(); }

void StrokeLayer::setGeometry(QSize widgetSize, double scale, double dpr)
{
    if (widgetSize == widgetSize_ && scale == scale_ && dpr == dpr_)
        return;
    scale_ = scale;
    dpr_ = dpr;
    widgetSize_ = widgetSize;
    dirty_ = whole();
    kept_ = {}; // of another size
    if (isBlank())
        return;
    if (source_) {
        paintAll(*source_);
    } else {
        // Nothing to paint from: the old raster, stretched.
        const QImage old = std::exchange(image_, QImage());
        makeRaster();
        QPainter p(&image_);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(widgetSize_)), old);
    }
}

void StrokeLayer::makeRaster()
{
    const QSize pixels(std::max(1, int(std::ceil(widgetSize_.width() * dpr_))),
                       std::max(1, int(std::ceil(widgetSize_.height() * dpr_))));
    image_ = QImage(pixels, QImage::Format_RGB32);
    image_.fill(background_);
    image_.setDevicePixelRatio(dpr_);
}

QRectF StrokeLayer::segmentBox(QPointF a, QPointF b, int width) const
{
    const double k = scale_ * dpr_;
    const double half = std::max(1, width) * k / 2 + 2;
    return QRectF((a + kBorder) * k, (b + kBorder) * k)
        .normalized()
        .adjusted(-half, -half, half, half);
}

void StrokeLayer::note(QPointF a, QPointF b, Rgb colour, int width)
{
    Shown &s = shown_;
    // A run ends where a stroke does, so that it covers one place of the board.
    if (s.openCount > 0 && (a != s.openEnd || colour != s.openColour || width != s.openWidth)) {
        s.blocks.push_back({s.hash, s.segments, s.openBox});
        s.openBox = QRectF();
        s.openCount = 0;
    }
    s.hash = mix(s.hash, float(a.x()), float(a.y()), float(b.x()), float(b.y()), colour, width);
    ++s.segments;
    if (usable(float(a.x()), float(a.y()), float(b.x()), float(b.y())))
        s.openBox |= segmentBox(a, b, width);
    s.openEnd = b;
    s.openColour = colour;
    s.openWidth = width;
    if (++s.openCount == kBlock) {
        s.blocks.push_back({s.hash, s.segments, s.openBox});
        s.openBox = QRectF();
        s.openCount = 0;
    }
}

void StrokeLayer::paintAll(const std::vector<Stroke> &strokes)
{
    image_ = QImage();
    shown_ = Shown{};
    bool any = false;
    for (const Stroke &s : strokes)
        any = any || s.points.size() > 1;
    if (!any)
        return;
    makeRaster();
    SegmentPainter painter(image_, scale_ * dpr_);
    for (const Stroke &s : strokes) {
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const QPointF a(s.points[i - 1].x, s.points[i - 1].y), b(s.points[i].x, s.points[i].y);
            if (usable(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y))
                painter.segment(a, b, s.colour, std::max(1, s.width));
            note(a, b, s.colour, s.width);
        }
    }
}

namespace {

// A few rectangles that cover every rectangle added: one joins the rectangle it touches, or,
// when there are already enough, the one it grows least.
class Cover {
public:
    void add(const QRectF &r)
    {
        if (r.isEmpty())
            return;
        for (QRectF &c : rects_)
            if (c.intersects(r)) {
                c |= r;
                return;
            }
        if (rects_.size() < 8) {
            rects_.push_back(r);
            return;
        }
        QRectF *best = &rects_.front();
        double growth = -1;
        for (QRectF &c : rects_) {
            const QRectF u = c | r;
            const double g = u.width() * u.height() - c.width() * c.height();
            if (growth < 0 || g < growth) {
                growth = g;
                best = &c;
            }
        }
        *best |= r;
    }
    QRegion pixels(const QRect &within) const
    {
        QRegion region;
        for (const QRectF &c : rects_)
            region += c.toAlignedRect() & within;
        return region;
    }

private:
    std::vector<QRectF> rects_;
};

} // namespace

void StrokeLayer::paintChanged(const std::vector<Stroke> &strokes, std::size_t common)
{
    // Where the raster may change: what the shown segments after the common ones touched,
    // and what the new ones after them will touch.
    Cover cover;
    cover.add(shown_.openBox);
    for (const Block &b : shown_.blocks)
        if (b.end > common)
            cover.add(b.box);
    std::size_t n = 0;
    for (const Stroke &s : strokes)
        for (std::size_t i = 1; i < s.points.size(); ++i, ++n)
            if (n >= common && usable(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y))
                cover.add(segmentBox(QPointF(s.points[i - 1].x, s.points[i - 1].y),
                                     QPointF(s.points[i].x, s.points[i].y), s.width));
    const QRegion pixels = cover.pixels(image_.rect());

    // Those pixels from the background up, with every segment that reaches them, in order:
    // the same as painting the whole layer afresh, there.
    shown_ = Shown{};
    {
        QPainter p(&image_);
        p.scale(1 / dpr_, 1 / dpr_);
        for (const QRect &r : pixels)
            p.fillRect(r, QColor(background_));
    }
    SegmentPainter painter(image_, scale_ * dpr_, pixels);
    for (const Stroke &s : strokes) {
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const QPointF a(s.points[i - 1].x, s.points[i - 1].y), b(s.points[i].x, s.points[i].y);
            if (!pixels.isEmpty() &&
                usable(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y) &&
                pixels.intersects(segmentBox(a, b, s.width).toAlignedRect()))
                painter.segment(a, b, s.colour, std::max(1, s.width));
            note(a, b, s.colour, s.width);
        }
    }
    const QRect bounds = pixels.boundingRect();
    dirty_ = QRectF(QPointF(bounds.topLeft()) / dpr_, QSizeF(bounds.size()) / dpr_);
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
    background_ = background;
    if (!isBlank())
        kept_ = {std::move(image_), std::move(shown_)};
    image_ = QImage();
    shown_ = Shown{};
    dirty_ = whole();
}

void StrokeLayer::redrawLayer(Rgb background, const std::vector<Stroke> &strokes)
{
    // The hash of the new segments, and how many of them the shown ones begin with (to the
    // last run of kBlock both have in common).
    std::uint64_t wanted = kEmptyHash;
    std::size_t count = 0, common = 0, next = 0;
    bool matching = true;
    for (const Stroke &s : strokes) {
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            wanted = mix(wanted, s.points[i - 1].x, s.points[i - 1].y, s.points[i].x,
                         s.points[i].y, s.colour, s.width);
            ++count;
            if (matching && next < shown_.blocks.size() && shown_.blocks[next].end == count) {
                matching = shown_.blocks[next].chain == wanted;
                if (matching) {
                    common = count;
                    ++next;
                }
            }
        }
    }

    const bool sameBackground = background == background_;
    background_ = background;
    if (sameBackground && wanted == shown_.hash && count == shown_.segments)
        return;
    dirty_ = whole();
    if (!kept_.image.isNull() && kept_.shown.hash == wanted && kept_.shown.segments == count) {
        std::swap(image_, kept_.image);
        std::swap(shown_, kept_.shown);
        return;
    }
    if (count == 0) {
        if (!isBlank())
            kept_ = {std::move(image_), std::move(shown_)};
        image_ = QImage();
        shown_ = Shown{};
        return;
    }
    if (isBlank() || !sameBackground) {
        if (!isBlank())
            kept_ = {std::move(image_), std::move(shown_)};
        paintAll(strokes);
        return;
    }
    paintChanged(strokes, common);
}

void StrokeLayer::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    const QPointF a(x1, y1), b(x2, y2);
    if (!usable(x1, y1, x2, y2)) {
        note(a, b, colour, width);
        return;
    }
    const int w = std::max(1, width);
    if (isBlank())
        makeRaster();
    SegmentPainter(image_, scale_ * dpr_).segment(a, b, colour, w);
    note(a, b, colour, width);

    const double half = w * scale_ / 2 + 1;
    const QRectF inner(toWidget(QPointF(0, 0)),
                       QSizeF(PictureBox::kInnerWidth, PictureBox::kInnerHeight) * scale_);
    const QRectF bounds =
        QRectF(toWidget(a), toWidget(b)).normalized().adjusted(-half, -half, half, half) & inner;
    if (!bounds.isEmpty())
        dirty_ |= bounds;
}

} // namespace pr
