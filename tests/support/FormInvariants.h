#pragma once
#include "EventScript.h"
#include "StrokeCounter.h"
#include "form/Form1.h"

#include <string>

// The rules the form keeps whatever input arrives, checked after each event by the
// randomised, fuzz and monkey tests. Every check returns an empty string when all rules
// hold, otherwise a description of the first one broken.
class FormInvariants {
public:
    // `initial`: the form right after Form_Load, the reference for the fixed figure and for
    // what a reset restores.
    explicit FormInvariants(const pr::Form1 &initial);

    // Rules about a single state: mode flags, enabled controls, the eraser cursor, the pen,
    // and the figure elements that never move.
    std::string checkState(const pr::Form1 &f) const;

    // Every coordinate, size and numeric field is finite.
    static std::string checkFinite(const pr::Form1 &f);

    // Rules about what one event may change. `e` is one primitive event
    // (EventScript::primitives), as the lesson's entry points received it; a whole label
    // click is taken too and checked as the release that ends it. `clears`, `segments` and
    // `lastSegment` are what the event drew on the surface's own layer: the counters' growth
    // during the event and the last segment.
    std::string checkTransition(const pr::Form1 &before, const pr::Form1 &after,
                                const pr::EventScript::Event &e, long clears, long segments,
                                const StrokeCounter::Segment &lastSegment) const;

    // The form a reset must leave: the initial form with the leftovers a reset keeps taken
    // from `after` (pen, selected option, pointer record, diagonal phase, Ｄ Ｅ Ｆ Ｇ's
    // visibility and colour, Ｇ's Left, the parked lines' y and the prolongations' colour,
    // the cursor's place and width).
    pr::Form1 expectedAfterReset(const pr::Form1 &after) const;

    // Name of the first control or field in which two forms differ, or an empty string.
    static std::string firstDifference(const pr::Form1 &a, const pr::Form1 &b);

    // Whether an event runs the reset: 初期画面, or a right press at a usable position (the
    // lesson drops a press anywhere else).
    static bool isReset(const pr::EventScript::Event &e);

private:
    pr::Form1 initial_;
};
