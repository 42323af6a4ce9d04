#pragma once
#include <QtCore/QList>
#include <QtCore/QRect>
#include <optional>

class QSettings;

namespace pr {

class MainWindow;

// What the program remembers between runs: where the window was and how large, whether it
// was maximised or full screen, and whether the large pointer was on.
//
// The file may have been edited, cut short or written for screens that are gone, so each
// value is read on its own and used only if it makes sense here: numbers that are numbers,
// true or false for a switch, a place on one of the screens there are now. Anything else is
// left aside, and the window opens as it would with no settings at all.
class WindowSettings {
public:
    explicit WindowSettings(QSettings &settings);

    // Shows the window as it was left (or full screen when `fullScreen`), else at its start
    // size.
    void showWindow(MainWindow &window, bool fullScreen) const;
    void saveWindow(const MainWindow &window);

    bool largePointer() const;
    void setLargePointer(bool on);
    bool colourSafe() const; // 見やすい色
    void setColourSafe(bool on);

    // The saved client rectangle `saved` as the window may take it on screens whose free
    // areas are `screens`: moved wholly onto the screen it shares most with. Nothing if it
    // lies on no screen, is smaller than `minimum` or larger than that screen.
    static std::optional<QRect> placeable(QRect saved, QSize minimum, const QList<QRect> &screens);

private:
    std::optional<QRect> savedGeometry() const;
    std::optional<bool> savedSwitch(const char *key) const;

    QSettings &settings_;
};

} // namespace pr
