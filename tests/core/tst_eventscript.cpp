// The event script: its text form (which failing random sequences are printed in), the byte
// decoder that feeds the fuzzer, and replay through the lesson's entry points.
#include "diagonal/Diagonal.h"
#include "memo/Memo.h"
#include "support/EventScript.h"
#include "support/FormInvariants.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace pr;
using Event = EventScript::Event;
using Kind = EventScript::Kind;

namespace {

// Same event, with NaN equal to NaN and every other float compared bit for bit.
bool sameEvent(const Event &a, const Event &b)
{
    const auto sameFloat = [](float u, float v) {
        return (std::isnan(u) && std::isnan(v)) ||
               std::bit_cast<std::uint32_t>(u) == std::bit_cast<std::uint32_t>(v);
    };
    return a.kind == b.kind && a.button == b.button && a.shift == b.shift && a.index == b.index &&
           sameFloat(a.x, b.x) && sameFloat(a.y, b.y);
}

bool sameEvents(const std::vector<Event> &a, const std::vector<Event> &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameEvent);
}

// Bytes from a fixed generator: mt19937's sequence is the same on every platform.
std::vector<std::uint8_t> randomBytes(std::mt19937 &rng, std::size_t n)
{
    std::vector<std::uint8_t> bytes(n);
    for (auto &b : bytes)
        b = std::uint8_t(rng() >> 24);
    return bytes;
}

// The centre of a point label, where a label event clicks.
struct Centre {
    float x, y;
};
Centre centreOf(const Form1 &f, int label)
{
    const Label &l = f.Label2[label];
    return {l.Left + l.Width / 2, l.Top + l.Height / 2};
}

} // namespace

// On failure, names the first control or field that differs.
#define CHECK_SAME_FORM(a, b) CHECK_MESSAGE((a) == (b), FormInvariants::firstDifference((a), (b)))

TEST_SUITE_BEGIN("event script");

// --- text form ------------------------------------------------------------------------------
TEST_CASE("textRoundTripsEveryKindAndValue")
{
    const float inf = std::numeric_limits<float>::infinity();
    const EventScript script{{
        Event::press(1, 300, 300),
        Event::move(1, 452.5f, 310.25f, 1),
        Event::release(4, -0.1f, 1e30f, 7),
        Event::move(0, std::numeric_limits<float>::quiet_NaN(), -inf),
        Event::move(3, inf, std::numeric_limits<float>::denorm_min()),
        Event::press(2, 181.3f, 3.4028235e38f),
        Event::move(0, 0.1f + 0.2f, -0.0f),
        Event::command(3),
        Event::option(7),
        Event::label(5),
        Event::label(-1),
        Event::command(99),
    }};
    const std::string text = script.toText();
    std::string error;
    const auto back = EventScript::fromText(text, &error);
    REQUIRE_MESSAGE(back, error);
    CHECK_MESSAGE(sameEvents(back->events, script.events), text);
    CHECK(back->toText() == text);
    CHECK(script.toText(';') == back->toText(';'));
}

TEST_CASE("textIsReadable")
{
    const EventScript script{{Event::press(1, 300, 250.5f), Event::move(1, 12.25f, -3, 2),
                              Event::command(4), Event::label(0)}};
    CHECK(script.toText(';') == "press 1 300 250.5;move 1 12.25 -3 2;command 4;label 0");
}

TEST_CASE("textTakesCommentsBlankLinesAndSemicolons")
{
    const auto s = EventScript::fromText("# a slide; then a pen\n\n  press 1 300 300   # on the "
                                         "copy; not: move 1 0 0\r\n"
                                         "move 1 310 300; release 1 310 300 ;\n\toption 3");
    REQUIRE(s);
    const std::vector<Event> expected = {Event::press(1, 300, 300), Event::move(1, 310, 300),
                                         Event::release(1, 310, 300), Event::option(3)};
    CHECK(s->events == expected);
    CHECK(EventScript::fromText("")->events.empty());
    CHECK(EventScript::fromText("# nothing\n;;\n")->events.empty());
}

