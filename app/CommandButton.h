#pragma once
#include "Label.h"

#include <QtCore/QString>

namespace pr {

// A push button on the window; geometry in twips (15 per logical pixel at scale 1).
struct CommandButton {
    QString Caption;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Enabled = true;
    FontRole Font = FontRole::Default;

    bool operator==(const CommandButton &) const = default;
};

} // namespace pr
