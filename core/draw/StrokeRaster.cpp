#include "StrokeRaster.h"

#include "form/PictureBox.h"
#include "form/QBColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace pr {

namespace {

constexpr double kBorder = PictureBox::kBorder;

// Equal to StrokeRaster::Shown{}.hash: the hash of no segment.
constexpr std::uint64_t kEmptyHash = 0x9E3779B97F4A7C15ull;

std::uint32_t bits(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Order-dependent hash of a layer's segments: the same whether they arrive one by one or
// are read from a stroke list.
std::uint64_t mix(std::uint64_t h, float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    const std::uint64_t words[3] = {(std::uint64_t(bits(x1)) << 32) | bits(y1),
                                    (std::uint64_t(bits(x2)) << 32) | bits(y2),
                                    (std::uint64_t(colour) << 32) | std::uint32_t(width)};
    for (std::uint64_t w : words) {
        h ^= w + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        h *= 0xFF51AFD7ED558CCDull;
    }
    return h;
}

bool usable(float x1, float y1, float x2, float y2)
{
    return std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2);
}

bool overlap(const RasterRect &a, const RasterRect &b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

} // namespace

bool clipSegment(double &ax, double &ay, double &bx, double &by, double x, double y, double w,
                 double h)
{
    double t0 = 0, t1 = 1;
    int in = -1, out = -1; // the edge each end was cut at
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x, x + w - ax, ay - y, y + h - ay};
    const double edge[4] = {x, x + w, y, y + h};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0 && t > t0) {
            t0 = t;
            in = i;
        } else if (p[i] > 0 && t < t1) {
            t1 = t;
            out = i;
        }
        if (t0 > t1)
            return false;
    }
    const double fromX = ax, fromY = ay;
    ax = fromX + dx * t0;
    ay = fromY + dy * t0;
    bx = fromX + dx * t1;
    by = fromY + dy * t1;
    // An end cut at an edge lies on it exactly: a segment from afar spans more than a
    // double's precision can interpolate across.
    const auto onEdge = [&edge](int i, double &ex, double &ey) {
        if (i >= 0)
            (i < 2 ? ex : ey) = edge[i];
    };
    onEdge(in, ax, ay);
    onEdge(out, bx, by);
    return true;
}

void StrokeRaster::Box::unite(const Box &b)
{
    if (b.empty())
        return;
    if (empty()) {
        *this = b;
        return;
    }
    x0 = std::min(x0, b.x0);
    y0 = std::min(y0, b.y0);
    x1 = std::max(x1, b.x1);
    y1 = std::max(y1, b.y1);
}

StrokeRaster::StrokeRaster() : background_(kGreen)
{
    setGeometry(int(PictureBox::kOuterWidth), int(PictureBox::kOuterHeight), 1);
    ops_.clear();
}

std::vector<RasterOp> StrokeRaster::take() { return std::exchange(ops_, {}); }

RasterRect StrokeRaster::takeDirty()
{
    const RasterRect r = pixels(dirty_);
    dirty_ = Box{};
    return r;
}

RasterRect StrokeRaster::pixels(const Box &b) const
{
    if (b.empty())
        return {};
    const int x0 = std::max(0, int(std::floor(std::max(b.x0, -1.0))));
    const int y0 = std::max(0, int(std::floor(std::max(b.y0, -1.0))));
    const int x1 = std::min(width_, int(std::ceil(std::min(b.x1, double(width_) + 1))));
    const int y1 = std::min(height_, int(std::ceil(std::min(b.y1, double(height_) + 1))));
    return x1 > x0 && y1 > y0 ? RasterRect{x0, y0, x1 - x0, y1 - y0} : RasterRect{};
}

void StrokeRaster::dirtyAll() { dirty_ = Box{0, 0, double(width_), double(height_)}; }

void StrokeRaster::dirty(const Box &b) { dirty_.unite(b); }

void StrokeRaster::setGeometry(int pixelWidth, int pixelHeight, double k)
{
    pixelWidth = std::max(1, pixelWidth);
    pixelHeight = std::max(1, pixelHeight);
    if (pixelWidth == width_ && pixelHeight == height_ && k == k_)
        return;
    width_ = pixelWidth;
    height_ = pixelHeight;
    k_ = k;
    repaintAll();
}

void StrokeRaster::setPalette(look::Palette palette)
{
    if (palette == palette_)
        return;
    palette_ = palette;
    repaintAll();
}

