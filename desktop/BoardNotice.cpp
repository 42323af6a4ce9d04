#include "BoardNotice.h"

#include <QtGui/QAccessible>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace pr {

BoardNotice::BoardNotice(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    // A pale note on the green: dark text reads from the back of the room.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 250, 205));
    pal.setColor(QPalette::WindowText, QColor(32, 32, 32));
    setPalette(pal);
    setAccessibleName(QStringLiteral("板書のお知らせ"));

    label_ = new QLabel(this);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the path can be copied
    button_ = new QPushButton(this);
    button_->setAutoDefault(false);
    connect(button_, &QPushButton::clicked, this, [this] {
        if (!keepText_.isEmpty()) {
            emit saveRequested();
        } else {
            damagedText_.clear();
            refresh();
        }
    });
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(label_, 1);
    layout->addWidget(button_, 0, Qt::AlignVCenter);
    hide();
}

void BoardNotice::showKeepProblem(const QString &text)
{
    keepText_ = text;
    refresh();
}

void BoardNotice::clearKeepProblem()
{
    if (keepText_.isEmpty())
        return;
    keepText_.clear();
    refresh();
}

void BoardNotice::showDamaged(const QString &text)
{
    damagedText_ = text;
    refresh();
}

QString BoardNotice::text() const { return label_->text(); }

void BoardNotice::setFont(const QFont &font, double scale)
{
    label_->setFont(font);
    button_->setFont(font);
    const int pad = qRound(6 * scale);
    layout()->setContentsMargins(pad, qRound(2 * scale), pad, qRound(2 * scale));
    layout()->setSpacing(pad);
    button_->setMinimumSize(qRound(72 * scale), qRound(36 * scale));
}

void BoardNotice::refresh()
{
    const QString shown = keepText_.isEmpty() ? damagedText_ : keepText_;
    if (shown.isEmpty()) {
        hide();
        return;
    }
    const bool changed = label_->text() != shown || isHidden();
    label_->setText(shown);
    button_->setText(keepText_.isEmpty() ? QStringLiteral("閉じる") : QStringLiteral("保存"));
    setAccessibleDescription(shown);
    show();
    raise();
    if (changed) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

} // namespace pr
