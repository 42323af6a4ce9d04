#include "SurfaceDriver.h"

#include "ProcessStats.h"
#include "MainWindow.h"
#include "SurfaceWidget.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QMouseEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

namespace prbench {

SurfaceDriver::SurfaceDriver(pr::MainWindow &window)
    : window_(window), surface_(window.surface()), meter_(window.surface())
{
}

bool SurfaceDriver::showAt(QSize size)
{
    window_.resize(size);
    window_.show();
    const std::int64_t deadline = monotonicNs() + 5'000'000'000;
    while (monotonicNs() < deadline) {
        QCoreApplication::processEvents();
        if (window_.windowHandle() && window_.windowHandle()->isExposed() && meter_.paints() > 0)
            break;
    }
    // Let the window system's answers to the show (configure, expose) settle.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    meter_.reset();
    return window_.windowHandle() && window_.windowHandle()->isExposed();
}

EventCost SurfaceDriver::deliver(int type, QPointF s, Qt::MouseButton button,
                                 Qt::MouseButtons buttons)
{
    const QPointF local = surface_->toWidget(s);
    const QPointF scene = surface_->mapTo(&window_, local);
    const QPointF global = surface_->mapToGlobal(local);
    meter_.reset();
    const std::int64_t start = monotonicNs();
    QMouseEvent e(QEvent::Type(type), local, scene, global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(surface_, &e);
    return finish(start, monotonicNs());
}

EventCost SurfaceDriver::finish(std::int64_t start, std::int64_t delivered)
{
    QCoreApplication::processEvents();
    const std::int64_t painted = monotonicNs();
    EventCost c;
    c.handlerUs = double(delivered - start) / 1e3;
    c.paintUs = double(painted - delivered) / 1e3;
    c.paints = meter_.paints();
    c.area = meter_.area();
    return c;
}

EventCost SurfaceDriver::press(QPointF s, Qt::MouseButton button)
{
    return deliver(QEvent::MouseButtonPress, s, button, button);
}

EventCost SurfaceDriver::move(QPointF s, Qt::MouseButtons buttons)
{
    return deliver(QEvent::MouseMove, s, Qt::NoButton, buttons);
}

EventCost SurfaceDriver::release(QPointF s, Qt::MouseButton button)
{
    return deliver(QEvent::MouseButtonRelease, s, button, Qt::NoButton);
}

EventCost SurfaceDriver::repaintAll()
{
    meter_.reset();
    const std::int64_t start = monotonicNs();
    surface_->update();
    return finish(start, monotonicNs());
}

void SurfaceDriver::clickCommand(int number)
{
    window_.commandButton(number)->click();
    QCoreApplication::processEvents();
}

void SurfaceDriver::clickOption(int index)
{
    window_.optionButton(index)->click();
    QCoreApplication::processEvents();
}

} // namespace prbench
