#pragma once
#include <cstdint>

namespace pr {

// What a left press in normal mode took hold of, until the release commits it.
enum class DragMode : std::uint8_t {
    None,          // nothing held
    Copy,          // the copy of ℓ, slid by the moves that follow
    ProlongationL, // the prolongation of ℓ, shown while the button is down
    ProlongationM, // the prolongation of m, likewise
};

// The window-level variables of the figure and the modes.
//
// The figure's coordinates and the pointer are single-precision reals (mBotY and
// diagonalStep 16-bit integers); the modes are flags (bool), the drag a DragMode and the pen
// a palette index (int). Every field reads 0 / false / None before anything is stored.
//
// Invariants kept by the handlers: diagonalStep is 0..4 between events; penDown is true only
// while memoMode is. The geometry fields are written only by ResetFigure and are constants
// afterwards.
struct FigureState {
    float pY = 0, qY = 0, rY = 0;         // heights of the parallels p, q, r
    float lTopX = 0, lBotX = 0;           // transversal ℓ, top and bottom x
    float lTopY = 0, lBotY = 0;           //   and y
    float mTopX = 0, mBotX = 0;           // transversal m
    float mTopY = 0;
    std::int16_t mBotY = 0;
    DragMode dragMode = DragMode::None;
    float lastX = 0, lastY = 0; // pointer at the last press or processed move (surface px)
    bool memoMode = false;
    bool penDown = false;       // a freehand stroke is in progress
    int penColor = 0;           // palette index of the freehand pen (QBColor)
    bool diagonalMode = false;
    bool diagonalPhase = false; // false: next label click starts a line, true: it ends it
    std::int16_t diagonalStep = 0; // index of the construction line being built

    bool operator==(const FigureState &) const = default;
};

} // namespace pr
