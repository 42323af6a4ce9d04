#include "LargePointer.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <cmath>
#include <iterator>

namespace pr {

namespace {

// The classic arrow outline, tip at the origin, 20 units tall.
constexpr QPointF kArrow[] = {{0, 0},     {0, 17},    {4.2, 13.2}, {7, 19.5},
                              {9.6, 18.3}, {6.9, 12.2}, {12.3, 12.2}};
constexpr double kUnits = 20;
constexpr double kRim = 4;    // logical pixels of stroke; its outer half stays white
constexpr double kMargin = 3; // the rim's outer half, with room for its antialiased edge

QPainterPath arrowPath()
{
    const double k = LargePointer::kHeight / kUnits;
    QPainterPath path;
    path.moveTo(kArrow[0] * k);
    for (std::size_t i = 1; i < std::size(kArrow); ++i)
        path.lineTo(kArrow[i] * k);
    path.closeSubpath();
    return path.translated(kMargin, kMargin);
}

} // namespace

QPoint LargePointer::hotSpot()
{
    return QPoint(int(std::lround(kMargin)), int(std::lround(kMargin)));
}

QPixmap LargePointer::pixmap(double dpr)
{
    const QPainterPath path = arrowPath();
    const QRectF box = path.boundingRect().adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const QSize logical(int(std::ceil(box.right())), int(std::ceil(box.bottom())));
    QPixmap pm(QSize(int(std::ceil(logical.width() * dpr)), int(std::ceil(logical.height() * dpr))));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The rim is stroked first and the arrow filled over its inner half; round joins keep
    // the rim at the tip from reaching past the margin.
    p.setPen(QPen(Qt::white, kRim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.fillPath(path, Qt::black);
    return pm;
}

QPoint LargePointer::cursorHotSpot(double dpr, const QString &platform)
{
    if (platform == QLatin1String("xcb"))
        return QPoint(int(std::lround(kMargin * dpr)), int(std::lround(kMargin * dpr)));
    return hotSpot();
}

QCursor LargePointer::cursor(double dpr)
{
    const QPoint hot = cursorHotSpot(dpr, QGuiApplication::platformName());
    return QCursor(pixmap(dpr), hot.x(), hot.y());
}

} // namespace pr
