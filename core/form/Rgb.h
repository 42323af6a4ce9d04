#pragma once
#include <cstdint>

namespace pr {

// A colour as 0xAARRGGBB with alpha always 0xFF, the layout of Qt's QRgb and of CSS's
// #RRGGBB, so a front end converts it without reordering bytes.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b)
{
    return 0xFF000000u | (std::uint32_t(r & 0xFF) << 16) | (std::uint32_t(g & 0xFF) << 8) |
           std::uint32_t(b & 0xFF);
}

constexpr int redOf(Rgb c) { return int((c >> 16) & 0xFF); }
constexpr int greenOf(Rgb c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Rgb c) { return int(c & 0xFF); }

} // namespace pr
