#pragma once
#include <cstdint>

namespace pr {
struct Form1;
}

// Diagonal mode: up to five red construction lines between the labelled points, built by
// clicking two point labels in turn.
namespace pr::diagonal {

void Command4_Click(Form1 &f);
void Label2_Click(Form1 &f, std::int16_t Index);

struct PointXY {
    float x, y;
};

// The point each label stands for, in logical surface pixels: the crossings of the one
// layout the figure has, stored as constants (Ｃ is 181.3, not the exact 181.25).
inline constexpr PointXY kPoints[6] = {
    {337.5f, 250}, {275, 350}, {181.3f, 500}, {490, 250}, {510, 350}, {540, 500},
};

} // namespace pr::diagonal
