#pragma once
#include <QtCore/QString>
#include <QtGui/qrgb.h>

namespace pr {

enum class FontRole {
    Default,   // the window's default face, 12 px
    Gothic16,  // buttons メモ and 対角線
    Gothic32B, // the heading
    Mincho29B, // point labels on the surface
};

// A label. On the window its geometry is in twips; inside the surface Left/Top/Width/Height
// are logical surface pixels (float). Labels are opaque: BackColor fills the whole box.
struct Label {
    QString Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    QRgb BackColor = 0;
    QRgb ForeColor = 0;
    bool Visible = true;
    FontRole Font = FontRole::Default;

    bool operator==(const Label &) const = default;
};

} // namespace pr