TEST_CASE("malformedTextIsRefused")
{
    const struct {
        const char *name;
        const char *text;
        const char *named; // the part of the message that locates the fault
    } rows[] = {
        {"unknown event", "press 1 0 0\nclick 3", "event 2 \"click 3\""},
        {"missing y", "move 1 300", "event 1"},
        {"too many operands", "press 1 2 3 4 5", "event 1"},
        {"index with junk", "option 3x", "event 1"},
        {"index missing", "label", "event 1"},
        {"two indices", "command 1 2", "event 1"},
        {"bad number", "release 1 1.2.3 4", "event 1"},
        {"leading plus", "move 1 +3 4", "event 1"},
        {"button out of 16 bits", "press 70000 1 1", "event 1"},
        {"error after a separator", "command 3; option 1; move a b c", "event 3"},
        {"blank lines and comments are not events",
         "# start\n\ncommand 3 # memo; on\n;;\nlabel x", "event 2 \"label x\""},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        std::string error;
        CHECK(!EventScript::fromText(row.text, &error));
        CHECK_MESSAGE(error.find(row.named) != std::string::npos, error);
        CHECK(!EventScript::fromText(row.text)); // no message asked for
    }
}

// --- replay ---------------------------------------------------------------------------------
TEST_CASE("replayEqualsTheHandlerCalls")
{
    const auto script = EventScript::fromText(
        "press 1 300 300; move 1 452.5 310; release 1 452.5 310;"
        "press 1 100 100; release 1 100 100; command 3; option 7;"
        "press 1 10 10; move 1 20 20; release 2 20 20 1; command 3; command 4;"
        "label 0; label 4; label 1");
    REQUIRE(script);
    Lesson replayed = loadedLesson();
    script->replay(replayed);

    Lesson direct = loadedLesson();
    direct.gamen_MouseDown(1, 0, 300, 300);
    direct.gamen_MouseMove(1, 0, 452.5f, 310);
    direct.gamen_MouseUp(1, 0, 452.5f, 310);
    direct.gamen_MouseDown(1, 0, 100, 100);
    direct.gamen_MouseUp(1, 0, 100, 100);
    memo::Command3_Click(direct.form);
    direct.form.selectOption1(7);
    memo::Option1_Click(direct.form, 7);
    direct.gamen_MouseDown(1, 0, 10, 10);
    direct.gamen_MouseMove(1, 0, 20, 20);
    direct.gamen_MouseUp(2, 1, 20, 20);
    memo::Command3_Click(direct.form);
    diagonal::Command4_Click(direct.form);
    // A label click: the press and release reach the surface at the label's centre, then
    // the label's own handler runs.
    for (int label : {0, 4, 1}) {
        const Centre c = centreOf(direct.form, label);
        direct.gamen_MouseDown(1, 0, c.x, c.y);
        direct.gamen_MouseUp(1, 0, c.x, c.y);
        diagonal::Label2_Click(direct.form, std::int16_t(label));
    }
    CHECK_SAME_FORM(replayed.form, direct.form);
    CHECK(!(replayed.form == loadedLesson().form));
}

TEST_CASE("replayIgnoresDisabledAndMissingControls")
{
    const Lesson initial = loadedLesson();
    Lesson l = initial;
    // Pen options are disabled outside memo mode; there is no option 8, command 5 or
    // label 6; labels build nothing outside diagonal mode. The click on Ｃ presses on the
    // copy of ℓ and lets go of it unmoved, which only records the pointer.
    EventScript::fromText("option 5; option 8; option -1; command 0; command 5;"
                          "label 2; label 6; label -3")
        ->replay(l);
    Form1 expected = initial.form;
    const Centre c = centreOf(initial.form, 2);
    expected.st.lastX = c.x;
    expected.st.lastY = c.y;
    CHECK_SAME_FORM(l.form, expected);

    // In diagonal mode メモ is disabled; in memo mode 対角線 is.
    Lesson diagonal = initial;
    EventScript{{Event::command(4)}}.replay(diagonal);
    Lesson d2 = diagonal;
    EventScript{{Event::command(3)}}.replay(d2);
    CHECK_SAME_FORM(d2.form, diagonal.form);
    Lesson memo = initial;
    EventScript{{Event::command(3)}}.replay(memo);
    Lesson m2 = memo;
    EventScript{{Event::command(4)}}.replay(m2);
    CHECK_SAME_FORM(m2.form, memo.form);
    // ... while an enabled pen option is selected and applied.
    EventScript{{Event::option(5)}}.replay(m2);
    CHECK(m2.form.selectedOption1() == 5);
    CHECK(m2.form.st.penColor == 14);
    CHECK(m2.form.gamen.DrawWidth == 6);
}

