#pragma once
#include "MainWindow.h"
#include "SurfaceWidget.h"

#include <QtGui/QImage>
#include <QtTest/QtTest>

// Helpers for driving the real window offscreen and reading its pixels.
namespace wt {

// The surface as painted right now, at device resolution.
inline QImage grabSurface(pr::MainWindow &w)
{
    return w.surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Colour of the surface image at a logical surface point.
inline QRgb surfacePixel(const pr::MainWindow &w, const QImage &img, QPointF surfacePoint)
{
    const QPointF wp = w.surface()->toWidget(surfacePoint) * img.devicePixelRatio();
    return img.pixel(int(wp.x()), int(wp.y())) & 0xffffffu;
}

// Window point of a logical surface point, for QTest mouse events on the window.
inline QPoint windowPoint(const pr::MainWindow &w, QPointF surfacePoint)
{
    return w.surface()->mapTo(&w, w.surface()->toWidget(surfacePoint)).toPoint();
}

// Mouse input through the window system, as a real pointer arrives: Qt routes it to the
// widget under the pointer and keeps a pressed button's grab.
inline void press(pr::MainWindow &w, QPointF s, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mousePress(w.windowHandle(), b, {}, windowPoint(w, s));
}
inline void move(pr::MainWindow &w, QPointF s)
{
    QTest::mouseMove(w.windowHandle(), windowPoint(w, s));
}
inline void release(pr::MainWindow &w, QPointF s, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mouseRelease(w.windowHandle(), b, {}, windowPoint(w, s));
}
inline void click(pr::MainWindow &w, QPointF s, Qt::MouseButton b = Qt::LeftButton)
{
    press(w, s, b);
    release(w, s, b);
}

// Number of pixels in a logical surface rectangle whose colour is close to `colour`.
inline int countNear(const pr::MainWindow &w, const QImage &img, QRectF surfaceRect, QRgb colour,
                     int tolerance = 60)
{
    const double k = img.devicePixelRatio();
    const QRect r = QRectF(w.surface()->toWidget(surfaceRect.topLeft()) * k,
                           w.surface()->toWidget(surfaceRect.bottomRight()) * k)
                        .toAlignedRect() &
                    img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                    std::abs(qBlue(p) - qBlue(colour)) <=
                tolerance)
                ++n;
        }
    return n;
}

// Shows the window offscreen at its natural size and waits until it is exposed.
inline void showAndWait(pr::MainWindow &w)
{
    w.resize(811, 702);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// The same, and makes it the active window, which keys and shortcuts need.
inline void showActive(pr::MainWindow &w)
{
    showAndWait(w);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// A key typed on the keyboard: through the window system to the focused control, with
// shortcuts taking it first.
inline void key(pr::MainWindow &w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QTest::keyClick(w.windowHandle(), k, m);
}

// Centre of a point label's box in surface pixels (Ａ .. Ｃ' are 0 .. 5).
inline QPointF pointLabelCentre(const pr::MainWindow &w, int index)
{
    const auto &l = w.form().Label2[index];
    return {l.Left + l.Width / 2.0, l.Top + l.Height / 2.0};
}

} // namespace wt
