#pragma once
#include "tools/Access.h"
#include "tools/Tools.h"

#include "form/PictureBox.h"

#include <vector>

namespace pr {

struct Form1;

// A rectangle in whole logical window pixels (what a toolkit's widgets take), y down.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
    bool operator==(const PixelRect &) const = default;
};

// A box on the window in twips (15 per logical pixel at scale 1), y down.
struct TwipsBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsBox &) const = default;
};

// Where a press chooses pen option `index` (0..7); an empty box for another index. The pens'
// circles and captions are small and their rows touch, so each takes a press anywhere in its
// share of the band above the surface: the row's half of the band from the window's top
// edge to the surface, and the column up to the next option (the first from halfway after
// its row's caption, the eraser to halfway before 終了). The boxes tile the band without
// overlapping, and each is at least 24 x 24 logical pixels at scale 1; the look is unchanged.
// A pen's focus ring is drawn inside its box, for it has no room outside that is not a
// neighbour's.
TwipsBox optionHitArea(const Form1 &form, int index);

// Where the tools go in the room the form leaves spare.
enum class ToolsAt : std::uint8_t {
    Beside, // full-size buttons with captions, right of the form
    Strip,  // a narrow strip of icon buttons right of the form
    Row,    // a row of icon buttons under the form (portrait screens)
    Keys,   // nowhere: the keys and the surface's menu alone
};

struct ToolButtonPlace {
    const Tool *tool = nullptr; // その他 included
    PixelRect box;
};

// Everything's place in a window, in logical window pixels: one function of the window's
// size and the screen's device pixel ratio, the same for every front end.
//
// The form (811 x 702 logical pixels at scale 1) is scaled uniformly to fit the window and is
// never shrunk for the tools; the tools take whatever room it leaves: full-size buttons
// beside it, else a narrow strip of 44 x 44 icon buttons beside it, else a row of them under
// it. A strip or row too short for every tool holds whole groups from the first (元に戻す,
// やり直し, 書き込みを消す; the pens after it where a touch screen has them) while they fit,
// and その他, which opens the rest as a menu. Form and tools are centred
// together. Every position is a whole logical pixel, and edges are kept on whole device
// pixels where the ratio allows it with whole logical ones (a multiple of `step`).
class WindowLayout {
public:
    // Logical pixels at scale 1.
    static constexpr int kClientWidth = 811, kClientHeight = 702;
    static constexpr int kBesideWidth = 136; // the full-size column with its gap to the form
    static constexpr int kTarget = 44;       // side of an icon button: a fingertip's target
    static constexpr int kStripWidth = kTarget + 2 * 6;
    static constexpr double kMinScale = 0.05;

    // strip: the tools to place, in order (stripTools of the front end).
    WindowLayout(int width, int height, double dpr, const std::vector<const Tool *> &strip);
    WindowLayout(int width, int height, double dpr, FrontEnd frontEnd)
        : WindowLayout(width, height, dpr, stripTools(frontEnd))
    {
    }

    double scale() const { return scale_; }
    // The form's top-left corner before snapping, logical window pixels.
    double originX() const { return originX_; }
    double originY() const { return originY_; }
    int step() const { return step_; }

    // A control placed at (left, top, width, height) in twips. Edges are rounded separately,
    // so neighbouring controls never gain a gap or an overlap.
    PixelRect place(int left, int top, int width, int height) const;
    PixelRect place(const TwipsBox &b) const { return place(b.left, b.top, b.width, b.height); }
    // The pen option whose hit area holds the logical window pixel (x, y), or -1.
    int optionAt(const Form1 &form, int x, int y) const;
    // The notice about the kept board, in the band below the figure.
    PixelRect notice(const PictureBox &gamen) const;
    // A font's pixel size at this scale.
    int fontPixels(int designPixels) const;

    ToolsAt toolsAt() const { return toolsAt_; }
    PixelRect toolArea() const { return toolArea_; }
    // The buttons in order; a button of その他 last where it is there.
    const std::vector<ToolButtonPlace> &buttons() const { return buttons_; }
    // The tools その他 opens, in order; empty without it.
    const std::vector<const Tool *> &menu() const { return menu_; }
    // The focus ring of a tool's button: as the form's controls have it, within the gap
    // between the buttons.
    FocusRing toolFocusRing() const;
    // Pixel size of the full-size buttons' captions (Gothic, bold): as large as the form's
    // scale makes them while the longest still fits its button.
    int captionPixels() const { return captionPixels_; }

    // The client size a window opens with on a screen whose free area is `available` and
    // whose title bar and frame take `frame`: 811 x 702 where that fits, else the largest
    // uniformly scaled size that does.
    static PixelRect initialClientSize(int availableW, int availableH, int frameW, int frameH);

private:
    int snap(double v) const;
    void besideColumn(const std::vector<const Tool *> &strip);
    bool iconLine(const std::vector<const Tool *> &strip, bool vertical);

    double scale_ = 1, originX_ = 0, originY_ = 0;
    int step_ = 1;
    ToolsAt toolsAt_ = ToolsAt::Keys;
    PixelRect toolArea_;
    std::vector<ToolButtonPlace> buttons_;
    std::vector<const Tool *> menu_;
    int captionPixels_ = 16;
};

} // namespace pr
