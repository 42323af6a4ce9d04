#include "BoardFile.h"

#include "form/QBColor.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace pr {

namespace {

// ---- Writing -------------------------------------------------------------------------------

// The shortest text that reads back as the same float; where reading it as a double and
// rounding that to float could land elsewhere (a decimal within a double's step of a
// rounding boundary), the double's own shortest text instead.
void appendFloat(std::string &out, float v)
{
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    double back = 0;
    std::from_chars(buf, r.ptr, back);
    if (float(back) != v)
        r = std::to_chars(buf, buf + sizeof buf, double(v));
    out.append(buf, r.ptr);
}

void appendInt(std::string &out, long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

const char *boolText(bool b) { return b ? "true" : "false"; }

const char *prolongationText(Board::Prolongation p)
{
    switch (p) {
    case Board::Prolongation::Shown: return "shown";
    case Board::Prolongation::Highlighted: return "highlighted";
    case Board::Prolongation::Hidden: break;
    }
    return "hidden";
}

std::string colourText(Rgb c)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", unsigned(redOf(c)), unsigned(greenOf(c)),
                  unsigned(blueOf(c)));
    return buf;
}

// ---- Reading -------------------------------------------------------------------------------

using json = nlohmann::json;

constexpr std::size_t kMaxDepth = 6; // root, strokes, stroke, points: 4 deep at most
constexpr double kMaxFigureNumber = 1e8;
constexpr double kMaxPointNumber = 1e6;

// Names of the members, one bit each, so that a missing or repeated one is caught.
enum Member : std::uint32_t {
    kFormatM = 1u << 0, kVersionM = 1u << 1, kCopyM = 1u << 2, kProlongationsM = 1u << 3,
    kLinesM = 1u << 4, kNextLineM = 1u << 5, kStrokesM = 1u << 6,
    kX1M = 1u << 7, kX2M = 1u << 8, kLabelsM = 1u << 9,
    kLeftM = 1u << 10, kVisibleM = 1u << 11, kHighlightedM = 1u << 12,
    kLM = 1u << 13, kMM = 1u << 14, kGM = 1u << 18, kCopyHighlightedM = 1u << 19,
    kColourM = 1u << 15, kWidthM = 1u << 16, kPointsM = 1u << 17,
    kAidsM = 1u << 20, kRatiosM = 1u << 21, kTrianglesM = 1u << 22,
};

enum class Where {
    Root, Copy, Labels, Label, Prolongations, Lines, LinePair, Strokes, Stroke, Points, Aids,
};

struct Frame {
    Where where;
    std::uint32_t seen = 0;   // members seen (objects)
    std::uint32_t member = 0; // member whose value comes next (objects)
    std::size_t count = 0;    // elements so far (arrays)
};

// Builds the board straight from the parser's events: no document tree, so memory stays
// in proportion to the board, and the first wrong thing ends the parse.
class Reader : public nlohmann::json_sax<json> {
public:
    Board board;
    BoardFault fault;

    bool null() override
    {
        if (stack_.empty())
            return fail(BoardError::NotABoard);
        Frame &f = top();
        if (f.where == Where::Lines) {
            if (!element(f, 5, BoardError::LineCount))
                return false;
            board.lines[f.count - 1] = {};
            return true;
        }
        return fail(BoardError::MisplacedValue);
    }
    bool boolean(bool b) override
    {
        if (stack_.empty())
            return fail(BoardError::NotABoard);
        Frame &f = top();
        switch (f.member) {
        case kVisibleM: board.copyLabels[label_].visible = b; return true;
        case kHighlightedM: board.copyLabels[label_].highlighted = b; return true;
        case kGM: board.pointG = b; return true;
        case kCopyHighlightedM: board.copyHighlighted = b; return true;
        case kRatiosM: board.ratios = b; return true;
        case kTrianglesM: board.triangles = b; return true;
        default: return fail(BoardError::MisplacedValue);
        }
    }
    bool number_integer(number_integer_t v) override { return number(double(v), true); }
    bool number_unsigned(number_unsigned_t v) override { return number(double(v), true); }
    bool number_float(number_float_t v, const string_t &) override { return number(v, false); }
    bool string(string_t &s) override
    {
        if (stack_.empty())
            return fail(BoardError::NotABoard);
        Frame &f = top();
        if (f.member == kFormatM) {
            if (s != BoardFile::kFormat)
                return fail(BoardError::WrongFormat);
            return true;
        }
        if (f.member == kColourM)
            return colour(s);
        if (f.member == kLM || f.member == kMM) {
            Board::Prolongation &p = f.member == kLM ? board.prolongationL : board.prolongationM;
            if (s == "hidden")
                p = Board::Prolongation::Hidden;
            else if (s == "shown")
                p = Board::Prolongation::Shown;
            else if (s == "highlighted")
                p = Board::Prolongation::Highlighted;
            else
                return fail(BoardError::ProlongationValue);
            return true;
        }
        return fail(BoardError::MisplacedValue);
    }
    bool binary(binary_t &) override { return fail(BoardError::MisplacedValue); }

