#include "CommandLine.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <cstdio>
#include <cstring>

namespace pr {

namespace {

// Every text of the command line, in English and in Japanese.
struct Texts {
    const char *description, *fullScreen, *largePointer, *colourSafe, *fileName, *file,
        *fileSyntax, *help, *helpAll, *unexpected, *tryHelp;
};

constexpr Texts kEnglish{
    "Parallel lines and the ratio of segments (平行線と線分の比): a figure for the\n"
    "classroom. F1 in the window lists its keys.",
    "Open the window in full screen.",
    "Show a large pointer over the figure (Ctrl+Shift+L in the window toggles it; the setting "
    "is remembered only when toggled there).",
    "Open with 見やすい色: chalk colours that pupils with any colour vision can tell apart.",
    "FILE",
    "A board file to open (saved by 保存).",
    "[FILE]",
    "Displays help on commandline options.",
    "Displays help including Qt specific options.",
    "Unexpected argument '%1'.",
    "Try '%1 --help' for the options.",
};

constexpr Texts kJapanese{
    "平行線と線分の比: 授業で映す図です。ウィンドウで F1 を押すと、キーの一覧が出ます。",
    "全画面表示で開きます。",
    "図の上のマウスポインターを大きくして開きます（ウィンドウでは Ctrl+Shift+L で切り替え、"
    "そこで切り替えたときだけ覚えます）。",
    "見やすい色（色覚の違いにかかわらず見分けやすいチョークの色）で開きます。",
    "ファイル",
    "開く板書のファイル（「保存」で保存したもの）。",
    "[ファイル]",
    "コマンドラインのオプションの説明を表示する。",
    "Qt の一般的なオプションも含めて説明を表示する。",
    "余分な引数があります: '%1'",
    "オプションは '%1 --help' で確かめてください。",
};

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

} // namespace

CommandLine CommandLine::read(const QStringList &arguments, bool japanese)
{
    const Texts &t = japanese ? kJapanese : kEnglish;
    QCommandLineParser parser;
    // -fullscreen as well as --fullscreen, as Qt's own options take one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(text(t.description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption fullScreen(QStringLiteral("fullscreen"), text(t.fullScreen));
    const QCommandLineOption largePointer(QStringLiteral("large-pointer"), text(t.largePointer));
    const QCommandLineOption colourSafe(QStringLiteral("colour-safe"), text(t.colourSafe));
    parser.addOption(fullScreen);
    parser.addOption(largePointer);
    parser.addOption(colourSafe);
    parser.addPositionalArgument(text(t.fileName), text(t.file), text(t.fileSyntax));

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
        // Qt's translation leaves its help options' own texts in English.
        if (japanese)
            c.output.replace(text(kEnglish.help), text(kJapanese.help))
                .replace(text(kEnglish.helpAll), text(kJapanese.helpAll));
        return c;
    }
    if (!parsed) {
        c.error = parser.errorText() + u'\n';
    } else if (parser.positionalArguments().size() > 1) {
        c.error = text(t.unexpected).arg(parser.positionalArguments().at(1)) + u'\n';
    }
    if (!c.error.isEmpty()) {
        c.error += text(t.tryHelp).arg(QCoreApplication::applicationName()) + u'\n';
        c.exitCode = 1;
        return c;
    }
    c.start = true;
    c.fullScreen = parser.isSet(fullScreen);
    c.largePointer = parser.isSet(largePointer);
    c.colourSafe = parser.isSet(colourSafe);
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
