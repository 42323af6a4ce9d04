#pragma once
#include "board/Board.h"
#include "board/BoardFile.h"
#include "board/KeepNotice.h"

#include <QtCore/QString>

namespace pr {

// Keeps the board on disk as it changes, so that after 終了, closing the window, a crash or
// a power cut the last board can be brought back. Files in one folder (the program's data
// folder unless another is given):
//
//   board.json                          this session's board, written after every change
//   previous-board.json                 the board the last session left, moved aside at start
//   board-damaged-YYYYMMDD-hhmmss.json  a kept board that could not be read, set aside
//
// Every write goes to a temporary file that replaces the old one only once it is complete
// and on disk (QSaveFile), so a file is always either the old board or the new one. A kept
// board is never destroyed for being damaged: it is set aside under a name of its own.
class BoardStore {
public:
    explicit BoardStore(QString folder = defaultFolder());
    // The data folder named after the program once (~/.local/share/parallel-ratio).
    static QString defaultFolder();
    // Where earlier versions kept the board: the application data folder, which names the
    // program twice (~/.local/share/parallel-ratio/parallel-ratio).
    static QString oldDefaultFolder();

    const QString &folder() const { return folder_; }
    QString currentPath() const;
    QString previousPath() const;

    // At start-up, once: a board kept in the old folder is moved here, then the last
    // session's board becomes the one to restore. One that cannot be read is set aside and
    // the one before it stays; its new path is returned (else empty).
    QString beginSession();
    bool sessionBegun() const { return begun_; }

    struct Kept {
        bool ok = true;
        KeepProblem problem = KeepProblem::Other;
        QString detail; // the system's words, or the folder
    };
    // Writes the board as this session's.
    [[nodiscard]] Kept keep(const Board &board);

    // The board the last session left (or, before anything was moved aside, the last one
    // kept), read and checked, or the reason there is none. One that cannot be read is set
    // aside; `setAsideAt` then receives its new path.
    [[nodiscard]] BoardFile::Result lastBoard(QString *setAsideAt = nullptr);

    // Reads and checks a board file, refusing one above BoardFile::kMaxBytes unread.
    // `damaged` tells a file that was read but is no board from one that could not be read.
    [[nodiscard]] static BoardFile::Result readFile(const QString &path, bool *damaged = nullptr);
    // `error`: the system's words when it fails.
    [[nodiscard]] static bool writeFile(const QString &path, const Board &board, QString *error = nullptr);
    // What stood in the way of writing a file of about `bytes` at `path` that could not be
    // written, as far as its folder and medium tell.
    [[nodiscard]] static SaveProblem saveProblem(const QString &path, qint64 bytes);

private:
    void moveFromOldFolder();
    QString setAside(const QString &path) const;

    QString folder_;
    bool begun_ = false;
};

} // namespace pr
