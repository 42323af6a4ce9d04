#pragma once
#include "board/Board.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pr {

// The board file: UTF-8 JSON, documented in docs/BOARD_FORMAT.md.
//
// write() gives the text of a board; read() takes it back, and the board it gives is equal
// to the one written. read() trusts nothing: a file that is too large, truncated, not JSON,
// nested too deeply, of another format or version, or holding anything the lesson's
// handlers could not have produced (NaN, huge numbers, unknown pens, bad point indices,
// wrong types, unknown or repeated names) is refused with a reason in Japanese, after work
// in proportion to its size, and no memory beyond the board it describes.
class BoardFile {
public:
    static constexpr std::string_view kFormat = "parallel-ratio-board";
    // Version 2 adds "aids"; a board without aids is written as version 1, which every
    // version reads.
    static constexpr int kVersion = 2;
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;
    // What a file manager knows a board file by: its own extension (new files; those named
    // *.json open all the same) and media type, which also matches on the "format" field.
    static constexpr std::string_view kExtension = "prboard";
    static constexpr std::string_view kMediaType = "application/x-parallel-ratio-board+json";

    struct Result {
        Board board;
        BoardFault fault; // none when the board was read
        bool ok() const { return fault.ok(); }
        std::string error() const { return fault.text(); } // empty when the board was read
    };

    static std::string write(const Board &board);
    [[nodiscard]] static Result read(std::string_view text);
};

} // namespace pr
