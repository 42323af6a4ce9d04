#pragma once
#include "DrawList.h"
#include "board/Stroke.h"

#include <functional>
#include <string>
#include <vector>

// The board as an SVG document, the same for every front end: the surface with its sunken
// frame, the writing beneath the figure, the figure's lines, the labels and the letters,
// without the eraser cursor, which is a pointer rather than part of the board.
namespace pr::svg {

// The board's name in its pictures: the document's title and the start of a file's name.
inline constexpr const char *kTitle = "平行線と線分の比";

// The faces a reader of the file is asked for, most wanted first; the generic family
// (sans-serif, serif) is added after them. A front end puts the face it shows first.
std::vector<std::string> defaultFamilies(look::Face face);

struct Options {
    std::string title = kTitle;
    std::string description; // none if empty
    // The strokes' colours; the draw list's are its own, so build it in the same palette.
    look::Palette palette = look::Palette::Lesson;
    std::vector<std::string> gothic = defaultFamilies(look::Face::Gothic);
    std::vector<std::string> mincho = defaultFamilies(look::Face::Mincho);
    std::vector<std::string> italic = defaultFamilies(look::Face::Italic);
    // A letter's glyph as SVG path data in logical pixels, its pen origin (0, 0) on the
    // baseline, or empty to write the letter as text in `italic`. An outline looks the same
    // in every reader; text depends on the reader having the face.
    std::function<std::string(const DrawItem &letter)> letterOutline;
    // The same for a label's caption, its origin on the baseline at the start of the text;
    // or empty to write the caption as text.
    std::function<std::string(const DrawItem &text)> textOutline;

    // A face the document carries itself, for a reader without it installed: its family goes
    // first in the face's list, declared bold or italic as the texts that take it are.
    struct EmbeddedFace {
        look::Face face = look::Face::Mincho;
        std::string family;
        std::string woff2Base64; // the WOFF2 file, in base64
        bool bold = false, italic = false;
    };
    std::vector<EmbeddedFace> embedded;
};

// The document: viewBox and size 793 x 641, one logical surface pixel per CSS pixel, the
// surface's inner top-left corner at (2, 2). The strokes are painted in order as the stroke
// raster paints them, eraser strokes in their colour (the surface's), each as one path with
// round caps and joins, cut to the inner area. A text names the first of its face's families
// and takes the whole list, in order, from the document's style sheet where the reader
// follows CSS. Text is UTF-8 with XML's specials escaped, characters XML cannot hold
// dropped and broken UTF-8 replaced. A text or letter given as an outline is a filled path,
// named by its caption for assistive technology. The same board gives the same bytes.
std::string write(const DrawList &list, const std::vector<Stroke> &strokes,
                  const Options &options = {});

// A coordinate as the document writes it: at most three decimals, no exponent, "." whatever
// the C locale says, so that path data made elsewhere matches.
std::string number(double v);

} // namespace pr::svg
