// The board file: what is written reads back as the same board, and what the loader refuses
// (and that it says why) for damaged, foreign, oversized and hostile files.
#include "board/BoardFile.h"
#include "board/KeepNotice.h"
#include "board/BoardError.h"
#include "form/QBColor.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace pr;

namespace {

Board sampleBoard()
{
    Board b;
    b.copyX1 = 433.33334f; // a float whose shortest text is longer than a double's digits show
    b.copyX2 = 183.33333f;
    b.copyLabels[0] = {349.33334f, true, false};
    b.copyLabels[1] = {288.3333f, true, true};
    b.copyLabels[2] = {196.3333f, true, false};
    b.prolongationL = Board::Prolongation::Shown;
    b.prolongationM = Board::Prolongation::Highlighted;
    b.pointG = true;
    b.lines[0] = {true, 0, 4};
    b.lines[1] = {true, 5, 1};
    b.lines[2] = {true, 3, 0};
    b.lines[3] = {true, 2, 2}; // both clicks on one label
    b.nextLine = 4;
    b.strokes.push_back({QBColor(14), 6, false, {{0.1f, 1e-7f}, {-3.5f, 999999.94f}}});
    b.strokes.push_back({QBColor(2), 25, true, {{5, 5}, {5, 5}, {std::nextafter(7.f, 8.f), 9}}});
    b.strokes.push_back({QBColor(2), 3, true, {{1, 1}, {2, 2}}});
    return b;
}

// The sample's text with one piece replaced.
std::string sampleWith(const std::string &from, const std::string &to)
{
    std::string text = BoardFile::write(sampleBoard());
    const auto at = text.find(from);
    REQUIRE(at != std::string::npos);
    return text.replace(at, from.size(), to);
}

} // namespace

TEST_SUITE_BEGIN("board file");

TEST_CASE("writtenBoardsReadBackEqual")
{
    const Board b = sampleBoard();
    REQUIRE(b.check().ok());
    const BoardFile::Result r = BoardFile::read(BoardFile::write(b));
    REQUIRE_MESSAGE(r.ok(), r.error());
    CHECK(r.board == b);
    CHECK(BoardFile::write(r.board) == BoardFile::write(b));

    const BoardFile::Result empty = BoardFile::read(BoardFile::write(Board{}));
    REQUIRE_MESSAGE(empty.ok(), empty.error());
    CHECK(empty.board == Board{});
}

TEST_CASE("damagedForeignAndHostileFilesAreRefusedWithAReason")
{
    const std::string good = BoardFile::write(sampleBoard());
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const struct {
        std::string what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"truncated", good.substr(0, good.size() / 2)},
        {"not JSON", "\x89PNG\r\n\x1a\n"},
        {"another JSON", R"({"name": "x", "version": 1})"},
        {"a bare number", "5"},
        {"an array", "[1, 2]"},
        {"deep nesting", deep},
        {"deep objects", std::string(50000, '{')},
        {"another format", sampleWith("parallel-ratio-board", "parallel-ratio-lesson")},
        {"a later version", sampleWith("\"version\": 1", "\"version\": 3")},
        {"aids in a version 1 file", sampleWith("\"version\": 1", "\"version\": 1, \"aids\": {\"ratios\": true, \"triangles\": false}")},
        {"aids without triangles", sampleWith("\"version\": 1", "\"version\": 2, \"aids\": {\"ratios\": true}")},
        {"aids as a number", sampleWith("\"version\": 1", "\"version\": 2, \"aids\": 1")},
        {"version 0", sampleWith("\"version\": 1", "\"version\": 0")},
        {"a negative version", sampleWith("\"version\": 1", "\"version\": -1")},
        {"version as text", sampleWith("\"version\": 1", "\"version\": \"1\"")},
        {"NaN", sampleWith("\"x1\": 433.33334", "\"x1\": NaN")},
        {"huge number", sampleWith("\"x1\": 433.33334", "\"x1\": 1e39")},
        {"beyond double", sampleWith("\"x1\": 433.33334", "\"x1\": 1e400")},
        {"far point", sampleWith("-3.5", "-3e7")},
        {"wrong type", sampleWith("\"g\": true", "\"g\": 1")},
        {"unknown prolongation state", sampleWith("\"shown\"", "\"visible\"")},
        {"Ｇ without a prolongation", sampleWith("\"l\": \"shown\", \"m\": \"highlighted\"", "\"l\": \"hidden\", \"m\": \"hidden\"")},
        {"bad point index", sampleWith("[0, 4]", "[0, 6]")},
        {"negative index", sampleWith("[0, 4]", "[-1, 4]")},
        {"fractional index", sampleWith("[0, 4]", "[0, 4.5]")},
        {"three ends", sampleWith("[0, 4]", "[0, 4, 1]")},
        {"six lines", sampleWith("[2, 2], null]", "[2, 2], null, null]")},
        {"nextLine 5", sampleWith("\"nextLine\": 4", "\"nextLine\": 5")},
        {"unknown pen colour", sampleWith("#ffff00", "#123456")},
        {"pen too wide", sampleWith("\"width\": 6", "\"width\": 25")},
        {"colour not hex", sampleWith("#ffff00", "#ffff0g")},
        {"odd coordinates", sampleWith("[5, 5, 5, 5,", "[5, 5, 5,")},
        {"one point", sampleWith("[1, 1, 2, 2]", "[1, 1]")},
        {"unknown member", sampleWith("\"nextLine\"", "\"extra\": 0, \"nextLine\"")},
        {"repeated member", sampleWith("\"nextLine\"", "\"nextLine\": 0, \"nextLine\"")},
        {"missing member", sampleWith("\"nextLine\": 4,", "")},
        {"trailing garbage", good + "x"},
    };
    for (const auto &c : cases) {
        CAPTURE(c.what);
        const BoardFile::Result r = BoardFile::read(c.text);
        CHECK_FALSE(r.ok());
        CHECK(r.board == Board{}); // nothing half read is handed out
    }
}

