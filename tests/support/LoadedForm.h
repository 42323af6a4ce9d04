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
