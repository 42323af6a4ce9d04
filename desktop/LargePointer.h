#pragma once
#include <QtGui/QCursor>
#include <QtGui/QPixmap>

namespace pr {

// The pointer for projectors and whiteboards: the usual arrow at about two and a half times
// its size, black with a white rim so it shows on the green, on the white lines and on every
// pen colour. Drawn for a device pixel ratio, so it is as crisp on a dense screen as on any
// other and keeps its logical size.
class LargePointer {
public:
    static constexpr double kHeight = 48; // logical pixels, tip to tail

    // The picture, transparent around the arrow, at `dpr` device pixels per logical pixel.
    static QPixmap pixmap(double dpr);
    // The arrow's tip in the picture, in logical pixels.
    static QPoint hotSpot();
    // The hot spot to hand QCursor on the platform named `platform` (as
    // QGuiApplication::platformName() gives it): X11 (xcb) passes it to the server as
    // pixels of the picture, unscaled, so there it is given in device pixels.
    static QPoint cursorHotSpot(double dpr, const QString &platform);
    static QCursor cursor(double dpr);
};

} // namespace pr
