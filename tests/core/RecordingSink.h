#pragma once
#include "app/StrokeSink.h"

#include <vector>

// Records what the core draws on the surface's own layer.
struct RecordingSink : pr::StrokeSink {
    struct Segment {
        float x1, y1, x2, y2;
        QRgb colour;
        int width;
        bool operator==(const Segment &) const = default;
    };
    int clears = 0;
    std::vector<Segment> segments;

    void clearLayer(QRgb) override
    {
        ++clears;
        segments.clear();
    }
    void drawSegment(float x1, float y1, float x2, float y2, QRgb colour, int width) override
    {
        segments.push_back({x1, y1, x2, y2, colour, width});
    }
};
