#pragma once
#include "app/Stacking.h"
#include "app/ui/FontFamilies.h"

#include <QtCore/QRectF>
#include <QtGui/QFont>

class QPainter;

namespace pr {

class LetterImages;
struct Scene;

// The look of the surface's elements (stroke widths, outline, fonts), kept apart from their
// geometry. Works in logical surface pixels: the caller's painter maps them to the device.
class ElementPainter {
public:
    ElementPainter(const FontFamilies &fonts, const LetterImages &letters);

    // Area an element covers, grown by a pixel against rounding; empty if it shows nothing.
    QRectF bounds(const Scene &scene, ElementRef r) const;

    void paint(QPainter &p, const Scene &scene, ElementRef r) const;

    // Stroke width of a line or outline for its design attribute, in logical pixels.
    static double strokeWidth(int borderWidth);

private:
    const LetterImages &letters_;
    QFont labelFont_;
};

} // namespace pr
