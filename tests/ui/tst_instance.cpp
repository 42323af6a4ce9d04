// One program per board folder: a second start hands over to the running one and ends, a
// socket left by a killed program does not stop the next start, and a connection that sends
// no request of ours is let go without harm. Real processes of the program, offscreen.
#include "BoardStore.h"
#include "SingleInstance.h"
#include "support/LoadedForm.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtNetwork/QLocalSocket>
#include <QtTest/QtTest>

using namespace pr;

class TestInstance : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QProcessEnvironment env_;

    QString folder() const { return home_.filePath(QStringLiteral("data/parallel-ratio")); }

    void start(QProcess &p, const QStringList &arguments = {})
    {
        p.setProcessEnvironment(env_);
        p.setProgram(QStringLiteral(PR_PROGRAM));
        p.setArguments(arguments);
        p.start();
        QVERIFY(p.waitForStarted());
    }

    // The answer of whatever listens on the socket to `bytes`, or empty.
    QByteArray ask(const QString &name, const QByteArray &bytes)
    {
        QLocalSocket s;
        s.connectToServer(name);
        if (!s.waitForConnected(2000))
            return {};
        s.write(bytes);
        s.waitForBytesWritten(2000);
        s.waitForReadyRead(2000);
        return s.readAll();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home_.isValid());
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("run")));
        QFile::setPermissions(home_.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.filePath(QStringLiteral("run")));
        // The socket's name as the program works it out, from the same runtime folder.
        qputenv("XDG_RUNTIME_DIR", home_.filePath(QStringLiteral("run")).toLocal8Bit());
    }

    void aSecondStartHandsOverAndEnds()
    {
        const QString name = SingleInstance(folder()).socketName();
        // A socket left by a program that was killed: nobody answers on it.
        QFile stale(name);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        QProcess first;
        start(first);
        QTRY_COMPARE_WITH_TIMEOUT(ask(name, "show\n"), QByteArray("ok\n"), 10000);

        // Bytes that are no request of ours: a line too long, then nothing at all.
        QCOMPARE(ask(name, QByteArray(SingleInstance::kMaxRequest * 3, 'x')), QByteArray());
        QLocalSocket silent;
        silent.connectToServer(name);
        QVERIFY(silent.waitForConnected(2000));

        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // Killed, it leaves its socket behind; the next start takes its place all the same.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(name));
        QCOMPARE(ask(name, "show\n"), QByteArray());
        QProcess third;
        start(third);
        QTRY_COMPARE_WITH_TIMEOUT(ask(name, "show\n"), QByteArray("ok\n"), 10000);
        third.kill();
        third.waitForFinished();
    }

    void aBoardFileGivenOpensInTheWindow()
    {
        // Opened from the command line, and handed by a later start to the one running: each
        // is a change of the board, which the window keeps at once.
        const auto boardFile = [this](const char *name, const Board &board) {
            const QString path = home_.filePath(QString::fromLatin1(name));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray::fromStdString(BoardFile::write(board)));
            return path;
        };
        const auto kept = [this] {
            return BoardStore::readFile(QDir(folder()).filePath(QStringLiteral("board.json")));
        };
        const Board first = slidBoard(50), second = slidBoard(-120);
        QProcess window;
        start(window, {boardFile("first.prboard", first)});
        QTRY_VERIFY_WITH_TIMEOUT(kept().ok() && kept().board == first, 10000);
        boardFile("second.prboard", second);
        QProcess later;
        later.setWorkingDirectory(home_.path());
        start(later, {QStringLiteral("second.prboard")}); // relative to where it starts
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(kept().board == second, 10000);
        window.kill();
        window.waitForFinished();
    }

    void anotherBoardFolderIsAnotherProgram()
    {
        QVERIFY(SingleInstance(folder()).socketName() !=
                SingleInstance(home_.filePath(QStringLiteral("elsewhere"))).socketName());
    }
};

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
