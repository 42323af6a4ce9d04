#pragma once
#include "Roles.h"

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
    {ElementKind::Line2, kCopyOfL}, {ElementKind::Line2, kProlongationM},
    {ElementKind::Line2, kProlongationL},
    {ElementKind::Line3, 5}, {ElementKind::Line3, 4},
    {ElementKind::Line1, kTransversalM}, {ElementKind::Line1, kTransversalL},
    {ElementKind::Line3, 3}, {ElementKind::Line3, 2},
    {ElementKind::Label3, kPointG},
    {ElementKind::Line3, 1}, {ElementKind::Line3, 0},
    {ElementKind::Line1, kParallelR}, {ElementKind::Line1, kParallelQ},
    {ElementKind::Line1, kParallelP},
    {ElementKind::Image1, kLetterL}, {ElementKind::Image1, kLetterM},
    {ElementKind::Image1, kLetterP}, {ElementKind::Image1, kLetterQ},
    {ElementKind::Image1, kLetterR},
    {ElementKind::Label2, kPointA}, {ElementKind::Label2, kPointB},
    {ElementKind::Label2, kPointC}, {ElementKind::Label2, kPointAPrime},
    {ElementKind::Label2, kPointBPrime}, {ElementKind::Label2, kPointCPrime},
    {ElementKind::Label3, kPointD}, {ElementKind::Label3, kPointE},
    {ElementKind::Label3, kPointF},
}};

} // namespace pr
