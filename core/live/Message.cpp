#include "Message.h"

#include "board/BoardFile.h"
#include "lesson/Lesson.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace pr::live {

namespace {

constexpr double kFarthest = 1e6; // logical pixels: beyond, the lesson drops a position anyway
constexpr std::size_t kMaxActionBytes = 96; // the longest action written, with room to spare

constexpr std::string_view kKinds[] = {"snapshot", "actions", "follow", "hand-out", "end"};
constexpr std::string_view kModes[] = {"normal", "memo", "diagonal"};

bool carriesBoard(Message::Kind k)
{
    return k == Message::Kind::Snapshot || k == Message::Kind::HandOut;
}

// The JSON of these messages, and no more: a flat object of scalars for the header, an array
// of arrays of scalars for the actions. Read and written here rather than by a JSON library,
// whose general parser and writer would double what the page downloads for this.
struct Value {
    enum class Type : std::uint8_t { Bool, Number, String, Array };
    Type type = Type::Bool;
    bool flag = false;
    double number = 0;
    bool integral = false;     // written without fraction or exponent
    std::uint64_t magnitude = 0; // of an integral number that fits
    bool negative = false;
    std::string text;          // ASCII, no escapes: all these messages need
    std::vector<Value> items;
};

class Reader {
public:
    explicit Reader(std::string_view text) : t_(text) {}

    // An object whose members are scalars; false if that is not all there is.
    bool object(std::vector<std::pair<std::string, Value>> &members)
    {
        if (!take('{'))
            return false;
        if (!take('}')) {
            do {
                std::pair<std::string, Value> m;
                if (!string(m.first) || !take(':') || !scalar(m.second))
                    return false;
                members.push_back(std::move(m));
            } while (take(','));
            if (!take('}'))
                return false;
        }
        return atEnd();
    }