TEST_CASE("boardsTheHandlersCannotMakeAreRefusedDirectlyAndFromAFile")
{
    // Each a board no sequence of presses, moves, releases and clicks leads to, with the
    // reason; the web's kept board reaches check() without the reader, a file through it.
    using E = BoardError;
    const struct {
        const char *what;
        void (*spoil)(Board &);
        BoardError why;
        long where;
    } cases[] = {
        {"the copy twice as wide", [](Board &b) { b.copyX2 -= 250; }, E::CopySlant, -1},
        {"the copy slanted the other way", [](Board &b) { b.copyX2 = b.copyX1 + 250; }, E::CopySlant, -1},
        {"Ｄ off the copy", [](Board &b) { b.copyLabels[0].left += 40; }, E::CopyLabelsOff, 0},
        {"Ｆ left behind by a slide", [](Board &b) { b.copyLabels[2].left -= 33.333f; }, E::CopyLabelsOff, 2},
        {"Ｅ shown on Ｂ'", [](Board &b) {
             for (float *x : {&b.copyX1, &b.copyX2, &b.copyLabels[0].left, &b.copyLabels[1].left,
                              &b.copyLabels[2].left})
                 *x += 635 - 433.33334f;
         }, E::LabelShownOnM, 1},
        {"Ｄ hidden away from Ａ'", [](Board &b) { b.copyLabels[0].visible = false; }, E::LabelHiddenOffM, 0},
        {"Ｇ without a white prolongation", [](Board &b) {
             b.prolongationL = Board::Prolongation::Hidden;
             b.prolongationM = Board::Prolongation::Hidden;
         }, E::PointG, -1},
        {"a white prolongation without Ｇ", [](Board &b) { b.pointG = false; }, E::PointG, -1},
        {"the next line 3 with none drawn", [](Board &b) {
             b.lines = {};
             b.nextLine = 3;
         }, E::LinesAndNextLine, -1},
        {"a line beyond the next", [](Board &b) { b.nextLine = 2; }, E::LinesAndNextLine, -1},
        {"a gap before the next line", [](Board &b) { b.lines[1] = {}; }, E::LinesAndNextLine, -1},
        {"the next line with both ends apart", [](Board &b) {
             b.nextLine = 3;
             b.lines[3] = {true, 1, 2};
         }, E::LinesAndNextLine, -1},
        {"a line to no point", [](Board &b) { b.lines[2].to = 6; }, E::LineEnds, 2},
        {"the next line 5", [](Board &b) { b.nextLine = 5; }, E::NextLineRange, -1},
        {"a pen that does not exist", [](Board &b) { b.strokes[0].width = 4; }, E::Pen, 0},
        {"an eraser in red", [](Board &b) { b.strokes[2].eraser = false; }, E::EraserColour, 2},
        {"a stroke of one point", [](Board &b) { b.strokes[1].points.resize(1); }, E::TooFewPoints, 1},
        {"a point beyond any pointer", [](Board &b) { b.strokes[1].points[0].x = 2e6f; }, E::PointRange, 1},
        {"the copy beyond any slide", [](Board &b) { b.copyX1 = 1e9f; }, E::FigureRange, -1},
    };
    for (const auto &c : cases) {
        CAPTURE(std::string(c.what));
        Board b = sampleBoard();
        REQUIRE(b.check().ok());
        c.spoil(b);
        const BoardFault direct = b.check();
        CHECK(direct.code == c.why);
        CHECK(direct.where == c.where);
        CHECK_FALSE(direct.text().empty());
        // A file names no eraser: the colour alone tells it.
        if (c.why != E::EraserColour)
            CHECK(BoardFile::read(BoardFile::write(b)).fault == direct);
    }

    // What the handlers do allow, near those: a label hidden at the reset's place (a reset
    // keeps it hidden), all five lines drawn after the fifth with the turn back at the first,
    // and the copy slid so far and back that its ends drifted apart by rounding.
    Board reset;
    reset.copyLabels[1].visible = false;
    CHECK(reset.check().ok());
    Board wrapped = sampleBoard();
    wrapped.lines[4] = {true, 0, 3};
    for (int next : {0, 2, 4}) {
        wrapped.nextLine = next;
        CHECK(wrapped.check().ok());
    }
    Board far = sampleBoard();
    far.copyX2 += 0.8f;
    CHECK(far.check().ok());
}

