#pragma once
#include "Rgb.h"

namespace pr {

// The classic 16-colour palette addressed by index 0..15. Indices outside the range wrap
// into it (index & 15) so a stray value can never read past the table.
Rgb QBColor(int index);

// Design-time colours of the form.
inline constexpr Rgb kLightGreen = rgb(192, 255, 192); // window and pen-row backgrounds
inline constexpr Rgb kGreen = rgb(0, 128, 0);          // drawing surface, label backgrounds
inline constexpr Rgb kBrightGreen = rgb(0, 255, 0);    // heading text
inline constexpr Rgb kWhite = rgb(255, 255, 255);
inline constexpr Rgb kRed = rgb(255, 0, 0);
inline constexpr Rgb kYellow = rgb(255, 255, 0);
inline constexpr Rgb kBlack = rgb(0, 0, 0);

// Palette indices (for QBColor) by the role they play in the lesson.
inline constexpr int kCopyColour = 12;      // light red: the copy of ℓ and Ｄ, Ｅ, Ｆ at rest
inline constexpr int kHeldColour = 13;      // light magenta: what a press holds (the copy and
                                            // Ｄ, Ｅ, Ｆ, or a prolongation) until the release
inline constexpr int kFigureColour = 15;    // white, as the figure's lines: a prolongation
                                            // after the release, the copy of ℓ in diagonal
                                            // mode, the surface's text
inline constexpr int kSurfaceColour = 2;    // green, the surface's own: point label
                                            // backgrounds, the eraser's ink
inline constexpr int kClickableColour = 1;  // dark blue: point label backgrounds while
                                            // diagonal mode takes clicks on them
inline constexpr int kPenRed = 12;          // the freehand pens
inline constexpr int kPenYellow = 14;
inline constexpr int kPenBlue = 9;
inline constexpr int kPenEraser = kSurfaceColour;

} // namespace pr