    bool start_object(std::size_t) override
    {
        if (stack_.empty())
            return push(Where::Root);
        Frame &f = top();
        switch (f.where) {
        case Where::Root:
            if (f.member == kCopyM)
                return push(Where::Copy);
            if (f.member == kProlongationsM)
                return push(Where::Prolongations);
            if (f.member == kAidsM && version_ >= 2)
                return push(Where::Aids);
            break;
        case Where::Labels:
            if (!element(f, 3, BoardError::LabelCount))
                return false;
            label_ = f.count - 1;
            return push(Where::Label);
        case Where::Strokes:
            if (!element(f, Board::kMaxStrokes, BoardError::TooManyStrokes))
                return false;
            board.strokes.emplace_back();
            return push(Where::Stroke);
        default:
            break;
        }
        return fail(BoardError::MisplacedValue);
    }
    bool key(string_t &k) override
    {
        Frame &f = top();
        struct Name {
            Where where;
            const char *name;
            Member member;
        };
        static const Name names[] = {
            {Where::Root, "format", kFormatM}, {Where::Root, "version", kVersionM},
            {Where::Root, "copy", kCopyM}, {Where::Root, "prolongations", kProlongationsM},
            {Where::Root, "constructionLines", kLinesM}, {Where::Root, "nextLine", kNextLineM},
            {Where::Root, "strokes", kStrokesM},
            {Where::Copy, "x1", kX1M}, {Where::Copy, "x2", kX2M},
            {Where::Copy, "labels", kLabelsM}, {Where::Copy, "highlighted", kCopyHighlightedM},
            {Where::Label, "left", kLeftM}, {Where::Label, "visible", kVisibleM},
            {Where::Label, "highlighted", kHighlightedM},
            {Where::Prolongations, "l", kLM}, {Where::Prolongations, "m", kMM},
            {Where::Prolongations, "g", kGM},
            {Where::Stroke, "colour", kColourM}, {Where::Stroke, "width", kWidthM},
            {Where::Stroke, "points", kPointsM},
            {Where::Root, "aids", kAidsM}, {Where::Aids, "ratios", kRatiosM},
            {Where::Aids, "triangles", kTrianglesM},
        };
        for (const Name &n : names) {
            if (n.where == f.where && k == n.name) {
                if (f.seen & n.member)
                    return fail(BoardError::RepeatedMember);
                f.seen |= n.member;
                f.member = n.member;
                return true;
            }
        }
        return fail(BoardError::UnknownMember);
    }
    bool end_object() override
    {
        const Frame f = top();
        stack_.pop_back();
        switch (f.where) {
        case Where::Root:
            if (!(f.seen & kFormatM))
                return fail(BoardError::NoFormat);
            return require(f, kVersionM | kCopyM | kProlongationsM | kLinesM | kNextLineM |
                                  kStrokesM);
        case Where::Copy: return require(f, kX1M | kX2M | kCopyHighlightedM | kLabelsM);
        case Where::Label: return require(f, kLeftM | kVisibleM | kHighlightedM);
        case Where::Prolongations: return require(f, kLM | kMM | kGM);
        case Where::Aids: return require(f, kRatiosM | kTrianglesM);
        case Where::Stroke: {
            if (!require(f, kColourM | kWidthM | kPointsM))
                return false;
            Stroke &s = board.strokes.back();
            s.eraser = s.colour == QBColor(kPenEraser);
            s.points.shrink_to_fit();
            return true;
        }
        default: return true;
        }
    }
    bool start_array(std::size_t) override
    {
        if (stack_.empty())
            return fail(BoardError::NotABoard);
        Frame &f = top();
        if (f.where == Where::Root && f.member == kLinesM)
            return push(Where::Lines);
        if (f.where == Where::Root && f.member == kStrokesM)
            return push(Where::Strokes);
        if (f.where == Where::Copy && f.member == kLabelsM)
            return push(Where::Labels);
        if (f.where == Where::Stroke && f.member == kPointsM)
            return push(Where::Points);
        if (f.where == Where::Lines) {
            if (!element(f, 5, BoardError::LineCount))
                return false;
            line_ = f.count - 1;
            board.lines[line_] = {true, -1, -1};
            return push(Where::LinePair);
        }
        return fail(BoardError::MisplacedValue);
    }
    bool end_array() override
    {
        const Frame f = top();
        stack_.pop_back();
        switch (f.where) {
        case Where::Labels:
            return f.count == 3 || fail(BoardError::LabelCount);
        case Where::Lines:
            return f.count == 5 || fail(BoardError::LineCount);
        case Where::LinePair:
            return f.count == 2 || fail(BoardError::LineEnds, long(line_));
        case Where::Points:
            if (f.count % 2 != 0)
                return fail(BoardError::PointPairs, long(board.strokes.size()) - 1);
            if (f.count < 4)
                return fail(BoardError::TooFewPoints, long(board.strokes.size()) - 1);
            return true;
        default: return true;
        }
    }
    bool parse_error(std::size_t position, const std::string &, const nlohmann::detail::exception &)
        override
    {
        if (fault.ok())
            fault = {BoardError::NotJson, long(position)};
        return false;
    }

private:
    Frame &top() { return stack_.back(); }
    bool fail(BoardError why, long where = -1)
    {
        if (fault.ok())
            fault = {why, where};
        return false;
    }
    bool push(Where where)
    {
        if (stack_.size() >= kMaxDepth)
            return fail(BoardError::TooDeep);
        stack_.push_back({where});
        return true;
    }
    bool element(Frame &f, std::size_t max, BoardError tooMany)
    {
        if (f.count >= max)
            return fail(tooMany);
        ++f.count;
        return true;
    }
    bool require(const Frame &f, std::uint32_t members)
    {
        if ((f.seen & members) != members)
            return fail(BoardError::MissingMember);
        return true;
    }
    static bool within(double v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

    bool number(double v, bool integer)
    {
        if (stack_.empty())
            return fail(BoardError::NotABoard);
        Frame &f = top();
        if (f.where == Where::Points) {
            if (!within(v, kMaxPointNumber))
                return fail(BoardError::PointRange, long(board.strokes.size()) - 1);
            if (++points_ > 2 * Board::kMaxPoints)
                return fail(BoardError::TooManyPoints);
            Stroke &s = board.strokes.back();
            if (f.count++ % 2 == 0)
                s.points.push_back({float(v), 0});
            else
                s.points.back().y = float(v);
            return true;
        }
        if (f.where == Where::LinePair) {
            if (!integer || v < 0 || v > 5 || f.count >= 2)
                return fail(BoardError::LineEnds, long(line_));
            (f.count++ == 0 ? board.lines[line_].from : board.lines[line_].to) = int(v);
            return true;
        }
        switch (f.member) {
        case kVersionM:
            if (!integer || v < 1 || v > BoardFile::kVersion)
                return fail(BoardError::WrongVersion);
            version_ = int(v);
            return true;
        case kNextLineM:
            if (!integer || v < 0 || v > 4)
                return fail(BoardError::NextLineRange);
            board.nextLine = int(v);
            return true;
        case kWidthM:
            if (!integer || v < 1 || v > 100)
                return fail(BoardError::WidthRange);
            board.strokes.back().width = int(v);
            return true;
        case kX1M:
        case kX2M:
        case kLeftM:
            if (!within(v, kMaxFigureNumber))
                return fail(BoardError::FigureRange);
            (f.member == kX1M   ? board.copyX1
             : f.member == kX2M ? board.copyX2
                                : board.copyLabels[label_].left) = float(v);
            return true;
        default: return fail(BoardError::MisplacedValue);
        }
    }
    bool colour(const std::string &s)
    {
        unsigned r = 0, g = 0, b = 0;
        const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
        if (s.size() != 7 || s[0] != '#' || !hex(s[1]) || !hex(s[2]) || !hex(s[3]) ||
            !hex(s[4]) || !hex(s[5]) || !hex(s[6]) ||
            std::sscanf(s.c_str() + 1, "%2x%2x%2x", &r, &g, &b) != 3)
            return fail(BoardError::ColourSyntax);
        board.strokes.back().colour = rgb(int(r), int(g), int(b));
        return true;
    }

    std::vector<Frame> stack_;
    std::size_t label_ = 0, line_ = 0, points_ = 0;
    int version_ = 0; // "aids" comes after "version" or not at all
};

} // namespace

