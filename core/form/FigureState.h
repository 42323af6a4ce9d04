#pragma once
#include <cstdint>

namespace pr {

// The window-level variables of the figure and the modes.
//
// Most fields were loosely typed numbers that held either a small integer or a
// single-precision real; a float reproduces every value they can take here (integers stay
// exact, reals are single precision) and reads 0 before anything is stored. mBotY and
// diagonalStep are genuine 16-bit integers.
//
// Invariants kept by the handlers: every flag (dragMode excepted) is 0 or 1; dragMode is
// 0..3; diagonalStep is 0..4 between events; penDown is 1 only while memoMode is 1. The
// geometry fields are written only by ResetFigure and are constants afterwards.
struct FigureState {
    float pY = 0, qY = 0, rY = 0;         // heights of the parallels p, q, r
    float lTopX = 0, lBotX = 0;           // transversal ℓ, top and bottom x
    float lTopY = 0, lBotY = 0;           //   and y
    float mTopX = 0, mBotX = 0;           // transversal m
    float mTopY = 0;
    std::int16_t mBotY = 0;
    float dragMode = 0;      // 0 none, 1 copy of ℓ held, 2 / 3 prolongation of ℓ / m shown
    float lastX = 0, lastY = 0; // pointer at the last press or processed move (surface px)
    float memoMode = 0;
    float penDown = 0;
    float penColor = 0;      // palette index of the freehand pen
    float diagonalMode = 0;
    float diagonalPhase = 0; // 0: next label click starts a line, 1: it ends it
    std::int16_t diagonalStep = 0; // index of the construction line being built

    bool operator==(const FigureState &) const = default;
};

} // namespace pr
