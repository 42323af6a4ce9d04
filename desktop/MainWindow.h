#pragma once
#include "BoardStore.h"
#include "FontFamilies.h"
#include "LetterImages.h"
#include "ControlTexts.h"
#include "lesson/Lesson.h"
#include "live/Follower.h"
#include "live/Outbox.h"
#include "draw/Palette.h"

#include <QtCore/QPointF>
#include <QtCore/QString>
#include <QtGui/QPalette>
#include <QtWidgets/QWidget>
#include <array>
#include <optional>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QLabel;
class QShortcut;
class QTimer;
class QPushButton;
class QRadioButton;


namespace pr {

class BoardNotice;
class ClassLink;
class BoardPicture;
class FocusIndicator;
class HelpDialog;
class ScaledIndicatorStyle;
class SurfaceWidget;
class ToolStrip;

// The lesson window: real buttons, option buttons and labels laid out from the form's design,
// around the drawing surface. The whole form scales uniformly with the window.
//
// Every user action reaches the core here and only here: a button, an option or a surface
// event becomes a call of the lesson's entry point for it, followed by one sync of the
// widgets and the surface with the form. Keys reach the core the same way: each shortcut
// clicks its button or option, so a disabled control ignores its key as it ignores a click.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Lesson &lesson() { return lesson_; }
    const Form1 &form() const { return lesson_.form; }
    SurfaceWidget *surface() const { return surface_; }
    QPushButton *commandButton(int number) const; // 1..4
    QRadioButton *optionButton(int index) const;  // 0..7
    QLabel *heading() const { return heading_; }
    QLabel *rowCaption(int index) const { return rowCaptions_[std::size_t(index)]; }
    double formScale() const;

    // Resources that failed to load at start-up (empty when all is well).
    const QString &resourceErrors() const { return resourceErrors_; }

    QSize sizeHint() const override;

    // Opens the window at 811 x 702 where the screen has room, scaled down where not.
    void showAtStartSize();
    // The start size without showing the window.
    void fitToScreen();

    // The large pointer over the surface, for projectors and whiteboards (off at first).
    bool largePointer() const { return largePointer_; }
    void setLargePointer(bool on);
    // 見やすい色: the surface, and the pictures made of it, in the colour-safe palette.
    bool colourSafe() const { return colourSafe_; }
    void setColourSafe(bool on);
    // The pens as fingertip buttons on the tool strip too: on where a touch screen is
    // attached at start-up.
    bool touchPens() const { return touchPens_; }
    void setTouchPens(bool on);
    QAction *penAction(int index) const { return penActions_[std::size_t(index)]; } // 0..7

    // The help (F1): created at its first showing.
    void showHelp();
    HelpDialog *helpDialog() const { return help_; }

    // The control the focus ring is around while the keyboard is in use, or none.
    QWidget *focusRingTarget() const;

    // The board as the surface shows it now, to save, copy or print; or in another palette
    // (white paper for printing).
    BoardPicture board() const;
    BoardPicture board(look::Palette palette) const;
    look::Palette shownPalette() const;
    // The action of a tool (its key works whether or not the strip shows it).
    QAction *toolAction(ToolId tool) const { return tools_[std::size_t(tool)]; }
    // The large buttons beside the form, shown where the window has room for them.
    ToolStrip *toolStrip() const { return toolStrip_; }

    // The board kept as strokes: undo, redo, clear the writing, board files, the board kept
    // on disk (BoardStore) after every change.
    void undo();
    void redo();
    void clearWriting();
    void openBoard();        // the file dialog, then openBoardFile; a message if it failed
    void saveBoard();        // the file dialog, then saveBoardFile; a message if it failed
    void restoreLastBoard(); // the board the last session left (前回の板書); a message if none
    // Opens or saves a board file without any dialog: empty when done, else the message the
    // user is shown (also sent as boardMessage). A board that cannot be opened leaves the
    // lesson as it was.
    QString openBoardFile(const QString &path);
    QString saveBoardFile(const QString &path);
    QString restoreLastBoardQuietly();
    // A board file given on the command line or by a later start: opened, or 開く's message.
    void openGivenBoard(const QString &path);
    // The action of 前回の板書 (Ctrl+Shift+T, as reopening what was closed).
    QAction *restoreAction() const { return toolAction(ToolId::Restore); }
    BoardStore &boardStore() { return store_; }
    // The notice below the figure when the board cannot be kept, or a damaged one was set
    // aside.
    BoardNotice *boardNotice() const { return notice_; }

    // Another start of the program asked for this window: it comes to the front.
    void bringToFront();

    void copyBoard();      // the board to the clipboard, as an image and as SVG
    void printBoard();     // the print dialog, then the board fitted to the page
    void saveBoardImage(); // the file dialog, then the board as PNG (2x by default) or SVG

