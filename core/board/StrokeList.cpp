#include "StrokeList.h"

#include <utility>

namespace pr {

StrokeList::StrokeList(const StrokeList &other)
    : strokes_(other.strokes_), clearedStrokes_(other.clearedStrokes_), cleared_(other.cleared_),
      open_(other.open_), segments_(other.segments_), background_(other.background_)
{
}

StrokeList &StrokeList::operator=(const StrokeList &other)
{
    if (this != &other) {
        StrokeSink *output = output_;
        *this = StrokeList(other);
        output_ = output;
    }
    return *this;
}

void StrokeList::setOutput(StrokeSink *output) { output_ = output; }

void StrokeList::clearLayer(Rgb background)
{
    endStroke();
    background_ = background;
    if (!cleared_) {
        clearedStrokes_ = std::move(strokes_);
        cleared_ = true;
    }
    // A second clear within one step drops only strokes that the step itself drew.
    strokes_.clear();
    segments_ = 0;
    if (output_)
        output_->clearLayer(background);
}

void StrokeList::drawSegment(float x1, float y1, float x2, float y2, Rgb colour, int width)
{
    const StrokePoint a{x1, y1}, b{x2, y2};
    Stroke *s = open_ && !strokes_.empty() ? &strokes_.back() : nullptr;
    if (!s || s->colour != colour || s->width != width || !(s->points.back() == a)) {
        endStroke();
        strokes_.push_back({colour, width, colour == background_, {a}});
        s = &strokes_.back();
        open_ = true;
    }
    s->points.push_back(b);
    ++segments_;
    if (output_)
        output_->drawSegment(x1, y1, x2, y2, colour, width);
}

void StrokeList::endStroke()
{
    if (open_ && !strokes_.empty())
        strokes_.back().points.shrink_to_fit();
    open_ = false;
}

std::vector<Stroke> StrokeList::takeCleared()
{
    cleared_ = false;
    return std::exchange(clearedStrokes_, {});
}

void StrokeList::swapTail(std::size_t keep, std::vector<Stroke> &tail)
{
    endStroke();
    if (keep > strokes_.size())
        keep = strokes_.size();
    std::vector<Stroke> mine(std::make_move_iterator(strokes_.begin() + std::ptrdiff_t(keep)),
                             std::make_move_iterator(strokes_.end()));
    strokes_.erase(strokes_.begin() + std::ptrdiff_t(keep), strokes_.end());
    if (keep == 0)
        strokes_ = std::move(tail);
    else
        strokes_.insert(strokes_.end(), std::make_move_iterator(tail.begin()),
                        std::make_move_iterator(tail.end()));
    tail = std::move(mine);
    recount();
    redraw();
}

void StrokeList::replace(std::vector<Stroke> strokes)
{
    endStroke();
    strokes_ = std::move(strokes);
    for (Stroke &s : strokes_)
        s.eraser = s.colour == background_;
    recount();
    redraw();
}

void StrokeList::recount()
{
    segments_ = 0;
    for (const Stroke &s : strokes_)
        segments_ += s.segments();
}

void StrokeList::redraw() const
{
    if (!output_)
        return;
    if (auto *layer = dynamic_cast<LayerSink *>(output_)) {
        layer->redrawLayer(background_, strokes_);
        return;
    }
    output_->clearLayer(background_);
    for (const Stroke &s : strokes_)
        for (std::size_t i = 1; i < s.points.size(); ++i)
            output_->drawSegment(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x,
                                 s.points[i].y, s.colour, s.width);
}

} // namespace pr
