#pragma once
#include <cstdint>

namespace pr {

// The fonts the form's design names, by the part they play. The look (face, size, weight)
// of each is decided in draw/Look.h.
enum class FontRole : std::uint8_t {
    Default,   // the window's default face: option buttons, 初期画面, 終了, row captions
    Gothic16,  // buttons メモ and 対角線
    Gothic32B, // the heading
    Mincho29B, // point labels on the surface
};

} // namespace pr
