#include "SurfaceWidget.h"

#include "app/Form1.h"
#include "app/PictureBox.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QTabletEvent>
#include <QtGui/QTouchEvent>
#include <cmath>

namespace pr {

namespace {

// Button and modifier codes of the surface events: 1 left, 2 right, 4 middle; shift 1,
// ctrl 2, alt 4. Any other button maps to 0, which neither selects nor resets.
std::int16_t buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

std::int16_t buttonsCode(Qt::MouseButtons b)
{
    return std::int16_t((b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
                        (b & Qt::MiddleButton ? 4 : 0));
}

std::int16_t shiftCode(Qt::KeyboardModifiers m)
{
    return std::int16_t((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                        (m & Qt::AltModifier ? 4 : 0));
}

bool fromTouchOrPen(const QMouseEvent *e)
{
    return e->source() != Qt::MouseEventNotSynthesized;
}

} // namespace

SurfaceWidget::SurfaceWidget(Form1 &form, const FontFamilies &fonts, const LetterImages &letters,
                             QWidget *parent)
    : QWidget(parent), form_(form), painter_(fonts, letters), shown_(Scene::capture(form))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setMouseTracking(true); // the eraser cursor follows the pointer with no button held
    form_.gamen.setSink(&layer_);
    form_.gamen.Cls(); // the layer starts in the surface's own colour
    layer_.takeDirty();
}

void SurfaceWidget::setScale(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    layerStale_ = true; // rebuilt once, at the next paint, whatever else changes meanwhile
    update();
}

QPointF SurfaceWidget::toSurface(QPointF w) const
{
    return w / scale_ - QPointF(PictureBox::kBorder, PictureBox::kBorder);
}

QPointF SurfaceWidget::toWidget(QPointF s) const
{
    return (s + QPointF(PictureBox::kBorder, PictureBox::kBorder)) * scale_;
}

bool SurfaceWidget::usableCoordinate(double v)
{
    // A real pointer is never a million surface pixels away; beyond that the value can only
    // come from a broken driver and would wreck the float geometry.
    return std::isfinite(v) && std::fabs(v) <= 1e6;
}

int SurfaceWidget::pointLabelAt(QPointF s) const
{
    for (int i = form_.Label2.first; i <= form_.Label2.last; ++i) {
        const Label &l = form_.Label2[i];
        if (l.Visible && QRectF(l.Left, l.Top, l.Width, l.Height).contains(s))
            return i;
    }
    return -1;
}

void SurfaceWidget::syncFromCore()
{
    Scene now = Scene::capture(form_);
    QRectF dirty;
    for (const ElementRef &r : kStackingFrontToBack) {
        if (!now.sameElement(shown_, r)) {
            dirty |= painter_.bounds(shown_, r);
            dirty |= painter_.bounds(now, r);
        }
    }
    shown_ = std::move(now);

    QRectF area = layer_.takeDirty();
    if (!dirty.isNull())
        area |= QRectF(toWidget(dirty.topLeft()), toWidget(dirty.bottomRight()));
    area &= QRectF(rect());
    if (!area.isEmpty())
        update(area.toAlignedRect().adjusted(-1, -1, 1, 1) & rect());
}

void SurfaceWidget::updateLayerGeometry()
{
    layer_.setGeometry(size(), scale_, devicePixelRatioF());
    layer_.takeDirty(); // the caller repaints everything
}

void SurfaceWidget::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layerStale_ = true;
}

void SurfaceWidget::paintBorder(QPainter &p) const
{
    // A 2-pixel sunken frame, as a classic picture box has.
    const double w = PictureBox::kOuterWidth, h = PictureBox::kOuterHeight;
    p.fillRect(QRectF(0, 0, w, 1), QColor(128, 128, 128));
    p.fillRect(QRectF(0, 0, 1, h), QColor(128, 128, 128));
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(255, 255, 255));
    p.fillRect(QRectF(w - 1, 0, 1, h), QColor(255, 255, 255));
    p.fillRect(QRectF(1, 1, w - 2, 1), QColor(64, 64, 64));
    p.fillRect(QRectF(1, 1, 1, h - 2), QColor(64, 64, 64));
    p.fillRect(QRectF(1, h - 2, w - 2, 1), QColor(212, 208, 200));
    p.fillRect(QRectF(w - 2, 1, 1, h - 2), QColor(212, 208, 200));
}

