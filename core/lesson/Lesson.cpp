#include "Lesson.h"

#include "diagonal/Diagonal.h"
#include "figure/Figure.h"
#include "form/QBColor.h"
#include "memo/Memo.h"

#include <cmath>

namespace pr {

namespace {

// While an entry point runs, the form draws through the lesson's stroke list, which records
// and passes every call on to the front end's sink; between entry points the form holds the
// front end's sink itself.
class Recording {
public:
    Recording(PictureBox &gamen, StrokeList &strokes) : gamen_(gamen), sink_(gamen.sink())
    {
        if (sink_ != &strokes) {
            strokes.setOutput(sink_);
            gamen.setSink(&strokes);
        }
    }
    ~Recording() { gamen_.setSink(sink_); }
    Recording(const Recording &) = delete;
    Recording &operator=(const Recording &) = delete;

private:
    PictureBox &gamen_;
    StrokeSink *sink_;
};

} // namespace

Lesson::Lesson() : committed_(FigureContent::of(form)) {}

bool Lesson::gestureInProgress() const
{
    return form.st.dragMode != DragMode::None || (form.st.memoMode && form.st.penDown);
}

FigureContent Lesson::content() const
{
    FigureContent c = FigureContent::of(form);
    // Diagonal mode paints the copy white over whatever colour it had: that colour is still
    // the one last committed, and shows again when the mode ends (or turns light red then,
    // which is a change of its own).
    if (form.st.diagonalMode)
        c.Line2[kCopyOfL].BorderColor = committed_.Line2[kCopyOfL].BorderColor;
    return c;
}

void Lesson::commitStep()
{
    if (gestureInProgress())
        return;
    const FigureContent now = content();
    const bool cleared = strokes_.cleared();
    std::vector<Stroke> removed;
    if (cleared) {
        removed = strokes_.takeCleared();
        // Strokes drawn within the step and cleared again were never part of the board.
        if (removed.size() > committedStrokes_)
            removed.resize(committedStrokes_);
    }
    const bool strokesChanged = cleared ? !(removed.empty() && strokes().empty())
                                        : strokes().size() != committedStrokes_;
    if (!strokesChanged && now == committed_)
        return;

    using Kind = HistoryStep::Kind;
    Kind kind = Kind::Other;
    if (cleared)
        kind = now == committed_ ? Kind::ClearWriting : Kind::Reset;
    else if (strokesChanged)
        kind = Kind::Stroke;
    else if (now.Line4 != committed_.Line4 || now.diagonalStep != committed_.diagonalStep)
        kind = form.st.diagonalPhase ? Kind::LineStarted : Kind::ConstructionLine;
    else if (now.Line2[kCopyOfL] != committed_.Line2[kCopyOfL])
        kind = Kind::Slide;
    else
        kind = Kind::Prolongation;

    HistoryStep *top = history_.top();
    if (kind == Kind::ConstructionLine && lineStartOnTop_ && top && !history_.canRedo()) {
        // The two clicks of one construction line are one step.
        top->kind = kind;
        top->after = now;
    } else {
        HistoryStep step;
        step.kind = kind;
        step.before = committed_;
        step.after = now;
        step.keep = cleared ? 0 : committedStrokes_;
        step.strokes = std::move(removed);
        history_.push(std::move(step));
    }
    lineStartOnTop_ = kind == Kind::LineStarted;
    committed_ = now;
    committedStrokes_ = strokes().size();
    ++revision_;
}

void Lesson::setAids(Form1::Aids aids)
{
    if (form.aids == aids)
        return;
    form.aids = aids;
    ++revision_;
}

void Lesson::endGesture()
{
    if (!gestureInProgress())
        return;
    memo::penRelease(form);
    figure::endDrag(form);
    giveBackPen();
    strokes_.endStroke();
    commitStep();
}

void Lesson::takeEraserEnd()
{
    chosen_ = {form.st.penColor, form.gamen.DrawWidth, form.Shape1.Visible, form.Shape1.Width};
    eraserEnd_ = true;
    memo::Option1_Click(form, memo::eraserOfRow(form.selectedOption1()));
    // The outline the eraser end shows sits round the pen at once, not where it last was.
    memo::moveEraserCursor(form, form.st.lastX, form.st.lastY);
}

void Lesson::giveBackPen()
{
    if (!eraserEnd_)
        return;
    eraserEnd_ = false;
    form.st.penColor = chosen_.colour;
    form.gamen.DrawWidth = chosen_.width;
    form.Shape1.Visible = chosen_.cursor;
    form.Shape1.Width = chosen_.cursorWidth;
    memo::moveEraserCursor(form, form.st.lastX, form.st.lastY);
}

bool Lesson::canUndo() const { return history_.canUndo() && !gestureInProgress(); }
bool Lesson::canRedo() const { return history_.canRedo() && !gestureInProgress(); }

void Lesson::restore(HistoryStep &step, const FigureContent &content)
{
    content.applyTo(form);
    strokes_.swapTail(step.keep, step.strokes);
    // The content put back, even where the mode shows it otherwise (the copy white in
    // diagonal mode): what the mode then changes of it is the next step.
    committed_ = content;
    committedStrokes_ = strokes().size();
    lineStartOnTop_ = false;
    // A construction line's first end brought back by redo waits for its second click again,
    // as it did before the undo, while diagonal mode is on.
    if (&content == &step.after && step.kind == HistoryStep::Kind::LineStarted &&
        form.st.diagonalMode) {
        form.st.diagonalPhase = true;
        lineStartOnTop_ = true;
    }
    ++revision_;
}

bool Lesson::undo()
{
    const Recording recording(form.gamen, strokes_);
    if (gestureInProgress())
        return false;
    commitStep(); // anything changed outside the entry points
    if (!history_.canUndo())
        return false;
    HistoryStep &step = history_.undo();
    restore(step, step.before);
    return true;
}

bool Lesson::redo()
{
    const Recording recording(form.gamen, strokes_);
    if (gestureInProgress())
        return false;
    commitStep();
    if (!history_.canRedo())
        return false;
    HistoryStep &step = history_.redo();
    restore(step, step.after);
    return true;
}

void Lesson::clearWriting()
{
    const Recording recording(form.gamen, strokes_);
    if (gestureInProgress())
        return;
    commitStep();
    form.gamen.Cls();
    commitStep();
}

Board Lesson::board() const { return Board::of(form, strokes()); }

BoardFault Lesson::openBoard(const Board &board)
{
    BoardFault fault = board.check();
    if (!fault.ok())
        return fault;
    const Recording recording(form.gamen, strokes_);
    endGesture(); // a held copy or stroke ends with the board it belonged to
    commitStep();
    figure::ResetFigure(form);
    board.applyTo(form);
    strokes_.replace(board.strokes);
    const std::uint64_t before = revision_;
    commitStep();
    if (revision_ != before)
        history_.top()->kind = HistoryStep::Kind::OpenBoard;
    return {};
}

void Lesson::Form_Load()
{
    const Recording recording(form.gamen, strokes_);
    form.Caption = "平行線と線分の比 (by Vorlane)";
    form.gamen.FontSize = 20;
    form.gamen.ScaleMode = 3;
    form.gamen.ForeColor = QBColor(kFigureColour);
    form.gamen.DrawWidth = 3;
    form.st.penColor = kPenRed;
    if (form.selectOption1(kThinRedPen))
        memo::Option1_Click(form, kThinRedPen);
    figure::ResetFigure(form);
    // Start-up is no step: the board begins here.
    strokes_.takeCleared();
    history_.clear();
    committed_ = FigureContent::of(form);
    committedStrokes_ = strokes().size();
    lineStartOnTop_ = false;
}

void Lesson::Command1_Click() { figure::ResetFigure(form); }

void Lesson::Command2_Click() { form.endRequested = true; }

void Lesson::gamen_MouseDown(std::int16_t Button, std::int16_t /*Shift*/, float X, float Y)
{
    if (Button == 1) {
        figure::chooseDrag(form, X, Y);
        memo::penPress(form);
    }
    if (Button == 2)
        figure::ResetFigure(form);
    form.st.lastX = X;
    form.st.lastY = Y;
}

void Lesson::gamen_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    FigureState &s = form.st;
    memo::moveEraserCursor(form, X, Y);
    if (s.dragMode == DragMode::None && !s.memoMode && !s.diagonalMode)
        return;
    memo::strokeSegment(form, X, Y);
    figure::slideCopy(form, X);
    s.lastX = X;
    s.lastY = Y;
}