std::string BoardFile::write(const Board &board)
{
    std::string out;
    out.reserve(256 + board.pointCount() * 20);
    out += "{\n  \"format\": \"";
    out += kFormat;
    const bool aids = board.ratios || board.triangles;
    out += "\",\n  \"version\": ";
    appendInt(out, aids ? kVersion : 1);
    if (aids) {
        out += ",\n  \"aids\": {\"ratios\": ";
        out += boolText(board.ratios);
        out += ", \"triangles\": ";
        out += boolText(board.triangles);
        out += "}";
    }
    out += ",\n  \"copy\": {\"x1\": ";
    appendFloat(out, board.copyX1);
    out += ", \"x2\": ";
    appendFloat(out, board.copyX2);
    out += ", \"highlighted\": ";
    out += boolText(board.copyHighlighted);
    out += ", \"labels\": [";
    for (std::size_t i = 0; i < board.copyLabels.size(); ++i) {
        const Board::CopyLabel &l = board.copyLabels[i];
        out += i ? ", {\"left\": " : "{\"left\": ";
        appendFloat(out, l.left);
        out += ", \"visible\": ";
        out += boolText(l.visible);
        out += ", \"highlighted\": ";
        out += boolText(l.highlighted);
        out += "}";
    }
    out += "]},\n  \"prolongations\": {\"l\": \"";
    out += prolongationText(board.prolongationL);
    out += "\", \"m\": \"";
    out += prolongationText(board.prolongationM);
    out += "\", \"g\": ";
    out += boolText(board.pointG);
    out += "},\n  \"constructionLines\": [";
    for (std::size_t k = 0; k < board.lines.size(); ++k) {
        const Board::ConstructionLine &c = board.lines[k];
        if (k)
            out += ", ";
        if (c.shown) {
            out += "[";
            appendInt(out, c.from);
            out += ", ";
            appendInt(out, c.to);
            out += "]";
        } else {
            out += "null";
        }
    }
    out += "],\n  \"nextLine\": ";
    appendInt(out, board.nextLine);
    out += ",\n  \"strokes\": [";
    for (std::size_t i = 0; i < board.strokes.size(); ++i) {
        const Stroke &s = board.strokes[i];
        out += i ? ",\n    {\"colour\": \"" : "\n    {\"colour\": \"";
        out += colourText(s.colour);
        out += "\", \"width\": ";
        appendInt(out, s.width);
        out += ", \"points\": [";
        for (std::size_t p = 0; p < s.points.size(); ++p) {
            if (p)
                out += ", ";
            appendFloat(out, s.points[p].x);
            out += ", ";
            appendFloat(out, s.points[p].y);
        }
        out += "]}";
    }
    out += board.strokes.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

namespace {

// The kind of picture (or PDF) a file's first bytes say it is, or empty: what a picture
// renamed to a board file's name, or chosen by mistake, is told by. A text decoded from the
// bytes by a browser has U+FFFD for each byte no UTF-8 starts with, so the magic's first
// bytes may come as those.
std::string_view pictureKind(std::string_view text)
{
    constexpr std::string_view kReplaced = "\xEF\xBF\xBD";
    const auto starts = [text](std::string_view magic) { return text.substr(0, magic.size()) == magic; };
    if (starts("\x89PNG\r\n\x1A\n") || (starts(kReplaced) && text.substr(3, 7) == "PNG\r\n\x1A\n"))
        return "PNG";
    if (starts("\xFF\xD8\xFF") || starts("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"))
        return "JPEG";
    if (starts("GIF87a") || starts("GIF89a"))
        return "GIF";
    if (starts("%PDF-"))
        return "PDF";
    // SVG: XML whose first element is <svg, after a declaration, comments or a doctype.
    std::string_view head = text.substr(0, 4096);
    if (starts("\xEF\xBB\xBF"))
        head.remove_prefix(3);
    const std::size_t first = head.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && head[first] == '<' &&
        head.find("<svg") != std::string_view::npos)
        return "SVG";
    return {};
}

} // namespace

BoardFile::Result BoardFile::read(std::string_view text)
{
    Result result;
    if (const std::string_view kind = pictureKind(text); !kind.empty()) {
        result.fault = {BoardError::Picture, -1, std::string(kind)};
        return result;
    }
    if (text.size() > kMaxBytes) {
        result.fault = {BoardError::TooLarge};
        return result;
    }
    Reader reader;
    const bool parsed = json::sax_parse(text.begin(), text.end(), &reader,
                                        json::input_format_t::json, true);
    if (!parsed || !reader.fault.ok()) {
        result.fault = reader.fault.ok() ? BoardFault{BoardError::NotJson} : reader.fault;
        return result;
    }
    result.fault = reader.board.check();
    if (result.ok())
        result.board = std::move(reader.board);
    return result;
}

} // namespace pr
