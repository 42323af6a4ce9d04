#include "WindowLayout.h"

#include "board/KeepNotice.h"
#include "form/Form1.h"
#include "form/Twips.h"

#include <algorithm>
#include <cmath>

namespace pr {

namespace {

// The full-size column, logical pixels at scale 1: it starts level with the form's top
// buttons and ends level with the surface's bottom edge; the form keeps a margin on its right.
constexpr double kLeftGap = 6, kRightMargin = 10, kTop = 8, kBottomMargin = 13;
// Gaps small enough that fifteen buttons of 44 px fit beside a form of 768 px's height.
constexpr double kGap = 4, kGroupGap = 9, kMaxButtonHeight = 72;
constexpr double kTextMargin = 6; // each side of the widest caption
constexpr int kCaptionPixels = 16; // Gothic bold, at scale 1

// Icon buttons, logical pixels at any scale: a fingertip does not grow with the form.
constexpr int kIconMargin = 6, kIconGap = 4, kIconGroupGap = 12;

// Width of a caption in ems: the captions are full-width characters, one em each; ASCII
// takes half.
double ems(const std::string &utf8)
{
    double n = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            n += 0.5;
        else if ((c & 0xC0) != 0x80)
            n += 1;
    }
    return n;
}

int groupGaps(const std::vector<const Tool *> &tools)
{
    int n = 0;
    for (std::size_t i = 1; i < tools.size(); ++i)
        n += tools[i]->group != tools[i - 1]->group;
    return n;
}

} // namespace

WindowLayout::WindowLayout(int width, int height, double dpr, const std::vector<const Tool *> &strip)
{
    if (!(dpr > 0) || !std::isfinite(dpr))
        dpr = 1;
    for (int m = 1; m <= 8; ++m) {
        if (std::fabs(m * dpr - std::round(m * dpr)) < 1e-6) {
            step_ = m;
            break;
        }
    }
    const double w = std::max(1, width), h = std::max(1, height);
    scale_ = std::max(kMinScale, std::min(w / kClientWidth, h / kClientHeight));
    const double formW = kClientWidth * scale_, formH = kClientHeight * scale_;
    originX_ = (w - formW) / 2;
    originY_ = (h - formH) / 2;

    if (strip.empty())
        return;
    const double s = scale_;
    // A form large enough for the full-size column has pens large enough for a finger.
    std::vector<const Tool *> beside;
    for (const Tool *t : strip)
        if (t->id != ToolId::Pen)
            beside.push_back(t);
    const double gaps = double(beside.size() - 1 - std::size_t(groupGaps(beside))) * kGap +
                        groupGaps(beside) * kGroupGap;
    const double besideHeight =
        std::min(kMaxButtonHeight * s,
                 (formH - (kTop + kBottomMargin + gaps) * s) / double(beside.size()));
    if (!beside.empty() && w - formW >= kBesideWidth * s && besideHeight >= kTarget) {
        toolsAt_ = ToolsAt::Beside;
        originX_ = (w - formW - kBesideWidth * s) / 2;
        besideColumn(beside);
        return;
    }
    if (w - formW >= kStripWidth) {
        const double keep = originX_;
        originX_ = (w - formW - kStripWidth) / 2;
        if (iconLine(strip, true)) {
            toolsAt_ = ToolsAt::Strip;
            return;
        }
        originX_ = keep;
    }
    if (h - formH >= kStripWidth) {
        const double keep = originY_;
        originY_ = (h - formH - kStripWidth) / 2;
        if (iconLine(strip, false)) {
            toolsAt_ = ToolsAt::Row;
            return;
        }
        originY_ = keep;
    }
}

int WindowLayout::snap(double v) const { return int(std::lround(v / step_)) * step_; }

PixelRect WindowLayout::place(int left, int top, int width, int height) const
{
    const double k = scale_ / kTwipsPerPixel;
    const int l = snap(originX_ + left * k), t = snap(originY_ + top * k);
    return {l, t, snap(originX_ + (left + width) * k) - l, snap(originY_ + (top + height) * k) - t};
}

PixelRect WindowLayout::notice(const PictureBox &gamen) const
{
    // The notice's box is in surface pixels, which start inside the surface's frame.
    const auto twips = [](double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); };
    return place(gamen.Left + twips(PictureBox::kBorder + kNoticeBox.left),
                 gamen.Top + twips(PictureBox::kBorder + kNoticeBox.top),
                 twips(kNoticeBox.width), twips(kNoticeBox.height));
}

int WindowLayout::fontPixels(int designPixels) const
{
    return std::max(1, int(std::lround(designPixels * scale_)));
}