    // An array of arrays of scalars.
    bool arrays(std::vector<Value> &rows)
    {
        if (!array(rows, true))
            return false;
        return atEnd();
    }

private:
    void space()
    {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r'))
            ++i_;
    }
    bool take(char c)
    {
        space();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool atEnd()
    {
        space();
        return i_ == t_.size();
    }
    bool word(std::string_view w)
    {
        if (t_.substr(i_, w.size()) != w)
            return false;
        i_ += w.size();
        return true;
    }
    bool string(std::string &out)
    {
        if (!take('"'))
            return false;
        const std::size_t from = i_;
        while (i_ < t_.size() && t_[i_] != '"') {
            const unsigned char c = static_cast<unsigned char>(t_[i_]);
            if (c < 0x20 || c >= 0x7F || c == '\\')
                return false;
            ++i_;
        }
        if (i_ == t_.size())
            return false;
        out.assign(t_.substr(from, i_ - from));
        ++i_;
        return true;
    }
    bool digits()
    {
        const std::size_t from = i_;
        while (i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9')
            ++i_;
        return i_ > from;
    }
    // JSON's number: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    bool number(Value &v)
    {
        const std::size_t from = i_;
        v.type = Value::Type::Number;
        v.negative = i_ < t_.size() && t_[i_] == '-';
        if (v.negative)
            ++i_;
        const std::size_t intFrom = i_;
        if (!digits() || (t_[intFrom] == '0' && i_ - intFrom > 1))
            return false;
        const std::size_t intTo = i_;
        v.integral = true;
        if (i_ < t_.size() && t_[i_] == '.') {
            ++i_;
            v.integral = false;
            if (!digits())
                return false;
        }
        if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
            ++i_;
            v.integral = false;
            if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-'))
                ++i_;
            if (!digits())
                return false;
        }
        const char *first = t_.data() + from, *last = t_.data() + i_;
        if (std::from_chars(first, last, v.number).ec != std::errc() || !std::isfinite(v.number))
            return false;
        if (v.integral && std::from_chars(t_.data() + intFrom, t_.data() + intTo, v.magnitude).ec !=
                              std::errc())
            v.integral = false; // beyond 64 bits: no count or code is that large
        return true;
    }
    bool scalar(Value &v)
    {
        space();
        if (i_ >= t_.size())
            return false;
        const char c = t_[i_];
        if (c == '"') {
            v.type = Value::Type::String;
            return string(v.text);
        }
        if (c == 't' || c == 'f') {
            v.type = Value::Type::Bool;
            v.flag = c == 't';
            return word(v.flag ? "true" : "false");
        }
        return number(v);
    }
    // An array of scalars, or with `nested` of arrays of scalars.
    bool array(std::vector<Value> &items, bool nested)
    {
        if (!take('['))
            return false;
        if (take(']'))
            return true;
        do {
            if (nested && items.size() == kMaxActions)
                return false;
            Value v;
            if (nested) {
                v.type = Value::Type::Array;
                if (!array(v.items, false))
                    return false;
            } else if (!scalar(v)) {
                return false;
            }
            items.push_back(std::move(v));
        } while (take(','));
        return take(']');
    }

    std::string_view t_;
    std::size_t i_ = 0;
};

const Value *member(const std::vector<std::pair<std::string, Value>> &members, std::string_view key)
{
    for (const auto &m : members)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

// The index of a JSON string among `names`, or their count if it is none of them.
template <std::size_t N>
std::size_t indexOf(const std::string_view (&names)[N], const Value &v)
{
    std::size_t i = 0;
    if (v.type == Value::Type::String)
        while (i < N && names[i] != v.text)
            ++i;
    return v.type == Value::Type::String ? i : N;
}

bool smallInt(const Value &v, int lo, int hi, int &out)
{
    if (v.type != Value::Type::Number || !v.integral)
        return false;
    const double n = v.number;
    if (n < lo || n > hi)
        return false;
    out = int(n);
    return true;
}

bool coordinate(const Value &v, double &out)
{
    if (v.type != Value::Type::Number)
        return false;
    out = v.number;
    return std::fabs(out) <= kFarthest;
}

// ["p", button, shift, x, y, eraser end], ["m", …], ["r", …], ["c", n], ["o", i], ["u"],
// ["R"], ["w"], ["a", ratios, triangles].
bool readAction(const Value &row, Action &out)
{
    const std::vector<Value> &a = row.items;
    if (a.empty() || a[0].type != Value::Type::String || a[0].text.size() != 1)
        return false;
    const char tag = a[0].text[0];
    const std::size_t n = a.size();
    int button = 0, shift = 0, flag = 0, other = 0;
    switch (tag) {
    case 'p':
    case 'm':
    case 'r':
        if (n != (tag == 'p' ? 6u : 5u) || !smallInt(a[1], 0, 7, button) ||
            !smallInt(a[2], 0, 7, shift) || !coordinate(a[3], out.x) || !coordinate(a[4], out.y))
            return false;
        if (tag == 'p' && !smallInt(a[5], 0, 1, flag))
            return false;
        out.kind = tag == 'p'   ? Action::Kind::Press
                   : tag == 'm' ? Action::Kind::Move
                                : Action::Kind::Release;
        out.button = std::int16_t(button);
        out.shift = std::int16_t(shift);
        out.eraserEnd = flag == 1;
        return true;
    case 'c':
        out.kind = Action::Kind::Command;
        return n == 2 && smallInt(a[1], 1, 4, out.index);
    case 'o':
        out.kind = Action::Kind::Option;
        return n == 2 && smallInt(a[1], 0, 7, out.index);
    case 'u':
        out.kind = Action::Kind::Undo;
        return n == 1;
    case 'R':
        out.kind = Action::Kind::Redo;
        return n == 1;
    case 'w':
        out.kind = Action::Kind::ClearWriting;
        return n == 1;
    case 'a':
        out.kind = Action::Kind::Aids;
        if (n != 3 || !smallInt(a[1], 0, 1, flag) || !smallInt(a[2], 0, 1, other))
            return false;
        out.aids = {flag == 1, other == 1};
        return true;
    default:
        return false;
    }
}

void put(std::string &out, double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void put(std::string &out, std::uint64_t v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void putAction(std::string &out, const Action &a)
{
    const auto pointer = [&](char tag) {
        out += "[\"";
        out += tag;
        out += "\",";
        put(out, std::uint64_t(a.button));
        out += ',';
        put(out, std::uint64_t(a.shift));
        out += ',';
        put(out, a.x);
        out += ',';
        put(out, a.y);
    };
    switch (a.kind) {
    case Action::Kind::Press:
        pointer('p');
        out += a.eraserEnd ? ",1]" : ",0]";
        return;
    case Action::Kind::Move:
        pointer('m');
        out += ']';
        return;
    case Action::Kind::Release:
        pointer('r');
        out += ']';
        return;
    case Action::Kind::Command:
    case Action::Kind::Option:
        out += a.kind == Action::Kind::Command ? "[\"c\"," : "[\"o\",";
        put(out, std::uint64_t(a.index));
        out += ']';
        return;
    case Action::Kind::Undo:
        out += "[\"u\"]";
        return;
    case Action::Kind::Redo:
        out += "[\"R\"]";
        return;
    case Action::Kind::ClearWriting:
        out += "[\"w\"]";
        return;
    case Action::Kind::Aids:
        out += a.aids.ratios ? "[\"a\",1," : "[\"a\",0,";
        out += a.aids.triangles ? "1]" : "0]";
        return;
    }
}

} // namespace

std::string encode(const Message &m)
{
    std::string out = "{\"protocol\":";
    put(out, std::uint64_t(kProtocol));
    out += ",\"kind\":\"";
    out += kKinds[std::size_t(m.kind)];
    out += "\",\"seq\":";
    put(out, m.seq);
    if (m.kind == Message::Kind::Follow)
        out += m.follow ? ",\"follow\":true" : ",\"follow\":false";
    if (carriesBoard(m.kind)) {
        out += ",\"mode\":\"";
        out += kModes[std::size_t(m.mode)];
        out += "\",\"pen\":";
        put(out, std::uint64_t(m.pen));
    }
    out += "}\n";
    switch (m.kind) {
    case Message::Kind::Snapshot:
    case Message::Kind::HandOut:
        out += BoardFile::write(m.board);
        break;
    case Message::Kind::Actions:
        out += '[';
        for (std::size_t i = 0; i < m.actions.size(); ++i) {
            if (i)
                out += ',';
            putAction(out, m.actions[i]);
        }
        out += ']';
        break;
    case Message::Kind::Follow:
    case Message::Kind::End:
        break;
    }
    return out;
}

Decoded decode(std::string_view bytes)
{
    Decoded d;
    if (bytes.size() > kMaxMessageBytes) {
        d.status = Status::TooLarge;
        return d;
    }
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos || newline > kMaxHeaderBytes)
        return d;
    const std::string_view head = bytes.substr(0, newline), body = bytes.substr(newline + 1);
    // Every version writes its protocol number first: a newer program may say more in its
    // header, in ways this one cannot read, and is told apart by that number alone.
    constexpr std::string_view kLead = "{\"protocol\":";
    if (head.starts_with(kLead)) {
        int protocol = 0;
        const char *from = head.data() + kLead.size();
        const auto r = std::from_chars(from, head.data() + head.size(), protocol);
        if (r.ec == std::errc() && r.ptr != from && protocol > kProtocol) {
            d.status = Status::NewerProtocol;
            return d;
        }
    }
    std::vector<std::pair<std::string, Value>> header;
    if (!Reader(head).object(header))
        return d;
    const Value *protocol = member(header, "protocol"), *kind = member(header, "kind"),
                *seq = member(header, "seq");
    int version = 0;
    if (!protocol || !smallInt(*protocol, kProtocol, kProtocol, version) || !kind || !seq ||
        seq->type != Value::Type::Number || !seq->integral || seq->negative)
        return d;
    Message &m = d.message;
    m.seq = seq->magnitude;
    const std::size_t k = indexOf(kKinds, *kind);
    if (k == std::size(kKinds))
        return d;
    m.kind = Message::Kind(k);
    const Value *follow = member(header, "follow");
    const std::size_t keys = m.kind == Message::Kind::Follow ? 4 : carriesBoard(m.kind) ? 5 : 3;
    if (header.size() != keys || (m.kind == Message::Kind::Follow &&
                                  (!follow || follow->type != Value::Type::Bool)))
        return d;
    if (carriesBoard(m.kind)) {
        const Value *mode = member(header, "mode"), *pen = member(header, "pen");
        if (!mode || !pen || !smallInt(*pen, 0, 7, m.pen))
            return d;
        const std::size_t i = indexOf(kModes, *mode);
        if (i == std::size(kModes))
            return d;
        m.mode = Message::Mode(i);
    }

    switch (m.kind) {
    case Message::Kind::Snapshot:
    case Message::Kind::HandOut: {
        BoardFile::Result r = BoardFile::read(body);
        if (!r.ok()) {
            d.status = Status::BadBoard;
            return d;
        }
        m.board = std::move(r.board);
        break;
    }
    case Message::Kind::Actions: {
        std::vector<Value> rows;
        if (body.size() > kMaxActions * kMaxActionBytes || !Reader(body).arrays(rows) ||
            rows.empty())
            return d;
        m.actions.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!readAction(rows[i], m.actions[i]))
                return d;
        break;
    }
    case Message::Kind::Follow:
        m.follow = follow->flag;
        [[fallthrough]];
    case Message::Kind::End:
        if (!body.empty())
            return d;
        break;
    }
    d.status = Status::Ok;
    return d;
}

void apply(Lesson &lesson, const Action &a)
{
    switch (a.kind) {
    case Action::Kind::Press:
        lesson.press(a.button, a.shift, a.x, a.y,
                     a.eraserEnd ? Lesson::PenEnd::Eraser : Lesson::PenEnd::Tip);
        break;
    case Action::Kind::Move:
        lesson.move(a.button, a.shift, a.x, a.y);
        break;
    case Action::Kind::Release:
        lesson.release(a.button, a.shift, a.x, a.y);
        break;
    case Action::Kind::Command:
        lesson.clickCommand(a.index);
        break;
    case Action::Kind::Option:
        lesson.clickOption(a.index);
        break;
    case Action::Kind::Undo:
        lesson.undo();
        break;
    case Action::Kind::Redo:
        lesson.redo();
        break;
    case Action::Kind::ClearWriting:
        lesson.clearWriting();
        break;
    case Action::Kind::Aids:
        lesson.setAids(a.aids);
        break;
    }
}

Message control(Message::Kind kind, const Lesson &lesson, std::uint64_t seq, bool follow)
{
    Message m = kind == Message::Kind::HandOut ? snapshot(lesson, seq) : Message{};
    m.kind = kind;
    m.seq = seq;
    m.follow = kind == Message::Kind::Follow && follow;
    return m;
}

Message snapshot(const Lesson &lesson, std::uint64_t seq)
{
    Message m;
    m.kind = Message::Kind::Snapshot;
    m.seq = seq;
    m.board = lesson.board();
    const FigureState &st = lesson.form.st;
    m.mode = st.memoMode       ? Message::Mode::Memo
             : st.diagonalMode ? Message::Mode::Diagonal
                               : Message::Mode::Normal;
    for (int i = 0; i < 8; ++i)
        if (lesson.form.Option1[i].Value)
            m.pen = i;
    return m;
}

bool start(Lesson &lesson, const Message &m)
{
    if (!lesson.openBoard(m.board).ok())
        return false;
    // The board opens with every mode ended; メモ chooses its own pen, so the pen comes last.
    if (m.mode == Message::Mode::Memo)
        lesson.clickCommand(3);
    else if (m.mode == Message::Mode::Diagonal)
        lesson.clickCommand(4);
    lesson.clickOption(m.pen);
    return true;
}

} // namespace pr::live
