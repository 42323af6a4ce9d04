#pragma once
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QPoint>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QImage>
#include <QtGui/QRawFont>
#include <cstddef>
#include <vector>

class QPainter;

namespace pr {

// Qt's raster engine keeps glyphs in a cache of its own only below 64 device pixels; larger
// ones it fills from their outlines at every paint. On a 4K projector the surface's 29 px
// texts are about 80 device pixels, and a slide that repaints a few of them took
// milliseconds. Such text is drawn here from images of its glyphs instead: each glyph is
// rendered once per face, device size, ink and offset, the offset rounded to an eighth of a
// device pixel (a sixteenth at most, on glyphs of 64 pixels and more), and then copied.
//
// Smaller text goes through Qt's own cache, but from a layout kept here too: drawText lays
// its text out afresh at every paint, which cost as much as drawing it.
//
// Boxes are in the painter's logical units; the images are in device pixels.
class GlyphImages {
public:
    // Whether `font`'s glyphs through the painter's transform are past Qt's own cache, on a
    // raster device with a transform that only scales alike in both directions and moves.
    static bool wanted(const QPainter &p, const QFont &font);

    // Paints `text` in `ink` where QPainter::drawText(box, AlignLeft | AlignTop |
    // TextSingleLine, text) would, clipped to `box`.
    void draw(QPainter &p, const QRectF &box, const QFont &font, QColor ink,
              const QString &text);

    // The same through Qt's own glyph cache, with the text laid out once rather than at every
    // paint, as drawText would.
    void drawRuns(QPainter &p, const QRectF &box, const QFont &font, QColor ink,
                  const QString &text);

    std::size_t bytes() const { return bytes_; }

private:
    struct Run {
        QRawFont font;
        QString fontKey; // names the face and size, for the glyphs' keys
        QList<quint32> glyphs;
        QList<QPointF> positions; // pen origins from the box's top-left, logical units
    };
    struct Key {
        QString fontKey;
        quint32 glyph;
        QRgb ink;
        int stepX, stepY; // the offset within the device pixel, in eighths
        bool operator==(const Key &) const = default;
        friend size_t qHash(const Key &k, size_t seed)
        {
            return qHashMulti(seed, k.fontKey, k.glyph, k.ink, k.stepX, k.stepY);
        }
    };
    struct Glyph {
        QImage image;
        QPoint offset; // of the image's top-left from the pen origin's device pixel
    };

    const std::vector<Run> &layout(const QFont &font, const QString &text);
    const Glyph &glyph(const Run &run, quint32 index, QColor ink, int stepX, int stepY);

    double scale_ = 0; // device pixels per logical unit that the glyphs were made at
    QHash<QString, std::vector<Run>> layouts_;
    QHash<Key, Glyph> glyphs_;
    std::size_t bytes_ = 0;
};

} // namespace pr
