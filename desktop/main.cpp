#include "AppIcon.h"
#include "FontConfigWarmUp.h"
#include "MainWindow.h"

#include <QtWidgets/QApplication>

int main(int argc, char *argv[])
{
    pr::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    pr::setApplicationIdentity();
    fontConfig.wait();

    pr::MainWindow window;
    window.showAtStartSize();
    return app.exec();
}
