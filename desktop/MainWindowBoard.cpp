// MainWindow's board commands: undo, redo and clearing the writing, board files, the board
// kept on disk after every change and restored by 前回の板書.
#include "MainWindow.h"

#include "BoardNotice.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

namespace pr {

// Undo and redo that did something go to the class as such: its followers get the board
// after them as a snapshot.
void MainWindow::undo()
{
    if (following_)
        return;
    handle([this](Lesson &l) {
        if (l.undo())
            outbox_.record(classAction(live::Action::Kind::Undo));
    });
}

void MainWindow::redo()
{
    if (following_)
        return;
    handle([this](Lesson &l) {
        if (l.redo())
            outbox_.record(classAction(live::Action::Kind::Redo));
    });
}

void MainWindow::clearWriting() { act(classAction(live::Action::Kind::ClearWriting)); }

namespace {

// Board files have an extension of their own; those saved as .json before still open.
QString boardSuffix() { return QString::fromLatin1(BoardFile::kExtension); }
QString boardFilter()
{
    return QStringLiteral("板書 (*.%1 *.json);;すべてのファイル (*)").arg(boardSuffix());
}

} // namespace

void MainWindow::openBoard()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("板書を開く"),
                                                      QString(), boardFilter());
    if (!path.isEmpty())
        showBoardMessage(openBoardFile(path));
}

void MainWindow::saveBoard()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("板書を保存"),
                                                QStringLiteral("板書.") + boardSuffix(),
                                                boardFilter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + boardSuffix();
    showBoardMessage(saveBoardFile(path));
}

void MainWindow::restoreLastBoard() { showBoardMessage(restoreLastBoardQuietly()); }

void MainWindow::openGivenBoard(const QString &path) { showBoardMessage(openBoardFile(path)); }

QString MainWindow::openBoardFile(const QString &path)
{
    const BoardFile::Result read = BoardStore::readFile(path);
    BoardFault fault = read.fault;
    if (read.ok() && !following_)
        handle([&](Lesson &l) {
            fault = l.openBoard(read.board);
            if (fault.ok())
                outbox_.wantSnapshot();
        });
    if (fault.ok())
        return {};
    const QString message = qText(cannotOpenMessage(fault));
    emit boardMessage(message);
    return message;
}

QString MainWindow::saveBoardFile(const QString &path)
{
    QString error;
    const Board board = lesson_.board();
    if (BoardStore::writeFile(path, board, &error))
        return {};
    const SaveProblem problem =
        BoardStore::saveProblem(path, qint64(BoardFile::write(board).size()));
    const QString message = qText(cannotSaveMessage(Saved::Board, problem, error.toStdString()));
    emit boardMessage(message);
    return message;
}

QString MainWindow::restoreLastBoardQuietly()
{
    beginSession();
    QString setAside;
    const BoardFile::Result read = store_.lastBoard(&setAside);
    BoardFault fault = read.fault;
    if (read.ok() && !following_)
        handle([&](Lesson &l) {
            fault = l.openBoard(read.board);
            if (fault.ok())
                outbox_.wantSnapshot();
        });
    if (fault.ok())
        return {};
    QString message;
    if (!setAside.isEmpty())
        message = qText(damagedBoardNotice(QDir::toNativeSeparators(setAside).toStdString())) +
                  QStringLiteral("\n画面の板書はそのままです。");
    else if (fault.code == BoardError::NoLastBoard)
        message = QStringLiteral("前回の板書はありません。板書は変えるたびに自動で残り、"
                                 "次に開いたときに「前回の板書」で戻せます。");
    else
        message = QStringLiteral("前回の板書を開けません: %1。画面の板書はそのままです。")
                      .arg(qText(fault.text()));
    emit boardMessage(message);
    return message;
}

void MainWindow::showBoardMessage(const QString &message)
{
    if (!message.isEmpty())
        QMessageBox::warning(this, qText(form().Caption), message);
}

void MainWindow::beginSession()
{
    if (store_.sessionBegun())
        return;
    const QString aside = store_.beginSession();
    if (!aside.isEmpty())
        notice_->showDamaged(
            qText(damagedBoardNotice(QDir::toNativeSeparators(aside).toStdString())));
}

void MainWindow::keepBoard(bool again)
{
    // Written whenever the board moved on (a stroke's release, a slide, undo ...), never in
    // the middle of a gesture, where the revision stands still; while it cannot be, tried
    // again now and then, so the notice goes by itself once the disk has room again.
    if (!again && lesson_.revision() == keptRevision_)
        return;
    keptRevision_ = lesson_.revision();
    beginSession();
    const BoardStore::Kept kept = store_.keep(lesson_.board());
    if (kept.ok) {
        notice_->clearKeepProblem();
        keepRetry_->stop();
        return;
    }
    notice_->showKeepProblem(qText(keepNotice(kept.problem, kept.detail.toStdString())));
    if (!keepRetry_->isActive())
        keepRetry_->start();
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace pr
