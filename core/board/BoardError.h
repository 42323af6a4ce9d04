#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace pr {

// Why a board was refused: by the board file's reader (its text) or by Board::check (what it
// shows). One code per reason; the words for people are in one table (BoardFault::text).
enum class BoardError : std::uint8_t {
    None,
    // Reading a file
    Unreadable,     // the file could not be read at all (detail: the system's words)
    TooLarge,       // beyond BoardFile::kMaxBytes
    NotJson,        // where: the byte at which the text stops being JSON
    Picture,        // a picture under a board file's name (detail: its kind, PNG ...)
    NotABoard,      // JSON, but not a board file
    WrongFormat,    // a "format" other than the board file's
    NoFormat,
    WrongVersion,   // a version this program does not read (also below 1)
    TooDeep,
    UnknownMember,
    RepeatedMember,
    MissingMember,
    MisplacedValue, // a value of a kind that does not belong where it stands
    LabelCount,     // copy.labels is not three labels
    LineCount,      // constructionLines is not five entries
    ProlongationValue,
    ColourSyntax,
    WidthRange,
    PointPairs,     // where: the stroke
    // What the board shows
    FigureRange,          // the copy of ℓ or Ｄ, Ｅ, Ｆ beyond any place a slide reaches
    CopySlant,            // the copy is no translate of ℓ
    CopyLabelsOff,        // where: the label (0 Ｄ, 1 Ｅ, 2 Ｆ) not on the copy's crossing
    LabelShownOnM,        // where: the label shown on Ａ', Ｂ', Ｃ', which a slide hides
    LabelHiddenOffM,      // where: the label hidden away from m with the copy slid
    PointG,               // Ｇ and the prolongations disagree
    LineEnds,             // where: the line whose ends are no point labels
    LinesAndNextLine,     // the lines shown and the next line disagree
    NextLineRange,
    TooManyStrokes,
    TooManyPoints,
    Pen,                  // where: the stroke whose colour and width no pen has
    EraserColour,         // where: the stroke
    TooFewPoints,         // where: the stroke
    PointRange,           // where: the stroke
    // Keeping between lessons
    NoLastBoard,
};

struct BoardFault {
    BoardFault() = default;
    BoardFault(BoardError c, long w = -1, std::string d = {}) // NOLINT: a code reads as a fault
        : code(c), where(w), detail(std::move(d))
    {
    }

    BoardError code = BoardError::None;
    long where = -1;    // the stroke, line or label concerned (from 0), or a byte; -1 if none
    std::string detail; // the system's words, if any

    bool ok() const { return code == BoardError::None; }
    // In Japanese, for the teacher: what is wrong with the file in plain words, the technical
    // words (the reader's, a byte offset, the system's) after them in brackets; empty when
    // there is no fault.
    [[nodiscard]] std::string text() const;
    // What the teacher can do about it, as a sentence; empty when there is no fault.
    [[nodiscard]] std::string advice() const;
    bool operator==(const BoardFault &) const = default;
};

} // namespace pr
