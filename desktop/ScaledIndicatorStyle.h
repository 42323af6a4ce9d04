#pragma once
#include <QtGui/QColor>
#include <QtWidgets/QProxyStyle>

namespace pr {

// The platform style with the option buttons' round indicator and its spacing scaled with
// the form, so the pen buttons grow with the window like everything else.
//
// It also draws the window's focus frame (a QFocusFrame given this style): a thick ring in
// one dark colour just outside the focused control, scaled with the form, that a class can
// see from the back of the room on the light green and on a pressed button alike. A control
// whose neighbours are too close for it names its own ring in the properties kRingWidth and
// kRingGap. A pen names in kRingBox its own room (a QRect in its parent's coordinates), and
// its ring is drawn inside that room, for the pens have no room outside that is not a
// neighbour's.
class ScaledIndicatorStyle : public QProxyStyle {
public:
    ScaledIndicatorStyle();

    void setScale(double scale) { scale_ = scale; }
    // How far past its control the focus frame must reach for the farthest ring (a pen's
    // room), logical pixels.
    void setFrameReach(int pixels) { frameReach_ = pixels; }

    static constexpr const char *kRingWidth = "focusRingWidth";
    static constexpr const char *kRingGap = "focusRingGap";
    static constexpr const char *kRingBox = "focusRingBox";

    static QColor focusColour();
    // Logical pixels: the ring's width, and the gap between it and the control, for the
    // control `frame` (a QFocusFrame) is around, or for any control.
    int focusRingWidth(const QWidget *frame = nullptr) const;
    int focusRingGap(const QWidget *frame = nullptr) const;

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

private:
    // The ring's outer edge in the coordinates of `frame` (a QFocusFrame), whose own
    // rectangle is `all`.
    QRect ringRect(const QWidget *frame, const QRect &all) const;

    double scale_ = 1;
    int frameReach_ = 0;
};

} // namespace pr