    // Runs one user action on the lesson, then brings every widget and the surface in line
    // with the form; ends the program once 終了 was clicked.
    template <typename Action> void handle(Action &&action)
    {
        action(lesson_);
        syncFromCore();
    }
    // The same for an action the class may hear of: it goes through the live outbox, which
    // keeps it while this board is sent to a class. Ignored while the board follows another.
    void act(const live::Action &action);
    // An action as the form's controls and the surface make it (button and shift codes as
    // Lesson's, positions in logical surface pixels).
    static live::Action classAction(live::Action::Kind kind, int index = 0);
    static live::Action pointerAction(live::Action::Kind kind, int button, int shift,
                                      QPointF at);

    // The live class (授業に参加): the dialog, or joining without it. An address with
    // #teacher=<key> joins as the class's teacher, and code and name are not needed.
    void joinClass();
    void joinClassAt(const QString &address, const QString &code, const QString &name);
    ClassLink *classLink() const { return class_; }
    bool inClass() const { return class_ != nullptr; }
    bool classTeacher() const;
    // A pupil shows the teacher's board (先生の板書) or works on its own (自分で).
    bool following() const { return following_; }
    void setFollowing(bool on);
    // The teacher's controls: 配る, 全員に先生の板書, 授業を終える.
    void handOut();
    void allFollow();
    void endClass();
    bool sendControl(live::Message::Kind kind);
    // The class's state and code as the window shows them.
    QLabel *classState() const { return classState_; }

signals:
    void largePointerChanged(bool on);
    void colourSafeChanged(bool on);
    // A board file could not be opened, saved or restored: the message for the user.
    void boardMessage(const QString &message);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    // A press beside a pen's small circle and caption, in the room around it that is its own.
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void syncFromCore();
    void buildControls();
    void describeControls();
    void buildTools();
    void giveKeys(QAbstractButton *button, const Tool &tool);
    void syncTools();
    void toggleFullScreen();
    void relayout();
    void applyPointer();
    void beginSession();
    void keepBoard(bool again = false);
    void showBoardMessage(const QString &message);
    void startClass();
    static std::uint64_t joinedAt();
    void leaveClass(const QString &why);
    void sendToClass();
    void keyframe();
    void sendSnapshot(bool liveToo);
    void receiveFromClass(const QString &subject, const QByteArray &bytes, bool withHeaders);
    void resync(bool now);
    void sayClassState();
    void placeClassBar();

    Lesson lesson_;
    FontFamilies fonts_;
    LetterImages letters_;
    QString resourceErrors_;
    QLabel *heading_ = nullptr;
    std::array<QLabel *, 2> rowCaptions_{};
    std::array<QPushButton *, 4> commands_{};
    std::array<QRadioButton *, 8> options_{};
    QButtonGroup *optionGroup_ = nullptr;
    ScaledIndicatorStyle *optionStyle_ = nullptr;
    FocusIndicator *focusIndicator_ = nullptr;
    SurfaceWidget *surface_ = nullptr;
    HelpDialog *help_ = nullptr;
    std::array<QAction *, std::size_t(ToolId::More) + 1> tools_{}; // by ToolId; null: none
    std::array<QAction *, 8> penActions_{}; // the pens' buttons on a touch screen's strip
    ToolStrip *toolStrip_ = nullptr;
    BoardStore store_;
    BoardNotice *notice_ = nullptr;
    QTimer *keepRetry_ = nullptr; // while the board cannot be kept, tries again now and then
    std::uint64_t keptRevision_ = 0; // the lesson's revision last written to the store
    QPalette modeOnPalette_;  // a mode button while its mode is on
    bool largePointer_ = false;
    bool colourSafe_ = false;
    bool touchPens_ = false;
    int pressedOption_ = -1; // the pen whose room a press began in, till its release
    double pointerDpr_ = 0;   // device pixel ratio the large pointer was drawn for
    double scale_ = 1;
    bool followsScreen_ = false;
    double layoutDpr_ = 0; // device pixel ratio the controls were last placed for

    // The live class: what this board sends, and the teacher's board a pupil follows.
    live::Outbox outbox_;
    std::optional<live::Follower> follower_;
    std::optional<live::Message> handOut_;
    ClassLink *class_ = nullptr;
    bool following_ = false;
    bool moved_ = false;          // actions went out since the last snapshot
    qint64 keptAt_ = 0;           // ms since the epoch the kept snapshot was last written
    qint64 askedAt_ = 0;          // ms since the epoch a pupil last asked for the kept board
    QTimer *keyframes_ = nullptr; // every 2 s while in a class
    QWidget *classBar_ = nullptr;
    QLabel *classState_ = nullptr;
    QPushButton *followButton_ = nullptr, *exploreButton_ = nullptr;
};

} // namespace pr
