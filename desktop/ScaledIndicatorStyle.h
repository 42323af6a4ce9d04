#pragma once
#include <QtGui/QColor>
#include <QtWidgets/QProxyStyle>

namespace pr {

// The platform style with the option buttons' round indicator and its spacing scaled with
// the form, so the pen buttons grow with the window like everything else.
//
// It also draws the window's focus frame (a QFocusFrame given this style): a thick ring in
// one dark colour just outside the focused control, scaled with the form, that a class can
// see from the back of the room on the light green and on a pressed button alike. The ring
// lies above the neighbouring controls rather than inside its own, where the small pen
// buttons have no room for it.
class ScaledIndicatorStyle : public QProxyStyle {
public:
    ScaledIndicatorStyle();

    void setScale(double scale) { scale_ = scale; }

    static QColor focusColour();
    // Logical pixels: the ring's width, and the gap between it and the control.
    int focusRingWidth() const;
    int focusRingGap() const;

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

private:
    double scale_ = 1;
};

} // namespace pr
