#pragma once
#include "PaintMeter.h"

#include <QtCore/QPointF>
#include <QtCore/QSize>
#include <cstdint>

namespace pr {
class MainWindow;
class SurfaceWidget;
} // namespace pr

namespace prbench {

// What one event cost on the surface. Times in µs; area in the surface widget's logical px.
struct EventCost {
    double handlerUs = 0; // the event delivered: core handler, then the window's sync
    double paintUs = 0;   // the repaint that followed, flush to the window system included
    int paints = 0;
    long long area = 0;
    double totalUs() const { return handlerUs + paintUs; }
};

// Drives the real window's drawing surface the way the window system would: mouse events
// delivered to the surface at surface points, each followed by the event loop turn that
// runs the repaint it scheduled.
class SurfaceDriver {
public:
    explicit SurfaceDriver(pr::MainWindow &window);

    // Shows the window at `size` (window px) and waits for its first frame; false if the
    // window was not exposed within a few seconds.
    bool showAt(QSize size);

    pr::SurfaceWidget *surface() const { return surface_; }

    // Surface points in logical surface px; buttons as Qt reports them.
    EventCost press(QPointF s, Qt::MouseButton button = Qt::LeftButton);
    EventCost move(QPointF s, Qt::MouseButtons buttons);
    EventCost release(QPointF s, Qt::MouseButton button = Qt::LeftButton);
    // Marks the whole surface dirty and repaints it.
    EventCost repaintAll();
    // Clicks one of the window's real push buttons (1..4) or pen options (0..7) and lets the
    // repaint run.
    void clickCommand(int number);
    void clickOption(int index);

private:
    EventCost deliver(int type, QPointF s, Qt::MouseButton button, Qt::MouseButtons buttons);
    EventCost finish(std::int64_t start, std::int64_t delivered);

    pr::MainWindow &window_;
    pr::SurfaceWidget *surface_;
    PaintMeter meter_;
};

} // namespace prbench