TEST_CASE("anOversizedFileIsRefusedBeforeParsing")
{
    std::string big(BoardFile::kMaxBytes + 1, ' ');
    const BoardFile::Result r = BoardFile::read(big);
    CHECK_FALSE(r.ok());
    CHECK(r.error().find("64 MiB") != std::string::npos);
}

TEST_SUITE_END();

// What the teacher reads: plain words first, the reader's own in brackets after them, what
// stays and what to do; a picture is said to be one, also as a browser's decoded text.
TEST_CASE("refusedFilesAreToldInWordsATeacherCanActOn")
{
    const std::string board = BoardFile::write(Board{});
    struct Row {
        const char *name;
        std::string bytes;
        std::vector<std::string> said;
    };
    const std::vector<Row> rows = {
        {"cut short", board.substr(0, 200), // the parser stops one past the end
         {"このファイルは開けません: ファイルが途中で切れているか、壊れています（JSON として読めません、201 バイト目）",
          "画面の板書はそのままです。", "「保存」で保存した板書のファイル"}},
        {"PNG", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
         {"画像のファイル（PNG）で、板書のファイルではありません", "「開く」で開けるのは「保存」で保存した"}},
        {"PNG decoded by a browser", "\xEF\xBF\xBDPNG\r\n\x1A\n",
         {"画像のファイル（PNG）"}},
        {"JPEG", "\xFF\xD8\xFF\xE0", {"画像のファイル（JPEG）"}},
        {"GIF", "GIF89a", {"画像のファイル（GIF）"}},
        {"PDF", "%PDF-1.7\n", {"画像のファイル（PDF）"}},
        {"SVG", "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>",
         {"画像のファイル（SVG）"}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        const BoardFile::Result read = BoardFile::read(r.bytes);
        REQUIRE_FALSE(read.ok());
        const std::string message = cannotOpenMessage(read.fault);
        for (const std::string &s : r.said)
            CHECK_MESSAGE(message.find(s) != std::string::npos, message);
    }
    const std::string unwritable =
        cannotSaveMessage(Saved::Board, SaveProblem::NotWritable, "Permission denied");
    CHECK(unwritable.rfind("保存できません: ファイルに書けません (Permission denied)。画面の板書は消えていません。", 0) == 0);
    CHECK(unwritable.find("別のフォルダーを選んで") != std::string::npos);
}
