#pragma once
#include "form/Rgb.h"
#include "form/StrokeSink.h"

// Counts what the core draws on the surface's own layer and keeps the last segment, so a
// check can tell which event drew what without storing whole strokes. Every call is passed
// on to `next` when one is given (a real layer, say).
class StrokeCounter : public pr::StrokeSink {
public:
    struct Segment {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        pr::Rgb colour = 0;
        int width = 0;
    };

    explicit StrokeCounter(pr::StrokeSink *next = nullptr) : next_(next) {}

    long clears = 0;
    long segments = 0;
    Segment last;

    void clearLayer(pr::Rgb background) override
    {
        ++clears;
        if (next_)
            next_->clearLayer(background);
    }
    void drawSegment(float x1, float y1, float x2, float y2, pr::Rgb colour, int width) override
    {
        ++segments;
        last = {x1, y1, x2, y2, colour, width};
        if (next_)
            next_->drawSegment(x1, y1, x2, y2, colour, width);
    }

private:
    pr::StrokeSink *next_;
};
