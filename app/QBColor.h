#pragma once
#include <QtGui/qrgb.h>

namespace pr {

// The classic 16-colour palette addressed by index 0..15. Indices outside the range wrap
// into it (index & 15) so a stray value can never read past the table.
QRgb QBColor(int index);

// Design-time colours of the form, as RGB.
inline constexpr QRgb kLightGreen = qRgb(192, 255, 192);   // window and pen-row backgrounds
inline constexpr QRgb kGreen = qRgb(0, 128, 0);            // drawing surface, label backgrounds
inline constexpr QRgb kBrightGreen = qRgb(0, 255, 0);      // heading text
inline constexpr QRgb kWhite = qRgb(255, 255, 255);
inline constexpr QRgb kRed = qRgb(255, 0, 0);
inline constexpr QRgb kYellow = qRgb(255, 255, 0);
inline constexpr QRgb kBlack = qRgb(0, 0, 0);

} // namespace pr
