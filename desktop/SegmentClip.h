#pragma once
#include <QtCore/QPointF>
#include <QtCore/QRectF>

#include <algorithm>

namespace pr {

// Liang-Barsky: cuts the segment a-b to the rectangle r. False if nothing is left. Keeps the
// painter away from the huge coordinates a far-flung pointer may deliver; the stroke layer
// and the board's pictures cut their segments alike.
inline bool clipSegment(QPointF &a, QPointF &b, const QRectF &r)
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

} // namespace pr
