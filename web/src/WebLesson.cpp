#include "WebLesson.h"

#include <utility>

namespace pr::web {

void StrokeQueue::clearLayer(Rgb background)
{
    // Whatever was queued before lies under the clear: the page need not draw it at all.
    ops_.clear();
    StrokeOp op;
    op.kind = StrokeOp::Kind::Clear;
    op.colour = background;
    ops_.push_back(op);
}

void StrokeQueue::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    ops_.push_back({StrokeOp::Kind::Segment, x1, y1, x2, y2, colour, width});
}

std::vector<StrokeOp> StrokeQueue::take() { return std::exchange(ops_, {}); }

WebLesson::WebLesson()
{
    lesson_.form.gamen.setSink(&strokes_);
    lesson_.Form_Load();
    shown_ = DrawList::build(lesson_.form);
}

WebLesson::~WebLesson() { lesson_.form.gamen.setSink(nullptr); }

SurfaceChanges WebLesson::takeChanges()
{
    SurfaceChanges c;
    c.strokes = strokes_.take();
    DrawList now = DrawList::build(lesson_.form);
    c.area = DrawList::changedArea(shown_, now);
    // Every differing slot, even one wholly off the surface, so the page's copy stays equal.
    for (std::size_t i = 0; i < now.items.size(); ++i)
        if (i >= shown_.items.size() || !(shown_.items[i] == now.items[i]))
            c.slots.push_back(i);
    shown_ = std::move(now);
    return c;
}

} // namespace pr::web
