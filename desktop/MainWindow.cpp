#include "MainWindow.h"

#include "AccessibleSurface.h"
#include "BoardNotice.h"
#include "ControlTexts.h"
#include "FocusIndicator.h"
#include "HelpDialog.h"
#include "LargePointer.h"
#include "PointerGuard.h"
#include "ScaledIndicatorStyle.h"
#include "SurfaceWidget.h"
#include "ToolStrip.h"
#include "form/QBColor.h"
#include "layout/WindowLayout.h"
#include "tools/Access.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QInputDevice>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QRegion>
#include <QtGui/QScreen>
#include <QtGui/QShortcut>
#include <QtGui/QWindow>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pr {

namespace {

void setColours(QWidget *w, Rgb back, Rgb fore)
{
    QPalette pal = w->palette();
    pal.setColor(w->backgroundRole(), QColor(back));
    pal.setColor(w->foregroundRole(), QColor(fore));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// A command button whose checked state is the form's alone: a click (or its key) only asks
// the lesson, and the next sync shows what the lesson made of it. A button that toggled
// itself could show a mode the core never entered.
class FormButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void nextCheckState() override {}
};

// Mode buttons (メモ, 対角線) are filled with this while their mode is on: with the sunken
// look of a checked button it reads as "on" from the back of a classroom.
const QColor kModeOnColour(255, 176, 0);

bool hasTouchScreen()
{
    for (const QInputDevice *d : QInputDevice::devices())
        if (d->type() == QInputDevice::DeviceType::TouchScreen)
            return true;
    return false;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    if (!letters_.load(&resourceErrors_))
        qWarning().noquote() << "parallel-ratio: letter bitmaps failed to load:\n"
                             << resourceErrors_;
    buildControls();
    describeControls();
    buildTools();
    touchPens_ = hasTouchScreen();
    lesson_.form.gamen.setSink(&surface_->strokeLayer());
    surface_->strokeLayer().setSource(&lesson_.strokes());
    lesson_.Form_Load();
    // The program opens on the initial screen; the last board waits for 前回の板書. Reading
    // it (to set it aside if damaged) waits until the window is up.
    QTimer::singleShot(0, this, &MainWindow::beginSession);
    keptRevision_ = lesson_.revision();
    syncFromCore();
    resize(sizeHint());
}

MainWindow::~MainWindow()
{
    lesson_.form.gamen.setSink(nullptr);
}

void MainWindow::buildControls()
{
    const Form1 &form = this->form();
    setColours(this, form.BackColor, kBlack);
    setMinimumSize(WindowLayout::kClientWidth / 4, WindowLayout::kClientHeight / 4);

    heading_ = new QLabel(qText(form.Label1.Caption), this);
    heading_->setAlignment(Qt::AlignCenter);
    setColours(heading_, form.Label1.BackColor, form.Label1.ForeColor);

    for (int i = 0; i < 2; ++i) {
        rowCaptions_[std::size_t(i)] = new QLabel(qText(form.Label4[i].Caption), this);
        setColours(rowCaptions_[std::size_t(i)], form.Label4[i].BackColor,
                   form.Label4[i].ForeColor);
    }

    const CommandButton *designs[4] = {&form.Command1, &form.Command2, &form.Command3,
                                       &form.Command4};
    for (int n = 1; n <= 4; ++n) {
        auto *b = new FormButton(qText(designs[n - 1]->Caption), this);
        b->setAutoDefault(false);
        b->setCheckable(n == 3 || n == 4);
        connect(b, &QPushButton::clicked, this,
                [this, n] { act(classAction(live::Action::Kind::Command, n)); });
        commands_[std::size_t(n - 1)] = b;
    }

    optionStyle_ = new ScaledIndicatorStyle;
    optionStyle_->setParent(this);
    optionGroup_ = new QButtonGroup(this);
    optionGroup_->setExclusive(true);
    for (int i = 0; i < 8; ++i) {
        auto *o = new QRadioButton(qText(form.Option1[i].Caption), this);
        o->setStyle(optionStyle_);
        setColours(o, form.Option1[i].BackColor, kBlack);
        optionGroup_->addButton(o, i);
        options_[std::size_t(i)] = o;
    }
    connect(optionGroup_, &QButtonGroup::idClicked, this,
            [this](int i) { act(classAction(live::Action::Kind::Option, i)); });

    surface_ = new SurfaceWidget(form, fonts_, letters_, this);
    connect(surface_, &SurfaceWidget::pressed, this,
            [this](int b, int s, QPointF p, bool eraserEnd) {
                live::Action a = pointerAction(live::Action::Kind::Press, b, s, p);
                a.eraserEnd = eraserEnd;
                act(a);
            });
    connect(surface_, &SurfaceWidget::moved, this, [this](int b, int s, QPointF p) {
        act(pointerAction(live::Action::Kind::Move, b, s, p));
    });
    connect(surface_, &SurfaceWidget::released, this, [this](int b, int s, QPointF p) {
        act(pointerAction(live::Action::Kind::Release, b, s, p));
    });
    QCoreApplication::instance()->installEventFilter(new PointerGuard(this, surface_));

    modeOnPalette_ = commands_[2]->palette();
    modeOnPalette_.setColor(QPalette::Button, kModeOnColour);
    modeOnPalette_.setColor(QPalette::ButtonText, Qt::black);

    // Tab in the core's order, the pens one stop among them.
    QList<QWidget *> chain;
    const auto control = [this](FormControl c) -> QWidget * {
        return c.id == ToolId::Pen ? static_cast<QWidget *>(options_[std::size_t(c.index)])
                                   : commands_[std::size_t(c.index - 1)];
    };
    for (FormControl c : kTabChain)
        chain.append(control(c));
    chain.append(control(kTabChainEnd));
    for (qsizetype k = 1; k < chain.size(); ++k)
        setTabOrder(chain[k - 1], chain[k]);
    focusIndicator_ = new FocusIndicator(optionStyle_, chain, {surface_}, this);
}

void MainWindow::giveKeys(QAbstractButton *button, const Tool &tool)
{
    // A button takes one key; a second one (a key the desktop keeps from before) clicks it
    // the same way, so a disabled control ignores either.
    const QList<QKeySequence> keys = keysOf(tool);
    button->setShortcut(keys.value(0));
    for (qsizetype k = 1; k < keys.size(); ++k) {
        auto *extra = new QShortcut(keys[k], this);
        connect(extra, &QShortcut::activated, button, &QAbstractButton::click);
    }
}

void MainWindow::describeControls()
{
    const Form1 &form = this->form();
    heading_->setAccessibleName(heading_->text());
    heading_->setAccessibleDescription(QStringLiteral("この図で学ぶ単元の題名"));
    const QString rows[2] = {QStringLiteral("上の段のペンは太い線で書きます"),
                             QStringLiteral("下の段のペンは細い線で書きます")};
    for (int i = 0; i < 2; ++i) {
        QLabel *caption = rowCaptions_[std::size_t(i)];
        caption->setAccessibleName(caption->text());
        caption->setAccessibleDescription(rows[i]);
    }
    const auto describe = [this](QAbstractButton *b, const Tool &t) {
        b->setAccessibleName(qText(t.name));
        b->setAccessibleDescription(qText(t.description));
        b->setToolTip(toolTipOf(t));
        giveKeys(b, t);
    };
    for (int n = 1; n <= 4; ++n)
        describe(commands_[std::size_t(n - 1)], commandTool(n));
    for (int i = 0; i < 8; ++i)
        describe(options_[std::size_t(i)], penTool(i));
    (void)form;
    installAccessibleSurface();
    surface_->setAccessibleName(qText(surfaceName()));
    surface_->setAccessibleDescription(qText(surfaceDescription()));
}

void MainWindow::buildTools()
{
    // A tool works through its action alike from its keys, the strip's button and the menu
    // of その他.
    const auto work = [this](ToolId id, auto slot) {
        const Tool &t = tool(id);
        auto *a = new QAction(qText(t.caption), this);
        a->setWhatsThis(qText(t.description));
        a->setShortcuts(keysOf(t));
        a->setToolTip(toolTipOf(t));
        a->setCheckable(t.toggles);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        tools_[std::size_t(id)] = a;
    };
    work(ToolId::Undo, &MainWindow::undo);
    work(ToolId::Redo, &MainWindow::redo);
    work(ToolId::ClearWriting, &MainWindow::clearWriting);
    work(ToolId::Open, &MainWindow::openBoard);
    work(ToolId::Save, &MainWindow::saveBoard);
    work(ToolId::Restore, &MainWindow::restoreLastBoard);
    work(ToolId::SaveImage, &MainWindow::saveBoardImage);
    work(ToolId::Copy, &MainWindow::copyBoard);
    work(ToolId::Print, &MainWindow::printBoard);
    work(ToolId::Help, &MainWindow::showHelp);
    work(ToolId::FullScreen, &MainWindow::toggleFullScreen);
    work(ToolId::LargePointer, [this] { setLargePointer(!largePointer_); });
    work(ToolId::ColourSafe, [this] { setColourSafe(!colourSafe_); });
    work(ToolId::Ratios, [this] {
        live::Action a = classAction(live::Action::Kind::Aids);
        a.aids = {!form().aids.ratios, form().aids.triangles};
        act(a);
    });
    work(ToolId::Triangles, [this] {
        live::Action a = classAction(live::Action::Kind::Aids);
        a.aids = {form().aids.ratios, !form().aids.triangles};
        act(a);
    });
    work(ToolId::JoinClass, &MainWindow::joinClass);

    // A pen's button on the strip clicks the form's option, so both go one way.
    for (int i = 0; i < 8; ++i) {
        const Tool &t = penTool(i);
        auto *a = new QAction(qText(t.name), this);
        a->setToolTip(toolTipOf(t));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            options_[std::size_t(i)]->click();
            syncTools(); // a click on the chosen pen changes nothing the option shows
        });
        penActions_[std::size_t(i)] = a;
    }
    toolStrip_ = new ToolStrip(
        [this](const Tool &t) {
            return t.id == ToolId::Pen ? penAction(t.index) : toolAction(t.id);
        },
        fonts_, this);
    toolStrip_->setAccessibleName(QStringLiteral("道具"));
    toolStrip_->setAccessibleDescription(
        QStringLiteral("元に戻す、保存、印刷などのボタン。画面の横か下に余白があるときに出ます。"));
    toolStrip_->hide(); // until a layout finds room for it
    // Tab goes on from 終了 to the tools.
    QWidget *previous = commands_[1];
    for (QWidget *b : toolStrip_->allButtons()) {
        setTabOrder(previous, b);
        previous = b;
    }
    focusIndicator_->addControls(toolStrip_->allButtons());

    notice_ = new BoardNotice(this);
    connect(notice_, &BoardNotice::saveRequested, this, &MainWindow::saveBoard);
    keepRetry_ = new QTimer(this);
    keepRetry_->setInterval(5000);
    connect(keepRetry_, &QTimer::timeout, this, [this] { keepBoard(true); });
}

