#pragma once

namespace pr {

// The design unit of the window's controls: twips per logical pixel at form scale 1. The
// layout assumes it throughout (the client area of 12165 x 10530 twips is 811 x 702 logical
// pixels), so every front end converts with this one value.
inline constexpr int kTwipsPerPixel = 15;

} // namespace pr
