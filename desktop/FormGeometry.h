#pragma once
#include "form/Twips.h"

#include <QtCore/QRect>
#include <QtCore/QRectF>
#include <QtCore/QSize>

namespace pr {

// Maps the form's design layout (twips, 15 per logical pixel, client area 811 x 702 at
// scale 1) onto a window of any size: one uniform scale with the aspect ratio kept, the
// form centred and the spare room left to the window's background.
class FormGeometry {
public:
    static constexpr double kTwipsPerPixel = pr::kTwipsPerPixel;
    static constexpr int kClientWidth = 811, kClientHeight = 702;

    // dpr: the screen's device pixel ratio. Controls' edges are put on whole device pixels,
    // so no device pixel is shared by a control and what lies next to it; with a fractional
    // ratio that moves an edge by at most a few logical pixels from the exact scaled place.
    explicit FormGeometry(QSize client, double dpr = 1);

    // The same with a strip `sideWidth` logical pixels wide at scale 1 wanted on the form's
    // right. The strip only takes room the form leaves spare: it is there where the window
    // is wide enough for form and strip at the scale the form has alone, and then the two
    // are centred together; elsewhere the layout is the form's alone.
    FormGeometry(QSize client, double dpr, double sideWidth);

    double scale() const { return scale_; }
    QPointF origin() const { return origin_; }
    bool hasSide() const { return hasSide_; }
    // Window rectangle of the side strip, as high as the form; empty without one.
    QRect side() const { return side_; }

    // Window rectangle of a control placed at (left, top, width, height) in twips. Edges
    // are rounded separately, so neighbouring controls never gain a gap or an overlap.
    QRect place(int left, int top, int width, int height) const;

    // The client size a window opens with on a screen whose free area is `available` and
    // whose title bar and frame take `frame`: 811 x 702 where that fits, else the largest
    // uniformly scaled size that does.
    static QSize initialClientSize(QSize available, QSize frame);

private:
    double scale_;
    QPointF origin_;
    int step_ = 1; // logical pixels between edges that fall on whole device pixels
    bool hasSide_ = false;
    QRect side_;
};

} // namespace pr
