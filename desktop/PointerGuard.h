#pragma once
#include <QtCore/QObject>
#include <QtCore/QPointer>

class QWidget;

namespace pr {

class SurfaceWidget;

// Keeps touch and pen events whose positions are not finite away from one window.
//
// Qt 6.4 turns touch and pen input that no widget accepts into mouse events, and a mouse
// event at an infinite position makes QGuiApplication recurse until the stack overflows
// (infinite positions never compare equal to the last one). Such input only comes from a
// broken driver, e.g. a touch screen reporting a zero-wide axis, whose scaling divides by
// zero. The guard filters the application's events: a touch or pen event aimed at its
// window with a non-finite point is accepted and dropped before any widget sees it. A lift
// or cancel among them still ends the surface's touch or pen gesture, at the last usable
// position, as the surface does for a release it cannot place.
//
// Mouse events need no guard here: Qt drops NaN ones itself, the surface drops or places
// the rest; an infinite mouse position from the window system overflows inside Qt before
// any filter could see it.
class PointerGuard : public QObject {
    Q_OBJECT

public:
    // `window`: the top-level widget whose events are guarded; `surface` inside it.
    PointerGuard(QWidget *window, SurfaceWidget *surface);

    static bool hasNonFinitePoint(const QEvent *e);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    bool aimsAtWindow(QObject *watched) const;

    QPointer<QWidget> window_;
    QPointer<SurfaceWidget> surface_;
};

} // namespace pr
