#pragma once
#include "form/Rgb.h"

#include <cstdint>
#include <span>

// The colours the surface is painted in. The form, the handlers, the strokes and board files
// always hold the lesson's own colours (QBColor values); a palette maps them only where they
// are painted, so a board looks the same in every palette and reads back the same.
namespace pr::look {

enum class Palette : std::uint8_t {
    Lesson,     // the lesson as designed: white, yellow and red chalk on RGB(0, 128, 0)
    ColourSafe, // 見やすい色: a darker blackboard green, chalk every colour vision tells apart
    Paper,      // a white sheet for printing and pictures: dark lines, dark chalk
};

// One of the lesson's surface colours and what each palette paints it in.
struct PaletteEntry {
    Rgb lesson, colourSafe, paper;
    const char *role; // what the lesson paints in it, for people reading the table
};

// Every colour the lesson paints on the surface. In ColourSafe each but the ground's own has
// at least 3 : 1 contrast with the ground (WCAG 2.2, 1.4.11), and so has each line and letter
// colour in Paper (the light blue behind a clickable label, under dark letters, excepted).
// In both, the lines' and pens' colours stay apart in simulated protan, deutan and tritan
// views (tests/core/tst_palette.cpp says by which measure).
std::span<const PaletteEntry> paletteEntries();

// The colour `lesson` is painted in; a colour the table does not list passes unchanged (the
// frame around the surface, the window's controls).
Rgb paint(Palette p, Rgb lesson);

} // namespace pr::look
