#include "ToolStrip.h"

#include "FontFamilies.h"

#include <QtGui/QAction>
#include <QtGui/QFontMetricsF>
#include <QtWidgets/QToolButton>
#include <algorithm>
#include <cmath>

namespace pr {

namespace {

// Logical pixels at scale 1. The column starts level with the form's top buttons and ends
// level with the surface's bottom edge; the form already keeps a margin on its right.
constexpr double kLeftGap = 6, kRightMargin = 10, kTop = 8, kBottomMargin = 13;
constexpr double kGap = 8, kGroupGap = 24, kMaxButtonHeight = 72;
constexpr double kTextMargin = 6; // each side of the widest caption
const look::TextStyle kCaptionStyle{look::Face::Gothic, 16, true};

} // namespace

ToolStrip::ToolStrip(const QList<QAction *> &actions, const FontFamilies &fonts, QWidget *parent)
    : QWidget(parent), fonts_(fonts)
{
    bool gap = false;
    for (QAction *a : actions) {
        if (!a) {
            gap = true;
            continue;
        }
        auto *b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(a->iconText());
        b->setAccessibleDescription(a->whatsThis());
        buttons_.append(b);
        groupStarts_.append(gap && buttons_.size() > 1);
        gap = false;
    }
}

QToolButton *ToolStrip::button(const QAction *action) const
{
    for (QToolButton *b : buttons_)
        if (b->defaultAction() == action)
            return b;
    return nullptr;
}

void ToolStrip::setScale(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    relayout();
}

void ToolStrip::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    relayout();
}

void ToolStrip::relayout()
{
    if (buttons_.isEmpty())
        return;
    const double s = scale_;
    const qsizetype n = buttons_.size();
    const auto groups = std::count(groupStarts_.begin(), groupStarts_.end(), true);
    const double left = kLeftGap * s, right = width() - kRightMargin * s;
    const double top = kTop * s, bottom = height() - kBottomMargin * s;
    const double gaps = double(n - 1 - groups) * kGap * s + double(groups) * kGroupGap * s;
    const double h = std::max(1.0, std::min(kMaxButtonHeight * s, (bottom - top - gaps) / double(n)));

    // The captions' size goes with the form's, as far as the longest still fits its button.
    QFont font = fonts_.font(kCaptionStyle, s);
    double widest = 0;
    for (const QToolButton *b : buttons_)
        widest = std::max(widest, QFontMetricsF(font).horizontalAdvance(b->text()));
    const double room = right - left - 2 * kTextMargin * s;
    if (widest > room && widest > 0)
        font.setPixelSize(std::max(1, int(std::floor(font.pixelSize() * room / widest))));

    double y = top;
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0)
            y += (groupStarts_[i] ? kGroupGap : kGap) * s;
        const int t = int(std::lround(y)), l = int(std::lround(left));
        buttons_[i]->setGeometry(l, t, int(std::lround(right)) - l, int(std::lround(y + h)) - t);
        buttons_[i]->setFont(font);
        y += h;
    }
}

} // namespace pr
