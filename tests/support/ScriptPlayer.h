#pragma once
#include "support/EventScript.h"

#include <QtCore/QEvent>
#include <QtCore/QPointF>

namespace pr {
class Lesson;
class SurfaceWidget;
} // namespace pr

// Delivers script events to a surface widget as the window system would, and plays the
// window's part: the surface's events go to the lesson's entry points, each followed by a
// resync of the surface. Pointer events become mouse events at the widget point of the
// script's surface position, sent straight to the widget so that positions Qt's own routing
// would round (NaN, infinities, 1e30) arrive exactly as a broken driver hands them over.
// Clicks on buttons and pen options go through the lesson's entry points; a click on a
// point label is a left press and release at its centre.
// Sends one mouse event straight to the surface widget at a surface point (logical surface
// pixels), with surface button codes (1 left, 2 right, 4 middle) and shift state (1 shift,
// 2 ctrl, 4 alt); `buttons` is what is held after the event.
void sendSurfaceMouse(pr::SurfaceWidget &surface, QEvent::Type type, int button, int buttons,
                      int shift, QPointF surfacePoint);

class ScriptPlayer {
public:
    ScriptPlayer(pr::Lesson &lesson, pr::SurfaceWidget &surface);

    void deliver(const pr::EventScript::Event &e);

private:
    pr::Lesson &lesson_;
    pr::SurfaceWidget &surface_;
    int held_ = 0; // buttons pressed and not released, as surface codes (1 | 2 | 4)
};
