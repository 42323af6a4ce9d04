// The yardstick for start-up: an empty Qt Widgets window of the program's client size,
// 811 x 702 logical px, built and shown the same way and timed the same way.
#include "FirstFrameProbe.h"
#include "ProcessStats.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

int main(int argc, char *argv[])
{
    prbench::FirstFrameProbe probe(prbench::monotonicNs());
    QApplication app(argc, argv);
    probe.mark("app");
    QWidget window;
    window.resize(811, 702);
    probe.mark("window");
    probe.watch(&window);
    window.show();
    probe.mark("shown");
    return app.exec();
}
