#pragma once
#include "DrawListPainter.h"
#include "StrokeLayer.h"
#include "draw/DrawList.h"

#include <QtWidgets/QWidget>

namespace pr {

struct Form1;
class FontFamilies;
class LetterImages;

// The drawing surface `gamen` on screen. It paints the core's draw list (the stroke layer,
// the sunken border and the elements back to front) and turns mouse, touch and pen input
// into surface events, in logical surface pixels, which its owner hands to the core.
//
// Widget point w and surface point x are related by w = (x + border) * scale, the same for
// painting and input, so hit testing holds at any size. Positions are passed on exactly,
// whatever they are (the core decides what it can use); the surface itself only needs
// finite ones, for the touch and pen gestures it tracks. Elements and strokes far away cost
// nothing to paint: both are culled or clipped by their bounds.
class SurfaceWidget : public QWidget {
    Q_OBJECT

public:
    SurfaceWidget(const Form1 &form, const FontFamilies &fonts, const LetterImages &letters,
                  QWidget *parent = nullptr);

    void setScale(double scale);
    double scale() const { return scale_; }

    QPointF toSurface(QPointF widgetPoint) const;
    QPointF toWidget(QPointF surfacePoint) const;
    QRectF toWidgetRect(const Box &surfaceBox) const;

    // Repaints what the last event changed: the old and new extent of each element that
    // differs from what was painted, and the area of new strokes.
    void syncFromCore();

    // The raster the core's surface draws its strokes into (the form's stroke sink).
    StrokeLayer &strokeLayer() { return layer_; }
    const StrokeLayer &strokeLayer() const { return layer_; }
    const DrawList &shownList() const { return shown_; }

    // The colours the surface is painted in (the form keeps the lesson's own).
    void setPalette(look::Palette palette);
    look::Palette palette() const { return palette_; }

    // Ends a touch or pen gesture in progress as a release at the last position seen, for a
    // lift that arrives without one; does nothing when none is in progress.
    void endTouchOrPenGesture();

signals:
    // Surface events: button codes 1 left, 2 right, 4 middle (moved: the buttons held), shift
    // state 1 shift, 2 ctrl, 4 alt; positions in logical surface pixels. eraserEnd: a pen
    // pressed with its eraser end (the core decides what that does).
    void pressed(int button, int shift, QPointF surfacePoint, bool eraserEnd = false);
    void moved(int buttons, int shift, QPointF surfacePoint);
    void released(int button, int shift, QPointF surfacePoint);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void press(int button, int shift, QPointF widgetPoint, bool eraserEnd = false);
    void move(int buttons, int shift, QPointF widgetPoint);
    void release(int button, int shift, QPointF widgetPoint);
    bool handleTouch(QEvent *e);
    bool handleTablet(QEvent *e);
    void updateLayerGeometry();

    const Form1 &form_;
    DrawListPainter painter_;
    StrokeLayer layer_;
    DrawList shown_;
    look::Palette palette_ = look::Palette::Lesson;
    double scale_ = 1;
    bool layerStale_ = false;  // size or scale changed since the layer was last fitted
    QPointF lastSurfacePoint_; // last position passed on, for a release without one
    int touchId_ = -1;         // the one touch point that drives the gesture
    bool penActive_ = false;   // a pen (tablet) gesture is in progress
};

} // namespace pr
