#include "Outbox.h"

#include "lesson/Lesson.h"

namespace pr::live {

void Outbox::act(Lesson &lesson, const Action &a)
{
    apply(lesson, a);
    record(a);
}

void Outbox::record(const Action &a)
{
    if (!recording_)
        return;
    ++next_;
    if (a.kind == Action::Kind::Undo || a.kind == Action::Kind::Redo) {
        // A follower that started from a snapshot has not the history to undo: the board
        // after it goes as a snapshot, which holds what was kept too.
        kept_.clear();
        snapshotWanted_ = true;
        return;
    }
    if (snapshotWanted_)
        return; // the snapshot to come holds it
    if (kept_.size() == kMaxActions) {
        kept_.clear();
        snapshotWanted_ = true;
        return;
    }
    kept_.push_back(a);
}

void Outbox::setRecording(bool on, std::uint64_t first)
{
    recording_ = on;
    next_ = first;
    kept_.clear();
    snapshotWanted_ = on;
}

std::string Outbox::take()
{
    if (kept_.empty())
        return {};
    Message m;
    m.kind = Message::Kind::Actions;
    m.seq = next_ - kept_.size();
    m.actions = std::move(kept_);
    kept_.clear();
    return encode(m);
}

std::string Outbox::snapshot(const Lesson &lesson)
{
    if (lesson.gestureInProgress() || lesson.form.st.diagonalPhase)
        return {};
    snapshotWanted_ = false;
    kept_.clear(); // the snapshot holds them
    return encode(live::snapshot(lesson, next_));
}

} // namespace pr::live
