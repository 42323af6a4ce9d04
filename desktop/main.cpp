#include "AppIcon.h"
#include "BoardStore.h"
#include "CommandLine.h"
#include "FontConfigWarmUp.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "SingleInstance.h"
#include "WindowSettings.h"

#include <QtCore/QSettings>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

int main(int argc, char *argv[])
{
    pr::setApplicationNames();
    // The command line speaks the terminal's language; the window, a Japanese lesson, always
    // Japanese, and so do Qt's dialogs in it.
    const bool japanese = pr::localeIsJapanese();
    if (pr::CommandLine::asksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv); // no display needed to print the help or version
        if (japanese)
            pr::installQtJapanese(app);
        const pr::CommandLine text =
            pr::CommandLine::read(QCoreApplication::arguments(), japanese);
        if (!text.start)
            return text.answer();
    }

    pr::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    pr::setApplicationIdentity();
    if (japanese)
        pr::installQtJapanese(app);
    const pr::CommandLine options =
        pr::CommandLine::read(QCoreApplication::arguments(), japanese);
    if (!options.start)
        return options.answer();
    if (!japanese)
        pr::installQtJapanese(app);
    // One window per board folder: a second start brings the first one to the front, and
    // opens there the board file it was given.
    pr::SingleInstance instance(pr::BoardStore::defaultFolder());
    const QByteArray request = options.boardFile.isEmpty()
                                   ? QByteArray("show")
                                   : "open " + options.boardFile.toUtf8();
    if (instance.handOverOrListen(request))
        return 0;
    fontConfig.wait();

    QSettings settings;
    pr::WindowSettings remembered(settings);
    pr::MainWindow window;
    // The flag is for this run; only the key changes what is remembered.
    window.setLargePointer(options.largePointer || remembered.largePointer());
    QObject::connect(&window, &pr::MainWindow::largePointerChanged,
                     [&remembered](bool on) { remembered.setLargePointer(on); });
    window.setColourSafe(options.colourSafe || remembered.colourSafe());
    QObject::connect(&window, &pr::MainWindow::colourSafeChanged,
                     [&remembered](bool on) { remembered.setColourSafe(on); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit,
                     [&] { remembered.saveWindow(window); });
    QObject::connect(&instance, &pr::SingleInstance::requested, &window,
                     [&window](const QByteArray &request) {
                         if (request == "show") {
                             window.bringToFront();
                         } else if (request.startsWith("open ")) {
                             window.bringToFront();
                             window.openGivenBoard(QString::fromUtf8(request.mid(5)));
                         }
                     });
    remembered.showWindow(window, options.fullScreen);
    // A board file from the command line (a double-click in the file manager) opens once
    // the window is up; one that cannot be opened gets 開く's message and the initial screen.
    if (!options.boardFile.isEmpty())
        QTimer::singleShot(0, &window, [&] { window.openGivenBoard(options.boardFile); });
    return app.exec();
}
