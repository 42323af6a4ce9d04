#pragma once
#include "Rgb.h"

#include <string>

namespace pr {

// An option (radio) button on the window; geometry in twips. A disabled option keeps its
// Value. The form keeps the eight options exclusive (Form1::selectOption1).
struct OptionButton {
    std::string Caption; // UTF-8
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Enabled = true;
    bool Value = false;
    Rgb BackColor = 0;

    bool operator==(const OptionButton &) const = default;
};

} // namespace pr
