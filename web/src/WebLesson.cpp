#include "WebLesson.h"

#include <utility>

namespace pr::web {

WebLesson::WebLesson()
{
    lesson_.form.gamen.setSink(&raster_);
    raster_.setSource(&lesson_.strokes());
    lesson_.Form_Load();
    shown_ = DrawList::build(lesson_.form);
}

WebLesson::~WebLesson() { lesson_.form.gamen.setSink(nullptr); }

SurfaceChanges WebLesson::takeChanges()
{
    SurfaceChanges c;
    c.raster = raster_.take();
    c.rasterArea = raster_.takeDirty();
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
