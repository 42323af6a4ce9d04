#include "BoardPicture.h"
#include "FontFamilies.h"
#include "draw/StrokeRaster.h"
#include "draw/SvgWriter.h"

#include "form/PictureBox.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QMimeData>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPen>
#include <QtGui/QPolygonF>
#include <algorithm>
#include <cmath>

namespace pr {

namespace {

// A glyph's outline as SVG path data, its numbers written as the core writes the rest.
std::string pathData(const QPainterPath &path)
{
    std::string d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement: d += 'M'; break;
        case QPainterPath::LineToElement: d += 'L'; break;
        case QPainterPath::CurveToElement: d += 'C'; break;
        case QPainterPath::CurveToDataElement: d += ' '; break;
        }
        d += svg::number(e.x) + ' ' + svg::number(e.y);
    }
    return d;
}

} // namespace

BoardPicture::BoardPicture(DrawList list, const std::vector<Stroke> &strokes,
                           const FontFamilies &fonts, const LetterImages &letters,
                           look::Palette palette)
    : list_(std::move(list)), palette_(palette), strokes_(strokes), fonts_(fonts),
      painter_(fonts, letters, glyphs_)
{
}

QSizeF BoardPicture::size()
{
    return {PictureBox::kOuterWidth, PictureBox::kOuterHeight};
}

QString BoardPicture::title()
{
    return QString::fromUtf8(svg::kTitle);
}

void BoardPicture::paint(QPainter &p) const
{
    p.save();
    p.translate(-list_.outer.x, -list_.outer.y);
    p.setClipRect(DrawListPainter::toQt(list_.outer), Qt::IntersectClip);
    paintStrokes(p);

    // The figure, cut to the inner area, then the frame. On screen the frame comes first; the
    // two never share a pixel, and painted last the frame also covers whatever reaches past
    // the inner area where a device does not clip (SVG readers differ).
    const QRectF inner = DrawListPainter::toQt(list_.clip);
    p.save();
    p.setClipRect(inner, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const DrawItem &item : list_.items) {
        if (!item.clipped || item.kind == DrawKind::Outline) // the eraser cursor stays out
            continue;
        if (DrawListPainter::toQt(item.bounds()).intersects(inner))
            painter_.paint(p, item);
    }
    p.restore();
    for (const DrawItem &item : list_.items)
        if (!item.clipped && item.kind == DrawKind::Fill)
            painter_.paint(p, item);
    p.restore();
}

void BoardPicture::paintStrokes(QPainter &p) const
{
    p.fillRect(DrawListPainter::toQt(list_.outer), QColor(list_.items.front().colour));
    if (strokes_.empty())
        return;
    const QRectF inner = DrawListPainter::toQt(list_.clip);
    const QRectF roomy = inner.adjusted(-100, -100, 100, 100);
    p.save();
    p.setClipRect(inner, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Stroke &stroke : strokes_) {
        if (stroke.points.empty())
            continue;
        QPen pen(QColor(look::paint(palette_, stroke.colour)), std::max(1, stroke.width), Qt::SolidLine, Qt::RoundCap,
                 Qt::RoundJoin);
        p.setPen(pen);
        // Where the pen's ends still reach the inner area. A stroke that stays near it is
        // one polyline; one that strays far (a pointer flung off the window) goes segment by
        // segment, each cut to this area, which keeps far-off coordinates out of the painter
        // and gives the same shape, every segment having round ends.
        const double reach = pen.widthF() / 2 + 1;
        const QRectF near = inner.adjusted(-reach, -reach, reach, reach);
        QPolygonF line;
        line.reserve(qsizetype(stroke.points.size()));
        bool strays = false;
        for (const StrokePoint &pt : stroke.points) {
            line.append(QPointF(pt.x, pt.y));
            strays = strays || !roomy.contains(line.back());
        }
        if (line.size() == 1)
            line.append(line.front()); // a dot
        if (!strays) {
            p.drawPolyline(line);
            continue;
        }
        for (qsizetype i = 1; i < line.size(); ++i) {
            double ax = line[i - 1].x(), ay = line[i - 1].y(), bx = line[i].x(), by = line[i].y();
            if (clipSegment(ax, ay, bx, by, near.x(), near.y(), near.width(), near.height()))
                p.drawLine(QPointF(ax, ay), QPointF(bx, by));
        }
    }
    p.restore();
}

QImage BoardPicture::toImage(double scale) const
{
    const QSize pixels(int(std::ceil(size().width() * scale - 1e-9)),
                       int(std::ceil(size().height() * scale - 1e-9)));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    paint(p);
    p.end();
    image.setText(QStringLiteral("Title"), title());
    return image;
}

QByteArray BoardPicture::toSvg() const
{
    svg::Options o;
    o.description = QCoreApplication::applicationName().toStdString();
    o.palette = palette_;
    o.gothic.insert(o.gothic.begin(), fonts_.gothic().toStdString());
    o.mincho.insert(o.mincho.begin(), fonts_.mincho().toStdString());
    o.letterOutline = [this](const DrawItem &letter) {
        const QPainterPath *glyph = glyphs_.outline(letter.caption, letter.text.pixelSize);
        return glyph ? pathData(*glyph) : std::string();
    };
    // The labels as outlines too, in the faces the surface shows (Qt emboldens a face
    // without a bold weight in the outline as on screen), so that the picture looks the same
    // on a machine without them.
    o.textOutline = [this](const DrawItem &text) {
        QPainterPath path;
        path.addText(0, 0, fonts_.font(text.text, 1), QString::fromStdString(text.caption));
        return pathData(path);
    };
    const std::string doc = svg::write(list_, strokes_, o);
    return QByteArray(doc.data(), qsizetype(doc.size()));
}

QMimeData *BoardPicture::toMimeData() const
{
    auto *data = new QMimeData;
    data->setImageData(toImage(2));
    data->setData(QStringLiteral("image/svg+xml"), toSvg());
    return data;
}

bool BoardPicture::savePng(const QString &path, double scale, QString *error) const
{
    if (toImage(scale).save(path, "PNG"))
        return true;
    if (error)
        *error = QDir::toNativeSeparators(path);
    return false;
}

bool BoardPicture::saveSvg(const QString &path, QString *error) const
{
    QFile file(path);
    const QByteArray svg = toSvg();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(svg) == svg.size() &&
        file.flush())
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

bool BoardPicture::save(const QString &path, double pngScale, QString *error) const
{
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return saveSvg(path, error);
    return savePng(path, pngScale, error);
}

bool BoardPicture::print(QPaintDevice &device) const
{
    QPainter p(&device);
    if (!p.isActive())
        return false;
    // The painter's origin is the printable area's top-left corner, in device pixels.
    const QSizeF area(device.width(), device.height());
    const double k = std::min(area.width() / size().width(), area.height() / size().height());
    p.translate((area.width() - size().width() * k) / 2, (area.height() - size().height() * k) / 2);
    p.scale(k, k);
    paint(p);
    return p.end();
}

} // namespace pr
