#pragma once
#include "StrokeSink.h"

#include "Rgb.h"

namespace pr {

// The drawing surface `gamen`. Its outer size is 793 x 641 logical pixels at scale 1, a
// 2-pixel sunken border included; surface coordinates start inside that border.
class PictureBox {
public:
    static constexpr float kOuterWidth = 793, kOuterHeight = 641;
    static constexpr float kBorder = 2;
    static constexpr float kInnerWidth = kOuterWidth - 2 * kBorder;   // 789
    static constexpr float kInnerHeight = kOuterHeight - 2 * kBorder; // 637

    int Left = 0, Top = 0, Width = 0, Height = 0; // twips, on the window
    Rgb BackColor = 0;
    Rgb ForeColor = 0;
    float FontSize = 9;
    int ScaleMode = 1; // 1 twips, 3 pixels
    int DrawWidth = 1; // logical pixels, width of the next segments

    // Erases the surface's own layer (every freehand stroke); elements are not affected.
    void Cls();
    // Draws one segment on the surface's own layer with the current DrawWidth.
    void Line(float x1, float y1, float x2, float y2, Rgb colour);

    void setSink(StrokeSink *sink) { sink_ = sink; }
    bool operator==(const PictureBox &) const = default;
    StrokeSink *sink() const { return sink_; }

private:
    StrokeSink *sink_ = nullptr; // not owned; may be null (nothing is drawn)
};

} // namespace pr
