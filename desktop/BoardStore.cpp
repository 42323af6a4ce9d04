#include "BoardStore.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtCore/QStandardPaths>
#include <QtCore/QStorageInfo>

namespace pr {

namespace {

const QString kCurrent = QStringLiteral("board.json");
const QString kPrevious = QStringLiteral("previous-board.json");

// Writes bytes through a temporary file; the system's reason on failure.
bool writeBytes(const QString &path, const std::string &bytes, QString *error)
{
    // Unbuffered, so a short write (a full disk, a size limit) is seen here: through the
    // buffer it is lost in the flush, and commit() would put a truncated board in place of
    // the good one and call it done.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 written = file.write(bytes.data(), qint64(bytes.size()));
    if (written == qint64(bytes.size()) && file.commit())
        return true;
    if (error) {
        *error = file.errorString();
        if (written >= 0 && written < qint64(bytes.size()))
            *error = QStringLiteral("%1 バイトのうち %2 バイトしか書けません")
                         .arg(qint64(bytes.size()))
                         .arg(written);
    }
    return false; // the temporary file goes, the old board stays
}

// What stood in the way of a write of `needed` bytes into `folder`, as far as the folder
// and its medium tell.
KeepProblem problemOf(const QString &folder, qint64 needed)
{
    const QStorageInfo storage(folder);
    if ((storage.isValid() && storage.isReadOnly()) || !QFileInfo(folder).isWritable())
        return KeepProblem::FolderReadOnly;
    // A little more than the file: the file system's own blocks.
    if (storage.isValid() && storage.bytesAvailable() < needed + 64 * 1024)
        return KeepProblem::DiskFull;
    return KeepProblem::Other;
}

} // namespace

BoardStore::BoardStore(QString folder) : folder_(std::move(folder)) {}

QString BoardStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' +
           QCoreApplication::applicationName();
}

QString BoardStore::oldDefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString BoardStore::currentPath() const { return QDir(folder_).filePath(kCurrent); }

QString BoardStore::previousPath() const { return QDir(folder_).filePath(kPrevious); }

void BoardStore::moveFromOldFolder()
{
    const QString old = oldDefaultFolder();
    if (folder_ != defaultFolder() || QDir(old) == QDir(folder_))
        return;
    for (const QString &name : {kCurrent, kPrevious}) {
        const QString from = QDir(old).filePath(name), to = QDir(folder_).filePath(name);
        if (QFile::exists(from) && !QFile::exists(to) && QDir().mkpath(folder_))
            QFile::rename(from, to);
    }
    QDir().rmdir(old); // only once nothing else is left in it
}

QString BoardStore::beginSession()
{
    if (begun_)
        return {};
    begun_ = true;
    moveFromOldFolder();
    if (!QFile::exists(currentPath()))
        return {};
    bool damaged = false;
    if (!readFile(currentPath(), &damaged).ok() && damaged)
        return setAside(currentPath());
    QFile::remove(previousPath());
    QFile::rename(currentPath(), previousPath());
    return {};
}

QString BoardStore::setAside(const QString &path) const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString to = QDir(folder_).filePath(QStringLiteral("board-damaged-%1.json").arg(stamp));
    for (int n = 2; QFile::exists(to); ++n)
        to = QDir(folder_).filePath(QStringLiteral("board-damaged-%1-%2.json").arg(stamp).arg(n));
    return QFile::rename(path, to) ? to : QString();
}

BoardStore::Kept BoardStore::keep(const Board &board)
{
    if (!QDir().mkpath(folder_))
        return {false, KeepProblem::FolderUnavailable, QDir::toNativeSeparators(folder_)};
    const std::string text = BoardFile::write(board);
    Kept kept;
    if (writeBytes(currentPath(), text, &kept.detail))
        return kept;
    kept.ok = false;
    kept.problem = problemOf(folder_, qint64(text.size()));
    if (kept.problem == KeepProblem::FolderReadOnly)
        kept.detail = QDir::toNativeSeparators(folder_) + QStringLiteral(": ") + kept.detail;
    return kept;
}

BoardFile::Result BoardStore::lastBoard(QString *setAsideAt)
{
    const QString path = QFile::exists(previousPath()) ? previousPath() : currentPath();
    if (!QFile::exists(path)) {
        BoardFile::Result none;
        none.fault = {BoardError::NoLastBoard};
        return none;
    }
    bool damaged = false;
    BoardFile::Result read = readFile(path, &damaged);
    if (damaged) {
        const QString aside = setAside(path);
        if (setAsideAt)
            *setAsideAt = aside;
    }
    return read;
}

BoardFile::Result BoardStore::readFile(const QString &path, bool *damaged)
{
    if (damaged)
        *damaged = false;
    BoardFile::Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.fault = {BoardError::Unreadable, -1, file.errorString().toStdString()};
        return result;
    }
    if (damaged)
        *damaged = true; // until the board reads
    if (file.size() > qint64(BoardFile::kMaxBytes)) {
        result.fault = {BoardError::TooLarge};
        return result;
    }
    // Read at most one byte past the limit: a file that grows meanwhile is still refused.
    const QByteArray bytes = file.read(qint64(BoardFile::kMaxBytes) + 1);
    result = BoardFile::read(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (damaged)
        *damaged = !result.ok();
    return result;
}

bool BoardStore::writeFile(const QString &path, const Board &board, QString *error)
{
    QString why;
    if (writeBytes(path, BoardFile::write(board), &why))
        return true;
    if (error)
        *error = why;
    return false;
}

SaveProblem BoardStore::saveProblem(const QString &path, qint64 bytes)
{
    return problemOf(QFileInfo(path).absolutePath(), bytes) == KeepProblem::DiskFull
               ? SaveProblem::DiskFull
               : SaveProblem::NotWritable;
}

} // namespace pr
