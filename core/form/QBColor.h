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

} // namespace pr
