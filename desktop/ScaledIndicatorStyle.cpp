#include "ScaledIndicatorStyle.h"

#include <algorithm>
#include <cmath>

namespace pr {

ScaledIndicatorStyle::ScaledIndicatorStyle() = default;

int ScaledIndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                      const QWidget *widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_RadioButtonLabelSpacing:
        return std::max(1, int(std::lround(base * scale_)));
    default:
        return base;
    }
}

} // namespace pr
