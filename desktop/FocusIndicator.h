#pragma once
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtWidgets/QFocusFrame>

class QStyle;
class QWidget;

namespace pr {

// Shows the focus frame around the window's focused control while the keyboard is in use,
// and not while the pointer is: the ring appears when focus arrives by Tab, the arrow keys
// or a key press on the control, and goes at a press of the mouse, a finger or a pen on the
// window. So the window a class sees after a click looks as it always did, and a teacher
// who works it from the keyboard always sees where the next key goes.
class FocusIndicator : public QObject {
    Q_OBJECT

public:
    // `style` draws the frame; `controls` are the window's focusable controls; a press on
    // any of `pointerAreas` (the controls too) hides the ring.
    FocusIndicator(QStyle *style, const QList<QWidget *> &controls,
                   const QList<QWidget *> &pointerAreas, QObject *parent);

    // The control the ring is shown around, or none.
    QWidget *target() const;
    QFocusFrame *frame() const { return frame_; }

    // More controls to show the ring around (the tool strip's buttons, made later).
    void addControls(const QList<QWidget *> &controls);

    // Places the ring again once the style's scale has changed.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void update();

    QList<QWidget *> controls_;
    QPointer<QFocusFrame> frame_;
    bool keyboard_ = false; // the keyboard was used last
};

} // namespace pr
