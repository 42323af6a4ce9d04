#pragma once
#include "Message.h"

#include <cstdint>
#include <string>
#include <vector>

// What a board sends to the class: every action the front end runs through it, numbered
// from 0, handed over as messages, and snapshots between them. The front end publishes
// the bytes and keeps nothing itself.
namespace pr::live {

class Outbox {
public:
    // Runs the action in the lesson and, while recording, keeps it for the next message.
    void act(Lesson &lesson, const Action &action);
    // Keeps an action the front end ran itself (an undo that did undo, say).
    void record(const Action &action);
    // The board changed other than by an action (a board opened): the class gets a snapshot.
    void wantSnapshot() { snapshotWanted_ = recording_; }

    // Recording starts with the class: the count starts again at `first` and nothing is kept
    // yet. A board that takes up a class again (its page reloaded) starts beyond every number
    // it sent before, or its followers would take what it sends for what they have seen.
    void setRecording(bool on, std::uint64_t first = 0);
    bool recording() const { return recording_; }

    // The actions kept since the last take, as one message; empty if there are none. After
    // an undo or redo, or more actions than one message holds, the class gets a snapshot
    // instead (snapshotWanted).
    std::string take();
    bool snapshotWanted() const { return snapshotWanted_; }

    // The lesson's board after every action so far, for a follower to start from; empty
    // while a gesture is under way or a construction line begun, when the actions that come
    // next could not be replayed from it.
    std::string snapshot(const Lesson &lesson);

    std::uint64_t sent() const { return next_; } // actions numbered so far

private:
    bool recording_ = false;
    bool snapshotWanted_ = false;
    std::uint64_t next_ = 0; // the number of the next action
    std::vector<Action> kept_;
};

} // namespace pr::live
