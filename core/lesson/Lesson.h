#pragma once
#include "board/Board.h"
#include "board/Stroke.h"
#include "board/StrokeList.h"
#include "form/Form1.h"
#include "history/History.h"

#include <cstdint>
#include <vector>

namespace pr {

// The lesson as a front end drives it: the form, the handlers that run the surface's
// gesture and the window's own buttons, and one entry point per kind of user action.
//
// Front ends, the event script, the randomised tests and the fuzzer all come in through the
// entry points (clickCommand, clickOption, press, move, release), which apply the rules of a
// user's input: a disabled control ignores a click; a click on an option selects it; a left
// press and release on the same visible point label is a click on it; a pointer position the
// core cannot use is dropped (press, move) or replaced by the last usable one (release).
// The handlers themselves stay callable for tests that drive them one step at a time.
//
// Pointer positions are logical surface pixels, origin at the surface's inner top-left
// corner, y down.
//
// The lesson also keeps the board: every stroke as a vector (strokes()), and a history of
// the user's actions that undo() and redo() step through. A step is one stroke (press ..
// release), one slide or prolongation, one construction line, a reset, a clear of the
// writing or an opened board; mode changes are not steps. Undo and redo are ignored while a
// stroke or drag is in progress. They redraw the whole layer on the sink. A reset, a mode
// button or an opened board that comes while a stroke or drag is in progress ends it
// first, as a release would, so it is kept as its own step: one undo after the reset brings
// back everything that was on screen. An undo between the two clicks of a construction line
// takes its first end away (the next click starts a line); a redo brings it back waiting for
// the second click.
class Lesson {
public:
    Lesson(); // the form at design time: call Form_Load once the sink is set

    Form1 form;

    // Handlers of the window and its surface, named after control and event.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void gamen_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void gamen_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void gamen_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

    // Entry points: what a user's action does.
    void clickCommand(int number); // 1 初期画面, 2 終了, 3 メモ, 4 対角線; others ignored
    void clickOption(int index);   // pen option 0..7; others ignored
    // Button codes: 1 left, 2 right, 4 middle (move: the buttons held, or'ed); shift state:
    // 1 shift, 2 ctrl, 4 alt.
    // end: which end of a pen touches; a mouse and a finger press as the tip. A left press of
    // the eraser end in memo mode erases for that stroke only, with the eraser of the chosen
    // pen's row (thin pens and the thin eraser: the thin one; thick: the thick one) and its
    // cursor; at the release the chosen pen, its width and its cursor are as they were.
    // Anywhere else the eraser end acts as the tip.
    enum class PenEnd : std::uint8_t { Tip, Eraser };
    void press(std::int16_t button, std::int16_t shift, double x, double y,
               PenEnd end = PenEnd::Tip);
    void move(std::int16_t buttons, std::int16_t shift, double x, double y);
    void release(std::int16_t button, std::int16_t shift, double x, double y);

    // The layer's sink is the form's (form.gamen.setSink). While an entry point runs, the
    // lesson records every stroke on its way there.
    // Every stroke on the surface, oldest first, in logical surface pixels.
    const std::vector<Stroke> &strokes() const { return strokes_.strokes(); }
    const StrokeList &strokeList() const { return strokes_; }

    bool canUndo() const;
    bool canRedo() const;
    bool undo(); // false if there was nothing to undo or a gesture is in progress
    bool redo();
    const History &history() const { return history_; }

    // Wipes every stroke and leaves the figure as it is; one undoable step.
    void clearWriting();

    // 比を表示 and 相似な三角形 on or off. A way of looking at the board: the board keeps it
    // (the revision moves on), but it is no step to undo, as a teacher would not expect
    // 元に戻す to take back a view rather than the last thing written.
    void setAids(Form1::Aids aids);

    // The board on show, and a board to show instead (every mode ends, as at 初期画面; one
    // undoable step). openBoard refuses a board that fails Board::check and returns why.
    Board board() const;
    [[nodiscard]] BoardFault openBoard(const Board &board);

    // Counts changes of the board (steps, undo, redo): a front end keeps the board on disk
    // whenever it moves on.
    std::uint64_t revision() const { return revision_; }

    // A stroke or drag is in progress (a button is held on the surface).
    bool gestureInProgress() const;

    // Index of the visible point label (Ａ .. Ｃ') whose box holds a surface point, or -1.
    // Only these labels take clicks; Ｄ, Ｅ, Ｆ, Ｇ, the letters and the cursor never do.
    int pointLabelAt(double x, double y) const;

    // A coordinate the core can use: finite and within 1e6 logical pixels of the origin, far
    // beyond any screen and near enough that float slides keep sub-pixel steps. Anything
    // else can only come from a broken driver.
    static bool usableCoordinate(double v);

private:
    FigureContent content() const; // the form's content, as the history compares it
    void commitStep(); // closes the open step, if it changed anything and the gesture is over
    // A reset, a mode change or another board while a button is held: the stroke or
    // drag ends where it is, as its release would end it, and is a step of its own first.
    void endGesture();
    void restore(HistoryStep &step, const FigureContent &content);
    void takeEraserEnd();   // the eraser end's pen in place of the chosen one
    void giveBackPen();     // the chosen pen again, as it was before the eraser end

    // The chosen pen while the eraser end writes: colour, width, cursor shown and its width.
    struct ChosenPen {
        int colour = 0;
        int width = 0;
        bool cursor = false;
        float cursorWidth = 0;
    };
    bool eraserEnd_ = false; // a stroke of the eraser end is in progress
    ChosenPen chosen_;

    StrokeList strokes_;
    History history_;
    FigureContent committed_;     // content at the last step's end
    std::size_t committedStrokes_ = 0;
    bool lineStartOnTop_ = false; // the last step began a construction line
    std::uint64_t revision_ = 0;
    int pressedLabel_ = -1;         // point label under the last left press, until a release
    double lastUsableX_ = 0, lastUsableY_ = 0; // for a release at an unusable position
};

} // namespace pr
