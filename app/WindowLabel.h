#pragma once
#include "Label.h"

namespace pr {

// A static label placed on the window itself (not on the surface); geometry in twips.
struct WindowLabel {
    QString Caption;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    QRgb BackColor = 0;
    QRgb ForeColor = 0;
    FontRole Font = FontRole::Default;

    bool operator==(const WindowLabel &) const = default;
};

} // namespace pr
