#pragma once
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace pr {

// The program's arguments, after Qt has taken its own (-platform, -style, ...) out.
struct CommandLine {
    bool start = false;        // open the window; else print and end with exitCode
    bool fullScreen = false;   // --fullscreen
    bool largePointer = false; // --large-pointer
    bool colourSafe = false;   // --colour-safe: chalk colours told apart with any colour vision
    QString boardFile;         // a board file to open, as an absolute path (or empty)
    QString output;            // for standard output (help, version)
    QString error;             // for standard error
    int exitCode = 0;

    // `arguments`: the program's path first, as QCoreApplication::arguments() gives them.
    // Needs an application object (for the program's path in the help). --help-all is
    // printed by Qt, which then ends the program. `japanese`: the texts (help, errors) in
    // Japanese, else in English; Qt's parser's own words follow the translator installed
    // (installQtJapanese), so main installs it first only for a Japanese locale.
    static CommandLine read(const QStringList &arguments, bool japanese);

    // Whether the arguments ask only for the help or the version, which need no display:
    // main answers these before the window system is even connected.
    static bool asksForTextOnly(int argc, const char *const *argv);

    // Prints output and error, returns the exit code.
    int answer() const;
};

} // namespace pr
