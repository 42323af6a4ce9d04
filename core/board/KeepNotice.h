#pragma once
#include "board/BoardError.h"

#include <string>
#include <string_view>

// What a teacher is told, in either front end, when the board cannot be kept between lessons
// (on disk, in the browser's storage) or a kept board turns out damaged, and where that
// notice goes. Texts are UTF-8.
namespace pr {

// Why the board could not be kept, as a front end finds out.
enum class KeepProblem {
    FolderUnavailable, // the folder it is kept in cannot be made
    FolderReadOnly,    // that folder, or the medium it is on, cannot be written
    DiskFull,
    StorageOff,        // the browser keeps nothing for this page (private browsing, settings)
    StorageFull,       // the browser's storage for this page is used up
    Other,
};

// The notice: what happened, that the board on screen is still there, and what to do (its
// 保存 button). A system detail (an errno text, an exception's name), when given, follows in
// brackets, never instead.
std::string keepNotice(KeepProblem problem, std::string_view detail = {});

// A kept board that could not be read was set aside under `where` (a file's path, a storage
// key), not destroyed.
std::string damagedBoardNotice(std::string_view where);

// A board file could not be opened: what is wrong with it, that the board on screen stays,
// and what to do.
std::string cannotOpenMessage(const BoardFault &fault);

// Why a file could not be written, as a front end finds out.
enum class SaveProblem {
    NotWritable, // the file or its folder cannot be written (no permission, read-only medium)
    DiskFull,
};
// What could not be saved.
enum class Saved { Board, Picture };
// A board file or a picture could not be written: what happened, that the board on screen
// stays, and what to do (another folder). `detail`: the system's or the browser's words,
// in brackets after them.
std::string cannotSaveMessage(Saved what, SaveProblem problem, std::string_view detail = {});

// The printer did not take the board; the board on screen stays.
std::string cannotPrintMessage();

// Where a notice is shown, in logical surface pixels: the band below the figure, clear of all
// of it (its lowest parts, the ends of ℓ and m, reach y 552), so a notice never hides the
// figure; only writing there is hidden until the notice goes. It is at least 44 px high, a
// finger's target for its button.
struct NoticeBox {
    float left, top, width, height;
};
inline constexpr NoticeBox kNoticeBox{12, 573, 765, 56};

} // namespace pr
