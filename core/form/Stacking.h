#pragma once
#include <array>

namespace pr {

enum class ElementKind { Line1, Line2, Line3, Line4, Label2, Label3, Image1, Shape1 };

struct ElementRef {
    ElementKind kind;
    int index;
};

// Every element inside the surface, frontmost first. The eraser cursor lies above
// everything; the point labels lie above Ｄ, Ｅ, Ｆ, which rest exactly beneath Ａ, Ｂ, Ｃ.
// Freehand strokes are beneath all of these.
inline constexpr std::array<ElementRef, 35> kStackingFrontToBack = {{
    {ElementKind::Shape1, 0},
    {ElementKind::Line4, 4}, {ElementKind::Line4, 3}, {ElementKind::Line4, 2},
    {ElementKind::Line4, 1}, {ElementKind::Line4, 0},
    {ElementKind::Line2, 0}, {ElementKind::Line2, 2}, {ElementKind::Line2, 1},
    {ElementKind::Line3, 5}, {ElementKind::Line3, 4},
    {ElementKind::Line1, 4}, {ElementKind::Line1, 3},
    {ElementKind::Line3, 3}, {ElementKind::Line3, 2},
    {ElementKind::Label3, 1},
    {ElementKind::Line3, 1}, {ElementKind::Line3, 0},
    {ElementKind::Line1, 2}, {ElementKind::Line1, 1}, {ElementKind::Line1, 0},
    {ElementKind::Image1, 0}, {ElementKind::Image1, 1}, {ElementKind::Image1, 2},
    {ElementKind::Image1, 3}, {ElementKind::Image1, 4},
    {ElementKind::Label2, 0}, {ElementKind::Label2, 1}, {ElementKind::Label2, 2},
    {ElementKind::Label2, 3}, {ElementKind::Label2, 4}, {ElementKind::Label2, 5},
    {ElementKind::Label3, 2}, {ElementKind::Label3, 3}, {ElementKind::Label3, 4},
}};

} // namespace pr
