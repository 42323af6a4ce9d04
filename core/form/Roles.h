#pragma once

namespace pr {

// What each element of the form's control arrays stands for in the lesson: the index of
// the element in its own array (Line2[kCopyOfL], Label3[kPointD], ...). Form1.h checks that
// each lies in its array's range.

// Line1, the figure: the parallels p, q, r and the transversals ℓ and m.
inline constexpr int kParallelP = 0;
inline constexpr int kParallelQ = 1;
inline constexpr int kParallelR = 2;
inline constexpr int kTransversalL = 3;
inline constexpr int kTransversalM = 4;

// Line2: the copy of ℓ that slides along the parallels, and the prolongations of ℓ and m
// above p that meet at Ｇ.
inline constexpr int kCopyOfL = 0;
inline constexpr int kProlongationL = 1;
inline constexpr int kProlongationM = 2;

// Label2, the point labels that take clicks: Ａ, Ｂ, Ｃ where ℓ crosses p, q, r, and Ａ', Ｂ',
// Ｃ' where m crosses them.
inline constexpr int kPointA = 0;
inline constexpr int kPointB = 1;
inline constexpr int kPointC = 2;
inline constexpr int kPointAPrime = 3;
inline constexpr int kPointBPrime = 4;
inline constexpr int kPointCPrime = 5;

// Label3: Ｇ where the prolongations meet, and Ｄ, Ｅ, Ｆ where the copy of ℓ crosses p, q, r
// (they slide with the copy).
inline constexpr int kPointG = 1;
inline constexpr int kPointD = 2;
inline constexpr int kPointE = 3;
inline constexpr int kPointF = 4;

// Image1, the letters beside their lines.
inline constexpr int kLetterL = 0;
inline constexpr int kLetterM = 1;
inline constexpr int kLetterP = 2;
inline constexpr int kLetterQ = 3;
inline constexpr int kLetterR = 4;

// Option1, the pens: 0..3 thin red, yellow, blue, eraser; 4..7 the same thick.
inline constexpr int kThinRedPen = 0;
inline constexpr int kThinEraser = 3;
inline constexpr int kThickEraser = 7;

} // namespace pr
