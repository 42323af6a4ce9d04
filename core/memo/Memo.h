#pragma once
#include <cstdint>

namespace pr {
struct Form1;
}

// Memo mode: the pens, freehand strokes on the surface's own layer and the eraser cursor.
namespace pr::memo {

void Command3_Click(Form1 &f);
void Option1_Click(Form1 &f, std::int16_t Index);

// The eraser option of a pen's row: the thin eraser for 0..3, the thick one for 4..7.
std::int16_t eraserOfRow(int option);

// Steps of the surface's mouse handlers that belong to the memo.
void penPress(Form1 &f);                           // left press: a stroke begins
void moveEraserCursor(Form1 &f, float X, float Y); // every move, first of all
void strokeSegment(Form1 &f, float X, float Y);    // one segment from the last point
void penRelease(Form1 &f);                         // any release ends the stroke

// The eraser cursor is as wide as the eraser's stroke and always this high.
inline constexpr float kEraserCursorHeight = 25;

} // namespace pr::memo
