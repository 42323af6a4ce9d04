#pragma once
#include "FontRole.h"

#include <string>

namespace pr {

// A push button on the window; geometry in twips (15 per logical pixel at scale 1).
struct CommandButton {
    std::string Caption; // UTF-8
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Enabled = true;
    FontRole Font = FontRole::Default;

    bool operator==(const CommandButton &) const = default;
};

} // namespace pr
