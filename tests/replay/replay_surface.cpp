// Plays an event script on the desktop program's real window and writes what its drawing
// surface then shows, so that another front end given the same script can be compared with it
// pixel for pixel.
//
//   replay_surface SCRIPT OUT.png [WIDTHxHEIGHT]
//
// The window is shown at WIDTH x HEIGHT logical pixels (default 811 x 702, the form at scale 1)
// on Qt's offscreen platform unless QT_QPA_PLATFORM names another; QT_SCALE_FACTOR sets the
// device pixel ratio. The PNG holds the surface widget at device resolution, its border
// included. Script events reach the window as a user's would: pointer events as mouse events
// on the surface at the widget point of the script's surface position, and buttons, pen
// options and point labels as clicks (a disabled control ignores its click). Prints the
// surface's size in device pixels and the form's scale.
#include "MainWindow.h"
#include "SurfaceWidget.h"
#include "support/EventScript.h"
#include "support/ScriptPlayer.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <cstdio>
#include <string_view>
#include <string>

namespace {

using Event = pr::EventScript::Event;
using Kind = pr::EventScript::Kind;

// Plays the script on the window; `held` tracks the buttons pressed and not yet released.
void play(pr::MainWindow &w, const pr::EventScript &script)
{
    int held = 0;
    pr::SurfaceWidget &surface = *w.surface();
    for (const Event &e : script.events) {
        const QPointF at(e.x, e.y);
        switch (e.kind) {
        case Kind::Press:
            held |= e.button & 7;
            sendSurfaceMouse(surface, QEvent::MouseButtonPress, e.button, held, e.shift, at);
            break;
        case Kind::Move:
            sendSurfaceMouse(surface, QEvent::MouseMove, 0, e.button, e.shift, at);
            break;
        case Kind::Release:
            held &= ~e.button;
            sendSurfaceMouse(surface, QEvent::MouseButtonRelease, e.button, held, e.shift, at);
            break;
        case Kind::Command:
            if (e.index >= 1 && e.index <= 4)
                w.commandButton(e.index)->click();
            break;
        case Kind::Option:
            if (e.index >= 0 && e.index <= 7)
                w.optionButton(e.index)->click();
            break;
        case Kind::Label:
            if (w.form().Label2.contains(e.index)) {
                const pr::Label &l = w.form().Label2[e.index];
                const QPointF centre(l.Left + l.Width / 2, l.Top + l.Height / 2);
                sendSurfaceMouse(surface, QEvent::MouseButtonPress, 1, held | 1, 0, centre);
                sendSurfaceMouse(surface, QEvent::MouseButtonRelease, 1, held & ~1, 0, centre);
            }
            break;
        }
        QCoreApplication::processEvents();
    }
}

bool parseSize(const char *text, QSize &size)
{
    int width = 0, height = 0;
    char x = 0;
    if (std::sscanf(text, "%d%c%d", &width, &x, &height) != 3 || x != 'x' || width <= 0 ||
        height <= 0)
        return false;
    size = QSize(width, height);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // --aids: 比を表示 and 相似な三角形 on before the script plays.
    const bool aids = argc > 3 && std::string_view(argv[argc - 1]) == "--aids";
    if (aids)
        --argc;
    QSize size(811, 702);
    if (argc < 3 || argc > 4 || (argc == 4 && !parseSize(argv[3], size))) {
        std::fprintf(stderr, "usage: replay_surface SCRIPT OUT.png [WIDTHxHEIGHT] [--aids]\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "replay_surface: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string error;
    const auto script = pr::EventScript::fromText(file.readAll().toStdString(), &error);
    if (!script) {
        std::fprintf(stderr, "replay_surface: %s: %s\n", argv[1], error.c_str());
        return 1;
    }

    pr::MainWindow w;
    w.resize(size);
    w.show();
    QCoreApplication::processEvents();
    if (w.size() != size) {
        std::fprintf(stderr, "replay_surface: the window is %dx%d, not %dx%d\n", w.width(),
                     w.height(), size.width(), size.height());
        return 1;
    }

    if (aids)
        w.handle([](pr::Lesson &l) { l.setAids({true, true}); });
    play(w, *script);
    const QImage img = w.surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!img.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "replay_surface: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("surface %dx%d device pixels, scale %g\n", img.width(), img.height(),
                w.formScale());
    return 0;
}
