#pragma once
#include "app/ui/ElementPainter.h"
#include "app/ui/Scene.h"
#include "memo/StrokeLayer.h"

#include <QtWidgets/QWidget>
#include <cstdint>

namespace pr {

class Form1;
class FontFamilies;
class LetterImages;

// The drawing surface `gamen` on screen. It paints the stroke layer, the sunken border and
// the form's elements back to front, and turns mouse, touch and pen input into the form's
// surface events, always in logical surface pixels (float).
//
// Widget point w and surface point x are related by w = (x + border) * scale, the same for
// painting and input, so hit testing holds at any size.
//
// Pointer positions a broken driver may deliver: a surface position is usable when both
// coordinates are finite and within 1e6 logical pixels of the origin (far beyond any screen,
// near enough that float slides keep sub-pixel steps). A press or move at an unusable
// position is dropped; a release at one is delivered at the last usable position, because a
// release must end strokes and drags. Usable positions reach the form exactly, unclamped,
// however far off the surface. Elements and strokes far away cost nothing to paint: both are
// culled or clipped by their bounds.
class SurfaceWidget : public QWidget {
    Q_OBJECT

public:
    SurfaceWidget(Form1 &form, const FontFamilies &fonts, const LetterImages &letters,
                  QWidget *parent = nullptr);

    void setScale(double scale);
    double scale() const { return scale_; }

    QPointF toSurface(QPointF widgetPoint) const;
    QPointF toWidget(QPointF surfacePoint) const;

    // Repaints what the last event changed: the old and new extent of each element that
    // differs from what was painted, and the area of new strokes.
    void syncFromCore();

    const StrokeLayer &strokeLayer() const { return layer_; }

    // Index of the point label (Ａ .. Ｃ') under a surface point, or -1. Only these labels
    // take clicks; Ｄ, Ｅ, Ｆ, Ｇ, the letters and the cursor never do.
    int pointLabelAt(QPointF surfacePoint) const;

    // Keeps a pointer coordinate the core can use: finite, and within reach of any screen.
    static bool usableCoordinate(double v);

    // Ends a touch or pen gesture in progress as a release at the last usable position,
    // for a lift that arrives without one; does nothing when none is in progress.
    void endTouchOrPenGesture();

signals:
    // After every event the form handled; the window resyncs its controls.
    void coreEventHandled();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void press(std::int16_t button, std::int16_t shift, QPointF widgetPoint);
    void move(std::int16_t buttons, std::int16_t shift, QPointF widgetPoint);
    void release(std::int16_t button, std::int16_t shift, QPointF widgetPoint);
    bool handleTouch(QEvent *e);
    bool handleTablet(QEvent *e);
    void updateLayerGeometry();
    void paintBorder(QPainter &p) const;

    Form1 &form_;
    ElementPainter painter_;
    StrokeLayer layer_;
    Scene shown_;
    double scale_ = 1;
    bool layerStale_ = false;   // size or scale changed since the layer was last fitted
    int pressedLabel_ = -1;     // point label under the last left press
    QPointF lastSurfacePoint_;  // last usable pointer position, for a release without one
    int touchId_ = -1;          // the one touch point that drives the gesture
    bool penActive_ = false;    // a pen (tablet) gesture is in progress
};

} // namespace pr
