#pragma once
#include "FontRole.h"
#include "Rgb.h"

#include <string>

namespace pr {

// A label inside the surface; Left/Top/Width/Height are logical surface pixels (float).
// Labels are opaque: BackColor fills the whole box.
struct Label {
    std::string Caption; // UTF-8
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Rgb BackColor = 0;
    Rgb ForeColor = 0;
    bool Visible = true;
    FontRole Font = FontRole::Default;

    bool operator==(const Label &) const = default;
};

} // namespace pr
