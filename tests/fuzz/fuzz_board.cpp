// libFuzzer target: the board file loader. Any bytes must be refused with a reason or give a
// board that passes the form's rules, writes back to a file that reads as the same board, and
// opens in a lesson that then shows exactly that board. Never a crash, hang or leak.
//
//   fuzz_board -max_total_time=30 -max_len=65536 -dict=tests/fuzz/board.dict
//              <scratch corpus> tests/fuzz/board-corpus
#include "board/BoardFile.h"
#include "lesson/Lesson.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const pr::BoardFile::Result read = pr::BoardFile::read(text);
    if (!read.ok()) {
        if (read.fault.ok() || read.error().empty() || !(read.board == pr::Board{}))
            std::abort();
        return 0;
    }
    if (!read.board.check().ok())
        std::abort();
    const pr::BoardFile::Result again = pr::BoardFile::read(pr::BoardFile::write(read.board));
    if (!again.ok() || !(again.board == read.board))
        std::abort();
    pr::Lesson lesson;
    lesson.Form_Load();
    if (!lesson.openBoard(read.board).ok() || !(lesson.board() == read.board))
        std::abort();
    return 0;
}
