#pragma once
#include "draw/DrawList.h"
#include "draw/StrokeRaster.h"
#include "lesson/Lesson.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pr::web {

// What the surface has to show anew since the page last asked.
struct SurfaceChanges {
    std::vector<RasterOp> raster;   // steps on the page's stroke raster, in order
    RasterRect rasterArea;          // its pixels that changed
    std::vector<std::size_t> slots; // draw-list slots that differ from the list handed before
    Box area; // logical surface pixels to repaint for those slots (strokes bring their own)
};

// The lesson as the page drives it: the form loaded with its stroke sink attached, and the
// draw list the page was last given, so that each action hands over only what it changed.
class WebLesson {
public:
    WebLesson();
    ~WebLesson();
    WebLesson(const WebLesson &) = delete;
    WebLesson &operator=(const WebLesson &) = delete;

    Lesson &lesson() { return lesson_; }
    const Lesson &lesson() const { return lesson_; }
    const Form1 &form() const { return lesson_.form; }

    // The page's stroke raster: its size in device pixels and device pixels per logical
    // surface pixel. The strokes are painted again at the new resolution.
    void setRaster(int pixelWidth, int pixelHeight, double k) { raster_.setGeometry(pixelWidth, pixelHeight, k); }

    const StrokeRaster &raster() const { return raster_; }

    // The list as last handed over; the page's copy of the surface.
    const DrawList &shown() const { return shown_; }

    // Everything that changed since the last call (or since loading), and takes the current
    // draw list as shown.
    SurfaceChanges takeChanges();

private:
    StrokeRaster raster_; // declared before the lesson: the form points at it while it lives
    Lesson lesson_;
    DrawList shown_;
};

} // namespace pr::web
