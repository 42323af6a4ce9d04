#pragma once
#include "layout/WindowLayout.h"

#include <QtCore/QList>
#include <QtWidgets/QWidget>
#include <functional>

class QAction;
class QMenu;
class QToolButton;

namespace pr {

class FontFamilies;

// The tools' buttons in the room the form leaves spare, where the core's layout puts them:
// large buttons with captions beside the form (a wide projector screen), a narrow strip or a
// row of icon buttons (an XGA projector, a tablet, a portrait screen), with その他 opening as
// a menu what a short strip has no room for.
//
// Each button shows one action and follows it: caption, tooltip, enabled and checked state;
// a click triggers the action. Tab reaches the buttons after the form's controls, but a
// click does not take the keyboard focus, so it stays where the teacher had it.
//
// The widget covers the layout's tool area; positions are logical window pixels.
class ToolStrip : public QWidget {
    Q_OBJECT

public:
    // actionOf gives the action of each tool of the desktop's strip.
    ToolStrip(const std::function<QAction *(const Tool &)> &actionOf, const FontFamilies &fonts,
              QWidget *parent = nullptr);

    // Shows the buttons where `layout` puts them (hidden where it has no tools), drawn for
    // the screen's device pixel ratio.
    void place(const WindowLayout &layout, double dpr);

    // The shown button of `action`, or null (its tool is in その他's menu or nowhere).
    QToolButton *button(const QAction *action) const;
    QToolButton *moreButton() const { return more_; }
    QMenu *moreMenu() const { return menu_; }
    // The buttons shown now, in order, その他 included.
    QList<QToolButton *> shownButtons() const;
    // Every button the strip may show, in order, その他 last: the Tab order.
    QList<QWidget *> allButtons() const;

private:
    void setIcons(bool icons, double dpr);

    const FontFamilies &fonts_;
    QList<QToolButton *> buttons_; // one per tool of the strip, in the table's order
    QList<const Tool *> tools_;
    QToolButton *more_ = nullptr;
    QMenu *menu_ = nullptr;
    QList<QAction *> offStrip_; // in the menu of その他 wherever it shows
    double iconDpr_ = 0;
};

} // namespace pr
