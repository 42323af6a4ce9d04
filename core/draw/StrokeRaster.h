#pragma once
#include "Palette.h"
#include "board/LayerSink.h"
#include "form/Rgb.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pr {

// One step a front end takes on its stroke raster. Coordinates are the raster's own pixels
// (device pixels): a logical surface point (x, y) lies at ((x + 2) * k, (y + 2) * k), k
// device pixels per logical pixel, the 2 being the surface's frame.
struct RasterOp {
    enum class Kind : std::uint8_t {
        Make,    // a new raster of w x h pixels filled with `colour` replaces the one shown
        Drop,    // the raster shown goes (the one set aside stays); the layer is blank
        Keep,    // the raster shown is set aside in place of any before; the layer is blank
        Swap,    // the raster shown and the one set aside change places
        Forget,  // the raster set aside is dropped
        Fill,    // the box filled with `colour`; later segments are cut to the boxes filled
        EndFill, // since the last step of another kind, until this one
        Segment, // a segment with round caps, `width` pixels wide, cut to the surface's
                 // inner area (and to the filled boxes, after Fill)
    };
    Kind kind = Kind::Segment;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // Segment: its ends; Fill: x1, y1, w = x2, h = y2
    double width = 0;
    Rgb colour = 0;
    int w = 0, h = 0; // Make
    bool operator==(const RasterOp &) const = default;
};

// A rectangle of raster pixels.
struct RasterRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool operator==(const RasterRect &) const = default;
};

// Liang-Barsky: cuts the segment (ax, ay)-(bx, by) to the box (x, y, w, h). False if nothing
// of it is inside. Keeps a painter away from the huge coordinates a far-flung pointer may
// deliver; the raster and the board's pictures cut their segments alike.
bool clipSegment(double &ax, double &ay, double &bx, double &by, double x, double y, double w,
                 double h);

// What a front end's stroke raster shows, and what to paint on it: the form's sink for the
// surface's layer. It decides, the same for every front end, which runs of segments changed
// and which pixels to paint again; the front end carries out the steps (take()) and repaints
// the pixels of takeDirty().
//
// Each segment is painted as it comes, costing work in proportion to its own size. After a
// resize or a change of pixel ratio (setGeometry) the raster is painted again from the
// lesson's strokes, so they are as sharp at the new size as if drawn there. A clear keeps the
// raster aside, and redrawLayer takes it back when asked for exactly the strokes it showed:
// the undo of a reset or a clear costs no painting. Otherwise redrawLayer paints again only
// where the new strokes differ from those shown, after the runs of segments both have in
// common: undoing or redoing a stroke costs in proportion to the writing that stroke lies
// on, and the result is the same, pixel for pixel, as painting every stroke afresh. While the
// surface has no stroke there is no raster at all.
class StrokeRaster : public LayerSink {
public:
    StrokeRaster();

    // The strokes the raster shows, painted again after a resize; not owned, may be null.
    void setSource(const std::vector<Stroke> *strokes) { source_ = strokes; }

    // The raster's size in pixels and k, its pixels per logical surface pixel.
    void setGeometry(int pixelWidth, int pixelHeight, double k);
    double k() const { return k_; }
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }

    // The colours the steps paint in; a change paints the raster again, as a resize does.
    // The runs and their hashes keep the strokes' own colours, so nothing else changes.
    void setPalette(look::Palette palette);
    look::Palette palette() const { return palette_; }

    bool isBlank() const { return blank_; }
    Rgb background() const { return background_; } // the lesson's colour, before the palette

    // The steps since the last call, in order.
    std::vector<RasterOp> take();
    // The pixels that changed since the last call, empty if none; a clear or a new raster
    // gives the whole.
    RasterRect takeDirty();

    void clearLayer(Rgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) override;
    void redrawLayer(Rgb background, const std::vector<Stroke> &strokes) override;

private:
    // Runs of at most kBlock connected segments as shown, in order: the hash of every segment
    // up to the run's end, where it ends, and the raster pixels its segments may touch.
    static constexpr std::size_t kBlock = 64;
    struct Box {
        double x0 = 0, y0 = 0, x1 = -1, y1 = -1; // empty while x1 < x0
        bool empty() const { return x1 < x0 || y1 < y0; }
        void unite(const Box &b);
    };
    struct Block {
        std::uint64_t chain = 0;
        std::size_t end = 0; // segments up to and including the run
        Box box;
    };
    struct Shown {
        std::uint64_t hash = 0x9E3779B97F4A7C15ull; // of every segment painted, in order
        std::size_t segments = 0;
        std::vector<Block> blocks; // closed runs
        Box openBox;               // the run still open
        std::size_t openCount = 0;
        float openX = 0, openY = 0; // where its last segment ended, in its pen
        Rgb openColour = 0;
        int openWidth = 0;
    };

    void paintAll(const std::vector<Stroke> &strokes);
    void paintChanged(const std::vector<Stroke> &strokes, std::size_t common);
    Box segmentBox(float x1, float y1, float x2, float y2, int width) const; // conservative
    void note(float x1, float y1, float x2, float y2, Rgb colour, int width);
    void make();
    void segment(float x1, float y1, float x2, float y2, Rgb colour, int width);
    void dirtyAll();
    void repaintAll(); // after a change of geometry or palette
    void dirty(const Box &b);
    RasterRect pixels(const Box &b) const; // whole pixels covering b, within the raster

    std::vector<RasterOp> ops_;
    Shown shown_;          // what the raster holds
    Shown kept_;           // what the raster set aside holds
    bool blank_ = true;    // no raster
    bool hasKept_ = false; // a raster is set aside
    const std::vector<Stroke> *source_ = nullptr;
    Rgb background_;
    look::Palette palette_ = look::Palette::Lesson;
    double k_ = 1;
    int width_ = 0, height_ = 0;
    Box dirty_;
};

} // namespace pr
