#include "SurfaceWidget.h"

#include "form/Form1.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QTabletEvent>
#include <QtGui/QTouchEvent>

namespace pr {

namespace {

// Button and modifier codes of the surface events: 1 left, 2 right, 4 middle; shift 1,
// ctrl 2, alt 4. Any other button maps to 0, which neither selects nor resets.
int buttonCode(Qt::MouseButton b)
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

int buttonsCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

bool fromTouchOrPen(const QMouseEvent *e)
{
    return e->source() != Qt::MouseEventNotSynthesized;
}

constexpr double kBorder = PictureBox::kBorder;

} // namespace

SurfaceWidget::SurfaceWidget(const Form1 &form, const FontFamilies &fonts,
                             const LetterImages &letters, QWidget *parent)
    : QWidget(parent), form_(form), painter_(fonts, letters), shown_(DrawList::build(form))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setMouseTracking(true); // the eraser cursor follows the pointer with no button held
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
    return w / scale_ - QPointF(kBorder, kBorder);
}

QPointF SurfaceWidget::toWidget(QPointF s) const
{
    return (s + QPointF(kBorder, kBorder)) * scale_;
}

void SurfaceWidget::setPalette(look::Palette palette)
{
    if (palette == palette_)
        return;
    palette_ = palette;
    layer_.setPalette(palette);
    layer_.takeDirty();
    shown_ = DrawList::build(form_, palette_);
    update();
}

void SurfaceWidget::syncFromCore()
{
    DrawList now = DrawList::build(form_, palette_);
    QRegion area(layer_.takeDirty().toAlignedRect());
    // Bounds already reach a logical pixel past each item's geometry, which holds its
    // antialiased fringe at any scale; rounding out to whole pixels covers the rest.
    for (const Box &b : DrawList::changedAreas(shown_, now))
        area += toWidgetRect(b).toAlignedRect();
    shown_ = std::move(now);
    area &= rect();
    if (!area.isEmpty())
        update(area);
}

QRectF SurfaceWidget::toWidgetRect(const Box &b) const
{
    return {toWidget(QPointF(b.x, b.y)), toWidget(QPointF(b.right(), b.bottom()))};
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
    const QRectF outer(0, 0, shown_.outer.w * scale_, shown_.outer.h * scale_);
    const QColor windowBack(form_.BackColor);
    p.fillRect(QRectF(outer.right(), 0, width() - outer.right(), height()), windowBack);
    p.fillRect(QRectF(0, outer.bottom(), width(), height() - outer.bottom()), windowBack);

    p.scale(scale_, scale_);
    p.translate(kBorder, kBorder);
    // Only the items that meet the region (give or take a logical pixel, as it was rounded
    // out to whole pixels): a slide with the aids on repaints the copy of ℓ and a few texts
    // far from it, and painting everything between them would cost more than all of those.
    const QRegion &exposed = e->region();
    const QRegion exposedInner = exposed & toWidgetRect(shown_.clip).toAlignedRect();
    bool clipping = false;
    for (const DrawItem &item : shown_.items) {
        if (item.kind == DrawKind::None || item.kind == DrawKind::StrokeLayer)
            continue;
        if (item.clipped && !clipping) {
            // The frame comes first, unclipped and crisp; then what lies inside it, cut to the
            // inner area and antialiased.
            p.setClipRect(DrawListPainter::toQt(shown_.clip), Qt::IntersectClip);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            clipping = true;
        }
        if ((item.clipped ? exposedInner : exposed)
                .intersects(toWidgetRect(item.bounds().grown(1)).toAlignedRect()))
            painter_.paint(p, item);
    }
}

void SurfaceWidget::press(int button, int shift, QPointF w, bool eraserEnd)
{
    lastSurfacePoint_ = toSurface(w);
    emit pressed(button, shift, lastSurfacePoint_, eraserEnd);
}

void SurfaceWidget::move(int buttons, int shift, QPointF w)
{
    lastSurfacePoint_ = toSurface(w);
    emit moved(buttons, shift, lastSurfacePoint_);
}

void SurfaceWidget::release(int button, int shift, QPointF w)
{
    lastSurfacePoint_ = toSurface(w);
    emit released(button, shift, lastSurfacePoint_);
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
    const int shift = shiftCode(te->modifiers());
    if (e->type() == QEvent::TouchCancel) {
        if (touchId_ >= 0)
            emit released(1, shift, lastSurfacePoint_);
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
    emit released(1, 0, lastSurfacePoint_);
}

bool SurfaceWidget::handleTablet(QEvent *e)
{
    // The pen tip acts as the left button, the barrel button as the right one; a hovering
    // pen moves like a mouse with no button held. The eraser end presses as the left button
    // too, saying which end it is.
    auto *te = static_cast<QTabletEvent *>(e);
    const int shift = shiftCode(te->modifiers());
    switch (e->type()) {
    case QEvent::TabletPress:
        penActive_ = true;
        press(buttonCode(te->button()), shift, te->position(),
              te->pointerType() == QPointingDevice::PointerType::Eraser);
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
