#include "CommandLine.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <cstdio>
#include <cstring>

namespace pr {

CommandLine CommandLine::read(const QStringList &arguments)
{
    QCommandLineParser parser;
    // -fullscreen as well as --fullscreen, as Qt's own options take one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Parallel lines and the ratio of segments (平行線と線分の比): a figure for the\n"
        "classroom. F1 in the window lists its keys."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"),
                                        QStringLiteral("Open the window in full screen."));
    const QCommandLineOption largePointer(
        QStringLiteral("large-pointer"),
        QStringLiteral("Show a large pointer over the figure (Ctrl+Shift+L in the window toggles "
                       "it; the setting is remembered only when toggled there)."));
    parser.addOption(fullScreen);
    parser.addOption(largePointer);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A board file to open (saved by 保存)."),
                                 QStringLiteral("[FILE]"));

    CommandLine c;
    const bool parsed = parser.parse(arguments);
    // The help and the version answer even beside an unknown option.
    if (parser.isSet(version)) {
        c.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                QCoreApplication::applicationVersion());
        return c;
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(arguments); // only Qt's own printer lists Qt's options; exits
    if (parser.isSet(help)) {
        c.output = parser.helpText();
        return c;
    }
    if (!parsed) {
        c.error = parser.errorText() + u'\n';
    } else if (parser.positionalArguments().size() > 1) {
        c.error = QStringLiteral("Unexpected argument '%1'.\n")
                      .arg(parser.positionalArguments().at(1));
    }
    if (!c.error.isEmpty()) {
        c.error += QStringLiteral("Try '%1 --help' for the options.\n")
                       .arg(QCoreApplication::applicationName());
        c.exitCode = 1;
        return c;
    }
    c.start = true;
    c.fullScreen = parser.isSet(fullScreen);
    c.largePointer = parser.isSet(largePointer);
    if (!parser.positionalArguments().isEmpty())
        c.boardFile = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    return c;
}

bool CommandLine::asksForTextOnly(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "--help-all", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    }
    return false;
}

int CommandLine::answer() const
{
    if (!output.isEmpty())
        std::fputs(output.toLocal8Bit().constData(), stdout);
    if (!error.isEmpty())
        std::fputs(error.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
    return exitCode;
}

} // namespace pr
