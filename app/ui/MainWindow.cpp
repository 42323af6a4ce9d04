#include "MainWindow.h"

#include "app/ui/FormGeometry.h"
#include "app/ui/PointerGuard.h"
#include "app/ui/ScaledIndicatorStyle.h"
#include "app/ui/SurfaceWidget.h"

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

void setColours(QWidget *w, QRgb back, QRgb fore)
{
    QPalette pal = w->palette();
    pal.setColor(w->backgroundRole(), QColor(back));
    pal.setColor(w->foregroundRole(), QColor(fore));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QStringList letterResources(const Form1 &form)
{
    QStringList names;
    for (const Image &image : form.Image1)
        names << image.Resource;
    return names;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    if (!letters_.load(letterResources(form_), &resourceErrors_))
        qWarning().noquote() << "parallel-ratio: letter bitmaps failed to load:\n"
                             << resourceErrors_;
    buildControls();
    form_.Form_Load();
    syncFromCore();
    resize(sizeHint());
}

MainWindow::~MainWindow()
{
    form_.gamen.setSink(nullptr);
}

void MainWindow::buildControls()
{
    setColours(this, form_.BackColor, qRgb(0, 0, 0));
    setMinimumSize(FormGeometry::kClientWidth / 4, FormGeometry::kClientHeight / 4);

    heading_ = new QLabel(form_.Label1.Caption, this);
    heading_->setAlignment(Qt::AlignCenter);
    setColours(heading_, form_.Label1.BackColor, form_.Label1.ForeColor);

    for (int i = 0; i < 2; ++i) {
        rowCaptions_[std::size_t(i)] = new QLabel(form_.Label4[i].Caption, this);
        setColours(rowCaptions_[std::size_t(i)], form_.Label4[i].BackColor,
                   form_.Label4[i].ForeColor);
    }

    const CommandButton *designs[4] = {&form_.Command1, &form_.Command2, &form_.Command3,
                                       &form_.Command4};
    for (int n = 1; n <= 4; ++n) {
        auto *b = new QPushButton(designs[n - 1]->Caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, n] {
            form_.clickCommand(n);
            syncFromCore();
        });
        commands_[std::size_t(n - 1)] = b;
    }

    optionStyle_ = new ScaledIndicatorStyle;
    optionStyle_->setParent(this);
    optionGroup_ = new QButtonGroup(this);
    optionGroup_->setExclusive(true);
    for (int i = 0; i < 8; ++i) {
        auto *o = new QRadioButton(form_.Option1[i].Caption, this);
        o->setStyle(optionStyle_);
        setColours(o, form_.Option1[i].BackColor, qRgb(0, 0, 0));
        optionGroup_->addButton(o, i);
        options_[std::size_t(i)] = o;
    }
    connect(optionGroup_, &QButtonGroup::idClicked, this, [this](int i) {
        form_.clickOption1(i);
        syncFromCore();
    });

    surface_ = new SurfaceWidget(form_, fonts_, letters_, this);
    connect(surface_, &SurfaceWidget::coreEventHandled, this, &MainWindow::syncFromCore);
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
    if (windowTitle() != form_.Caption)
        setWindowTitle(form_.Caption);
    const CommandButton *buttons[4] = {&form_.Command1, &form_.Command2, &form_.Command3,
                                       &form_.Command4};
    for (int n = 0; n < 4; ++n)
        commands_[std::size_t(n)]->setEnabled(buttons[n]->Enabled);
    for (int i = 0; i < 8; ++i) {
        QRadioButton *o = options_[std::size_t(i)];
        o->setEnabled(form_.Option1[i].Enabled);
        if (form_.Option1[i].Value && !o->isChecked())
            o->setChecked(true);
    }
    surface_->syncFromCore();
    if (form_.endRequested)
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

    const WindowLabel &h = form_.Label1;
    placeWidget(heading_, h.Left, h.Top, h.Width, h.Height);
    heading_->setFont(fonts_.font(h.Font, scale_));

    for (int i = 0; i < 2; ++i) {
        const WindowLabel &l = form_.Label4[i];
        placeWidget(rowCaptions_[std::size_t(i)], l.Left, l.Top, l.Width, l.Height);
        rowCaptions_[std::size_t(i)]->setFont(fonts_.font(l.Font, scale_));
    }
    const CommandButton *buttons[4] = {&form_.Command1, &form_.Command2, &form_.Command3,
                                       &form_.Command4};
    for (int n = 0; n < 4; ++n) {
        const CommandButton &b = *buttons[n];
        placeWidget(commands_[std::size_t(n)], b.Left, b.Top, b.Width, b.Height);
        commands_[std::size_t(n)]->setFont(fonts_.font(b.Font, scale_));
    }
    const QFont optionFont = fonts_.font(FontRole::Default, scale_);
    optionStyle_->setScale(scale_);
    for (int i = 0; i < 8; ++i) {
        const OptionButton &o = form_.Option1[i];
        placeWidget(options_[std::size_t(i)], o.Left, o.Top, o.Width, o.Height);
        options_[std::size_t(i)]->setFont(optionFont);
    }
    const PictureBox &p = form_.gamen;
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
