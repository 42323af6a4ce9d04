#pragma once
#include "form/Rgb.h"
#include "tools/Tools.h"

#include <array>
#include <string_view>

namespace pr {

// How the window reads to the keyboard and to assistive technology, the same in both front
// ends: the order Tab visits the form's controls, the ring that shows where focus is, and
// what the surface is called and says.

// A control of the form by its tool: a command button (index 1..4) or a pen (0..7).
struct FormControl {
    ToolId id;
    int index;
};

// Tab follows the screen from left to right: 初期画面, 対角線, メモ, the pens, 終了. The pens
// read as two phrases, each row led by its caption (太字: 赤色 黄色 青色 消しゴム, then 細字),
// so the upper row comes first, as the digits that choose them do. Like any group of option
// buttons the pens take one stop of Tab, at the chosen pen; the arrow keys move among them
// in this order. The tool strip comes after the form.
inline constexpr std::array<FormControl, 11> kTabChain = {{
    {ToolId::Reset, 1}, {ToolId::Diagonal, 4}, {ToolId::Memo, 3},
    {ToolId::Pen, 4}, {ToolId::Pen, 5}, {ToolId::Pen, 6}, {ToolId::Pen, 7},
    {ToolId::Pen, 0}, {ToolId::Pen, 1}, {ToolId::Pen, 2}, {ToolId::Pen, 3},
}};
inline constexpr FormControl kTabChainEnd = {ToolId::End, 2};

// The focus ring: a thick band in one dark colour just outside the focused control, scaled
// with the form, that a class can see from the back of the room. Sizes in logical pixels
// for a form drawn at `scale` (1 = the design size); the ring lies `gap` outside the
// control and is `width` wide.
struct FocusRing {
    int width;
    int gap;
    Rgb colour;
};
FocusRing focusRing(double scale);
// The same ring within `room` logical pixels around the control, so that it never covers a
// neighbour that close: thinner, and nearer, where the room is short.
FocusRing focusRing(double scale, int room);

// The surface for assistive technology: its name, and what the figure shows and how to
// work it.
std::string_view surfaceName();
std::string_view surfaceDescription();

} // namespace pr
