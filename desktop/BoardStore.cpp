#include "BoardStore.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtCore/QStandardPaths>

namespace pr {

BoardStore::BoardStore(QString folder) : folder_(std::move(folder)) {}

QString BoardStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString BoardStore::currentPath() const { return folder_ + QStringLiteral("/board.json"); }

QString BoardStore::previousPath() const
{
    return folder_ + QStringLiteral("/previous-board.json");
}

void BoardStore::beginSession()
{
    if (!QFile::exists(currentPath()))
        return;
    QFile::remove(previousPath());
    QFile::rename(currentPath(), previousPath());
}

bool BoardStore::keep(const Board &board, QString *error)
{
    if (!QDir().mkpath(folder_)) {
        if (error)
            *error = QStringLiteral("保存先のフォルダーを作れません: ") + folder_;
        return false;
    }
    return writeFile(currentPath(), board, error);
}

BoardFile::Result BoardStore::lastBoard() const
{
    const QString path = QFile::exists(previousPath()) ? previousPath() : currentPath();
    if (!QFile::exists(path)) {
        BoardFile::Result none;
        none.error = "前回の板書はありません";
        return none;
    }
    return readFile(path);
}

BoardFile::Result BoardStore::readFile(const QString &path)
{
    BoardFile::Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = "ファイルを読めません (" + file.errorString().toStdString() + ")";
        return result;
    }
    if (file.size() > qint64(BoardFile::kMaxBytes)) {
        result.error = "ファイルが大きすぎます (64 MiB まで)";
        return result;
    }
    // Read at most one byte past the limit: a file that grows meanwhile is still refused.
    const QByteArray bytes = file.read(qint64(BoardFile::kMaxBytes) + 1);
    return BoardFile::read(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

bool BoardStore::writeFile(const QString &path, const Board &board, QString *error)
{
    const std::string text = BoardFile::write(board);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        if (error)
            *error = QStringLiteral("ファイルに書けません (%1)").arg(file.errorString());
        return false;
    }
    return true;
}

} // namespace pr
