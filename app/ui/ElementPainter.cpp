#include "ElementPainter.h"

#include "app/ui/LetterImages.h"
#include "app/ui/Scene.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <algorithm>

namespace pr {

ElementPainter::ElementPainter(const FontFamilies &fonts, const LetterImages &letters)
    : letters_(letters), labelFont_(fonts.font(FontRole::Mincho29B, 1.0))
{
}

double ElementPainter::strokeWidth(int borderWidth)
{
    // The design widths (4 for the figure's lines, 2 for the marks, 3 for the cursor) read
    // well on the green at their own size, so they are used as logical pixels.
    return std::max(1, borderWidth);
}

QRectF ElementPainter::bounds(const Scene &scene, ElementRef r) const
{
    if (const Line *l = scene.line(r)) {
        const double grow = strokeWidth(l->BorderWidth) / 2 + 1;
        return QRectF(QPointF(l->X1, l->Y1), QPointF(l->X2, l->Y2))
            .normalized()
            .adjusted(-grow, -grow, grow, grow);
    }
    if (const Label *l = scene.label(r)) {
        if (!l->Visible)
            return {};
        return QRectF(l->Left, l->Top, l->Width, l->Height).adjusted(-1, -1, 1, 1);
    }
    if (const Image *i = scene.image(r))
        return QRectF(i->Left, i->Top, i->Width, i->Height).adjusted(-1, -1, 1, 1);
    const Shape &s = scene.Shape1;
    if (!s.Visible)
        return {};
    return QRectF(s.Left, s.Top, s.Width, s.Height).adjusted(-1, -1, 1, 1);
}

void ElementPainter::paint(QPainter &p, const Scene &scene, ElementRef r) const
{
    if (const Line *l = scene.line(r)) {
        // Round ends, drawn as discs on a flat-ended line: the same shape as a round-capped
        // pen, which Qt strokes several times slower. A line of zero length (a construction
        // line after its first click) thus shows as a dot, so the click is seen.
        const QPointF a(l->X1, l->Y1), b(l->X2, l->Y2);
        const QColor colour(l->BorderColor);
        const double w = strokeWidth(l->BorderWidth);
        if (a != b) {
            p.setPen(QPen(colour, w, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(a, b);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(a, w / 2, w / 2);
        p.drawEllipse(b, w / 2, w / 2);
        return;
    }
    if (const Label *l = scene.label(r)) {
        if (!l->Visible)
            return;
        const QRectF box(l->Left, l->Top, l->Width, l->Height);
        p.fillRect(box, QColor(l->BackColor));
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
        p.setFont(labelFont_);
        p.setPen(QColor(l->ForeColor));
        p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, l->Caption);
        p.restore();
        return;
    }
    if (const Image *i = scene.image(r)) {
        const QImage img = letters_.image(i->Resource);
        if (!img.isNull())
            p.drawImage(QRectF(i->Left, i->Top, i->Width, i->Height), img);
        return;
    }
    const Shape &s = scene.Shape1;
    if (!s.Visible)
        return;
    // An outline drawn inside the cursor's box, so the box is the eraser's footprint.
    const double w = strokeWidth(s.BorderWidth);
    const QRectF box(s.Left, s.Top, s.Width, s.Height);
    p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
}

} // namespace pr
