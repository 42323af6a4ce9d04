// The program's arguments: the two switches, the help and the version, and an error for
// anything else.
#include "AppIcon.h"
#include "CommandLine.h"
#include "board/BoardFile.h"

#include <QtCore/QMimeDatabase>
#include <QtCore/QTemporaryDir>

#include <QtTest/QtTest>

using namespace pr;

namespace {

CommandLine read(const QStringList &args)
{
    return CommandLine::read(QStringList{QStringLiteral("parallel-ratio")} + args);
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setApplicationNames(); }

    void switches_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<bool>("largePointer");
        QTest::newRow("none") << QStringList{} << false << false;
        QTest::newRow("full screen") << QStringList{"--fullscreen"} << true << false;
        QTest::newRow("large pointer") << QStringList{"--large-pointer"} << false << true;
        QTest::newRow("both") << QStringList{"--large-pointer", "--fullscreen"} << true << true;
        QTest::newRow("single dash") << QStringList{"-fullscreen"} << true << false;
    }
    void switches()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, fullScreen);
        QFETCH(bool, largePointer);
        const CommandLine c = read(args);
        QVERIFY(c.start);
        QCOMPARE(c.exitCode, 0);
        QCOMPARE(c.fullScreen, fullScreen);
        QCOMPARE(c.largePointer, largePointer);
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
