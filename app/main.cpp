#include "app/ui/AppIcon.h"
#include "app/ui/MainWindow.h"

#include <QtWidgets/QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the window to its installed desktop entry (Wayland app id, taskbar grouping).
    QGuiApplication::setDesktopFileName(pr::applicationId());
    QApplication::setWindowIcon(pr::applicationIcon());

    pr::MainWindow window;
    window.showAtStartSize();
    return app.exec();
}
