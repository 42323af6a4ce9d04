#pragma once
#include "DrawList.h"

#include <cstddef>
#include <vector>

// The aids over the figure, as draw list items in fixed slots (None while off): 比を表示 writes
// the lengths the parallels cut beside ℓ, m and the slid copy, the distances from the copy to
// m along q and r, and the ratios below the figure; 相似な三角形 fills the similar triangles
// the figure shows, translucent, with matching marks on their corresponding angles. They
// never take a press, and no text of theirs covers a point label. Logical surface pixels.
namespace pr::aids {

inline constexpr std::size_t kTriangleSlots = DrawList::kTriangleSlots;
inline constexpr std::size_t kTextSlots = 11;
inline constexpr std::size_t kArcSlots = 9; // three per triangle: one angle once, one twice
inline constexpr std::size_t kSlots = kTriangleSlots + kTextSlots + kArcSlots;

// Texts as large as the point labels, in the gothic face.
inline constexpr look::TextStyle kTextStyle{look::Face::Gothic, 29, true};

// The triangles' fills: beneath the figure's lines and labels.
void appendTriangles(const Form1 &form, std::vector<DrawItem> &items);
// The texts and angle marks: above the figure's lines.
void appendMarks(const Form1 &form, std::vector<DrawItem> &items);

} // namespace pr::aids
