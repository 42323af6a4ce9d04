#pragma once

namespace pr {

// The outline shape used as the eraser cursor; logical surface pixels.
struct Shape {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    int BorderWidth = 1; // design attribute; the look turns it into the outline's thickness

    bool operator==(const Shape &) const = default;
};

} // namespace pr
