#include "GlyphImages.h"

#include <QtGui/QGlyphRun>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>
#include <QtGui/QTextLayout>
#include <cmath>

namespace pr {

namespace {

constexpr double kQtCacheLimit = 64; // device pixels: QT_MAX_CACHED_GLYPH_SIZE
constexpr int kSteps = 8;
// Beyond this the images are all dropped and made again as needed: a slide makes a handful.
constexpr std::size_t kMaxBytes = 16u << 20;
constexpr std::size_t kMaxLayouts = 512;

double deviceScale(const QPainter &p)
{
    return p.deviceTransform().m11();
}

} // namespace

bool GlyphImages::wanted(const QPainter &p, const QFont &font)
{
    const QPaintEngine *engine = p.paintEngine();
    const QTransform t = p.deviceTransform();
    return engine && engine->type() == QPaintEngine::Raster &&
           t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0 &&
           font.pixelSize() * t.m11() >= kQtCacheLimit;
}

const std::vector<GlyphImages::Run> &GlyphImages::layout(const QFont &font,
                                                        const QString &text)
{
    const QString key = font.key() + QChar(u'\n') + text;
    auto it = layouts_.find(key);
    if (it != layouts_.end())
        return *it;
    if (layouts_.size() >= qsizetype(kMaxLayouts))
        layouts_.clear();

    // As drawText lays out a single line from the box's top: the first line at the top, its
    // baseline an ascent below.
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setPosition(QPointF(0, 0));
    layout.endLayout();

    std::vector<Run> runs;
    for (const QGlyphRun &g : layout.glyphRuns()) {
        const QRawFont raw = g.rawFont();
        runs.push_back({raw,
                        font.key() + QChar(u'\n') + raw.familyName() + QChar(u'\n') +
                            raw.styleName() + QChar(u'\n') + QString::number(raw.pixelSize()),
                        g.glyphIndexes(), g.positions()});
    }
    return *layouts_.insert(key, std::move(runs));
}

const GlyphImages::Glyph &GlyphImages::glyph(const Run &run, quint32 index, QColor ink,
                                             int stepX, int stepY)
{
    const Key key{run.fontKey, index, ink.rgba(), stepX, stepY};
    auto it = glyphs_.find(key);
    if (it != glyphs_.end())
        return *it;
    if (bytes_ > kMaxBytes) {
        glyphs_.clear();
        bytes_ = 0;
    }

    // Room for the outline's antialiased edge and any emboldening beyond its bounding box.
    const double s = scale_;
    const QRectF bounds = run.font.boundingRect(index);
    const int pad = 2 + int(std::ceil(run.font.pixelSize() * s / 16));
    const int left = int(std::floor(bounds.left() * s)) - pad;
    const int top = int(std::floor(bounds.top() * s)) - pad;
    const int width = int(std::ceil(bounds.right() * s)) + pad + 1 - left;
    const int height = int(std::ceil(bounds.bottom() * s)) + pad + 1 - top;

    Glyph g;
    g.offset = QPoint(left, top);
    if (width > 0 && height > 0 && !bounds.isEmpty()) {
        g.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        g.image.fill(Qt::transparent);
        QPainter ip(&g.image);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.translate(-left + double(stepX) / kSteps, -top + double(stepY) / kSteps);
        ip.scale(s, s);
        ip.setPen(ink);
        QGlyphRun one;
        one.setRawFont(run.font);
        one.setGlyphIndexes({index});
        one.setPositions({QPointF(0, 0)});
        ip.drawGlyphRun(QPointF(0, 0), one);
    }
    bytes_ += std::size_t(g.image.sizeInBytes()) + sizeof(Glyph);
    return *glyphs_.insert(key, std::move(g));
}

void GlyphImages::drawRuns(QPainter &p, const QRectF &box, const QFont &font, QColor ink,
                           const QString &text)
{
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setPen(ink);
    for (const Run &run : layout(font, text)) {
        QGlyphRun g;
        g.setRawFont(run.font);
        g.setGlyphIndexes(run.glyphs);
        g.setPositions(run.positions);
        p.drawGlyphRun(box.topLeft(), g);
    }
    p.restore();
}

void GlyphImages::draw(QPainter &p, const QRectF &box, const QFont &font, QColor ink,
                       const QString &text)
{
    const double s = deviceScale(p);
    if (s != scale_) {
        glyphs_.clear();
        bytes_ = 0;
        scale_ = s;
    }
    const QTransform device = p.deviceTransform();
    // The painter's own map from device to world, undone: what remains draws in device pixels.
    const QTransform base = p.worldTransform().inverted() * device;

    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setWorldTransform(base.inverted());
    for (const Run &run : layout(font, text)) {
        for (qsizetype i = 0; i < run.glyphs.size(); ++i) {
            const QPointF at = device.map(box.topLeft() + run.positions[i]);
            double x = std::floor(at.x()), y = std::floor(at.y());
            int stepX = int(std::lround((at.x() - x) * kSteps));
            int stepY = int(std::lround((at.y() - y) * kSteps));
            if (stepX == kSteps)
                stepX = 0, x += 1;
            if (stepY == kSteps)
                stepY = 0, y += 1;
            const Glyph &g = glyph(run, run.glyphs[i], ink, stepX, stepY);
            if (!g.image.isNull())
                p.drawImage(QPointF(x + g.offset.x(), y + g.offset.y()), g.image);
        }
    }
    p.restore();
}

} // namespace pr
