#pragma once
#include <QtCore/QString>

namespace pr {

// An image element inside the surface, shown at its natural size. Width and Height are the
// bitmap's pixel size (fixed); Left/Top are logical surface pixels.
struct Image {
    QString Resource; // Qt resource path of the bitmap
    float Left = 0, Top = 0;
    float Width = 0, Height = 0;

    bool operator==(const Image &) const = default;
};

} // namespace pr
