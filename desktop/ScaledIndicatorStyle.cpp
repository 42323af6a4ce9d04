#include "ScaledIndicatorStyle.h"

#include "tools/Access.h"

#include <QtGui/QPainter>
#include <QtWidgets/QFocusFrame>
#include <QtWidgets/QStyleOption>
#include <algorithm>
#include <cmath>

namespace pr {

namespace {

// The ring's margins are asked for with no widget (by the frame as it places itself) or with
// the frame; any other widget keeps the platform's value.
bool forFocusFrame(const QWidget *widget)
{
    return !widget || qobject_cast<const QFocusFrame *>(widget);
}

} // namespace

ScaledIndicatorStyle::ScaledIndicatorStyle() = default;

QColor ScaledIndicatorStyle::focusColour()
{
    return QColor::fromRgb(focusRing(1).colour);
}

int ScaledIndicatorStyle::focusRingWidth() const
{
    return focusRing(scale_).width;
}

int ScaledIndicatorStyle::focusRingGap() const
{
    return focusRing(scale_).gap;
}

int ScaledIndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                      const QWidget *widget) const
{
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_RadioButtonLabelSpacing:
        return std::max(1, int(std::lround(QProxyStyle::pixelMetric(metric, option, widget) *
                                           scale_)));
    case PM_FocusFrameHMargin:
    case PM_FocusFrameVMargin:
        if (forFocusFrame(widget))
            return focusRingWidth() + focusRingGap();
        break;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int ScaledIndicatorStyle::styleHint(StyleHint hint, const QStyleOption *option,
                                    const QWidget *widget, QStyleHintReturn *returnData) const
{
    if (hint == SH_FocusFrame_AboveWidget)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ScaledIndicatorStyle::drawControl(ControlElement element, const QStyleOption *option,
                                       QPainter *painter, const QWidget *widget) const
{
    if (element != CE_FocusFrame) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The frame reaches the ring's width and the gap past the control on every side; the
    // ring is its outer band.
    const QRect r = option->rect;
    const int t = std::min({focusRingWidth(), r.width() / 2, r.height() / 2});
    const QColor c = focusColour();
    painter->fillRect(QRect(r.left(), r.top(), r.width(), t), c);
    painter->fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), c);
    painter->fillRect(QRect(r.left(), r.top() + t, t, r.height() - 2 * t), c);
    painter->fillRect(QRect(r.right() - t + 1, r.top() + t, t, r.height() - 2 * t), c);
}

} // namespace pr
