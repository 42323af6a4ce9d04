#pragma once

namespace pr {
struct Form1;
}

// The figure: the reset that lays it out, and the figure's steps of the press-move-release
// gesture on the surface (the surface's handlers, in lesson/, run them in their order
// beside the memo's). All positions are logical surface pixels.
namespace pr::figure {

// Restores the initial screen and ends every mode; the only writer of the geometry fields.
void ResetFigure(Form1 &f);

// Left press outside memo and diagonal mode: tests the three hit regions and selects what
// to drag (dragMode Copy, ProlongationL or ProlongationM). Does nothing in a mode.
void chooseDrag(Form1 &f, float X, float Y);

// A move while the copy is held (DragMode::Copy): the copy and Ｄ, Ｅ, Ｆ follow the pointer's
// horizontal displacement since lastX.
void slideCopy(Form1 &f, float X);

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
