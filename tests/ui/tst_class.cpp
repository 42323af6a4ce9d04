// The window in a live class against the real class server (nats-server with the class's
// JWTs and the join service): a teacher's window and a pupil's, over plain TCP.
#include "ClassLink.h"
#include "MainWindow.h"
#include "WindowTestUtil.h"
#include "board/BoardFile.h"

#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtTest/QtTest>

#include <csignal>

using namespace pr;

namespace {

std::string boardText(MainWindow &w) { return BoardFile::write(w.lesson().board()); }

} // namespace

class TestClass : public QObject {
    Q_OBJECT

    QProcess server_;
    QJsonObject class_;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString web = QStringLiteral(PR_SOURCE_DIR "/web");
        const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (node.isEmpty())
            QSKIP("node is not installed: the class server cannot run");
        if (!QFile::exists(QStringLiteral("/usr/sbin/nats-server")) &&
            QStandardPaths::findExecutable(QStringLiteral("nats-server")).isEmpty())
            QSKIP("nats-server is not installed");
        if (!QFile::exists(web + QStringLiteral("/node_modules/@nats-io")))
            QSKIP("web/node_modules is missing (npm ci in web/)");
        server_.setProgram(node);
        server_.setArguments({web + QStringLiteral("/tools/class-server.mjs"),
                              QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("--json")});
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start();
        QVERIFY(server_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server_.canReadLine() || server_.state() != QProcess::Running,
                                 30000);
        class_ = QJsonDocument::fromJson(server_.readLine()).object();
        QVERIFY2(class_.contains(QStringLiteral("teacherUrl")), "the class server said nothing");
    }

    void cleanupTestCase()
    {
        if (server_.state() == QProcess::Running) {
            ::kill(pid_t(server_.processId()), SIGINT);
            if (!server_.waitForFinished(10000))
                server_.kill();
        }
    }

    void pupilFollowsTheTeachersBoard()
    {
        MainWindow teacher, pupil;
        teacher.joinClassAt(class_.value(QStringLiteral("teacherUrl")).toString(), {}, {});
        QTRY_VERIFY_WITH_TIMEOUT(teacher.inClass() && teacher.classLink()->online(), 10000);
        QVERIFY(teacher.classTeacher());
        QVERIFY(teacher.classState()->text().contains(
            class_.value(QStringLiteral("classCode")).toString()));

        pupil.joinClassAt(class_.value(QStringLiteral("pupilUrl")).toString(),
                          class_.value(QStringLiteral("classCode")).toString(),
                          QStringLiteral("3番"));
        QTRY_VERIFY_WITH_TIMEOUT(pupil.inClass() && pupil.classLink()->online(), 10000);
        QVERIFY(pupil.following());
        // Following: nothing on the window changes the board.
        QVERIFY(!pupil.commandButton(3)->isEnabled());
        QVERIFY(!pupil.toolAction(ToolId::Undo)->isEnabled());

        // The teacher slides the copy, then writes with a pen: the pupil's board becomes the
        // teacher's, whether it came as the kept snapshot or as the actions after it.
        const auto stroke = [](MainWindow &w, QPointF from, QPointF to) {
            w.act(MainWindow::pointerAction(live::Action::Kind::Press, 1, 0, from));
            w.act(MainWindow::pointerAction(live::Action::Kind::Move, 1, 0,
                                                   (from + to) / 2));
            w.act(MainWindow::pointerAction(live::Action::Kind::Move, 1, 0, to));
            w.act(MainWindow::pointerAction(live::Action::Kind::Release, 1, 0, to));
        };
        stroke(teacher, {300, 300}, {380, 300});
        QTest::mouseClick(teacher.commandButton(3), Qt::LeftButton); // メモ
        stroke(teacher, {100, 100}, {160, 140});
        QTRY_COMPARE_WITH_TIMEOUT(boardText(pupil), boardText(teacher), 10000);
        QVERIFY(!teacher.lesson().strokes().empty());

        // 自分で: the pupil writes on its own board, and the teacher's next change does not
        // reach it; 全員に先生の板書 brings it back to the teacher's board.
        pupil.setFollowing(false);
        QVERIFY(pupil.commandButton(1)->isEnabled());
        const std::string followed = boardText(pupil);
        QTest::mouseClick(pupil.commandButton(3), Qt::LeftButton); // メモ
        stroke(pupil, {200, 200}, {220, 260});
        QVERIFY(boardText(pupil) != followed);
        stroke(teacher, {250, 120}, {260, 180});
        QTest::qWait(300);
        QVERIFY(boardText(pupil) != boardText(teacher));
        teacher.allFollow();
        QTRY_VERIFY_WITH_TIMEOUT(pupil.following(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(boardText(pupil), boardText(teacher), 10000);

        // 配る: the teacher's board, changed while the pupil went its own way, becomes the
        // pupil's own, to work on.
        pupil.setFollowing(false);
        stroke(teacher, {120, 220}, {180, 240});
        QTest::qWait(300);
        QVERIFY(boardText(pupil) != boardText(teacher));
        teacher.handOut();
        QTRY_VERIFY_WITH_TIMEOUT(!pupil.following(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(boardText(pupil), boardText(teacher), 10000);
        QVERIFY(pupil.toolAction(ToolId::Undo)->isEnabled());

        // 授業を終える: the pupil's window leaves the class and keeps the board.
        teacher.endClass();
        QTRY_VERIFY_WITH_TIMEOUT(!pupil.inClass(), 10000);
        QCOMPARE(boardText(pupil), boardText(teacher));
        QVERIFY(pupil.commandButton(1)->isEnabled());
    }
};

QTEST_MAIN(TestClass)
#include "tst_class.moc"
