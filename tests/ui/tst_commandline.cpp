// The program's arguments: the two switches, the help and the version, and an error for
// anything else.
#include "AppIcon.h"
#include "CommandLine.h"
#include "QtTranslations.h"
#include "board/BoardFile.h"

#include <QtCore/QMimeDatabase>
#include <QtCore/QTemporaryDir>

#include <QtTest/QtTest>

using namespace pr;

namespace {

CommandLine read(const QStringList &args, bool japanese = false)
{
    return CommandLine::read(QStringList{QStringLiteral("parallel-ratio")} + args, japanese);
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setApplicationNames(); }

    void theLocaleChoosesTheLanguage_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcMessages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("LANG ja_JP.UTF-8") << QByteArray() << QByteArray() << QByteArray("ja_JP.UTF-8") << true;
        QTest::newRow("LANG ja") << QByteArray() << QByteArray() << QByteArray("ja") << true;
        QTest::newRow("LANG ja_JP.eucJP") << QByteArray() << QByteArray() << QByteArray("ja_JP.eucJP") << true;
        QTest::newRow("LANG C.UTF-8") << QByteArray() << QByteArray() << QByteArray("C.UTF-8") << false;
        QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << false;
        QTest::newRow("LC_MESSAGES over LANG") << QByteArray() << QByteArray("ja_JP.UTF-8") << QByteArray("en_GB.UTF-8") << true;
        QTest::newRow("LC_ALL over both") << QByteArray("C") << QByteArray("ja_JP.UTF-8") << QByteArray("ja_JP.UTF-8") << false;
        QTest::newRow("LC_ALL ja") << QByteArray("ja_JP.UTF-8") << QByteArray() << QByteArray("en_US.UTF-8") << true;
        QTest::newRow("a language starting with ja") << QByteArray() << QByteArray() << QByteArray("jam_JM") << false;
    }
    void theLocaleChoosesTheLanguage()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcMessages);
        QFETCH(QByteArray, lang);
        QFETCH(bool, japanese);
        QCOMPARE(localeIsJapanese(lcAll, lcMessages, lang), japanese);
    }

    // The same requests in both languages: the program's own texts and Qt's parser's, with
    // Qt's Japanese installed as main installs it for a Japanese locale.
    void textsInTheLocalesLanguage_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("notSaid");
        const QStringList english{"Usage:", "Open the window in full screen.",
                                  "Displays help on commandline options.", "--colour-safe"};
        QTest::newRow("en help") << false << QStringList{"--help"} << english
                                 << QStringList{"全画面表示で開きます", "見やすい色（"};
        QTest::newRow("ja help")
            << true << QStringList{"--help"}
            << QStringList{"使い方:", "オプション:", "全画面表示で開きます。", "--fullscreen",
                           "--large-pointer", "--colour-safe", "--version",
                           "見やすい色（色覚の違いにかかわらず見分けやすいチョークの色）で開きます。",
                           "コマンドラインのオプションの説明を表示する。", "[ファイル]",
                           "Qt の一般的なオプションも含めて説明を表示する。",
                           "開く板書のファイル（「保存」で保存したもの）。"}
            << QStringList{"Usage:", "Open the window", "Displays help", "A board file", "FILE"};
        QTest::newRow("en unknown") << false << QStringList{"--bogus"}
                                    << QStringList{"Unknown option 'bogus'.", "Try 'parallel-ratio --help'"}
                                    << QStringList{"未知"};
        QTest::newRow("ja unknown") << true << QStringList{"--bogus"}
                                    << QStringList{"'bogus' は未知のオプションです。",
                                                   "'parallel-ratio --help' で確かめてください"}
                                    << QStringList{"Unknown", "Try"};
        QTest::newRow("en value") << false << QStringList{"--fullscreen=yes"}
                                  << QStringList{"Unexpected value after '--fullscreen'."}
                                  << QStringList{"予期せぬ"};
        QTest::newRow("ja value") << true << QStringList{"--fullscreen=yes"}
                                  << QStringList{"'--fullscreen' の後が予期せぬ値です。"}
                                  << QStringList{"Unexpected"};
        QTest::newRow("en two files") << false << QStringList{"a.prboard", "b.prboard"}
                                      << QStringList{"Unexpected argument 'b.prboard'."}
                                      << QStringList{"余分"};
        QTest::newRow("ja two files") << true << QStringList{"a.prboard", "b.prboard"}
                                      << QStringList{"余分な引数があります: 'b.prboard'"}
                                      << QStringList{"Unexpected"};
    }
    void textsInTheLocalesLanguage()
    {
        QFETCH(bool, japanese);
        QFETCH(QStringList, args);
        QFETCH(QStringList, said);
        QFETCH(QStringList, notSaid);
        QTranslator *qtJapanese = nullptr;
        if (japanese) {
            qtJapanese = installQtJapanese(*QCoreApplication::instance());
            QVERIFY2(qtJapanese, "qtbase_ja.qm (Debian: qt6-translations-l10n) is not installed");
        }
        const CommandLine c = read(args, japanese);
        if (qtJapanese) {
            QCoreApplication::removeTranslator(qtJapanese);
            delete qtJapanese;
        }
        const QString text = c.output + c.error;
        for (const QString &s : said)
            QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" not in:\n") + text));
        for (const QString &s : notSaid)
            QVERIFY2(!text.contains(s), qPrintable(s + QStringLiteral(" in:\n") + text));
    }

    void switches_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<bool>("largePointer");
        QTest::addColumn<bool>("colourSafe");
        QTest::newRow("none") << QStringList{} << false << false << false;
        QTest::newRow("full screen") << QStringList{"--fullscreen"} << true << false << false;
        QTest::newRow("large pointer") << QStringList{"--large-pointer"} << false << true << false;
        QTest::newRow("both") << QStringList{"--large-pointer", "--fullscreen"} << true << true << false;
        QTest::newRow("single dash") << QStringList{"-fullscreen"} << true << false << false;
        QTest::newRow("colour safe") << QStringList{"--colour-safe"} << false << false << true;
        QTest::newRow("all three") << QStringList{"--colour-safe", "--fullscreen", "--large-pointer"}
                                   << true << true << true;
    }
    void switches()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, fullScreen);
        QFETCH(bool, largePointer);
        QFETCH(bool, colourSafe);
        const CommandLine c = read(args);
        QVERIFY(c.start);
        QCOMPARE(c.exitCode, 0);
        QCOMPARE(c.fullScreen, fullScreen);
        QCOMPARE(c.largePointer, largePointer);
        QCOMPARE(c.colourSafe, colourSafe);
        QVERIFY(c.output.isEmpty());
        QVERIFY(c.error.isEmpty());
        QVERIFY(c.boardFile.isEmpty());
    }

    void aBoardFileToOpen()
    {
        const CommandLine c = read({"--fullscreen", "lesson 3.prboard"});
        QVERIFY(c.start);
        QVERIFY(c.fullScreen);
        QCOMPARE(c.boardFile, QDir::current().absoluteFilePath(QStringLiteral("lesson 3.prboard")));
    }

    void versionIsTheProjects_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("long") << QStringList{"--version"};
        QTest::newRow("short") << QStringList{"-v"};
        QTest::newRow("beside an unknown option") << QStringList{"--bogus", "--version"};
    }
    void versionIsTheProjects()
    {
        QFETCH(QStringList, args);
        const CommandLine c = read(args);
        QVERIFY(!c.start);
        QCOMPARE(c.exitCode, 0);
        QCOMPARE(c.output, QStringLiteral("parallel-ratio " PR_EXPECTED_VERSION "\n"));
        QCOMPARE(applicationVersion(), QStringLiteral(PR_EXPECTED_VERSION));
    }

    void helpListsEveryOption()
    {
        for (const char *flag : {"--help", "-h"}) {
            const CommandLine c = read({QString::fromLatin1(flag)});
            QVERIFY(!c.start);
            QCOMPARE(c.exitCode, 0);
            for (const char *option : {"Usage:", "--fullscreen", "--large-pointer", "--version",
                                       "--help"})
                QVERIFY2(c.output.contains(QLatin1String(option)), option);
        }
    }

    void anythingElseIsAnError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown long") << QStringList{"--bogus"} << "bogus";
        QTest::newRow("unknown short") << QStringList{"-x"} << "x";
        QTest::newRow("unknown beside a good one") << QStringList{"--fullscreen", "--nope"}
                                                   << "nope";
        QTest::newRow("a value for a switch") << QStringList{"--fullscreen=yes"} << "fullscreen";
        QTest::newRow("two files") << QStringList{"a.prboard", "b.prboard"} << "b.prboard";
    }
    void anythingElseIsAnError()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const CommandLine c = read(args);
        QVERIFY(!c.start);
        QCOMPARE(c.exitCode, 1);
        QVERIFY(c.output.isEmpty());
        QVERIFY2(c.error.contains(named), qPrintable(c.error));
        QVERIFY(c.error.contains(QStringLiteral("--help")));
    }

    // The file manager knows a board file by its extension, and by its "format" field;
    // other JSON stays JSON.
    void theFileManagerKnowsBoardFiles()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("mime/packages")));
        QVERIFY(QFile::copy(QStringLiteral(PR_MIME_XML),
                            dir.filePath(QStringLiteral("mime/packages/board.xml"))));
        qputenv("XDG_DATA_DIRS", (dir.path() + QStringLiteral(":/usr/share")).toLocal8Bit());
        const auto file = [&dir](const char *name, const std::string &text) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            f.open(QIODevice::WriteOnly);
            f.write(text.data(), qint64(text.size()));
            return f.fileName();
        };
        const std::string board = BoardFile::write(Board{});
        const QString type = QString::fromLatin1(BoardFile::kMediaType);
        QMimeDatabase db;
        QCOMPARE(db.mimeTypeForFile(file("lesson.prboard", board)).name(), type);
        // By its content where the name tells nothing (GLib's file managers also where the
        // name says only JSON, the board's type being a kind of JSON; Qt's go by the name).
        QCOMPARE(db.mimeTypeForFile(file("lesson", board)).name(), type);
        QCOMPARE(db.mimeTypeForData(QByteArray::fromStdString(board)).name(), type);
        QCOMPARE(db.mimeTypeForFile(file("other.json", "{\"format\": \"x\"}")).name(),
                 QStringLiteral("application/json"));
        QVERIFY(db.mimeTypeForName(type).inherits(QStringLiteral("application/json")));
    }

    // Only these are answered before the window system is connected.
    void textOnlyRequests_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("textOnly");
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("version") << QStringList{"--version"} << true;
        QTest::newRow("help after a switch") << QStringList{"--fullscreen", "-h"} << true;
        QTest::newRow("help-all") << QStringList{"--help-all"} << true;
        QTest::newRow("switches") << QStringList{"--fullscreen", "--large-pointer"} << false;
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << false;
        QTest::newRow("prefix only") << QStringList{"--vers"} << false;
    }
    void textOnlyRequests()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, textOnly);
        QList<QByteArray> bytes = {"parallel-ratio"};
        for (const QString &a : args)
            bytes.append(a.toLocal8Bit());
        QList<const char *> argv;
        for (const QByteArray &b : bytes)
            argv.append(b.constData());
        QCOMPARE(CommandLine::asksForTextOnly(int(argv.size()), argv.data()), textOnly);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
