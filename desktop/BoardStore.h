#pragma once
#include "board/Board.h"
#include "board/BoardFile.h"

#include <QtCore/QString>

namespace pr {

// Keeps the board on disk as it changes, so that after 終了, closing the window, a crash or
// a power cut the last board can be brought back. Two files in one folder (the program's
// application data folder unless another is given):
//
//   board.json           this session's board, written again after every change
//   previous-board.json  the board the last session left, moved aside at start-up
//
// Every write goes to a temporary file that replaces the old one only once it is complete
// and on disk (QSaveFile), so a file is always either the old board or the new one.
class BoardStore {
public:
    explicit BoardStore(QString folder = defaultFolder());
    static QString defaultFolder();

    QString currentPath() const;
    QString previousPath() const;

    // At start-up: the last session's board becomes the one to restore.
    void beginSession();
    // Writes the board as this session's; false with the reason if it could not.
    bool keep(const Board &board, QString *error = nullptr);
    // The board the last session left (or, before anything was moved aside, the last one
    // kept), read and checked, or the reason there is none.
    BoardFile::Result lastBoard() const;

    // Reads and checks a board file, refusing one above BoardFile::kMaxBytes unread.
    static BoardFile::Result readFile(const QString &path);
    static bool writeFile(const QString &path, const Board &board, QString *error = nullptr);

private:
    QString folder_;
};

} // namespace pr
