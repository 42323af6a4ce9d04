#pragma once
#include "DrawListPainter.h"
#include "LetterGlyphs.h"
#include "board/Stroke.h"
#include "draw/DrawList.h"

#include <QtCore/QByteArray>
#include <QtCore/QSizeF>
#include <QtGui/QImage>
#include <vector>

class QMimeData;
class QPaintDevice;
class QPainter;
class QString;

namespace pr {

class FontFamilies;
class LetterImages;

// The board as a picture to keep or hand on: the drawing surface with its sunken frame
// (793 x 641 logical surface pixels), the writing beneath the figure as on screen, and
// without the eraser cursor, which is a pointer rather than part of the board.
//
// Painted as vectors at any scale: the figure's lines and marks, the labels as text in the
// faces the window uses, the letters as the window draws them, and the writing as one
// polyline per stroke with round ends and joins, in order, so that an eraser stroke (in the
// background colour) covers the writing before it. Strokes are cut to the inner area as on
// screen.
//
// Holds references to the strokes, the fonts and the letters, which must outlive it.
class BoardPicture {
public:
    // `list` built in `palette`, which the strokes are painted in too.
    BoardPicture(DrawList list, const std::vector<Stroke> &strokes, const FontFamilies &fonts,
                 const LetterImages &letters, look::Palette palette = look::Palette::Lesson);

    // The board's size in logical surface pixels, frame included.
    static QSizeF size();
    // The board's name in the files and print jobs made of it.
    static QString title();

    // Paints the board with its top-left corner at the painter's origin, one logical surface
    // pixel per painter unit; nothing is drawn outside size().
    void paint(QPainter &p) const;

    // The board at `scale` device pixels per logical surface pixel (2: twice the design size).
    QImage toImage(double scale = 2) const;
    // An SVG document of the board, viewBox in logical surface pixels: the core's, the same
    // the web edition writes, with the window's faces named first and the letters as
    // outlines where the italic face is installed.
    QByteArray toSvg() const;
    // What a copy puts on the clipboard: the image at twice the design size and the SVG.
    QMimeData *toMimeData() const;

    // Writes the board as PNG at `scale`, or as SVG; false with a message if the file could
    // not be written.
    bool savePng(const QString &path, double scale, QString *error = nullptr) const;
    bool saveSvg(const QString &path, QString *error = nullptr) const;
    // SVG where the file name ends in .svg (any case), else PNG at `pngScale`.
    bool save(const QString &path, double pngScale, QString *error = nullptr) const;

    // Paints the board as large as it fits on the device, its shape kept, centred: on a
    // printer, the page's printable area. False if the device could not be painted on.
    bool print(QPaintDevice &device) const;

private:
    void paintStrokes(QPainter &p) const;

    DrawList list_;
    look::Palette palette_;
    const std::vector<Stroke> &strokes_;
    const FontFamilies &fonts_;
    LetterGlyphs glyphs_; // before painter_, which is given a copy
    DrawListPainter painter_;
};

} // namespace pr
