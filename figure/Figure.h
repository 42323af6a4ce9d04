#pragma once
#include <cstdint>

namespace pr {
class Form1;
}

// The figure: the reset that lays it out and the press-move-release gesture on the
// surface. All positions are logical surface pixels.
namespace pr::figure {

void ResetFigure(Form1 &f);
void gamen_MouseDown(Form1 &f, std::int16_t Button, std::int16_t Shift, float X, float Y);
void gamen_MouseMove(Form1 &f, std::int16_t Button, std::int16_t Shift, float X, float Y);
void gamen_MouseUp(Form1 &f, std::int16_t Button, std::int16_t Shift, float X, float Y);

// Commits what a press selected, as a release in normal mode does, and ends the drag. The
// mode buttons call it first: a drag never outlives the mode it began in.
void endDrag(Form1 &f);

// Top-end x of the copy of ℓ at which its crossing with p, q, r falls on m's crossing with
// the same line (Ａ', Ｂ', Ｃ'). Fixed numbers of the one layout the figure ever has.
inline constexpr double kCoincideD = 552.5;
inline constexpr double kCoincideE = 635;
inline constexpr double kCoincideF = 758.75;
// Within this horizontal distance (strictly) a label of the copy is hidden.
inline constexpr double kCoincideTolerance = 5;

} // namespace pr::figure
