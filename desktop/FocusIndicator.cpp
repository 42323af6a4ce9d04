#include "FocusIndicator.h"

#include <QtGui/QFocusEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFocusFrame>

namespace pr {

FocusIndicator::FocusIndicator(QStyle *style, const QList<QWidget *> &controls,
                               const QList<QWidget *> &pointerAreas, QObject *parent)
    : QObject(parent), controls_(controls)
{
    QWidget *window = controls.isEmpty() ? nullptr : controls.first()->parentWidget();
    frame_ = new QFocusFrame(window);
    frame_->setStyle(style);
    frame_->hide();
    for (QWidget *w : controls)
        w->installEventFilter(this);
    for (QWidget *w : pointerAreas)
        if (!controls.contains(w))
            w->installEventFilter(this);
}

void FocusIndicator::addControls(const QList<QWidget *> &controls)
{
    for (QWidget *w : controls) {
        controls_.append(w);
        w->installEventFilter(this);
    }
}

QWidget *FocusIndicator::target() const
{
    return frame_ ? frame_->widget() : nullptr;
}

void FocusIndicator::refresh()
{
    if (!frame_)
        return;
    // The frame reads its margins when it is given a widget.
    QWidget *w = frame_->widget();
    frame_->setWidget(nullptr);
    frame_->setWidget(w);
}

bool FocusIndicator::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::FocusIn:
        switch (static_cast<QFocusEvent *>(e)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            keyboard_ = true;
            break;
        case Qt::MouseFocusReason:
            keyboard_ = false;
            break;
        default:
            break; // the window came back, or the program moved focus: as before
        }
        update();
        break;
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
    case QEvent::Hide:
        update();
        break;
    case QEvent::KeyPress:
        if (!keyboard_ && controls_.contains(qobject_cast<QWidget *>(watched))) {
            keyboard_ = true;
            update();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        if (keyboard_) {
            keyboard_ = false;
            update();
        }
        break;
    default:
        break;
    }
    return false;
}

void FocusIndicator::update()
{
    if (!frame_)
        return;
    QWidget *focused = QApplication::focusWidget();
    QWidget *target = nullptr;
    if (keyboard_ && focused && controls_.contains(focused) && focused->isVisible() &&
        focused->isEnabled())
        target = focused;
    if (frame_->widget() != target)
        frame_->setWidget(target);
}

} // namespace pr
