#include "EventScript.h"

#include "form/Form1.h"
#include "lesson/Lesson.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

namespace pr {

namespace {

constexpr struct {
    EventScript::Kind kind;
    std::string_view name;
} kNames[] = {
    {EventScript::Kind::Press, "press"},     {EventScript::Kind::Move, "move"},
    {EventScript::Kind::Release, "release"}, {EventScript::Kind::Command, "command"},
    {EventScript::Kind::Option, "option"},   {EventScript::Kind::Label, "label"},
};

std::string_view nameOf(EventScript::Kind kind)
{
    for (const auto &n : kNames)
        if (n.kind == kind)
            return n.name;
    return "?";
}

void appendNumber(std::string &out, float v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void appendNumber(std::string &out, int v)
{
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

std::string_view trim(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(s.substr(start, i - start));
    }
    return out;
}

bool parseInt(std::string_view w, int &v, int lo, int hi)
{
    int parsed = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), parsed);
    if (r.ec != std::errc() || r.ptr != w.data() + w.size() || parsed < lo || parsed > hi)
        return false;
    v = parsed;
    return true;
}

bool parseFloat(std::string_view w, float &v)
{
    // from_chars takes no leading '+'; "-nan", "inf" and "-inf" are read as written.
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    return r.ec == std::errc() && r.ptr == w.data() + w.size();
}

// Reads bytes past the end as zero, so every byte string decodes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::uint8_t byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }
    std::uint16_t u16()
    {
        const std::uint16_t lo = byte();
        return std::uint16_t(lo | std::uint16_t(byte()) << 8);
    }
    std::uint32_t u32()
    {
        const std::uint32_t lo = u16();
        return lo | std::uint32_t(u16()) << 16;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace

EventScript::Event EventScript::Event::press(int button, float x, float y, int shift)
{
    return {Kind::Press, std::int16_t(button), std::int16_t(shift), x, y, 0};
}

EventScript::Event EventScript::Event::move(int buttons, float x, float y, int shift)
{
    return {Kind::Move, std::int16_t(buttons), std::int16_t(shift), x, y, 0};
}

EventScript::Event EventScript::Event::release(int button, float x, float y, int shift)
{
    return {Kind::Release, std::int16_t(button), std::int16_t(shift), x, y, 0};
}

EventScript::Event EventScript::Event::command(int number)
{
    return {Kind::Command, 0, 0, 0, 0, number};
}

EventScript::Event EventScript::Event::option(int index)
{
    return {Kind::Option, 0, 0, 0, 0, index};
}

EventScript::Event EventScript::Event::label(int index)
{
    return {Kind::Label, 0, 0, 0, 0, index};
}

std::string EventScript::eventText(const Event &e)
{
    std::string out(nameOf(e.kind));
    out += ' ';
    if (!e.isPointer()) {
        appendNumber(out, e.index);
        return out;
    }
    appendNumber(out, int(e.button));
    out += ' ';
    appendNumber(out, e.x);
    out += ' ';
    appendNumber(out, e.y);
    if (e.shift != 0) {
        out += ' ';
        appendNumber(out, int(e.shift));
    }
    return out;
}

std::string EventScript::toText(char separator) const
{
    std::string out;
    for (const Event &e : events) {
        if (!out.empty())
            out += separator;
        out += eventText(e);
    }
    return out;
}

std::optional<EventScript> EventScript::fromText(std::string_view text, std::string *error)
{
    EventScript script;
    int number = 0; // of the event being read, for the error message
    while (!text.empty()) {
        // A comment runs to the end of its line, ';' inside it included.
        const std::size_t lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);

        while (true) {
            const std::size_t end = line.find(';');
            const std::string_view piece = trim(line.substr(0, end));
            if (!piece.empty()) {
                ++number;
                const auto fail = [&](std::string_view why) -> std::optional<EventScript> {
                    if (error)
                        *error = "event " + std::to_string(number) + " \"" + std::string(piece) +
                                 "\": " + std::string(why);
                    return std::nullopt;
                };
                const std::vector<std::string_view> w = words(piece);
                const auto known = std::find_if(std::begin(kNames), std::end(kNames),
                                                [&](const auto &n) { return n.name == w[0]; });
                if (known == std::end(kNames))
                    return fail("unknown event");
                Event e;
                e.kind = known->kind;
                if (!e.isPointer()) {
                    if (w.size() != 2 || !parseInt(w[1], e.index, -32768, 32767))
                        return fail("expected one index");
                } else {
                    int button = 0, shift = 0;
                    if (w.size() < 4 || w.size() > 5)
                        return fail("expected button, x, y and an optional shift state");
                    if (!parseInt(w[1], button, -32768, 32767))
                        return fail("bad button");
                    if (!parseFloat(w[2], e.x) || !parseFloat(w[3], e.y))
                        return fail("bad position");
                    if (w.size() == 5 && !parseInt(w[4], shift, -32768, 32767))
                        return fail("bad shift state");
                    e.button = std::int16_t(button);
                    e.shift = std::int16_t(shift);
                }
                script.events.push_back(e);
            }
            if (end == std::string_view::npos)
                break;
            line.remove_prefix(end + 1);
        }
    }
    return script;
}

// Byte layout: an opcode byte, then the event's operands.
//   opcode & 7: 0..2 move, 3 press, 4 release, 5 command, 6 option, 7 label.
//   Pointer events: bits 3..5 give the button (press, release; right and no button are rarer
//   than left, since a right press resets everything) or the buttons held (move); bit 6 sets
//   shift; bit 7 clear: x and y are little-endian int16 quarter pixels; bit 7 set: x and y
//   are raw little-endian float bits.
//   Index events: one byte b; below 0xF0 it maps into the valid range, from 0xF0 on it gives
//   b - 0xF8 (-8..7), so out-of-range indices are tried too.
EventScript EventScript::fromBytes(std::span<const std::uint8_t> bytes)
{
    static constexpr std::int16_t kPressButtons[8] = {1, 1, 1, 1, 1, 2, 4, 0};
    EventScript script;
    ByteReader in(bytes);
    while (!in.atEnd() && script.events.size() < kMaxDecodedEvents) {
        const std::uint8_t op = in.byte();
        const int k = op & 7;
        Event e;
        if (k <= 4) {
            e.kind = k <= 2 ? Kind::Move : k == 3 ? Kind::Press : Kind::Release;
            const int b = (op >> 3) & 7;
            e.button = e.kind == Kind::Move ? std::int16_t(b) : kPressButtons[b];
            e.shift = (op & 0x40) ? 1 : 0;
            if (op & 0x80) {
                e.x = std::bit_cast<float>(in.u32());
                e.y = std::bit_cast<float>(in.u32());
            } else {
                e.x = float(std::int16_t(in.u16())) / 4;
                e.y = float(std::int16_t(in.u16())) / 4;
            }
        } else {
            const std::uint8_t b = in.byte();
            e.kind = k == 5 ? Kind::Command : k == 6 ? Kind::Option : Kind::Label;
            const int count = k == 5 ? 4 : k == 6 ? 8 : 6;
            const int first = k == 5 ? 1 : 0;
            e.index = b < 0xF0 ? first + b % count : int(b) - 0xF8;
        }
        script.events.push_back(e);
    }
    return script;
}

std::vector<EventScript::Event> EventScript::primitives(const Form1 &form, const Event &e)
{
    if (e.kind != Kind::Label)
        return {e};
    if (!form.Label2.contains(e.index))
        return {};
    const Label &l = form.Label2[e.index];
    const float x = l.Left + l.Width / 2, y = l.Top + l.Height / 2;
    return {Event::press(1, x, y), Event::release(1, x, y)};
}

void EventScript::apply(Lesson &lesson, const Event &e)
{
    switch (e.kind) {
    case Kind::Press:
        lesson.press(e.button, e.shift, e.x, e.y);
        break;
    case Kind::Move:
        lesson.move(e.button, e.shift, e.x, e.y);
        break;
    case Kind::Release:
        lesson.release(e.button, e.shift, e.x, e.y);
        break;
    case Kind::Command:
        lesson.clickCommand(e.index);
        break;
    case Kind::Option:
        lesson.clickOption(e.index);
        break;
    case Kind::Label:
        for (const Event &p : primitives(lesson.form, e))
            apply(lesson, p);
        break;
    }
}

void EventScript::replay(Lesson &lesson) const
{
    for (const Event &e : events)
        apply(lesson, e);
}

} // namespace pr
