// The program's own start-up (app/main.cpp) with the clock read between its steps; it quits
// at the first frame instead of running the event loop on.
#include "FirstFrameProbe.h"
#include "ProcessStats.h"
#include "AppIcon.h"
#include "FontConfigWarmUp.h"
#include "MainWindow.h"

#include <QtWidgets/QApplication>

int main(int argc, char *argv[])
{
    prbench::FirstFrameProbe probe(prbench::monotonicNs());
    pr::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    pr::setApplicationIdentity();
    fontConfig.wait();
    probe.mark("app");
    pr::MainWindow window;
    probe.mark("window");
    probe.watch(&window);
    window.showAtStartSize();
    probe.mark("shown");
    return app.exec();
}
