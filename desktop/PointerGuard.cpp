#include "PointerGuard.h"

#include "SurfaceWidget.h"

#include <QtGui/QEventPoint>
#include <QtGui/QPointingDevice>
#include <QtGui/QTouchEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QWidget>
#include <cmath>

namespace pr {

namespace {

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool isTouchOrPen(QEvent::Type t)
{
    switch (t) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

PointerGuard::PointerGuard(QWidget *window, SurfaceWidget *surface)
    : QObject(window), window_(window), surface_(surface)
{
}

bool PointerGuard::hasNonFinitePoint(const QEvent *e)
{
    if (!isTouchOrPen(e->type()))
        return false;
    const auto *pe = static_cast<const QPointerEvent *>(e);
    for (const QEventPoint &p : pe->points())
        if (!finite(p.position()) || !finite(p.scenePosition()) || !finite(p.globalPosition()))
            return true;
    return false;
}

bool PointerGuard::aimsAtWindow(QObject *watched) const
{
    if (!window_)
        return false;
    if (auto *w = qobject_cast<QWidget *>(watched))
        return w == window_ || window_->isAncestorOf(w);
    if (auto *win = qobject_cast<QWindow *>(watched))
        return win == window_->windowHandle();
    return false;
}

bool PointerGuard::eventFilter(QObject *watched, QEvent *e)
{
    if (!hasNonFinitePoint(e) || !aimsAtWindow(watched))
        return false;
    const QEvent::Type t = e->type();
    if (surface_ &&
        (t == QEvent::TouchEnd || t == QEvent::TouchCancel || t == QEvent::TabletRelease))
        surface_->endTouchOrPenGesture();
    e->accept(); // accepted: Qt makes no mouse event of it
    return true;
}

} // namespace pr
