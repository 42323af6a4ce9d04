#include "app/ui/MainWindow.h"

#include <QtWidgets/QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    pr::MainWindow window;
    window.showAtStartSize();
    return app.exec();
}
