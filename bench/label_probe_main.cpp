// A second yardstick for start-up: the bare window with one label of Japanese text. Any
// window that shows text pays for the font database and a font face on top of the bare
// window; this probe shows how much of the program's start-up that is.
#include "FirstFrameProbe.h"
#include "ProcessStats.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QWidget>

int main(int argc, char *argv[])
{
    prbench::FirstFrameProbe probe(prbench::monotonicNs());
    QApplication app(argc, argv);
    probe.mark("app");
    QWidget window;
    window.resize(811, 702);
    auto *label = new QLabel(QStringLiteral("相似と比"), &window);
    label->move(10, 10);
    probe.mark("window");
    probe.watch(&window);
    window.show();
    probe.mark("shown");
    return app.exec();
}
