#pragma once
#include <QtCore/QList>
#include <QtWidgets/QWidget>

class QAction;
class QToolButton;

namespace pr {

class FontFamilies;

// A column of large buttons for the window's actions, beside the form where the window has
// room to spare (a wide projector screen): captions in words, big enough for a finger or a
// pen and readable from the back of the room, scaled with the form.
//
// Each button shows one action and follows it: caption, tooltip, enabled state; a click
// triggers the action. A null entry in the list leaves a wider gap between groups. The
// buttons never take the keyboard focus, so a click leaves it where the teacher had it.
//
// Sizes are logical pixels at form scale 1 (kWidth wide, the form's 702 high), multiplied by
// the form's scale.
class ToolStrip : public QWidget {
    Q_OBJECT

public:
    // Width the strip takes beside the form at scale 1, its gap to the form included.
    static constexpr int kWidth = 136;

    ToolStrip(const QList<QAction *> &actions, const FontFamilies &fonts,
              QWidget *parent = nullptr);

    void setScale(double scale);
    double scale() const { return scale_; }

    // The button showing `action`, or null.
    QToolButton *button(const QAction *action) const;
    const QList<QToolButton *> &buttons() const { return buttons_; }

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void relayout();

    const FontFamilies &fonts_;
    QList<QToolButton *> buttons_;
    QList<bool> groupStarts_; // a button that follows a gap between groups
    double scale_ = 1;
};

} // namespace pr
