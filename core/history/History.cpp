#include "History.h"

#include <utility>

namespace pr {

void History::push(HistoryStep step)
{
    undone_.clear();
    done_.push_back(std::move(step));
    while (done_.size() > limit_)
        done_.pop_front();
}

HistoryStep &History::undo()
{
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return undone_.back();
}

HistoryStep &History::redo()
{
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return done_.back();
}

void History::clear()
{
    done_.clear();
    undone_.clear();
}

} // namespace pr
