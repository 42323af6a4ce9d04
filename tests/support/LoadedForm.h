#pragma once
#include "form/StrokeSink.h"
#include "lesson/Lesson.h"

// The lesson as the program has it right after start-up, drawing on `sink` if one is given.
inline pr::Lesson loadedLesson(pr::StrokeSink *sink = nullptr)
{
    pr::Lesson lesson;
    lesson.form.gamen.setSink(sink);
    lesson.Form_Load();
    return lesson;
}

// A click on point label `index` (0..5) as a user makes one: a left press and release at the
// label's centre, through the lesson's entry points. The press reaches the surface as well,
// so it also records the pointer and may select a drag.
inline void clickPointLabel(pr::Lesson &lesson, int index)
{
    const pr::Label &l = lesson.form.Label2[index];
    const float x = l.Left + l.Width / 2, y = l.Top + l.Height / 2;
    lesson.press(1, 0, x, y);
    lesson.release(1, 0, x, y);
}

// The board after the copy of ℓ was slid `dx` pixels from the initial screen and let go,
// as a file would hold it: the copy and Ｄ, Ｅ, Ｆ moved alike (labels keep their visibility;
// pick dx away from Ａ', Ｂ', Ｃ').
inline pr::Board slidBoard(float dx)
{
    pr::Board b;
    b.copyX1 += dx;
    b.copyX2 += dx;
    for (pr::Board::CopyLabel &l : b.copyLabels)
        l.left += dx;
    return b;
}