QPushButton *MainWindow::commandButton(int number) const
{
    return commands_[std::size_t(number - 1)];
}

QRadioButton *MainWindow::optionButton(int index) const
{
    return options_[std::size_t(index)];
}

double MainWindow::formScale() const { return scale_; }

QSize MainWindow::sizeHint() const
{
    return {WindowLayout::kClientWidth, WindowLayout::kClientHeight};
}

void MainWindow::showAtStartSize()
{
    fitToScreen();
    show();
}

void MainWindow::fitToScreen()
{
    if (const QScreen *s = screen()) {
        // The frame is not known before the window is shown; allow for a usual title bar.
        const QSize available = s->availableGeometry().size();
        const PixelRect size = WindowLayout::initialClientSize(available.width(),
                                                               available.height(), 16, 48);
        resize(size.w, size.h);
    }
}

void MainWindow::setLargePointer(bool on)
{
    if (on == largePointer_)
        return;
    largePointer_ = on;
    applyPointer();
    syncTools();
    emit largePointerChanged(on);
}

void MainWindow::setTouchPens(bool on)
{
    if (on == touchPens_)
        return;
    touchPens_ = on;
    relayout();
}

void MainWindow::setColourSafe(bool on)
{
    if (on == colourSafe_)
        return;
    colourSafe_ = on;
    surface_->setPalette(shownPalette());
    syncTools();
    emit colourSafeChanged(on);
}

