#include "PaintMeter.h"

#include <QtGui/QPaintEvent>

namespace prbench {

PaintMeter::PaintMeter(QObject *watched) : QObject(watched) { watched->installEventFilter(this); }

void PaintMeter::reset()
{
    paints_ = 0;
    area_ = 0;
}

bool PaintMeter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        ++paints_;
        for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
            area_ += static_cast<long long>(r.width()) * r.height();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace prbench
