#include "ScriptPlayer.h"

#include "SurfaceWidget.h"
#include "lesson/Lesson.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QMouseEvent>

using Kind = pr::EventScript::Kind;

namespace {

// Surface button code to Qt's: 1 left, 2 right, 4 middle; anything else a button the
// surface does not know.
Qt::MouseButton qtButton(int code)
{
    switch (code) {
    case 1:
        return Qt::LeftButton;
    case 2:
        return Qt::RightButton;
    case 4:
        return Qt::MiddleButton;
    default:
        return Qt::BackButton;
    }
}

Qt::MouseButtons qtButtons(int codes)
{
    Qt::MouseButtons b;
    b.setFlag(Qt::LeftButton, codes & 1);
    b.setFlag(Qt::RightButton, codes & 2);
    b.setFlag(Qt::MiddleButton, codes & 4);
    return b;
}

Qt::KeyboardModifiers qtModifiers(int shift)
{
    Qt::KeyboardModifiers m;
    m.setFlag(Qt::ShiftModifier, shift & 1);
    m.setFlag(Qt::ControlModifier, shift & 2);
    m.setFlag(Qt::AltModifier, shift & 4);
    return m;
}

} // namespace

void sendSurfaceMouse(pr::SurfaceWidget &surface, QEvent::Type type, int button, int buttons,
                      int shift, QPointF s)
{
    const QPointF w = surface.toWidget(s);
    QMouseEvent e(type, w, w, type == QEvent::MouseMove ? Qt::NoButton : qtButton(button),
                  qtButtons(buttons), qtModifiers(shift));
    QCoreApplication::sendEvent(&surface, &e);
}

ScriptPlayer::ScriptPlayer(pr::Lesson &lesson, pr::SurfaceWidget &surface)
    : lesson_(lesson), surface_(surface)
{
    using pr::SurfaceWidget;
    QObject::connect(&surface, &SurfaceWidget::pressed, &surface, [this](int b, int s, QPointF p) {
        lesson_.press(std::int16_t(b), std::int16_t(s), p.x(), p.y());
        surface_.syncFromCore();
    });
    QObject::connect(&surface, &SurfaceWidget::moved, &surface, [this](int b, int s, QPointF p) {
        lesson_.move(std::int16_t(b), std::int16_t(s), p.x(), p.y());
        surface_.syncFromCore();
    });
    QObject::connect(&surface, &SurfaceWidget::released, &surface, [this](int b, int s, QPointF p) {
        lesson_.release(std::int16_t(b), std::int16_t(s), p.x(), p.y());
        surface_.syncFromCore();
    });
}


void ScriptPlayer::deliver(const pr::EventScript::Event &e)
{
    const QPointF at(e.x, e.y);
    switch (e.kind) {
    case Kind::Press:
        held_ |= e.button & 7;
        sendSurfaceMouse(surface_, QEvent::MouseButtonPress, e.button, held_, e.shift, at);
        break;
    case Kind::Move:
        sendSurfaceMouse(surface_, QEvent::MouseMove, 0, e.button, e.shift, at);
        break;
    case Kind::Release:
        held_ &= ~e.button;
        sendSurfaceMouse(surface_, QEvent::MouseButtonRelease, e.button, held_, e.shift, at);
        break;
    case Kind::Command:
        lesson_.clickCommand(e.index);
        break;
    case Kind::Option:
        lesson_.clickOption(e.index);
        break;
    case Kind::Label:
        if (lesson_.form.Label2.contains(e.index)) {
            const pr::Label &l = lesson_.form.Label2[e.index];
            const QPointF centre(l.Left + l.Width / 2, l.Top + l.Height / 2);
            sendSurfaceMouse(surface_, QEvent::MouseButtonPress, 1, held_ | 1, 0, centre);
            sendSurfaceMouse(surface_, QEvent::MouseButtonRelease, 1, held_ & ~1, 0, centre);
        }
        break;
    }
    // The window resyncs after every event the lesson handled.
    surface_.syncFromCore();
}