TEST_CASE("labelEventsStandForAPressAndARelease")
{
    const Lesson l = loadedLesson();
    for (int label = 0; label <= 5; ++label) {
        CAPTURE(label);
        const Centre c = centreOf(l.form, label);
        const std::vector<Event> expected = {Event::press(1, c.x, c.y),
                                             Event::release(1, c.x, c.y)};
        CHECK(EventScript::primitives(l.form, Event::label(label)) == expected);
    }
    for (int label : {-1, 6, 100})
        CHECK(EventScript::primitives(l.form, Event::label(label)).empty());
    // The centre is read from the form as it is.
    Form1 moved = l.form;
    moved.Label2[3].Left += 100;
    CHECK(EventScript::primitives(moved, Event::label(3)).front().x ==
          centreOf(l.form, 3).x + 100);
    for (const Event &e : {Event::press(2, 1, 2, 1), Event::move(3, -4, 5),
                           Event::release(4, 6, 7), Event::command(4), Event::option(9)}) {
        CAPTURE(EventScript::eventText(e));
        CHECK(EventScript::primitives(l.form, e) == std::vector<Event>{e});
    }
}

// --- bytes ----------------------------------------------------------------------------------
TEST_CASE("bytesDecodeAsLaidOut")
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto le32 = [](float v, std::vector<std::uint8_t> &out) {
        const auto u = std::bit_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(u >> (8 * i)));
    };
    std::vector<std::uint8_t> bytes = {
        0x03, 0xb0, 0x04, 0xb0, 0x04,                // press, left, (300, 300) in quarter pixels
        0x00 | (2 << 3) | 0x40, 0xff, 0xff, 0x00, 0x80, // move, right held, shift, (-0.25, -8192)
        0x04 | (5 << 3), 0, 0, 0, 0,                 // release of the right button at (0, 0)
        0x05, 6,                                     // command (6 % 4) + 1 = 3
        0x06, 0xf8,                                  // option 0xf8 - 0xf8 = 0
        0x07, 0xff,                                  // label 0xff - 0xf8 = 7: out of range
        0x84,                                        // release, left, raw floats follow
    };
    le32(nan, bytes);
    le32(1e30f, bytes);
    bytes.push_back(0x83); // press with raw floats, cut short: the rest reads as zero
    bytes.push_back(0x00);
    bytes.push_back(0x00);
    bytes.push_back(0x80);
    bytes.push_back(0x7f);

    const EventScript s = EventScript::fromBytes(bytes);
    const std::vector<Event> expected = {
        Event::press(1, 300, 300),
        Event::move(2, -0.25f, -8192, 1),
        Event::release(2, 0, 0),
        Event::command(3),
        Event::option(0),
        Event::label(7),
        Event::release(1, nan, 1e30f),
        Event::press(1, std::numeric_limits<float>::infinity(), 0),
    };
    CHECK_MESSAGE(sameEvents(s.events, expected), s.toText());
}

TEST_CASE("anyBytesDecodeWithinBounds")
{
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        CAPTURE(round);
        const auto bytes = randomBytes(rng, rng() % 200);
        const EventScript s = EventScript::fromBytes(bytes);
        CHECK(s.events.size() <= bytes.size()); // every event takes at least one byte
        if (!bytes.empty())
            CHECK(!s.events.empty());
        // What was decoded survives the text form.
        const auto back = EventScript::fromText(s.toText());
        REQUIRE(back);
        CHECK_MESSAGE(sameEvents(back->events, s.events), s.toText());
    }
    // A flood of moves stops at the bound.
    const std::vector<std::uint8_t> flood(EventScript::kMaxDecodedEvents * 6, 0x00);
    CHECK(EventScript::fromBytes(flood).events.size() == EventScript::kMaxDecodedEvents);
    CHECK(EventScript::fromBytes({}).events.empty());
}

TEST_CASE("decodedScriptsReplayOnTheForm")
{
    // Raw bytes reach every entry point, with any coordinates, without upsetting the form's
    // bookkeeping; positions the lesson cannot use never reach the form.
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        CAPTURE(round);
        Lesson l = loadedLesson();
        const EventScript s = EventScript::fromBytes(randomBytes(rng, 400));
        s.replay(l);
        const Form1 &f = l.form;
        CHECK((f.st.diagonalStep >= 0 && f.st.diagonalStep <= 4));
        CHECK(!(f.st.memoMode && f.st.diagonalMode));
        CHECK(f.selectedOption1() >= 0);
        const std::string finite = FormInvariants::checkFinite(f);
        CHECK_MESSAGE(finite.empty(), finite, "\n", s.toText());
    }
}

TEST_SUITE_END();
