#pragma once
#include "draw/DrawList.h"
#include "form/StrokeSink.h"
#include "lesson/Lesson.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pr::web {

// One call the surface made on its own layer. Coordinates are logical surface pixels, as the
// handlers computed them (possibly far off the surface); width is whole logical pixels.
struct StrokeOp {
    enum class Kind : std::uint8_t { Clear, Segment };
    Kind kind = Kind::Segment;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour = 0; // the segment's colour; for Clear, the background the layer returns to
    int width = 0;
};

// The form's stroke sink on the page: it keeps the calls in order until the page takes them
// and rasterises them itself, at the canvas's device resolution.
class StrokeQueue : public StrokeSink {
public:
    void clearLayer(Rgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) override;

    std::vector<StrokeOp> take();

private:
    std::vector<StrokeOp> ops_;
};

// What the surface has to show anew since the page last asked.
struct SurfaceChanges {
    std::vector<StrokeOp> strokes;  // layer calls, in the order made
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

    // The list as last handed over; the page's copy of the surface.
    const DrawList &shown() const { return shown_; }

    // Everything that changed since the last call (or since loading), and takes the current
    // draw list as shown.
    SurfaceChanges takeChanges();

private:
    StrokeQueue strokes_; // declared before the lesson: the form points at it while it lives
    Lesson lesson_;
    DrawList shown_;
};

} // namespace pr::web