void StrokeRaster::repaintAll()
{
    dirtyAll();
    if (hasKept_) {
        ops_.push_back({RasterOp::Kind::Forget});
        hasKept_ = false; // of another size
        kept_ = Shown{};
    }
    if (!blank_)
        paintAll(source_ ? *source_ : std::vector<Stroke>{});
}

StrokeRaster::Box StrokeRaster::segmentBox(float x1, float y1, float x2, float y2, int width) const
{
    const double half = std::max(1, width) * k_ / 2 + 2;
    return {(std::min(x1, x2) + kBorder) * k_ - half, (std::min(y1, y2) + kBorder) * k_ - half,
            (std::max(x1, x2) + kBorder) * k_ + half, (std::max(y1, y2) + kBorder) * k_ + half};
}

void StrokeRaster::note(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    Shown &s = shown_;
    // A run ends where a stroke does, so that it covers one place of the board.
    if (s.openCount > 0 &&
        (x1 != s.openX || y1 != s.openY || colour != s.openColour || width != s.openWidth)) {
        s.blocks.push_back({s.hash, s.segments, s.openBox});
        s.openBox = Box{};
        s.openCount = 0;
    }
    s.hash = mix(s.hash, x1, y1, x2, y2, colour, width);
    ++s.segments;
    if (usable(x1, y1, x2, y2))
        s.openBox.unite(segmentBox(x1, y1, x2, y2, width));
    s.openX = x2;
    s.openY = y2;
    s.openColour = colour;
    s.openWidth = width;
    if (++s.openCount == kBlock) {
        s.blocks.push_back({s.hash, s.segments, s.openBox});
        s.openBox = Box{};
        s.openCount = 0;
    }
}

void StrokeRaster::make()
{
    RasterOp op{RasterOp::Kind::Make};
    op.w = width_;
    op.h = height_;
    op.colour = look::paint(palette_, background_);
    ops_.push_back(op);
    blank_ = false;
    dirtyAll();
}

void StrokeRaster::segment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    const int w = std::max(1, width);
    double ax = (x1 + kBorder) * k_, ay = (y1 + kBorder) * k_;
    double bx = (x2 + kBorder) * k_, by = (y2 + kBorder) * k_;
    // Cut to the inner area grown by the pen, so the round ends still reach the edge; the
    // painter's clip then cuts the segment at the edge itself.
    const double half = w * k_ / 2 + 1;
    if (!clipSegment(ax, ay, bx, by, kBorder * k_ - half, kBorder * k_ - half,
                     PictureBox::kInnerWidth * k_ + 2 * half,
                     PictureBox::kInnerHeight * k_ + 2 * half))
        return;
    RasterOp op{RasterOp::Kind::Segment, ax, ay, bx, by, w * k_, look::paint(palette_, colour)};
    ops_.push_back(op);
}

void StrokeRaster::paintAll(const std::vector<Stroke> &strokes)
{
    shown_ = Shown{};
    bool any = false;
    for (const Stroke &s : strokes)
        any = any || s.points.size() > 1;
    if (!any) {
        // Nothing to show: the raster goes.
        if (!blank_)
            ops_.push_back({RasterOp::Kind::Drop});
        blank_ = true;
        dirtyAll();
        return;
    }
    make();
    for (const Stroke &s : strokes)
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const StrokePoint &a = s.points[i - 1], &b = s.points[i];
            if (usable(a.x, a.y, b.x, b.y))
                segment(a.x, a.y, b.x, b.y, s.colour, s.width);
            note(a.x, a.y, b.x, b.y, s.colour, s.width);
        }
}

