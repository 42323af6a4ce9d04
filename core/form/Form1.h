#pragma once
#include "CommandButton.h"
#include "ControlArray.h"
#include "FigureState.h"
#include "Image.h"
#include "Label.h"
#include "Line.h"
#include "OptionButton.h"
#include "PictureBox.h"
#include "Rgb.h"
#include "Roles.h"
#include "Shape.h"
#include "WindowLabel.h"

#include <string>

namespace pr {

// The lesson window as plain data: every control with the properties the handlers read and
// write, and the window-level variables (FigureState). It holds no behaviour beyond keeping
// the pen options exclusive; the handlers live in figure/, memo/, diagonal/ and lesson/, and
// a front end paints what draw/ makes of these properties.
//
// Units: window controls in twips (15 per logical pixel at scale 1); everything inside the
// surface `gamen` in logical surface pixels (float).
struct Form1 {
    Form1(); // design-time properties; Lesson::Form_Load finishes the set-up

    // The window
    std::string Caption;                   // title bar, UTF-8
    int ClientWidth = 0, ClientHeight = 0; // twips
    Rgb BackColor = 0;                     // light green around the controls

    // Controls on the window
    WindowLabel Label1;                     // heading 相似と比, top left
    CommandButton Command1;                 // 初期画面: back to the initial screen
    CommandButton Command2;                 // 終了: ends the program
    CommandButton Command3;                 // メモ: memo mode on and off
    CommandButton Command4;                 // 対角線: diagonal mode on and off
    ControlArray<WindowLabel, 0, 1> Label4; // row captions: 0 太字 (thick), 1 細字 (thin)
    // Pens: 0..3 thin red, yellow, blue, eraser (lower row); 4..7 the same thick (upper row)
    ControlArray<OptionButton, 0, 7> Option1;
    PictureBox gamen; // the green drawing surface, with the strokes on its own layer

    // Elements inside gamen (the index of each element's role: Roles.h)
    ControlArray<Line, 0, 4> Line1;   // the figure: 0..2 parallels p, q, r; 3 ℓ; 4 m
    ControlArray<Line, 0, 2> Line2;   // 0 the slidable copy of ℓ; 1, 2 prolongations of ℓ, m
    ControlArray<Line, 0, 5> Line3;   // parallel marks, two arrowhead strokes per parallel
    ControlArray<Line, 0, 4> Line4;   // red construction lines of the diagonal mode
    ControlArray<Label, 0, 5> Label2; // point labels Ａ, Ｂ, Ｃ, Ａ', Ｂ', Ｃ' (take clicks)
    ControlArray<Label, 1, 4> Label3; // 1 Ｇ where the prolongations meet; 2..4 Ｄ, Ｅ, Ｆ on the copy
    ControlArray<Image, 0, 4> Image1; // letters ℓ, m, p, q, r beside their lines
    Shape Shape1;                     // the eraser cursor, as wide as the eraser

    FigureState st;

    // Set by 終了 (Command2_Click): the front end ends the program as soon as it sees it.
    bool endRequested = false;

    // The aids the window shows over the figure (比を表示, 相似な三角形): a way of looking at
    // the board, kept with it but no step of the lesson's history.
    struct Aids {
        bool ratios = false;
        bool triangles = false;
        bool operator==(const Aids &) const = default;
    } aids;

    // Every property of every control and the figure state (the stroke sink included).
    bool operator==(const Form1 &) const = default;

    // Selects Option1(index) and clears the others; true if the selection changed.
    bool selectOption1(int index);
    // Index of the selected option, or -1.
    int selectedOption1() const;
};

// Every named role is an element of its array.
static_assert(decltype(Form1::Line1)::contains(kParallelP) &&
              decltype(Form1::Line1)::contains(kTransversalM));
static_assert(decltype(Form1::Line2)::contains(kCopyOfL) &&
              decltype(Form1::Line2)::contains(kProlongationM));
static_assert(decltype(Form1::Label2)::contains(kPointA) &&
              decltype(Form1::Label2)::contains(kPointCPrime));
static_assert(decltype(Form1::Label3)::contains(kPointG) &&
              decltype(Form1::Label3)::contains(kPointF));
static_assert(decltype(Form1::Image1)::contains(kLetterL) &&
              decltype(Form1::Image1)::contains(kLetterR));
static_assert(decltype(Form1::Option1)::contains(kThinRedPen) &&
              decltype(Form1::Option1)::contains(kThickEraser));

} // namespace pr
