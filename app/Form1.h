#pragma once
#include "CommandButton.h"
#include "ControlArray.h"
#include "Image.h"
#include "Label.h"
#include "Line.h"
#include "OptionButton.h"
#include "PictureBox.h"
#include "Shape.h"
#include "WindowLabel.h"
#include "figure/FigureState.h"

#include <QtCore/QString>
#include <cstdint>

namespace pr {

// The lesson window as plain data: every control with the properties the handlers read and
// write, the figure state, and the event handlers. It knows no toolkit: a front end pushes
// input in through the handlers and paints the elements from their properties.
//
// Units: window controls in twips (15 per logical pixel at scale 1); everything inside the
// surface `gamen` in logical surface pixels (float).
class Form1 {
public:
    Form1(); // design-time properties; call Form_Load before use

    // Window
    QString Caption;
    int ClientWidth = 0, ClientHeight = 0; // twips
    QRgb BackColor = 0;

    // Controls on the window
    WindowLabel Label1;
    CommandButton Command1, Command2, Command3, Command4;
    ControlArray<WindowLabel, 0, 1> Label4;
    ControlArray<OptionButton, 0, 7> Option1;
    PictureBox gamen;

    // Elements inside gamen
    ControlArray<Line, 0, 4> Line1;
    ControlArray<Line, 0, 2> Line2;
    ControlArray<Line, 0, 5> Line3;
    ControlArray<Line, 0, 4> Line4;
    ControlArray<Label, 0, 5> Label2;
    ControlArray<Label, 1, 4> Label3;
    ControlArray<Image, 0, 4> Image1;
    Shape Shape1;

    FigureState st;

    // Set by Command2_Click: the front end ends the program as soon as it sees it.
    bool endRequested = false;

    // Event handlers, named after control and event.
    void Form_Load();
    void ResetFigure();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Option1_Click(std::int16_t Index);
    void Label2_Click(std::int16_t Index);
    void gamen_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void gamen_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void gamen_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

    // What a user's click does: a disabled control ignores it; a click on an option selects
    // it (clearing the other seven) and runs its handler. Out-of-range indices are ignored.
    void clickCommand(int number);
    void clickOption1(int index);
    void clickLabel2(int index);

    // Every property of every control and the figure state (the stroke sink included).
    bool operator==(const Form1 &) const = default;

    // Selects Option1(index) and clears the others; true if the selection changed.
    bool selectOption1(int index);
    // Index of the selected option, or -1.
    int selectedOption1() const;
};

} // namespace pr
