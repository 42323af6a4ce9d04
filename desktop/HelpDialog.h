#pragma once
#include <QtCore/QPointer>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMessageBox>

class QLabel;
class QPushButton;

namespace pr {

// F1: how to work the figure and every key the window answers, with a button for the
// program's name, version and licence. Neither box blocks the window behind it.
class HelpDialog : public QDialog {
    Q_OBJECT

public:
    // boardFolder: where the board is kept between lessons, as the help names it.
    explicit HelpDialog(const QString &boardFolder = QString(), QWidget *parent = nullptr);

    // The help as shown (rich text).
    QString text() const;
    QPushButton *aboutButton() const { return aboutButton_; }
    // The about box while it is open.
    QMessageBox *aboutBox() const { return aboutBox_; }

    // The about box's text: name, version, licence.
    static QString aboutText();

    void showAbout();

private:
    QLabel *label_ = nullptr;
    QPushButton *aboutButton_ = nullptr;
    QPointer<QMessageBox> aboutBox_;
};

} // namespace pr
