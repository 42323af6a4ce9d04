#pragma once
#include "form/Rgb.h"
#include "form/StrokeSink.h"

#include <ios>
#include <ostream>
#include <vector>

// Records what the core draws on the surface's own layer.
struct RecordingSink : pr::StrokeSink {
    struct Segment {
        float x1, y1, x2, y2;
        pr::Rgb colour;
        int width;
        bool operator==(const Segment &) const = default;
    };
    int clears = 0;
    std::vector<Segment> segments;

    void clearLayer(pr::Rgb) override
    {
        ++clears;
        segments.clear();
    }
    void drawSegment(float x1, float y1, float x2, float y2, pr::Rgb colour, int width) override
    {
        segments.push_back({x1, y1, x2, y2, colour, width});
    }
};

// So that a failed comparison shows the segments.
inline std::ostream &operator<<(std::ostream &os, const RecordingSink::Segment &s)
{
    const auto flags = os.flags();
    os << "(" << s.x1 << ", " << s.y1 << ")-(" << s.x2 << ", " << s.y2 << ") #" << std::hex
       << s.colour << " width " << std::dec << s.width;
    os.flags(flags);
    return os;
}
