#include "DrawListPainter.h"

#include "FontFamilies.h"
#include "LetterImages.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <cmath>
#include <utility>

namespace pr {

DrawListPainter::DrawListPainter(const FontFamilies &fonts, const LetterImages &letters)
    : DrawListPainter(fonts, letters, LetterGlyphs())
{
}

DrawListPainter::DrawListPainter(const FontFamilies &fonts, const LetterImages &letters,
                                 LetterGlyphs glyphs)
    : fonts_(fonts), letters_(letters), glyphs_(std::move(glyphs)),
      labelStyle_(look::textStyle(FontRole::Mincho29B))
{
    labelFont_ = fonts_.font(labelStyle_, 1.0);
}

void DrawListPainter::paint(QPainter &p, const DrawItem &d) const
{
    switch (d.kind) {
    case DrawKind::None:
    case DrawKind::StrokeLayer:
        return;
    case DrawKind::Fill:
        p.fillRect(toQt(d.box), QColor(d.colour));
        return;
    case DrawKind::Segment: {
        // Round ends drawn as discs on a flat-ended line: the same shape as a round-capped
        // pen, which Qt strokes several times slower. A line of zero length is just the disc.
        const QPointF a(d.x1, d.y1), b(d.x2, d.y2);
        const QColor colour(d.colour);
        const double w = d.width;
        if (a != b) {
            p.setPen(QPen(colour, w, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(a, b);
        }
        if (d.roundEnds) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(a, w / 2, w / 2);
            p.drawEllipse(b, w / 2, w / 2);
        }
        return;
    }
    case DrawKind::Text: {
        const QRectF box = toQt(d.box);
        p.fillRect(box, QColor(d.back));
        const QFont font = d.text == labelStyle_ ? labelFont_ : fonts_.font(d.text, 1.0);
        const QString caption = QString::fromUtf8(d.caption.data(), qsizetype(d.caption.size()));
        if (GlyphImages::wanted(p, font)) {
            glyphImages_.draw(p, box, font, QColor(d.colour), caption);
            return;
        }
        glyphImages_.drawRuns(p, box, font, QColor(d.colour), caption);
        return;
    }
    case DrawKind::Image: {
        if (const QPainterPath *glyph = glyphs_.outline(d.caption, d.text.pixelSize)) {
            const QRectF box = toQt(d.box);
            p.fillRect(box, QColor(d.back));
            p.save();
            p.setClipRect(box, Qt::IntersectClip); // as the bitmap, never beyond the box
            p.translate(d.x1, d.y1);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(d.colour));
            p.drawPath(*glyph);
            p.restore();
            return;
        }
        const QImage &img = letters_.image(d.image);
        if (img.isNull())
            return;
        if (d.colour == look::kLetterInk && d.back == look::kLetterBack) {
            p.drawImage(toQt(d.box), img);
            return;
        }
        // Another palette: the bitmap's white-on-green, pixel by pixel from back to ink.
        QImage tinted = img.convertToFormat(QImage::Format_RGB32);
        const QColor ink(d.colour), back(d.back);
        for (int y = 0; y < tinted.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(tinted.scanLine(y));
            for (int x = 0; x < tinted.width(); ++x) {
                const double a = qRed(row[x]) / 255.0; // 0 on the green, 1 on the white
                const auto mix = [a](int from, int to) { return int(std::lround(from + (to - from) * a)); };
                row[x] = qRgb(mix(back.red(), ink.red()), mix(back.green(), ink.green()),
                              mix(back.blue(), ink.blue()));
            }
        }
        p.drawImage(toQt(d.box), tinted);
        return;
    }
    case DrawKind::Triangle: {
        QColor fill(d.colour);
        fill.setAlpha(d.alpha);
        const QPointF corners[3] = {{d.x1, d.y1}, {d.x2, d.y2}, {d.x3, d.y3}};
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPolygon(corners, 3);
        return;
    }
    case DrawKind::Arc: {
        const double r = d.box.w;
        p.setPen(QPen(QColor(d.colour), d.width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        // Qt's angles run counter-clockwise on screen, in sixteenths of a degree.
        p.drawArc(QRectF(d.x1 - r, d.y1 - r, 2 * r, 2 * r), int(std::lround(d.x2 * 16)),
                  int(std::lround(d.y2 * 16)));
        return;
    }
    case DrawKind::Outline: {
        const double w = d.width;
        const QRectF box = toQt(d.box);
        p.setPen(QPen(QColor(d.colour), w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
        return;
    }
    }
}

} // namespace pr