void SurfaceWidget::paintEvent(QPaintEvent *e)
{
    if (layerStale_ || devicePixelRatioF() != layer_.dpr()) {
        // Resized, rescaled or moved to a screen with another pixel ratio: the layer follows
        // (strokes drawn meanwhile went into the old one and are carried over), and the
        // whole surface is painted again.
        updateLayerGeometry();
        layerStale_ = false;
        if (e->rect() != rect())
            update();
    }

    QPainter p(this);
    // The layer covers the widget at device resolution: a 1:1 copy of the exposed part.
    if (layer_.isBlank())
        p.fillRect(e->rect(), QColor(layer_.background()));
    else
        p.drawImage(QPointF(0, 0), layer_.image());
    // The widget may reach a little past the surface's outer box, where its edges were put
    // on whole device pixels: that margin belongs to the window's background.
    const QRectF outer(0, 0, PictureBox::kOuterWidth * scale_, PictureBox::kOuterHeight * scale_);
    const QColor windowBack(form_.BackColor);
    p.fillRect(QRectF(outer.right(), 0, width() - outer.right(), height()), windowBack);
    p.fillRect(QRectF(0, outer.bottom(), width(), height() - outer.bottom()), windowBack);

    p.scale(scale_, scale_);
    paintBorder(p);
    p.translate(PictureBox::kBorder, PictureBox::kBorder);
    const QRectF inner(0, 0, PictureBox::kInnerWidth, PictureBox::kInnerHeight);
    p.setClipRect(inner, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    const QRectF exposed = QRectF(toSurface(e->rect().topLeft()),
                                  toSurface(QPointF(e->rect().right() + 1, e->rect().bottom() + 1)))
                               .adjusted(-1, -1, 1, 1) &
                           inner;
    for (auto it = kStackingFrontToBack.rbegin(); it != kStackingFrontToBack.rend(); ++it) {
        if (painter_.bounds(shown_, *it).intersects(exposed))
            painter_.paint(p, shown_, *it);
    }
}

void SurfaceWidget::press(std::int16_t button, std::int16_t shift, QPointF w)
{
    const QPointF s = toSurface(w);
    if (!usableCoordinate(s.x()) || !usableCoordinate(s.y()))
        return;
    lastSurfacePoint_ = s;
    if (button == 1)
        pressedLabel_ = pointLabelAt(s);
    form_.gamen_MouseDown(button, shift, float(s.x()), float(s.y()));
    emit coreEventHandled();
}

void SurfaceWidget::move(std::int16_t buttons, std::int16_t shift, QPointF w)
{
    const QPointF s = toSurface(w);
    if (!usableCoordinate(s.x()) || !usableCoordinate(s.y()))
        return;
    lastSurfacePoint_ = s;
    form_.gamen_MouseMove(buttons, shift, float(s.x()), float(s.y()));
    emit coreEventHandled();
}

void SurfaceWidget::release(std::int16_t button, std::int16_t shift, QPointF w)
{
    // A release must always reach the form (it ends strokes and drags), so an unusable
    // position is replaced by the last usable one.
    QPointF s = toSurface(w);
    if (!usableCoordinate(s.x()) || !usableCoordinate(s.y()))
        s = lastSurfacePoint_;
    else
        lastSurfacePoint_ = s;
    form_.gamen_MouseUp(button, shift, float(s.x()), float(s.y()));
    // A click on a point label: left press and release on the same label.
    const int label = pressedLabel_;
    pressedLabel_ = -1;
    if (button == 1 && label >= 0 && pointLabelAt(s) == label)
        form_.Label2_Click(std::int16_t(label));
    emit coreEventHandled();
}

void SurfaceWidget::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (fromTouchOrPen(e) && (touchId_ >= 0 || penActive_))
        return; // already handled as touch or pen
    press(buttonCode(e->button()), shiftCode(e->modifiers()), e->position());
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent *e)
{
    e->accept();
    if (fromTouchOrPen(e) && (touchId_ >= 0 || penActive_))
        return;
    move(buttonsCode(e->buttons()), shiftCode(e->modifiers()), e->position());
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    if (fromTouchOrPen(e) && (touchId_ >= 0 || penActive_))
        return;
    release(buttonCode(e->button()), shiftCode(e->modifiers()), e->position());
}

bool SurfaceWidget::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return handleTouch(e);
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return handleTablet(e);
    default:
        return QWidget::event(e);
    }
}

bool SurfaceWidget::handleTouch(QEvent *e)
{
    // One finger acts as the left button; further fingers are ignored until it lifts.
    auto *te = static_cast<QTouchEvent *>(e);
    const std::int16_t shift = shiftCode(te->modifiers());
    if (e->type() == QEvent::TouchCancel) {
        if (touchId_ >= 0)
            release(1, shift, toWidget(lastSurfacePoint_));
        touchId_ = -1;
        e->accept();
        return true;
    }
    for (const QEventPoint &pt : te->points()) {
        if (touchId_ < 0 && pt.state() == QEventPoint::Pressed) {
            touchId_ = pt.id();
            press(1, shift, pt.position());
        } else if (pt.id() == touchId_) {
            if (pt.state() == QEventPoint::Released) {
                touchId_ = -1;
                release(1, shift, pt.position());
            } else if (pt.state() == QEventPoint::Updated) {
                move(1, shift, pt.position());
            }
        }
    }
    e->accept();
    return true;
}

void SurfaceWidget::endTouchOrPenGesture()
{
    if (touchId_ < 0 && !penActive_)
        return;
    touchId_ = -1;
    penActive_ = false;
    release(1, 0, toWidget(lastSurfacePoint_));
}

bool SurfaceWidget::handleTablet(QEvent *e)
{
    // The pen tip acts as the left button, the barrel button as the right one; a hovering
    // pen moves like a mouse with no button held.
    auto *te = static_cast<QTabletEvent *>(e);
    const std::int16_t shift = shiftCode(te->modifiers());
    switch (e->type()) {
    case QEvent::TabletPress:
        penActive_ = true;
        press(buttonCode(te->button()), shift, te->position());
        break;
    case QEvent::TabletMove:
        move(buttonsCode(te->buttons()), shift, te->position());
        break;
    default:
        release(buttonCode(te->button()), shift, te->position());
        if (te->buttons() == Qt::NoButton)
            penActive_ = false;
        break;
    }
    e->accept();
    return true;
}

} // namespace pr
