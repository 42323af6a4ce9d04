// The event script: its text form (which failing random sequences are printed in), the byte
// decoder that feeds the fuzzer, and replay through the user-level entry points.
#include "app/EventScript.h"
#include "app/Form1.h"

#include <QtCore/QRandomGenerator>
#include <QtTest/QtTest>

#include <bit>
#include <cmath>
#include <limits>

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

Form1 loaded()
{
    Form1 f;
    f.Form_Load();
    return f;
}

std::vector<std::uint8_t> randomBytes(QRandomGenerator &rng, int n)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    for (auto &b : bytes)
        b = std::uint8_t(rng.bounded(256));
    return bytes;
}

} // namespace

class TestEventScript : public QObject {
    Q_OBJECT

private slots:
    // --- text form ---------------------------------------------------------------------------
    void textRoundTripsEveryKindAndValue()
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
        QVERIFY2(back, error.c_str());
        QVERIFY2(sameEvents(back->events, script.events), text.c_str());
        QCOMPARE(back->toText(), text);
        QCOMPARE(script.toText(';'), back->toText(';'));
    }

    void textIsReadable()
    {
        const EventScript script{{Event::press(1, 300, 250.5f), Event::move(1, 12.25f, -3, 2),
                                  Event::command(4), Event::label(0)}};
        QCOMPARE(script.toText(';'),
                 std::string("press 1 300 250.5;move 1 12.25 -3 2;command 4;label 0"));
    }

    void textTakesCommentsBlankLinesAndSemicolons()
    {
        const auto s =
            EventScript::fromText("# a slide; then a pen\n\n  press 1 300 300   # on the "
                                  "copy; not: move 1 0 0\r\n"
                                  "move 1 310 300; release 1 310 300 ;\n\toption 3");
        QVERIFY(s);
        const std::vector<Event> expected = {Event::press(1, 300, 300), Event::move(1, 310, 300),
                                             Event::release(1, 310, 300), Event::option(3)};
        QVERIFY(s->events == expected);
        QVERIFY(EventScript::fromText("")->events.empty());
        QVERIFY(EventScript::fromText("# nothing\n;;\n")->events.empty());
    }

    void malformedTextIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named"); // the part of the message that locates the fault
        QTest::newRow("unknown event") << "press 1 0 0\nclick 3"
                                       << "event 2 \"click 3\"";
        QTest::newRow("missing y") << "move 1 300"
                                   << "event 1";
        QTest::newRow("too many operands") << "press 1 2 3 4 5"
                                           << "event 1";
        QTest::newRow("index with junk") << "option 3x"
                                         << "event 1";
        QTest::newRow("index missing") << "label"
                                       << "event 1";
        QTest::newRow("two indices") << "command 1 2"
                                     << "event 1";
        QTest::newRow("bad number") << "release 1 1.2.3 4"
                                    << "event 1";
        QTest::newRow("leading plus") << "move 1 +3 4"
                                      << "event 1";
        QTest::newRow("button out of 16 bits") << "press 70000 1 1"
                                               << "event 1";
        QTest::newRow("error after a separator") << "command 3; option 1; move a b c"
                                                 << "event 3";
        QTest::newRow("blank lines and comments are not events")
            << "# start\n\ncommand 3 # memo; on\n;;\nlabel x"
            << "event 2 \"label x\"";
    }

    void malformedTextIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, named);
        std::string error;
        QVERIFY(!EventScript::fromText(text.toStdString(), &error));
        QVERIFY2(QString::fromStdString(error).contains(named), error.c_str());
        QVERIFY(!EventScript::fromText(text.toStdString())); // no message asked for
    }

    // --- replay --------------------------------------------------------------------------------
    void replayEqualsTheHandlerCalls()
    {
        const auto script = EventScript::fromText(
            "press 1 300 300; move 1 452.5 310; release 1 452.5 310;"
            "press 1 100 100; release 1 100 100; command 3; option 7;"
            "press 1 10 10; move 1 20 20; release 2 20 20 1; command 3; command 4;"
            "label 0; label 4; label 1");
        QVERIFY(script);
        Form1 replayed = loaded();
        script->replay(replayed);

        Form1 direct = loaded();
        direct.gamen_MouseDown(1, 0, 300, 300);
        direct.gamen_MouseMove(1, 0, 452.5f, 310);
        direct.gamen_MouseUp(1, 0, 452.5f, 310);
        direct.gamen_MouseDown(1, 0, 100, 100);
        direct.gamen_MouseUp(1, 0, 100, 100);
        direct.Command3_Click();
        direct.selectOption1(7);
        direct.Option1_Click(7);
        direct.gamen_MouseDown(1, 0, 10, 10);
        direct.gamen_MouseMove(1, 0, 20, 20);
        direct.gamen_MouseUp(2, 1, 20, 20);
        direct.Command3_Click();
        direct.Command4_Click();
        direct.Label2_Click(0);
        direct.Label2_Click(4);
        direct.Label2_Click(1);
        QVERIFY(replayed == direct);
        QVERIFY(!(replayed == loaded()));
    }

    void replayIgnoresDisabledAndMissingControls()
    {
        const Form1 initial = loaded();
        Form1 f = initial;
        // Pen options are disabled outside memo mode; there is no option 8, command 5 or
        // label 6; labels do nothing outside diagonal mode.
        EventScript::fromText("option 5; option 8; option -1; command 0; command 5;"
                              "label 2; label 6; label -3")
            ->replay(f);
        QVERIFY(f == initial);

        // In diagonal mode メモ is disabled; in memo mode 対角線 is.
        Form1 diagonal = initial;
        EventScript{{Event::command(4)}}.replay(diagonal);
        Form1 d2 = diagonal;
        EventScript{{Event::command(3)}}.replay(d2);
        QVERIFY(d2 == diagonal);
        Form1 memo = initial;
        EventScript{{Event::command(3)}}.replay(memo);
        Form1 m2 = memo;
        EventScript{{Event::command(4)}}.replay(m2);
        QVERIFY(m2 == memo);
        // ... while an enabled pen option is selected and applied.
        EventScript{{Event::option(5)}}.replay(m2);
        QCOMPARE(m2.selectedOption1(), 5);
        QCOMPARE(m2.st.penColor, 14.0f);
        QCOMPARE(m2.gamen.DrawWidth, 6);
    }

    // --- bytes ---------------------------------------------------------------------------------
    void bytesDecodeAsLaidOut()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const auto le32 = [](float v, std::vector<std::uint8_t> &out) {
            const auto u = std::bit_cast<std::uint32_t>(v);
            for (int i = 0; i < 4; ++i)
                out.push_back(std::uint8_t(u >> (8 * i)));
        };
        std::vector<std::uint8_t> bytes = {
            0x03,
            0xb0,
            0x04,
            0xb0,
            0x04, // press, left, (300, 300) in quarter pixels
            0x00 | (2 << 3) | 0x40,
            0xff,
            0xff,
            0x00,
            0x80, // move, right held, shift, (-0.25, -8192)
            0x04 | (5 << 3),
            0,
            0,
            0,
            0, // release of the right button at (0, 0)
            0x05,
            6, // command (6 % 4) + 1 = 3
            0x06,
            0xf8, // option 0xf8 - 0xf8 = 0
            0x07,
            0xff, // label 0xff - 0xf8 = 7: out of range
            0x84, // release, left, raw floats follow
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
        QVERIFY2(sameEvents(s.events, expected), s.toText().c_str());
    }

    void anyBytesDecodeWithinBounds()
    {
        QRandomGenerator rng(7);
        for (int round = 0; round < 2000; ++round) {
            const auto bytes = randomBytes(rng, int(rng.bounded(200)));
            const EventScript s = EventScript::fromBytes(bytes);
            QVERIFY(s.events.size() <= bytes.size()); // every event takes at least one byte
            if (!bytes.empty())
                QVERIFY(!s.events.empty());
            // What was decoded survives the text form.
            const auto back = EventScript::fromText(s.toText());
            QVERIFY(back);
            QVERIFY2(sameEvents(back->events, s.events), s.toText().c_str());
        }
        // A flood of moves stops at the bound.
        const std::vector<std::uint8_t> flood(EventScript::kMaxDecodedEvents * 6, 0x00);
        QCOMPARE(EventScript::fromBytes(flood).events.size(), EventScript::kMaxDecodedEvents);
        QVERIFY(EventScript::fromBytes({}).events.empty());
    }

    void decodedScriptsReplayOnTheForm()
    {
        // Raw bytes reach every handler, with any coordinates, without upsetting the form's
        // bookkeeping (the front end keeps unusable positions away; here nothing does).
        QRandomGenerator rng(11);
        for (int round = 0; round < 300; ++round) {
            Form1 f = loaded();
            EventScript::fromBytes(randomBytes(rng, 400)).replay(f);
            QVERIFY(f.st.diagonalStep >= 0 && f.st.diagonalStep <= 4);
            QVERIFY(!(f.st.memoMode == 1 && f.st.diagonalMode == 1));
            QVERIFY(f.selectedOption1() >= 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestEventScript)
#include "tst_eventscript.moc"
