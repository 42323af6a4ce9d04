#include "MainWindow.h"

#include "FormGeometry.h"
#include "PointerGuard.h"
#include "ScaledIndicatorStyle.h"
#include "SurfaceWidget.h"
#include "form/QBColor.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

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

QString text(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    if (!letters_.load(&resourceErrors_))
        qWarning().noquote() << "parallel-ratio: letter bitmaps failed to load:\n"
                             << resourceErrors_;
    buildControls();
    lesson_.form.gamen.setSink(&surface_->strokeLayer());
    lesson_.Form_Load();
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
    setMinimumSize(FormGeometry::kClientWidth / 4, FormGeometry::kClientHeight / 4);

    heading_ = new QLabel(text(form.Label1.Caption), this);
    heading_->setAlignment(Qt::AlignCenter);
    setColours(heading_, form.Label1.BackColor, form.Label1.ForeColor);

    for (int i = 0; i < 2; ++i) {
        rowCaptions_[std::size_t(i)] = new QLabel(text(form.Label4[i].Caption), this);
        setColours(rowCaptions_[std::size_t(i)], form.Label4[i].BackColor,
                   form.Label4[i].ForeColor);
    }

    const CommandButton *designs[4] = {&form.Command1, &form.Command2, &form.Command3,
                                       &form.Command4};
    for (int n = 1; n <= 4; ++n) {
        auto *b = new QPushButton(text(designs[n - 1]->Caption), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this,
                [this, n] { handle([n](Lesson &l) { l.clickCommand(n); }); });
        commands_[std::size_t(n - 1)] = b;
    }

    optionStyle_ = new ScaledIndicatorStyle;
    optionStyle_->setParent(this);
    optionGroup_ = new QButtonGroup(this);
    optionGroup_->setExclusive(true);
    for (int i = 0; i < 8; ++i) {
        auto *o = new QRadioButton(text(form.Option1[i].Caption), this);
        o->setStyle(optionStyle_);
        setColours(o, form.Option1[i].BackColor, kBlack);
        optionGroup_->addButton(o, i);
        options_[std::size_t(i)] = o;
    }
    connect(optionGroup_, &QButtonGroup::idClicked, this,
            [this](int i) { handle([i](Lesson &l) { l.clickOption(i); }); });

    surface_ = new SurfaceWidget(form, fonts_, letters_, this);
    connect(surface_, &SurfaceWidget::pressed, this, [this](int b, int s, QPointF p) {
        handle([&](Lesson &l) { l.press(std::int16_t(b), std::int16_t(s), p.x(), p.y()); });
    });
    connect(surface_, &SurfaceWidget::moved, this, [this](int b, int s, QPointF p) {
        handle([&](Lesson &l) { l.move(std::int16_t(b), std::int16_t(s), p.x(), p.y()); });
    });
    connect(surface_, &SurfaceWidget::released, this, [this](int b, int s, QPointF p) {
        handle([&](Lesson &l) { l.release(std::int16_t(b), std::int16_t(s), p.x(), p.y()); });
    });
    QCoreApplication::instance()->installEventFilter(new PointerGuard(this, surface_));
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
    return {FormGeometry::kClientWidth, FormGeometry::kClientHeight};
}

void MainWindow::showAtStartSize()
{
    if (const QScreen *s = screen()) {
        // The frame is not known before the window is shown; allow for a usual title bar.
        resize(FormGeometry::initialClientSize(s->availableGeometry().size(), QSize(16, 48)));
    }
    show();
}

void MainWindow::syncFromCore()
{
    const QString caption = text(form().Caption);
    if (windowTitle() != caption)
        setWindowTitle(caption);
    const CommandButton *buttons[4] = {&form().Command1, &form().Command2, &form().Command3,
                                       &form().Command4};
    for (int n = 0; n < 4; ++n)
        commands_[std::size_t(n)]->setEnabled(buttons[n]->Enabled);
    for (int i = 0; i < 8; ++i) {
        QRadioButton *o = options_[std::size_t(i)];
        o->setEnabled(form().Option1[i].Enabled);
        if (form().Option1[i].Value && !o->isChecked())
            o->setChecked(true);
    }
    surface_->syncFromCore();
    if (form().endRequested)
        QCoreApplication::exit(0);
}

void MainWindow::relayout()
{
    layoutDpr_ = devicePixelRatioF();
    const FormGeometry g(size(), layoutDpr_);
    scale_ = g.scale();
    const auto placeWidget = [&g](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(g.place(left, top, width, height));
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
    for (int i = 0; i < 8; ++i) {
        const OptionButton &o = form().Option1[i];
        placeWidget(options_[std::size_t(i)], o.Left, o.Top, o.Width, o.Height);
        options_[std::size_t(i)]->setFont(optionFont);
    }
    const PictureBox &p = form().gamen;
    placeWidget(surface_, p.Left, p.Top, p.Width, p.Height);
    surface_->setScale(scale_);
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
    if (e->key() == Qt::Key_F11) {
        if (isFullScreen())
            showNormal();
        else
            showFullScreen();
        return;
    }
    if (e->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace pr
