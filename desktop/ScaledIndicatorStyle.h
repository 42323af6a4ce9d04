#pragma once
#include <QtWidgets/QProxyStyle>

namespace pr {

// The platform style with the option buttons' round indicator and its spacing scaled with
// the form, so the pen buttons grow with the window like everything else.
class ScaledIndicatorStyle : public QProxyStyle {
public:
    ScaledIndicatorStyle();

    void setScale(double scale) { scale_ = scale; }

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

private:
    double scale_ = 1;
};

} // namespace pr
