#include "Message.h"

#include "board/BoardFile.h"
#include "lesson/Lesson.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace pr::live {

namespace {

using json = nlohmann::json;

constexpr double kFarthest = 1e6; // logical pixels: beyond, the lesson drops a position anyway
constexpr std::size_t kMaxActionBytes = 96; // the longest action written, with room to spare

constexpr std::string_view kKinds[] = {"snapshot", "actions", "follow", "hand-out", "end"};
constexpr std::string_view kModes[] = {"normal", "memo", "diagonal"};

bool carriesBoard(Message::Kind k)
{
    return k == Message::Kind::Snapshot || k == Message::Kind::HandOut;
}

// The index of a JSON string among `names`, or their count if it is none of them.
template <std::size_t N>
std::size_t indexOf(const std::string_view (&names)[N], const json &v)
{
    std::size_t i = 0;
    if (v.is_string())
        while (i < N && names[i] != v.get_ref<const std::string &>())
            ++i;
    return v.is_string() ? i : N;
}

// Parses JSON no deeper than `depth`, or gives a discarded value.
json parseShallow(std::string_view text, int depth)
{
    bool tooDeep = false;
    json::parser_callback_t limit = [&](int d, json::parse_event_t, json &) {
        tooDeep = tooDeep || d > depth;
        return !tooDeep;
    };
    json value = json::parse(text.begin(), text.end(), limit, false);
    return tooDeep ? json(json::value_t::discarded) : value;
}

bool smallInt(const json &v, int lo, int hi, int &out)
{
    if (!v.is_number_integer())
        return false;
    const auto n = v.get<std::int64_t>();
    if (n < lo || n > hi)
        return false;
    out = int(n);
    return true;
}

bool coordinate(const json &v, double &out)
{
    if (!v.is_number())
        return false;
    out = v.get<double>();
    return std::isfinite(out) && std::fabs(out) <= kFarthest;
}

// ["p", button, shift, x, y, eraser end], ["m", …], ["r", …], ["c", n], ["o", i], ["u"],
// ["R"], ["w"], ["a", ratios, triangles].
bool readAction(const json &a, Action &out)
{
    if (!a.is_array() || a.empty() || !a[0].is_string())
        return false;
    const std::string &tag = a[0].get_ref<const std::string &>();
    if (tag.size() != 1)
        return false;
    const std::size_t n = a.size();
    int button = 0, shift = 0, flag = 0, other = 0;
    switch (tag[0]) {
    case 'p':
    case 'm':
    case 'r':
        if (n != (tag[0] == 'p' ? 6u : 5u) || !smallInt(a[1], 0, 7, button) ||
            !smallInt(a[2], 0, 7, shift) || !coordinate(a[3], out.x) || !coordinate(a[4], out.y))
            return false;
        if (tag[0] == 'p' && !smallInt(a[5], 0, 1, flag))
            return false;
        out.kind = tag[0] == 'p' ? Action::Kind::Press
                   : tag[0] == 'm' ? Action::Kind::Move
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

json actionJson(const Action &a)
{
    switch (a.kind) {
    case Action::Kind::Press:
        return json::array({"p", a.button, a.shift, a.x, a.y, a.eraserEnd ? 1 : 0});
    case Action::Kind::Move:
        return json::array({"m", a.button, a.shift, a.x, a.y});
    case Action::Kind::Release:
        return json::array({"r", a.button, a.shift, a.x, a.y});
    case Action::Kind::Command:
        return json::array({"c", a.index});
    case Action::Kind::Option:
        return json::array({"o", a.index});
    case Action::Kind::Undo:
        return json::array({"u"});
    case Action::Kind::Redo:
        return json::array({"R"});
    case Action::Kind::ClearWriting:
        return json::array({"w"});
    case Action::Kind::Aids:
        return json::array({"a", a.aids.ratios ? 1 : 0, a.aids.triangles ? 1 : 0});
    }
    return json::array();
}

} // namespace

std::string encode(const Message &m)
{
    json header = {{"protocol", kProtocol},
                   {"kind", kKinds[std::size_t(m.kind)]},
                   {"seq", m.seq}};
    if (m.kind == Message::Kind::Follow)
        header["follow"] = m.follow;
    if (carriesBoard(m.kind)) {
        header["mode"] = kModes[std::size_t(m.mode)];
        header["pen"] = m.pen;
    }
    std::string out = header.dump() + '\n';
    switch (m.kind) {
    case Message::Kind::Snapshot:
    case Message::Kind::HandOut:
        out += BoardFile::write(m.board);
        break;
    case Message::Kind::Actions: {
        json list = json::array();
        for (const Action &a : m.actions)
            list.push_back(actionJson(a));
        out += list.dump();
        break;
    }
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
    const json header = parseShallow(bytes.substr(0, newline), 1);
    const std::string_view body = bytes.substr(newline + 1);
    if (!header.is_object())
        return d;
    // A newer program may say more in its header: only its protocol number is read then.
    const auto protocol = header.find("protocol");
    if (protocol == header.end() || !protocol->is_number_integer())
        return d;
    if (protocol->get<std::int64_t>() > kProtocol) {
        d.status = Status::NewerProtocol;
        return d;
    }
    const auto kind = header.find("kind"), seq = header.find("seq");
    if (protocol->get<std::int64_t>() != kProtocol || kind == header.end() ||
        seq == header.end() || !seq->is_number_unsigned())
        return d;
    Message &m = d.message;
    m.seq = seq->get<std::uint64_t>();
    const std::size_t k = indexOf(kKinds, *kind);
    if (k == std::size(kKinds))
        return d;
    m.kind = Message::Kind(k);
    const auto follow = header.find("follow");
    const std::size_t keys = m.kind == Message::Kind::Follow ? 4 : carriesBoard(m.kind) ? 5 : 3;
    if (header.size() != keys ||
        (m.kind == Message::Kind::Follow && (follow == header.end() || !follow->is_boolean())))
        return d;
    if (carriesBoard(m.kind)) {
        const auto mode = header.find("mode"), pen = header.find("pen");
        if (mode == header.end() || pen == header.end() || !smallInt(*pen, 0, 7, m.pen))
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
        if (body.size() > kMaxActions * kMaxActionBytes)
            return d;
        const json list = parseShallow(body, 2);
        if (!list.is_array() || list.empty() || list.size() > kMaxActions)
            return d;
        m.actions.resize(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!readAction(list[i], m.actions[i]))
                return d;
        break;
    }
    case Message::Kind::Follow:
        m.follow = follow->get<bool>();
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
