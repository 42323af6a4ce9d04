#include "Palette.h"

#include <array>

namespace pr::look {

namespace {

// The ColourSafe chalk follows the colour-universal-design idea: hues apart and lightness
// apart, so that a colour vision that merges two hues still sees two greys. Chosen against
// the ground #173D2B (relative luminance 0.037), a blackboard's green: the figure's white and
// yellow gain contrast on it, and every chalk reaches 4.5 : 1. The Paper colours are their
// dark equivalents on white, legible in grey scale.
constexpr std::array kEntries{
    PaletteEntry{rgb(0, 128, 0), rgb(0x17, 0x3d, 0x2b), rgb(0xff, 0xff, 0xff),
                 "the ground (and the eraser, which paints it)"},
    PaletteEntry{rgb(255, 255, 255), rgb(255, 255, 255), rgb(0x40, 0x40, 0x40),
                 "the figure's lines, letters and labels, Ｇ"},
    PaletteEntry{rgb(255, 255, 0), rgb(0xef, 0xe3, 0x2c), rgb(0xaa, 0x67, 0x05),
                 "the arrowheads, the yellow pen"},
    PaletteEntry{rgb(255, 0, 0), rgb(0xff, 0x77, 0x5b), rgb(0x92, 0x01, 0x06),
                 "the copy of ℓ, Ｄ Ｅ Ｆ, the construction lines, the red pen"},
    PaletteEntry{rgb(255, 0, 255), rgb(0xe7, 0xa4, 0xc3), rgb(0x75, 0x19, 0x77),
                 "what a press holds"},
    PaletteEntry{rgb(0, 0, 255), rgb(0x42, 0xa5, 0xfb), rgb(0x53, 0x6e, 0xd3), "the blue pen"},
    PaletteEntry{rgb(0, 0, 128), rgb(0x43, 0x83, 0xe8), rgb(0xcf, 0xe0, 0xff),
                 "behind a label that takes a click (white letters on it)"},
    PaletteEntry{rgb(0, 0, 0), rgb(0xc8, 0xc8, 0xc8), rgb(0, 0, 0), "the eraser's outline"},
};

} // namespace

std::span<const PaletteEntry> paletteEntries() { return kEntries; }

Rgb paint(Palette p, Rgb lesson)
{
    if (p == Palette::Lesson)
        return lesson;
    for (const PaletteEntry &e : kEntries)
        if (e.lesson == lesson)
            return p == Palette::ColourSafe ? e.colourSafe : e.paper;
    return lesson;
}

} // namespace pr::look
