#pragma once
#include "FontRole.h"
#include "Rgb.h"

#include <string>

namespace pr {

// A static label placed on the window itself (not on the surface); geometry in twips.
struct WindowLabel {
    std::string Caption; // UTF-8
    int Left = 0, Top = 0, Width = 0, Height = 0;
    Rgb BackColor = 0;
    Rgb ForeColor = 0;
    FontRole Font = FontRole::Default;

    bool operator==(const WindowLabel &) const = default;
};

} // namespace pr
