#pragma once
#include "board/Stroke.h"
#include "history/FigureContent.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace pr {

// One undoable unit of a user's action. Every step records the figure's content before and
// after; the strokes before are the first `keep` strokes followed by `strokes` while the step
// is done (what it removed), and the strokes after are those `keep` followed by `strokes`
// while it is undone (what it added). Undo and redo exchange that tail with the live one, so
// a reset after 100,000 segments is undone by moving vectors, never by copying points.
struct HistoryStep {
    enum class Kind {
        Stroke,           // press .. release in memo mode (the eraser too)
        Slide,            // the copy of ℓ moved
        Prolongation,     // a prolongation shown, Ｇ placed
        LineStarted,      // the first end of a construction line clicked
        ConstructionLine, // a construction line finished (its start merged in)
        Reset,            // 初期画面 or a right press
        ClearWriting,     // the strokes wiped, the figure left as it was
        OpenBoard,        // a board opened or restored
        Other,
    };
    Kind kind = Kind::Other;
    FigureContent before, after;
    std::size_t keep = 0;
    std::vector<Stroke> strokes;
};

// The undo and redo stacks. At most `limit` steps are kept; the oldest go first.
class History {
public:
    explicit History(std::size_t limit = 10'000) : limit_(limit) {}

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    std::size_t undoCount() const { return done_.size(); }
    std::size_t redoCount() const { return undone_.size(); }

    // A new step: the steps undone before it can no longer be redone.
    void push(HistoryStep step);
    HistoryStep *top() { return done_.empty() ? nullptr : &done_.back(); }
    const HistoryStep *top() const { return done_.empty() ? nullptr : &done_.back(); }

    // Moves the last done step to the redo stack and returns it there (canUndo first).
    HistoryStep &undo();
    // Moves the last undone step back and returns it (canRedo first).
    HistoryStep &redo();
    void clear();

private:
    std::deque<HistoryStep> done_;
    std::vector<HistoryStep> undone_;
    std::size_t limit_;
};

} // namespace pr
