// Memo mode: the toggle, the eight pens, strokes on the surface's own layer, the eraser
// cursor, and the rule that a stroke never outlives the gesture or mode that began it.
#include "RecordingSink.h"
#include "app/Form1.h"
#include "app/QBColor.h"

#include <QtTest/QtTest>

using namespace pr;
using Segment = RecordingSink::Segment;

namespace {

struct MemoForm {
    RecordingSink sink;
    Form1 f;
    MemoForm()
    {
        f.gamen.setSink(&sink);
        f.Form_Load();
    }
    MemoForm(const MemoForm &) = delete;
};

} // namespace

class TestMemo : public QObject {
    Q_OBJECT

private slots:
    // --- toggle and pens ---------------------------------------------------------------------
    void toggleEnablesThePensAndExcludesDiagonal()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        QCOMPARE(f.st.memoMode, 1.0f);
        QCOMPARE(f.st.diagonalMode, 0.0f);
        for (int i = 0; i <= 7; ++i)
            QVERIFY(f.Option1[i].Enabled);
        QVERIFY(!f.Command4.Enabled);
        QVERIFY(f.Command3.Enabled);
        f.clickCommand(4); // disabled: ignored
        QCOMPARE(f.st.diagonalMode, 0.0f);

        f.clickCommand(3);
        QCOMPARE(f.st.memoMode, 0.0f);
        for (int i = 0; i <= 7; ++i)
            QVERIFY(!f.Option1[i].Enabled);
        QVERIFY(f.Command4.Enabled);
        QCOMPARE(m.sink.clears, 1); // leaving memo mode keeps the strokes
    }

    void penTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("colour");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("cursor");
        QTest::newRow("thin red") << 0 << 12.f << 3 << false;
        QTest::newRow("thin yellow") << 1 << 14.f << 3 << false;
        QTest::newRow("thin blue") << 2 << 9.f << 3 << false;
        QTest::newRow("thin eraser") << 3 << 2.f << 15 << true;
        QTest::newRow("thick red") << 4 << 12.f << 6 << false;
        QTest::newRow("thick yellow") << 5 << 14.f << 6 << false;
        QTest::newRow("thick blue") << 6 << 9.f << 6 << false;
        QTest::newRow("thick eraser") << 7 << 2.f << 25 << true;
    }
    void penTable()
    {
        QFETCH(int, index);
        QFETCH(float, colour);
        QFETCH(int, width);
        QFETCH(bool, cursor);
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.clickOption1(index == 7 ? 3 : 7); // start from the other eraser, cursor shown
        f.clickOption1(index);
        QCOMPARE(f.selectedOption1(), index);
        QCOMPARE(f.st.penColor, colour);
        QCOMPARE(f.gamen.DrawWidth, width);
        QCOMPARE(f.Shape1.Visible, cursor);
        if (cursor)
            QCOMPARE(f.Shape1.Width, float(width)); // the eraser's footprint
        QCOMPARE(f.Shape1.Height, 25.0f);

        // Its strokes carry the pen; the eraser paints in the surface's own green.
        f.gamen_MouseDown(1, 0, 10, 20);
        f.gamen_MouseMove(1, 0, 30, 40);
        QCOMPARE(m.sink.segments.size(), std::size_t(1));
        QCOMPARE(m.sink.segments[0], (Segment{10, 20, 30, 40, QBColor(int(colour)), width}));
        if (cursor)
            QCOMPARE(m.sink.segments[0].colour, f.gamen.BackColor);
    }

    void optionsAreOneGroupAndIgnoredWhileDisabled()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickOption1(5); // disabled outside memo mode
        QCOMPARE(f.selectedOption1(), 0);
        QCOMPARE(f.st.penColor, 12.0f);
        f.clickCommand(3);
        f.clickOption1(5);
        f.clickOption1(2); // lower row clears the upper
        int selected = 0;
        for (const OptionButton &o : f.Option1)
            selected += o.Value;
        QCOMPARE(selected, 1);
        QCOMPARE(f.selectedOption1(), 2);
        f.clickOption1(8); // no such option
        f.clickOption1(-1);
        QCOMPARE(f.selectedOption1(), 2);
    }

    void cursorShowsAtOnceWithAnEraserStillSelected()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.clickOption1(7);
        f.clickCommand(3);
        QVERIFY(!f.Shape1.Visible);
        f.clickCommand(3); // no option clicked: the thick eraser is still selected
        QVERIFY(f.Shape1.Visible);
        QCOMPARE(f.Shape1.Width, 25.0f);
        QCOMPARE(f.gamen.DrawWidth, 25);

        f.clickOption1(1);
        f.clickCommand(3);
        f.clickCommand(3); // with a colour pen the cursor stays hidden
        QVERIFY(!f.Shape1.Visible);
    }

    void cursorIsCentredOnThePointer()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.clickOption1(3);
        f.gamen_MouseMove(0, 0, 100.5f, 200.25f);
        QCOMPARE(f.Shape1.Left, 100.5f - 7.5f);
        QCOMPARE(f.Shape1.Top, 200.25f - 12.5f);
        f.gamen_MouseMove(0, 0, -3, 700); // past the edge too
        QCOMPARE(f.Shape1.Left, -10.5f);
        QCOMPARE(f.Shape1.Top, 687.5f);
    }

    void resetLeavesTheThickPenAtDrawWidthThree()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.clickOption1(4);
        f.Command1_Click();
        QCOMPARE(f.gamen.DrawWidth, 3);
        QCOMPARE(f.selectedOption1(), 4);
        QCOMPARE(f.st.penColor, 12.0f);
        QVERIFY(!f.Option1[4].Enabled);
        f.clickCommand(3); // entering memo mode does not re-apply the pen
        f.gamen_MouseDown(1, 0, 0, 0);
        f.gamen_MouseMove(1, 0, 5, 5);
        QCOMPARE(m.sink.segments.back().width, 3);
    }

    // --- strokes ---------------------------------------------------------------------------
    void aStrokeIsThePolylineOfTheMoves()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 1.5f, 2.5f);
        QVERIFY(m.sink.segments.empty()); // the press draws nothing
        f.gamen_MouseMove(1, 0, 10, 20);
        f.gamen_MouseMove(1, 0, 10, 20); // a move to the same point: a zero-length segment
        f.gamen_MouseMove(1, 0, 900, -40);
        f.gamen_MouseUp(1, 0, 900, -40);
        const QRgb red = QBColor(12);
        const std::vector<Segment> expected = {{1.5f, 2.5f, 10, 20, red, 3},
                                               {10, 20, 10, 20, red, 3},
                                               {10, 20, 900, -40, red, 3}};
        QCOMPARE(m.sink.segments, expected);
        QCOMPARE(f.st.penDown, 0.0f);
    }

    void clickWithoutMotionDrawsNothing()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 100, 100);
        f.gamen_MouseUp(1, 0, 100, 100);
        QVERIFY(m.sink.segments.empty());
    }

    void hoveringDrawsNothingButFollowsThePointer()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseMove(0, 0, 50, 60);
        f.gamen_MouseMove(0, 0, 70, 80);
        QVERIFY(m.sink.segments.empty());
        QCOMPARE(f.st.lastX, 70.0f);
        QCOMPARE(f.st.lastY, 80.0f);
    }

    void pressInMemoModeSelectsNothingOnTheCopy()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 300, 300);
        QCOMPARE(f.st.dragMode, 0.0f);
        QCOMPARE(f.st.penDown, 1.0f);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        f.gamen_MouseMove(1, 0, 350, 300);
        QCOMPARE(f.Line2[0].X1, 400.0f);
        QCOMPARE(m.sink.segments.size(), std::size_t(1));
    }

    void anyReleaseEndsTheStroke()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 0, 0);
        f.gamen_MouseDown(4, 0, 1, 1); // middle press: no reset, no new stroke
        f.gamen_MouseUp(4, 0, 1, 1);   // its release ends the stroke, left still held
        f.gamen_MouseMove(1, 0, 40, 40);
        QVERIFY(m.sink.segments.empty());
        QCOMPARE(f.st.penDown, 0.0f);
    }

    void theColourIsReadAtEachSegment()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 0, 0);
        f.gamen_MouseMove(1, 0, 10, 0);
        f.clickOption1(6); // a pen chosen mid-stroke (by keyboard) applies at once
        f.gamen_MouseMove(1, 0, 20, 0);
        QCOMPARE(m.sink.segments[0].colour, QBColor(12));
        QCOMPARE(m.sink.segments[1].colour, QBColor(9));
        QCOMPARE(m.sink.segments[1].width, 6);
    }

    void rightPressClearsStrokesAndLeavesMemoMode()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 0, 0);
        f.gamen_MouseMove(1, 0, 10, 0);
        f.gamen_MouseUp(1, 0, 10, 0);
        QCOMPARE(m.sink.clears, 1);
        f.gamen_MouseDown(2, 0, 5, 5);
        QCOMPARE(m.sink.clears, 2);
        QCOMPARE(f.st.memoMode, 0.0f);
        QCOMPARE(f.st.penDown, 0.0f);
        QVERIFY(f.Command4.Enabled);
    }

    // A pen held down across a reset used to stay down: after turning memo mode on again,
    // moving with no button held drew a stroke.
    void aStrokeDoesNotOutliveAResetOrItsMode()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.gamen_MouseDown(1, 0, 100, 100); // left down, stroke begins
        f.gamen_MouseDown(2, 0, 100, 100); // right down: reset, memo mode off
        f.gamen_MouseUp(1, 0, 100, 100);
        f.gamen_MouseUp(2, 0, 100, 100);
        f.clickCommand(3);
        f.gamen_MouseMove(0, 0, 200, 200); // no button held
        f.gamen_MouseMove(0, 0, 300, 250);
        QVERIFY(m.sink.segments.empty());

        // The same when memo mode is left by its own button while the pen is down.
        f.gamen_MouseDown(1, 0, 0, 0);
        f.clickCommand(3);
        f.clickCommand(3);
        f.gamen_MouseMove(0, 0, 50, 50);
        QVERIFY(m.sink.segments.empty());
        QCOMPARE(f.st.penDown, 0.0f);
    }

    void strokesOutliveTheModeUntilAReset()
    {
        MemoForm m;
        Form1 &f = m.f;
        f.clickCommand(3);
        f.clickOption1(1);
        f.gamen_MouseDown(1, 0, 0, 0);
        f.gamen_MouseMove(1, 0, 10, 0);
        f.gamen_MouseUp(1, 0, 10, 0);
        f.clickCommand(3);
        QCOMPARE(m.sink.clears, 1);
        QCOMPARE(m.sink.segments.size(), std::size_t(1));
        QCOMPARE(f.selectedOption1(), 1);
        QVERIFY(!f.Option1[1].Enabled);
        // Outside memo mode a left drag on empty surface draws nothing.
        f.gamen_MouseDown(1, 0, 600, 600);
        f.gamen_MouseMove(1, 0, 620, 600);
        QCOMPARE(m.sink.segments.size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestMemo)
#include "tst_memo.moc"
