#pragma once
#include "app/EventScript.h"

#include <QtCore/QEvent>
#include <QtCore/QPointF>

namespace pr {
class Form1;
class SurfaceWidget;
} // namespace pr

// Delivers script events to a surface widget as the window system would. Pointer events
// become mouse events at the widget point of the script's surface position, sent straight
// to the widget so that positions Qt's own routing would round (NaN, infinities, 1e30)
// arrive exactly as a broken driver hands them over. Clicks on buttons and pen options go
// through the form's user-level entry points; a click on a point label is a left press and
// release at its centre. After each event the widget resyncs, as the window has it do.
class ScriptPlayer {
public:
    ScriptPlayer(pr::Form1 &form, pr::SurfaceWidget &surface);

    void deliver(const pr::EventScript::Event &e);

private:
    void send(QEvent::Type type, int button, int buttons, int shift, QPointF surfacePoint);

    pr::Form1 &form_;
    pr::SurfaceWidget &surface_;
    int held_ = 0; // buttons pressed and not released, as surface codes (1 | 2 | 4)
};
