#pragma once
#include "GlyphImages.h"
#include "LetterGlyphs.h"
#include "draw/DrawList.h"

#include <QtCore/QRectF>
#include <QtGui/QFont>
#include <array>

class QPainter;

namespace pr {

class FontFamilies;
class LetterImages;

// Renders the core's draw items with QPainter. The look is the core's; this class only maps
// its primitives to Qt: a text style to an installed face, a letter to its outline in the
// italic face where that is installed, else to its bitmap by image id.
// Works in logical surface pixels: the caller's painter maps them to the device.
class DrawListPainter {
public:
    DrawListPainter(const FontFamilies &fonts, const LetterImages &letters);
    // With the letters' face given, e.g. one without the italic face to show the bitmaps.
    DrawListPainter(const FontFamilies &fonts, const LetterImages &letters, LetterGlyphs glyphs);

    // Paints one item other than the stroke layer, which its owner blits itself.
    void paint(QPainter &p, const DrawItem &item) const;

    static QRectF toQt(const Box &b) { return {b.x, b.y, b.w, b.h}; }

private:
    const FontFamilies &fonts_;
    const LetterImages &letters_;
    LetterGlyphs glyphs_;
    QFont labelFont_; // the point labels' face, made once: every label on the surface uses it
    look::TextStyle labelStyle_;
    mutable GlyphImages glyphImages_; // large texts' glyphs, made as they are first painted
};

} // namespace pr
