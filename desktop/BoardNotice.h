#pragma once
#include <QtCore/QString>
#include <QtWidgets/QFrame>

class QLabel;
class QPushButton;

namespace pr {

// A notice about the kept board, in the band below the figure (kNoticeBox), so it never hides
// the figure: that the board cannot be kept (with a 保存 button, until keeping works again),
// or that a damaged kept board was set aside (with 閉じる, once). A problem with keeping
// comes first; a notice about a damaged board waits behind it.
//
// Sizes are logical pixels at form scale 1, multiplied by the form's scale.
class BoardNotice : public QFrame {
    Q_OBJECT

public:
    explicit BoardNotice(QWidget *parent = nullptr);

    // The board cannot be kept: `text` shows until clearKeepProblem().
    void showKeepProblem(const QString &text);
    void clearKeepProblem();
    // A damaged board was set aside: shows until closed (or behind a problem with keeping).
    void showDamaged(const QString &text);

    bool keepProblemShown() const { return isVisibleTo(parentWidget()) && !keepText_.isEmpty(); }
    QString text() const;
    QPushButton *button() const { return button_; }

    void setFont(const QFont &font, double scale);

signals:
    void saveRequested();

private:
    void refresh();

    QLabel *label_ = nullptr;
    QPushButton *button_ = nullptr;
    QString keepText_, damagedText_;
};

} // namespace pr
