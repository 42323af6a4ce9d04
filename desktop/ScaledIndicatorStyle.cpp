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

// The control a focus frame is around, or null.
const QWidget *ringed(const QWidget *frame)
{
    const auto *f = qobject_cast<const QFocusFrame *>(frame);
    return f ? f->widget() : nullptr;
}

// The room a control names for its ring, in its parent's coordinates, or a null rectangle.
QRect ringBox(const QWidget *control)
{
    return control ? control->property(ScaledIndicatorStyle::kRingBox).toRect() : QRect();
}

} // namespace

ScaledIndicatorStyle::ScaledIndicatorStyle() = default;

QRect ScaledIndicatorStyle::ringRect(const QWidget *frame, const QRect &all) const
{
    const QWidget *w = ringed(frame);
    if (!w || !frame)
        return all;
    // The frame may sit on an ancestor of the control's parent.
    const QWidget *parent = w->parentWidget(), *frameParent = frame->parentWidget();
    const QPoint shift = parent && frameParent && parent != frameParent
                             ? parent->mapTo(frameParent, QPoint()) - frame->pos()
                             : -frame->pos();
    if (!ringBox(w).isNull())
        return ringBox(w).translated(shift);
    const int k = focusRingWidth(frame) + focusRingGap(frame);
    return w->geometry().adjusted(-k, -k, k, k).translated(shift);
}

QColor ScaledIndicatorStyle::focusColour()
{
    return QColor::fromRgb(focusRing(1).colour);
}

int ScaledIndicatorStyle::focusRingWidth(const QWidget *frame) const
{
    const QWidget *w = ringed(frame);
    const QVariant own = w ? w->property(kRingWidth) : QVariant();
    return own.isValid() ? own.toInt() : focusRing(scale_).width;
}

int ScaledIndicatorStyle::focusRingGap(const QWidget *frame) const
{
    const QWidget *w = ringed(frame);
    const QVariant own = w ? w->property(kRingGap) : QVariant();
    return own.isValid() ? own.toInt() : focusRing(scale_).gap;
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
        // The frame asks without naming its control: it reaches as far as any ring does,
        // and shows only the ring (SH_FocusFrame_Mask).
        if (forFocusFrame(widget))
            return std::max(frameReach_, focusRingWidth() + focusRingGap());
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
    if (hint == SH_FocusFrame_Mask && widget && forFocusFrame(widget)) {
        // The frame shows its ring only, wherever in the frame that is.
        if (auto *mask = qstyleoption_cast<QStyleHintReturnMask *>(returnData)) {
            const QRect r = ringRect(widget, widget->rect());
            const int t = std::min({focusRingWidth(widget), r.width() / 2, r.height() / 2});
            mask->region = QRegion(r).subtracted(QRegion(r.adjusted(t, t, -t, -t)));
            return 1;
        }
    }
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
    const QRect r = ringRect(widget, option->rect);
    const int t = std::min({focusRingWidth(widget), r.width() / 2, r.height() / 2});
    const QColor c = focusColour();
    painter->fillRect(QRect(r.left(), r.top(), r.width(), t), c);
    painter->fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), c);
    painter->fillRect(QRect(r.left(), r.top() + t, t, r.height() - 2 * t), c);
    painter->fillRect(QRect(r.right() - t + 1, r.top() + t, t, r.height() - 2 * t), c);
}

} // namespace pr
