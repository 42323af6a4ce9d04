// The board on the real window: a reset undone brings back every pixel of the writing, the
// layer painted again after a resize, board files saved and opened, a damaged file refused
// with a message and the board left as it was, and the board kept on disk between sessions.
#include "BoardNotice.h"
#include "WindowTestUtil.h"
#include "board/BoardFile.h"
#include "form/QBColor.h"
#include "support/LoadedForm.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QScopeGuard>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtTest/QSignalSpy>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <csignal>
#include <sys/resource.h>

using namespace pr;

namespace {

constexpr QRgb Green = 0x008000, Red = 0xff0000;

// Some writing in two pens and an erasure, then memo mode off and the copy slid.
void write(MainWindow &w)
{
    w.commandButton(3)->click(); // メモ
    wt::press(w, {100, 100});
    for (int i = 1; i <= 20; ++i)
        wt::move(w, {100.0 + 13.3 * i, 100 + 40 * std::sin(i / 3.0)});
    wt::release(w, {366, 100});
    w.optionButton(6)->click(); // thick blue
    wt::press(w, {120, 560});
    wt::move(w, {600, 580});
    wt::move(w, {620, 400});
    wt::release(w, {620, 400});
    w.optionButton(3)->click(); // thin eraser
    wt::press(w, {300, 570});
    wt::move(w, {320, 570});
    wt::release(w, {320, 570});
    w.commandButton(3)->click();
    wt::press(w, {300, 300});
    wt::move(w, {340, 300});
    wt::release(w, {340, 300});
}

// The same writing straight through the window's entry to the lesson, at surface points that
// do not depend on the window's size.
void writeAtAnySize(MainWindow &w)
{
    const auto stroke = [&w](std::initializer_list<QPointF> points) {
        const QPointF first = *points.begin();
        w.handle([&](Lesson &l) { l.press(1, 0, first.x(), first.y()); });
        for (QPointF p : points)
            w.handle([&](Lesson &l) { l.move(1, 0, p.x(), p.y()); });
        w.handle([&](Lesson &l) { l.release(1, 0, 0, 0); });
    };
    w.commandButton(3)->click();
    stroke({{100, 100}, {133.3, 140.7}, {166.6, 90.1}, {250, 120}});
    w.optionButton(7)->click(); // thick eraser
    stroke({{120, 110}, {150, 112.5}});
    w.optionButton(5)->click(); // thick yellow
    stroke({{400, 500}, {700.25, 630.5}, {800, 300}});
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// A board file holding `board`.
void writeBoard(const QString &path, const Board &board)
{
    writeFile(path, QByteArray::fromStdString(BoardFile::write(board)));
}

} // namespace

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The kept board goes to a folder of the tests' own, emptied before each case.
        QStandardPaths::setTestModeEnabled(true);
    }
    void init() { QDir(BoardStore::defaultFolder()).removeRecursively(); }

    void rightPressThenUndoBringsBackEveryPixel()
    {
        MainWindow w;
        wt::showActive(w);
        write(w);
        const QImage before = wt::grabSurface(w);
        QCOMPARE(wt::surfacePixel(w, before, {100, 100}), Red);

        wt::click(w, {400, 20}, Qt::RightButton);
        const QImage reset = wt::grabSurface(w);
        QCOMPARE(wt::surfacePixel(w, reset, {100, 100}), Green);
        QCOMPARE(w.form().Line2[0].X1, 400.0f);

        QVERIFY(w.toolAction(ToolId::Undo)->isEnabled());
        QTest::keySequence(w.windowHandle(), QKeySequence::Undo);
        QCOMPARE(wt::grabSurface(w), before);
        QCOMPARE(w.form().Line2[0].X1, 440.0f);

        QTest::keySequence(w.windowHandle(), QKeySequence::Redo);
        QCOMPARE(wt::grabSurface(w), reset);
    }

    void undoOfAStrokeAndClearWriting()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage blank = wt::grabSurface(w);
        w.commandButton(3)->click();
        wt::press(w, {200, 200});
        wt::move(w, {300, 220});
        wt::release(w, {300, 220});
        const QImage one = wt::grabSurface(w);
        wt::press(w, {200, 400});
        wt::move(w, {300, 420});
        wt::release(w, {300, 420});
        const QImage two = wt::grabSurface(w);
        w.undo();
        QCOMPARE(wt::grabSurface(w), one);
        w.redo();
        QCOMPARE(wt::grabSurface(w), two);
        w.toolAction(ToolId::ClearWriting)->trigger();
        QCOMPARE(wt::grabSurface(w), blank);
        QVERIFY(w.form().st.memoMode); // the mode stays
        QVERIFY(!w.toolAction(ToolId::ClearWriting)->isEnabled());
        w.undo();
        QCOMPARE(wt::grabSurface(w), two);

        // A raster let go by an undo is not taken back for other strokes.
        w.undo();
        QCOMPARE(wt::grabSurface(w), one);
        wt::press(w, {500, 300});
        wt::move(w, {520, 330});
        wt::release(w, {520, 330});
        w.undo();
        QCOMPARE(wt::grabSurface(w), one);
    }

    void undoRepaintsWhereTheStrokeLayOverOthers_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("811x702") << QSize(811, 702);
        QTest::newRow("fractional scale") << QSize(1000, 866);
    }
    void undoRepaintsWhereTheStrokeLayOverOthers()
    {
        // Strokes crossing each other and an erasure across them: undoing the erasure and
        // the last stroke gives back exactly the pixels shown before each.
        QFETCH(QSize, size);
        MainWindow w;
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto stroke = [&w](QPointF from, QPointF to) {
            w.handle([&](Lesson &l) { l.press(1, 0, from.x(), from.y()); });
            for (int i = 1; i <= 80; ++i) {
                const QPointF p = from + (to - from) * (i / 80.0) + QPointF(0, 15 * std::sin(i / 4.0));
                w.handle([&](Lesson &l) { l.move(1, 0, p.x(), p.y()); });
            }
            w.handle([&](Lesson &l) { l.release(1, 0, to.x(), to.y()); });
        };
        w.commandButton(3)->click();
        stroke({50, 300}, {700, 320});
        w.optionButton(5)->click();
        const QImage one = wt::grabSurface(w);
        stroke({300, 100}, {320, 600});
        const QImage two = wt::grabSurface(w);
        w.optionButton(7)->click();
        stroke({100, 250}, {600, 450});
        w.optionButton(5)->click(); // the eraser's cursor away
        w.undo();
        QCOMPARE(wt::grabSurface(w), two);
        w.undo();
        QCOMPARE(wt::grabSurface(w), one);
    }

    void theLayerIsPaintedAgainAtANewSize()
    {
        // Written small and then enlarged, or written at the large size: the same pixels.
        MainWindow small;
        wt::showAndWait(small);
        writeAtAnySize(small);
        small.resize(1622, 1404);
        QTRY_COMPARE(small.surface()->size(), QSize(1586, 1282));
        const QImage enlarged = wt::grabSurface(small);

        MainWindow large;
        large.resize(1622, 1404);
        large.show();
        QVERIFY(QTest::qWaitForWindowExposed(&large));
        writeAtAnySize(large);
        QCOMPARE(large.lesson().strokes(), small.lesson().strokes());
        QCOMPARE(wt::grabSurface(large), enlarged);
    }

    void savedBoardOpensAsTheSameBoard()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lesson.json"));
        MainWindow a;
        wt::showAndWait(a);
        write(a);
        QVERIFY(a.saveBoardFile(path).isEmpty());

        MainWindow b;
        wt::showAndWait(b);
        QVERIFY(b.openBoardFile(path).isEmpty());
        QCOMPARE(b.lesson().board(), a.lesson().board());
        QCOMPARE(wt::grabSurface(b), wt::grabSurface(a));
        b.undo(); // opening is one step
        QCOMPARE(b.lesson().board(), MainWindow().lesson().board());
    }

    void aDamagedFileIsRefusedWithAMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        Board board;
        board.strokes.push_back({QBColor(12), 3, false, {{1, 2}, {3, 4}}});
        const QByteArray good = QByteArray::fromStdString(BoardFile::write(board));
        QTest::newRow("truncated") << good.left(good.size() - 10);
        QTest::newRow("foreign") << QByteArray("<?xml version=\"1.0\"?><board/>");
        QTest::newRow("huge number") << QByteArray(good).replace("\"x1\": 400", "\"x1\": 1e300");
        QTest::newRow("bad index") << QByteArray(good).replace("\"nextLine\": 0", "\"nextLine\": 9");
        QTest::newRow("empty") << QByteArray();
    }
    void aDamagedFileIsRefusedWithAMessage()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.json"));
        writeFile(path, bytes);
        MainWindow w;
        wt::showAndWait(w);
        write(w);
        const Board before = w.lesson().board();
        const QImage pixels = wt::grabSurface(w);
        const auto steps = w.lesson().history().undoCount();
        QSignalSpy messages(&w, &MainWindow::boardMessage);

        const QString message = w.openBoardFile(path);
        QVERIFY2(message.startsWith(QStringLiteral("このファイルは開けません: ")), qPrintable(message));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), message);
        QCOMPARE(w.lesson().board(), before);
        QCOMPARE(w.lesson().history().undoCount(), steps);
        QCOMPARE(wt::grabSurface(w), pixels);
    }

    void theBoardIsKeptOnDiskAndRestoredInTheNextSession()
    {
        Board last;
        {
            MainWindow w;
            wt::showAndWait(w);
            write(w);
            last = w.lesson().board();
            // Kept as it happened, before the window closes.
            const BoardFile::Result kept = BoardStore::readFile(w.boardStore().currentPath());
            QVERIFY2(kept.ok(), kept.error().c_str());
            QCOMPARE(kept.board, last);
        }
        MainWindow next;
        wt::showActive(next);
        const Board initial = next.lesson().board();
        QVERIFY(initial != last); // it opens on the initial screen
        // Ctrl+Shift+T, as reopening what was closed, is the desktop's own second key for it.
        QVERIFY(next.restoreAction()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)));
        QTest::keyClick(next.windowHandle(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(next.lesson().board(), last);
        next.undo();
        QCOMPARE(next.lesson().board(), initial);

        // A session that had no board before it has none to restore.
        QDir(BoardStore::defaultFolder()).removeRecursively();
        MainWindow fresh;
        QSignalSpy messages(&fresh, &MainWindow::boardMessage);
        QVERIFY(!fresh.restoreLastBoardQuietly().isEmpty());
        QCOMPARE(messages.count(), 1);
    }

    void aBoardThatCannotBeKeptIsSaidAtOnce_data()
    {
        QTest::addColumn<bool>("noFolder");
        QTest::newRow("the folder cannot be made") << true;
        QTest::newRow("the disk takes no more") << false; // a file size limit, as a full disk
    }
    void aBoardThatCannotBeKeptIsSaidAtOnce()
    {
        QFETCH(bool, noFolder);
        const QString folder = BoardStore::defaultFolder();
        rlimit limit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit unlimited = limit;
        if (noFolder) {
            QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
            writeFile(folder, "a file where the folder should be");
        } else {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
            limit.rlim_cur = 512;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        }
        MainWindow w;
        wt::showAndWait(w);
        BoardNotice *notice = w.boardNotice();
        QVERIFY(!notice->isVisible());
        write(w);
        const Board shown = w.lesson().board();
        setrlimit(RLIMIT_FSIZE, &unlimited);
        // No board cut short took the place of a whole one.
        const QString path = w.boardStore().currentPath();
        QVERIFY(!QFile::exists(path) || BoardStore::readFile(path).ok());
        QVERIFY(notice->isVisible());
        QVERIFY2(notice->text().startsWith(QStringLiteral("板書を保存できません")), qPrintable(notice->text()));
        QVERIFY(notice->text().contains(QStringLiteral("画面の板書は消えていません")));
        QVERIFY(notice->text().contains(noFolder ? QStringLiteral("フォルダーを作れません")
                                                 : QStringLiteral("しか書けません")));
        // Below the figure: the ends of ℓ and m, its lowest points, stay in sight.
        QVERIFY(notice->geometry().top() > wt::windowPoint(w, {550, 552}).y());
        QVERIFY(w.surface()->geometry().contains(notice->geometry()));

        // Its button offers to save the board elsewhere.
        QCOMPARE(notice->button()->text(), QStringLiteral("保存"));
        bool dialogShown = false;
        QTimer::singleShot(0, [&] {
            if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialogShown = true;
                d->reject();
            }
        });
        notice->button()->click();
        QVERIFY(dialogShown);

        // Kept again once the folder can be written, and the notice goes by itself.
        if (noFolder)
            QVERIFY(QFile::remove(folder));
        w.undo();
        QVERIFY(!notice->isVisible());
        const BoardFile::Result kept = BoardStore::readFile(w.boardStore().currentPath());
        QVERIFY2(kept.ok(), kept.error().c_str());
        QCOMPARE(kept.board, w.lesson().board());
        w.redo();
        QCOMPARE(w.lesson().board(), shown);
    }

    void aDamagedKeptBoardIsSetAsideNotDestroyed()
    {
        const QString folder = BoardStore::defaultFolder();
        QVERIFY(QDir().mkpath(folder));
        const QByteArray damaged = "{\"format\": \"parallel-ratio board\", \"version\": 1, \"strokes\": [";
        writeFile(QDir(folder).filePath(QStringLiteral("board.json")), damaged);
        const Board good = slidBoard(50);
        writeBoard(QDir(folder).filePath(QStringLiteral("previous-board.json")), good);

        MainWindow w;
        wt::showAndWait(w);
        BoardNotice *notice = w.boardNotice();
        QTRY_VERIFY(notice->isVisible());
        const QStringList aside = QDir(folder).entryList({QStringLiteral("board-damaged-*.json")});
        QCOMPARE(aside.size(), 1);
        QVERIFY2(notice->text().contains(aside[0]), qPrintable(notice->text()));
        QFile kept(QDir(folder).filePath(aside[0]));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), damaged);
        QCOMPARE(notice->button()->text(), QStringLiteral("閉じる"));
        notice->button()->click();
        QVERIFY(!notice->isVisible());
        // The board before the damaged one is still the one to restore.
        QCOMPARE(w.restoreLastBoardQuietly(), QString());
        QCOMPARE(w.lesson().board(), good);

        // Damaged later, while the program runs: set aside when 前回の板書 finds it.
        writeFile(w.boardStore().previousPath(), "not a board");
        const QString message = w.restoreLastBoardQuietly();
        QVERIFY2(message.contains(QStringLiteral("board-damaged-")), qPrintable(message));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("board-damaged-*.json")}).size(), 2);
        QCOMPARE(w.lesson().board(), good); // the board on screen stays
    }

    void aBoardKeptWhereEarlierVersionsKeptItIsMovedOnce()
    {
        // The program's organisation is named as the program, as it is in main.
        QCoreApplication::setOrganizationName(QCoreApplication::applicationName());
        const auto noOrganisation = qScopeGuard([] { QCoreApplication::setOrganizationName({}); });
        const QString old = BoardStore::oldDefaultFolder();
        QVERIFY(QDir(old) != QDir(BoardStore::defaultFolder()));
        QVERIFY(QDir().mkpath(old));
        const Board last = slidBoard(-100);
        writeBoard(QDir(old).filePath(QStringLiteral("board.json")), last);
        MainWindow w;
        wt::showAndWait(w);
        QCOMPARE(w.restoreLastBoardQuietly(), QString());
        QCOMPARE(w.lesson().board(), last);
        QVERIFY(!QDir(old).exists());
        QVERIFY(QFile::exists(w.boardStore().previousPath()));
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
