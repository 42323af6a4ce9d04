#include "FormGeometry.h"

#include <algorithm>
#include <cmath>

namespace pr {

FormGeometry::FormGeometry(QSize client, double dpr)
{
    for (int m = 1; m <= 8; ++m) {
        if (std::fabs(m * dpr - std::round(m * dpr)) < 1e-6) {
            step_ = m;
            break;
        }
    }
    scale_ = std::max(0.05, std::min(client.width() / double(kClientWidth),
                                     client.height() / double(kClientHeight)));
    origin_ = QPointF((client.width() - kClientWidth * scale_) / 2,
                      (client.height() - kClientHeight * scale_) / 2);
}

FormGeometry::FormGeometry(QSize client, double dpr, double sideWidth) : FormGeometry(client, dpr)
{
    const double formWidth = kClientWidth * scale_, sideWidthHere = sideWidth * scale_;
    if (!(sideWidth > 0) || client.width() < formWidth + sideWidthHere)
        return;
    hasSide_ = true;
    origin_.setX((client.width() - formWidth - sideWidthHere) / 2);
    const QRect form = place(0, 0, int(kClientWidth * kTwipsPerPixel),
                             int(kClientHeight * kTwipsPerPixel));
    const int right = std::min(client.width(), int(std::lround(origin_.x() + formWidth +
                                                               sideWidthHere)));
    side_ = QRect(form.right() + 1, form.top(), right - form.right() - 1, form.height());
}

QRect FormGeometry::place(int left, int top, int width, int height) const
{
    const auto snap = [this](double v) { return int(std::lround(v / step_)) * step_; };
    const auto x = [&](double twips) { return snap(origin_.x() + twips / kTwipsPerPixel * scale_); };
    const auto y = [&](double twips) { return snap(origin_.y() + twips / kTwipsPerPixel * scale_); };
    const int l = x(left), t = y(top);
    return QRect(l, t, x(left + width) - l, y(top + height) - t);
}

QSize FormGeometry::initialClientSize(QSize available, QSize frame)
{
    const double room_w = available.width() - frame.width();
    const double room_h = available.height() - frame.height();
    if (room_w >= kClientWidth && room_h >= kClientHeight)
        return {kClientWidth, kClientHeight};
    const double s = std::max(0.25, std::min(room_w / kClientWidth, room_h / kClientHeight));
    return {int(std::floor(kClientWidth * s)), int(std::floor(kClientHeight * s))};
}

} // namespace pr