void Lesson::gamen_MouseUp(std::int16_t /*Button*/, std::int16_t /*Shift*/, float /*X*/,
                           float /*Y*/)
{
    memo::penRelease(form);
    figure::endDrag(form);
}

void Lesson::clickCommand(int number)
{
    const CommandButton *buttons[] = {&form.Command1, &form.Command2, &form.Command3,
                                      &form.Command4};
    if (number < 1 || number > 4 || !buttons[number - 1]->Enabled)
        return;
    const Recording recording(form.gamen, strokes_);
    // 終了 ends the program at once and leaves the form as it is: a front end keeps the board
    // as it shows, stroke in progress and all.
    if (number != 2)
        endGesture();
    switch (number) {
    case 1: Command1_Click(); break;
    case 2: Command2_Click(); break;
    case 3: memo::Command3_Click(form); break;
    case 4: diagonal::Command4_Click(form); break;
    default: break;
    }
    commitStep();
}

void Lesson::clickOption(int index)
{
    if (!form.Option1.contains(index) || !form.Option1[index].Enabled)
        return;
    const Recording recording(form.gamen, strokes_);
    // A click on the option already selected applies its pen again: after a reset the width
    // is 3 whatever pen shows, and clicking the pen shown is how to get it back.
    form.selectOption1(index);
    const bool erasing = eraserEnd_;
    giveBackPen();
    memo::Option1_Click(form, std::int16_t(index));
    if (erasing) // a pen chosen mid-stroke is the one the tip writes with next
        takeEraserEnd();
    commitStep();
}

