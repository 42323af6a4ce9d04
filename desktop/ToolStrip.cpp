#include "ToolStrip.h"

#include "ControlTexts.h"
#include "FontFamilies.h"
#include "ScaledIndicatorStyle.h"

#include <QtGui/QAction>
#include <QtGui/QIcon>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtSvg/QSvgRenderer>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolButton>
#include <cmath>

namespace pr {

namespace {

constexpr int kIconSide = 28; // logical pixels, in a button of WindowLayout::kTarget

QPixmap iconPixmap(const Tool &tool, const char *colour, double dpr)
{
    const int side = int(std::ceil(kIconSide * dpr));
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QByteArray::fromStdString(toolIconSvg(tool, colour)));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, side, side));
    p.end();
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QIcon toolIcon(const Tool &tool, double dpr)
{
    QIcon icon;
    icon.addPixmap(iconPixmap(tool, "#000000", dpr), QIcon::Normal);
    icon.addPixmap(iconPixmap(tool, "#8c8c8c", dpr), QIcon::Disabled);
    return icon;
}

QToolButton *makeButton(QWidget *parent)
{
    auto *b = new QToolButton(parent);
    // Tab reaches every tool; a click leaves the focus where the teacher had it.
    b->setFocusPolicy(Qt::TabFocus);
    b->hide();
    return b;
}

} // namespace

ToolStrip::ToolStrip(const std::function<QAction *(const Tool &)> &actionOf,
                     const FontFamilies &fonts, QWidget *parent)
    : QWidget(parent), fonts_(fonts)
{
    // Every tool a layout may place, the pens of a touch screen's strip among them.
    for (const Tool *t : stripTools(FrontEnd::Desktop, false, true, true)) {
        QAction *a = actionOf(*t);
        QToolButton *b = makeButton(this);
        b->setDefaultAction(a);
        b->setAccessibleName(qText(t->name));
        b->setAccessibleDescription(qText(t->description));
        buttons_.append(b);
        tools_.append(t);
    }
    // The desktop's tools that have no room on any strip go in its menu.
    for (const Tool &t : tools())
        if (t.group < 0 && t.id != ToolId::Pen && t.id != ToolId::More &&
            offeredOn(t.offered, FrontEnd::Desktop) && !t.icon.empty())
            if (QAction *a = actionOf(t))
                offStrip_.append(a);
    const Tool &more = tool(ToolId::More);
    more_ = makeButton(this);
    menu_ = new QMenu(more_);
    more_->setMenu(menu_);
    more_->setPopupMode(QToolButton::InstantPopup);
    more_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }")); // the icon says it
    more_->setText(qText(more.caption));
    more_->setToolTip(qText(more.tip));
    more_->setAccessibleName(qText(more.name));
    more_->setAccessibleDescription(qText(more.description));
}

void ToolStrip::setIcons(bool icons, double dpr)
{
    const Qt::ToolButtonStyle style = icons ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly;
    for (QToolButton *b : buttons_)
        b->setToolButtonStyle(style);
    more_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Icons are drawn for the screen's ratio at their first showing there, not before.
    if (!icons || dpr == iconDpr_)
        return;
    for (qsizetype i = 0; i < buttons_.size(); ++i)
        buttons_[i]->defaultAction()->setIcon(toolIcon(*tools_[i], dpr)); // the button follows
    more_->setIcon(toolIcon(tool(ToolId::More), dpr));
    iconDpr_ = dpr;
}

void ToolStrip::place(const WindowLayout &layout, double dpr)
{
    const PixelRect area = layout.toolArea();
    for (QToolButton *b : buttons_)
        b->hide();
    more_->hide();
    menu_->clear();
    if (layout.toolsAt() == ToolsAt::Keys) {
        hide();
        return;
    }
    setGeometry(area.x, area.y, area.w, area.h);
    const bool icons = layout.toolsAt() != ToolsAt::Beside;
    setIcons(icons, dpr);
    QFont font = fonts_.font(look::TextStyle{look::Face::Gothic, 16, true}, 1);
    font.setPixelSize(layout.captionPixels());
    const FocusRing ring = layout.toolFocusRing();
    for (const ToolButtonPlace &p : layout.buttons()) {
        const qsizetype i = tools_.indexOf(p.tool);
        QToolButton *b = i >= 0 ? buttons_[i] : more_;
        b->setProperty(ScaledIndicatorStyle::kRingWidth, ring.width);
        b->setProperty(ScaledIndicatorStyle::kRingGap, ring.gap);
        b->setGeometry(p.box.x - area.x, p.box.y - area.y, p.box.w, p.box.h);
        b->setIconSize(QSize(kIconSide, kIconSide));
        if (!icons)
            b->setFont(font);
        b->show();
    }
    for (const Tool *t : layout.menu()) {
        const qsizetype i = tools_.indexOf(t);
        if (i >= 0)
            menu_->addAction(buttons_[i]->defaultAction());
    }
    menu_->addActions(offStrip_);
    show();
}

QToolButton *ToolStrip::button(const QAction *action) const
{
    for (QToolButton *b : buttons_)
        if (b->defaultAction() == action && !b->isHidden())
            return b;
    return nullptr;
}

QList<QWidget *> ToolStrip::allButtons() const
{
    QList<QWidget *> all(buttons_.begin(), buttons_.end());
    all.append(more_);
    return all;
}

QList<QToolButton *> ToolStrip::shownButtons() const
{
    QList<QToolButton *> shown;
    for (QToolButton *b : buttons_)
        if (!b->isHidden())
            shown.append(b);
    if (!more_->isHidden())
        shown.append(more_);
    return shown;
}

} // namespace pr