void WindowLayout::besideColumn(const std::vector<const Tool *> &strip)
{
    const double s = scale_;
    const PixelRect form = place(0, 0, kClientWidth * kTwipsPerPixel, kClientHeight * kTwipsPerPixel);
    const double x0 = form.right();
    toolArea_ = {form.right(), form.y,
                 snap(originX_ + (kClientWidth + kBesideWidth) * s) - form.right(), form.h};
    const double left = x0 + kLeftGap * s, right = x0 + toolArea_.w - kRightMargin * s;
    const double top = form.y + kTop * s, bottom = form.bottom() - kBottomMargin * s;
    const std::size_t n = strip.size();
    const int groups = groupGaps(strip);
    const double gaps = double(n - 1 - std::size_t(groups)) * kGap * s + groups * kGroupGap * s;
    const double h = std::max(1.0, std::min(kMaxButtonHeight * s, (bottom - top - gaps) / double(n)));

    double widest = 0;
    for (const Tool *t : strip)
        widest = std::max(widest, ems(t->caption));
    captionPixels_ = fontPixels(kCaptionPixels);
    const double room = right - left - 2 * kTextMargin * s;
    if (widest * captionPixels_ > room && widest > 0)
        captionPixels_ = std::max(1, int(std::floor(room / widest)));

    double y = top;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            y += (strip[i]->group != strip[i - 1]->group ? kGroupGap : kGap) * s;
        const int t = snap(y), l = snap(left);
        buttons_.push_back({strip[i], {l, t, snap(right) - l, snap(y + h) - t}});
        y += h;
    }
}

bool WindowLayout::iconLine(const std::vector<const Tool *> &strip, bool vertical)
{
    const PixelRect form = place(0, 0, kClientWidth * kTwipsPerPixel, kClientHeight * kTwipsPerPixel);
    const int room = (vertical ? form.h : form.w) - 2 * kIconMargin;
    const auto length = [](const std::vector<const Tool *> &tools) {
        return int(tools.size()) * kTarget + (int(tools.size()) - 1) * kIconGap +
               groupGaps(tools) * (kIconGroupGap - kIconGap);
    };
    std::vector<const Tool *> shown = strip;
    // Else whole groups from the first (with a touch screen's pens, which follow it) while
    // they fit with その他, which holds the rest; else the same without the pens, which the
    // form has too.
    const auto upTo = [&](std::size_t groups, bool pens) {
        std::vector<const Tool *> line;
        menu_.clear();
        std::size_t seen = 0;
        int group = strip.front()->group;
        for (const Tool *t : strip) {
            if (t->id == ToolId::Pen) {
                if (pens)
                    line.push_back(t);
                continue;
            }
            if (t->group != group) {
                group = t->group;
                ++seen;
            }
            (seen < groups ? line : menu_).push_back(t);
        }
        line.push_back(&tool(ToolId::More));
        return line;
    };
    for (bool pens : {true, false}) {
        if (length(shown) <= room)
            break;
        std::vector<const Tool *> best, bestMenu;
        for (std::size_t groups = 1;; ++groups) {
            std::vector<const Tool *> line = upTo(groups, pens);
            if (length(line) > room)
                break;
            best = std::move(line);
            bestMenu = menu_;
            if (bestMenu.empty())
                break;
        }
        if (best.empty()) {
            shown = upTo(1, pens); // too long: without the pens, or no strip at all
        } else {
            shown = std::move(best);
            menu_ = std::move(bestMenu);
        }
    }
    if (length(shown) > room) {
        menu_.clear();
        return false;
    }
    if (vertical)
        toolArea_ = {form.right(), form.y, kStripWidth, form.h};
    else
        toolArea_ = {form.x, form.bottom(), form.w, kStripWidth};
    // Down from the form's top beside it; centred under it.
    int at = vertical ? form.y + kIconMargin : form.x + (form.w - length(shown)) / 2;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i > 0)
            at += kTarget + (shown[i]->group != shown[i - 1]->group ? kIconGroupGap : kIconGap);
        const PixelRect box = vertical
                                  ? PixelRect{toolArea_.x + kIconMargin, at, kTarget, kTarget}
                                  : PixelRect{at, toolArea_.y + kIconMargin, kTarget, kTarget};
        buttons_.push_back({shown[i], box});
    }
    return true;
}

TwipsBox optionHitArea(const Form1 &form, int index)
{
    if (!form.Option1.contains(index))
        return {};
    const OptionButton &o = form.Option1[index];
    const bool upper = index >= 4;
    const int column = index % 4;
    const int band = form.gamen.Top;
    const int top = upper ? 0 : band / 2, bottom = upper ? band / 2 : band;
    const WindowLabel &caption = form.Label4[upper ? 0 : 1];
    const int left = column == 0 ? (caption.Left + caption.Width + o.Left) / 2 : o.Left;
    const int right = column == 3 ? (o.Left + o.Width + form.Command2.Left) / 2
                                  : form.Option1[index + 1].Left;
    return {left, top, right - left, bottom - top};
}

FocusRing WindowLayout::toolFocusRing() const
{
    if (toolsAt_ == ToolsAt::Beside)
        return focusRing(scale_, int(std::floor(kGap * scale_)));
    return focusRing(1, kIconGap); // the icon buttons do not grow with the form
}

int WindowLayout::optionAt(const Form1 &form, int x, int y) const
{
    for (int i = form.Option1.first; i <= form.Option1.last; ++i)
        if (place(optionHitArea(form, i)).contains(x, y))
            return i;
    return -1;
}

PixelRect WindowLayout::initialClientSize(int availableW, int availableH, int frameW, int frameH)
{
    const double roomW = availableW - frameW, roomH = availableH - frameH;
    if (roomW >= kClientWidth && roomH >= kClientHeight)
        return {0, 0, kClientWidth, kClientHeight};
    const double s = std::max(0.25, std::min(roomW / kClientWidth, roomH / kClientHeight));
    return {0, 0, int(std::floor(kClientWidth * s)), int(std::floor(kClientHeight * s))};
}

} // namespace pr
