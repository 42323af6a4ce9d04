#pragma once
#include "board/LayerSink.h"
#include "board/Stroke.h"
#include "form/QBColor.h"
#include "form/StrokeSink.h"

#include <cstddef>
#include <vector>

namespace pr {

// The surface's own layer kept as strokes rather than pixels: the form's stroke sink, which
// records every clear and segment and passes it on to the front end's sink.
//
// Consecutive segments that share an end point and a pen extend the open stroke; anything
// else (a new gesture, a pen changed mid-gesture) starts a new one. A clear moves the strokes
// out instead of destroying them, so the history can keep them (takeCleared) at no copy.
//
// Memory: 8 bytes per point once a stroke is closed (its points are trimmed to size), plus
// one Stroke header per stroke.
class StrokeList : public StrokeSink {
public:
    StrokeList() = default;
    // The output is not copied: a copy records but draws nowhere until given one.
    StrokeList(const StrokeList &other);
    StrokeList &operator=(const StrokeList &other);

    const std::vector<Stroke> &strokes() const { return strokes_; }
    std::size_t segmentCount() const { return segments_; }
    Rgb background() const { return background_; }

    // Where the layer is drawn; not owned, may be null.
    void setOutput(StrokeSink *output);
    StrokeSink *output() const { return output_; }

    void clearLayer(Rgb background) override;
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width) override;

    // The next segment starts a new stroke (a gesture ended or began).
    void endStroke();

    // Strokes removed by clears since the last call, oldest first; empty if there was none.
    // cleared() tells whether a clear happened at all (it may have removed nothing).
    bool cleared() const { return cleared_; }
    std::vector<Stroke> takeCleared();

    // Exchanges the strokes from index `keep` onwards with `tail` (undo and redo of a step
    // that kept the first `keep` strokes), then draws the whole layer again.
    void swapTail(std::size_t keep, std::vector<Stroke> &tail);
    // Replaces every stroke (an opened board) and draws the whole layer again.
    void replace(std::vector<Stroke> strokes);
    // Draws the whole layer again on the output.
    void redraw() const;

private:
    void recount();

    std::vector<Stroke> strokes_;
    std::vector<Stroke> clearedStrokes_;
    bool cleared_ = false;
    bool open_ = false; // the last stroke may still be extended
    std::size_t segments_ = 0;
    Rgb background_ = kGreen; // the surface's own colour until a clear says otherwise
    StrokeSink *output_ = nullptr;
};

} // namespace pr
