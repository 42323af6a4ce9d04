#pragma once
#include <QtCore/QObject>
#include <QtGui/QPaintEvent>
#include <QtGui/QRegion>

// Records the regions a widget is asked to paint.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QObject *target) { target->installEventFilter(this); }
    QRegion painted;
    int paints = 0;
    void reset()
    {
        painted = QRegion();
        paints = 0;
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(e)->region();
            ++paints;
        }
        return false;
    }
};