bool Lesson::usableCoordinate(double v) { return std::isfinite(v) && std::fabs(v) <= 1e6; }

int Lesson::pointLabelAt(double x, double y) const
{
    for (int i = form.Label2.first; i <= form.Label2.last; ++i) {
        const Label &l = form.Label2[i];
        if (l.Visible && l.Left <= x && x <= double(l.Left) + l.Width && l.Top <= y &&
            y <= double(l.Top) + l.Height)
            return i;
    }
    return -1;
}

void Lesson::press(std::int16_t button, std::int16_t shift, double x, double y, PenEnd end)
{
    if (!usableCoordinate(x) || !usableCoordinate(y))
        return;
    lastUsableX_ = x;
    lastUsableY_ = y;
    if (button == 1)
        pressedLabel_ = pointLabelAt(x, y);
    const Recording recording(form.gamen, strokes_);
    if (button == 2)
        endGesture(); // the reset comes after what the held button drew or moved
    giveBackPen();
    strokes_.endStroke(); // a stroke never spans two gestures
    gamen_MouseDown(button, shift, float(x), float(y));
    if (end == PenEnd::Eraser && button == 1 && form.st.memoMode && form.st.penDown)
        takeEraserEnd();
    commitStep();
}

void Lesson::move(std::int16_t buttons, std::int16_t shift, double x, double y)
{
    if (!usableCoordinate(x) || !usableCoordinate(y))
        return;
    lastUsableX_ = x;
    lastUsableY_ = y;
    const Recording recording(form.gamen, strokes_);
    gamen_MouseMove(buttons, shift, float(x), float(y));
    commitStep();
}

void Lesson::release(std::int16_t button, std::int16_t shift, double x, double y)
{
    // A release must always reach the form (it ends strokes and drags), so an unusable
    // position is replaced by the last usable one.
    if (usableCoordinate(x) && usableCoordinate(y)) {
        lastUsableX_ = x;
        lastUsableY_ = y;
    }
    const Recording recording(form.gamen, strokes_);
    gamen_MouseUp(button, shift, float(lastUsableX_), float(lastUsableY_));
    giveBackPen();
    strokes_.endStroke();
    // A click on a point label: left press and release on the same visible label.
    const int label = pressedLabel_;
    pressedLabel_ = -1;
    if (button == 1 && label >= 0 && pointLabelAt(lastUsableX_, lastUsableY_) == label)
        diagonal::Label2_Click(form, std::int16_t(label));
    commitStep();
}

} // namespace pr
