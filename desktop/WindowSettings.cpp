#include "WindowSettings.h"

#include "MainWindow.h"

#include <QtCore/QSettings>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <algorithm>

namespace pr {

namespace {

constexpr const char *kX = "window/x", *kY = "window/y", *kWidth = "window/width",
                     *kHeight = "window/height", *kMaximized = "window/maximized",
                     *kFullScreen = "window/fullScreen", *kLargePointer = "pointer/large",
                     *kColourSafe = "look/colourSafe";

// Beyond any desktop; keeps the arithmetic on a rectangle's edges far from overflowing.
constexpr int kFarthest = 1 << 20;

std::optional<int> readInt(const QSettings &s, const char *key)
{
    bool ok = false;
    const int v = s.value(QLatin1String(key)).toInt(&ok);
    if (!ok || v < -kFarthest || v > kFarthest)
        return std::nullopt;
    return v;
}

qint64 area(QRect r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

} // namespace

WindowSettings::WindowSettings(QSettings &settings) : settings_(settings) {}

std::optional<QRect> WindowSettings::placeable(QRect saved, QSize minimum,
                                               const QList<QRect> &screens)
{
    if (saved.width() < minimum.width() || saved.height() < minimum.height())
        return std::nullopt;
    const QRect *best = nullptr;
    for (const QRect &s : screens)
        if (area(saved & s) > 0 && (!best || area(saved & s) > area(saved & *best)))
            best = &s;
    if (!best || saved.width() > best->width() || saved.height() > best->height())
        return std::nullopt;
    QRect r = saved;
    r.moveLeft(std::clamp(r.left(), best->left(), best->right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), best->top(), best->bottom() - r.height() + 1));
    return r;
}

std::optional<QRect> WindowSettings::savedGeometry() const
{
    const auto x = readInt(settings_, kX), y = readInt(settings_, kY);
    const auto w = readInt(settings_, kWidth), h = readInt(settings_, kHeight);
    if (!x || !y || !w || !h || *w <= 0 || *h <= 0)
        return std::nullopt;
    return QRect(*x, *y, *w, *h);
}

std::optional<bool> WindowSettings::savedSwitch(const char *key) const
{
    const QVariant v = settings_.value(QLatin1String(key));
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString s = v.toString();
    if (s == QLatin1String("true"))
        return true;
    if (s == QLatin1String("false"))
        return false;
    return std::nullopt;
}

void WindowSettings::showWindow(MainWindow &window, bool fullScreen) const
{
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    const std::optional<QRect> saved = savedGeometry();
    const std::optional<QRect> place =
        saved ? placeable(*saved, window.minimumSize(), screens) : std::nullopt;
    if (place)
        window.setGeometry(*place);
    else
        window.fitToScreen();

    if (fullScreen || savedSwitch(kFullScreen).value_or(false))
        window.showFullScreen();
    else if (place && savedSwitch(kMaximized).value_or(false))
        window.showMaximized();
    else
        window.show();
}

void WindowSettings::saveWindow(const MainWindow &window)
{
    const QRect normal = window.normalGeometry();
    if (normal.isValid()) {
        settings_.setValue(QLatin1String(kX), normal.x());
        settings_.setValue(QLatin1String(kY), normal.y());
        settings_.setValue(QLatin1String(kWidth), normal.width());
        settings_.setValue(QLatin1String(kHeight), normal.height());
    }
    settings_.setValue(QLatin1String(kMaximized), window.isMaximized());
    settings_.setValue(QLatin1String(kFullScreen), window.isFullScreen());
    settings_.sync();
}

bool WindowSettings::largePointer() const
{
    return savedSwitch(kLargePointer).value_or(false);
}

void WindowSettings::setLargePointer(bool on)
{
    settings_.setValue(QLatin1String(kLargePointer), on);
    settings_.sync();
}

bool WindowSettings::colourSafe() const
{
    return savedSwitch(kColourSafe).value_or(false);
}

void WindowSettings::setColourSafe(bool on)
{
    settings_.setValue(QLatin1String(kColourSafe), on);
    settings_.sync();
}

} // namespace pr