look::Palette MainWindow::shownPalette() const
{
    return colourSafe_ ? look::Palette::ColourSafe : look::Palette::Lesson;
}

void MainWindow::applyPointer()
{
    if (largePointer_) {
        pointerDpr_ = devicePixelRatioF();
        surface_->setCursor(LargePointer::cursor(pointerDpr_));
    } else {
        surface_->unsetCursor();
    }
}

void MainWindow::showHelp()
{
    if (!help_)
        help_ = new HelpDialog(QDir::toNativeSeparators(store_.folder()), this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

QWidget *MainWindow::focusRingTarget() const
{
    return focusIndicator_->target();
}

void MainWindow::syncFromCore()
{
    const QString caption = qText(form().Caption);
    if (windowTitle() != caption)
        setWindowTitle(caption);
    const CommandButton *buttons[4] = {&form().Command1, &form().Command2, &form().Command3,
                                       &form().Command4};
    for (int n = 0; n < 4; ++n)
        commands_[std::size_t(n)]->setEnabled(buttons[n]->Enabled && !following_);
    const bool modeOn[2] = {form().st.memoMode, form().st.diagonalMode};
    for (int k = 0; k < 2; ++k) {
        QPushButton *b = commands_[std::size_t(2 + k)]; // メモ, 対角線
        if (b->isChecked() != modeOn[k]) {
            b->setChecked(modeOn[k]);
            b->setPalette(modeOn[k] ? modeOnPalette_ : QPalette());
        }
    }
    for (int i = 0; i < 8; ++i) {
        QRadioButton *o = options_[std::size_t(i)];
        o->setEnabled(form().Option1[i].Enabled && !following_);
        if (form().Option1[i].Value && !o->isChecked())
            o->setChecked(true);
        // Tab enters the pens at the chosen one, whichever way it was chosen.
        const Qt::FocusPolicy policy = form().Option1[i].Value ? Qt::StrongFocus : Qt::ClickFocus;
        if (o->focusPolicy() != policy)
            o->setFocusPolicy(policy);
    }
    surface_->syncFromCore();
    keepBoard();
    syncTools();
    sendToClass();
    if (form().endRequested) {
        // A stroke or slide still held is kept as it shows.
        if (lesson_.gestureInProgress())
            keepBoard(true);
        QCoreApplication::exit(0);
    }
}

void MainWindow::syncTools()
{
    const ToolContext context{true, largePointer_, isFullScreen(), colourSafe_, following_};
    for (std::size_t i = 0; i < tools_.size(); ++i) {
        QAction *a = tools_[i];
        if (!a)
            continue;
        const Tool &t = tool(ToolId(i));
        a->setEnabled(toolEnabled(t, lesson_, context));
        if (t.toggles)
            a->setChecked(toolChecked(t, lesson_, context));
    }
    for (int i = 0; i < 8; ++i) {
        penActions_[std::size_t(i)]->setEnabled(toolEnabled(penTool(i), lesson_, context));
        penActions_[std::size_t(i)]->setChecked(toolChecked(penTool(i), lesson_, context));
    }
}

void MainWindow::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
    syncTools();
}

void MainWindow::relayout()
{
    layoutDpr_ = devicePixelRatioF();
    const WindowLayout g(width(), height(), layoutDpr_,
                         stripTools(FrontEnd::Desktop, false, true, touchPens_));
    scale_ = g.scale();
    const auto placeWidget = [&g](QWidget *w, int left, int top, int width, int height) {
        const PixelRect r = g.place(left, top, width, height);
        w->setGeometry(r.x, r.y, r.w, r.h);
    };

    const WindowLabel &h = form().Label1;
    placeWidget(heading_, h.Left, h.Top, h.Width, h.Height);
    heading_->setFont(fonts_.font(h.Font, scale_));

    for (int i = 0; i < 2; ++i) {
        const WindowLabel &l = form().Label4[i];
        placeWidget(rowCaptions_[std::size_t(i)], l.Left, l.Top, l.Width, l.Height);
        rowCaptions_[std::size_t(i)]->setFont(fonts_.font(l.Font, scale_));
    }
    const CommandButton *buttons[4] = {&form().Command1, &form().Command2, &form().Command3,
                                       &form().Command4};
    for (int n = 0; n < 4; ++n) {
        const CommandButton &b = *buttons[n];
        placeWidget(commands_[std::size_t(n)], b.Left, b.Top, b.Width, b.Height);
        commands_[std::size_t(n)]->setFont(fonts_.font(b.Font, scale_));
    }
    const QFont optionFont = fonts_.font(FontRole::Default, scale_);
    optionStyle_->setScale(scale_);
    int reach = 0;
    for (int i = 0; i < 8; ++i) {
        const OptionButton &o = form().Option1[i];
        QRadioButton *b = options_[std::size_t(i)];
        placeWidget(b, o.Left, o.Top, o.Width, o.Height);
        b->setFont(optionFont);
        // The rows touch: where an option's box reaches into its neighbour's room, a press
        // there is the neighbour's (the window passes it on, below).
        const PixelRect hit = g.place(optionHitArea(form(), i));
        b->setMask(QRegion(hit.x - b->x(), hit.y - b->y(), hit.w, hit.h));
        // Its focus ring goes inside that room: outside it would cover the neighbours.
        b->setProperty(ScaledIndicatorStyle::kRingBox, QRect(hit.x, hit.y, hit.w, hit.h));
        const PixelRect shown = g.place(o.Left, o.Top, o.Width, o.Height);
        reach = std::max({reach, shown.x - hit.x, shown.y - hit.y, hit.right() - shown.right(),
                          hit.bottom() - shown.bottom()});
    }
    optionStyle_->setFrameReach(reach);
    const PictureBox &p = form().gamen;
    placeWidget(surface_, p.Left, p.Top, p.Width, p.Height);
    surface_->setScale(scale_);
    toolStrip_->place(g, layoutDpr_);
    const PixelRect notice = g.notice(p);
    notice_->setGeometry(notice.x, notice.y, notice.w, notice.h);
    notice_->setFont(fonts_.font(FontRole::Default, scale_), scale_);
    focusIndicator_->refresh();
    placeClassBar();
    if (largePointer_ && pointerDpr_ != layoutDpr_)
        applyPointer(); // drawn again for this screen's pixel ratio
}

void MainWindow::mousePressEvent(QMouseEvent *e)
{
    pressedOption_ = -1;
    if (e->button() == Qt::LeftButton) {
        const WindowLayout g(width(), height(), layoutDpr_, std::vector<const Tool *>{});
        const QPoint at = e->position().toPoint();
        pressedOption_ = g.optionAt(form(), at.x(), at.y());
    }
    if (pressedOption_ < 0)
        QWidget::mousePressEvent(e);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *e)
{
    const int pressed = std::exchange(pressedOption_, -1);
    if (pressed < 0 || e->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    // As a button: the press and the release in the same room.
    const WindowLayout g(width(), height(), layoutDpr_, std::vector<const Tool *>{});
    const QPoint at = e->position().toPoint();
    QRadioButton *b = options_[std::size_t(pressed)];
    if (g.optionAt(form(), at.x(), at.y()) == pressed && b->isEnabled()) {
        b->setFocus(Qt::MouseFocusReason);
        b->click();
    }
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    relayout();
}

void MainWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!followsScreen_ && windowHandle()) {
        // Another screen may have another pixel ratio: the controls' edges move with it.
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { relayout(); });
        followsScreen_ = true;
        if (devicePixelRatioF() != layoutDpr_)
            relayout(); // the screen it opened on has another ratio than assumed
    }
}

void MainWindow::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && isFullScreen()) {
        toggleFullScreen();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace pr
