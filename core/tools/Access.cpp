#include "tools/Access.h"

#include <algorithm>
#include <cmath>

namespace pr {

FocusRing focusRing(double scale)
{
    // Never thinner than 2 px nor nearer than 1 px, so a small window still shows it.
    const double s = std::isfinite(scale) && scale > 0 ? scale : 1;
    return {std::max(2, int(std::lround(3 * s))), std::max(1, int(std::lround(s))),
            rgb(0x00, 0x1e, 0xa0)};
}

FocusRing focusRing(double scale, int room)
{
    FocusRing r = focusRing(scale);
    if (r.width + r.gap > room) {
        r.gap = room > 2 ? 1 : 0;
        r.width = std::max(1, room - r.gap);
    }
    return r;
}

std::string_view surfaceName()
{
    return "図形";
}

std::string_view surfaceDescription()
{
    return "緑の画面に、3本の平行線 p、q、r と、それを横切る2本の直線 ℓ、m が描かれています。"
           "ℓ と p、q、r の交点は Ａ、Ｂ、Ｃ、m との交点は Ａ'、Ｂ'、Ｃ' です。"
           "p と r の間で ℓ を写した赤い直線をドラッグすると左右に動き、交点 Ｄ、Ｅ、Ｆ もついて"
           "動きます。p より上で ℓ の近く、または m の近くを押すと、その直線の延長が現れ、"
           "2本の延長の交わる点が Ｇ です。右ボタンを押すと最初の画面に戻ります。";
}

} // namespace pr
