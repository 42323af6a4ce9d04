#pragma once
#include <QtCore/QObject>

namespace prbench {

// Watches one widget's paint events: how many arrived and how much area they covered, in
// the widget's logical px (a device pixel ratio of 2 paints four times as many pixels).
class PaintMeter : public QObject {
public:
    explicit PaintMeter(QObject *watched);

    void reset();
    int paints() const { return paints_; }
    long long area() const { return area_; } // sum over the rectangles of each region

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int paints_ = 0;
    long long area_ = 0;
};

} // namespace prbench