namespace {

// A few rectangles that cover every rectangle added: one joins the rectangle it touches, or,
// when there are already enough, the one it grows least.
class Cover {
public:
    struct R {
        double x0, y0, x1, y1;
        double area() const { return (x1 - x0) * (y1 - y0); }
        bool meets(const R &o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
        R united(const R &o) const
        {
            return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
        }
    };
    void add(const R &r)
    {
        if (!(r.x1 > r.x0 && r.y1 > r.y0))
            return;
        for (R &c : rects_)
            if (c.meets(r)) {
                c = c.united(r);
                return;
            }
        if (rects_.size() < 8) {
            rects_.push_back(r);
            return;
        }
        R *best = &rects_.front();
        double growth = -1;
        for (R &c : rects_) {
            const double g = c.united(r).area() - c.area();
            if (growth < 0 || g < growth) {
                growth = g;
                best = &c;
            }
        }
        *best = best->united(r);
    }
    const std::vector<R> &rects() const { return rects_; }

private:
    std::vector<R> rects_;
};

} // namespace

void StrokeRaster::paintChanged(const std::vector<Stroke> &strokes, std::size_t common)
{
    // Where the raster may change: what the shown segments after the common ones touched,
    // and what the new ones after them will touch.
    Cover cover;
    const auto add = [&cover](const Box &b) {
        if (!b.empty())
            cover.add({b.x0, b.y0, b.x1, b.y1});
    };
    add(shown_.openBox);
    for (const Block &b : shown_.blocks)
        if (b.end > common)
            add(b.box);
    std::size_t n = 0;
    for (const Stroke &s : strokes)
        for (std::size_t i = 1; i < s.points.size(); ++i, ++n)
            if (n >= common && usable(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y))
                add(segmentBox(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y,
                               s.width));
    std::vector<RasterRect> region;
    for (const Cover::R &r : cover.rects()) {
        const RasterRect p = pixels(Box{r.x0, r.y0, r.x1, r.y1});
        if (!p.empty())
            region.push_back(p);
    }

    // Those pixels from the background up, with every segment that reaches them, in order:
    // the same as painting the whole layer afresh, there.
    shown_ = Shown{};
    Box bounds;
    for (const RasterRect &r : region) {
        RasterOp op{RasterOp::Kind::Fill, double(r.x), double(r.y), double(r.w), double(r.h)};
        op.colour = look::paint(palette_, background_);
        ops_.push_back(op);
        bounds.unite({double(r.x), double(r.y), double(r.x + r.w), double(r.y + r.h)});
    }
    const auto reaches = [&](float x1, float y1, float x2, float y2, int width) {
        const RasterRect p = pixels(segmentBox(x1, y1, x2, y2, width));
        return std::any_of(region.begin(), region.end(),
                           [&p](const RasterRect &r) { return overlap(p, r); });
    };
    for (const Stroke &s : strokes)
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const StrokePoint &a = s.points[i - 1], &b = s.points[i];
            if (!region.empty() && usable(a.x, a.y, b.x, b.y) && reaches(a.x, a.y, b.x, b.y, s.width))
                segment(a.x, a.y, b.x, b.y, s.colour, s.width);
            note(a.x, a.y, b.x, b.y, s.colour, s.width);
        }
    ops_.push_back({RasterOp::Kind::EndFill});
    dirty_ = bounds; // the rest of the raster is as it was
}

void StrokeRaster::clearLayer(Rgb background)
{
    background_ = background;
    if (!blank_) {
        ops_.push_back({RasterOp::Kind::Keep});
        kept_ = std::move(shown_);
        hasKept_ = true;
    }
    blank_ = true;
    shown_ = Shown{};
    dirtyAll();
}

void StrokeRaster::redrawLayer(Rgb background, const std::vector<Stroke> &strokes)
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
    dirtyAll();
    if (hasKept_ && kept_.hash == wanted && kept_.segments == count) {
        ops_.push_back({RasterOp::Kind::Swap});
        std::swap(shown_, kept_);
        hasKept_ = !blank_;
        blank_ = false;
        return;
    }
    if (count == 0) {
        clearLayer(background);
        return;
    }
    if (blank_ || !sameBackground) {
        if (!blank_) {
            ops_.push_back({RasterOp::Kind::Keep});
            kept_ = std::move(shown_);
            hasKept_ = true;
            blank_ = true;
        }
        paintAll(strokes);
        return;
    }
    paintChanged(strokes, common);
}

void StrokeRaster::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    if (!usable(x1, y1, x2, y2)) {
        note(x1, y1, x2, y2, colour, width);
        return;
    }
    if (blank_)
        make();
    segment(x1, y1, x2, y2, colour, width);
    note(x1, y1, x2, y2, colour, width);
    Box b = segmentBox(x1, y1, x2, y2, width);
    // Cut to the inner area: nothing outside it changes.
    b.x0 = std::max(b.x0, kBorder * k_);
    b.y0 = std::max(b.y0, kBorder * k_);
    b.x1 = std::min(b.x1, (kBorder + PictureBox::kInnerWidth) * k_);
    b.y1 = std::min(b.y1, (kBorder + PictureBox::kInnerHeight) * k_);
    dirty(b);
}

} // namespace pr
