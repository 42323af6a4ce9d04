// The press-move-release gesture on the figure: hit regions, the slide of the copy of ℓ with
// its labels, the prolongations and Ｇ, and what each mode lets through.
#include "RecordingSink.h"
#include "LoadedForm.h"
#include "app/Form1.h"
#include "app/QBColor.h"

#include <QtTest/QtTest>

using namespace pr;

namespace {

// The form with only the pointer record changed, for presses that must select nothing.
Form1 withPointer(Form1 f, float x, float y)
{
    f.st.lastX = x;
    f.st.lastY = y;
    return f;
}

// Slides the copy so that its top end lands on x1 (it starts at 400).
void slideCopyTo(Form1 &f, float x1)
{
    f.gamen_MouseDown(1, 0, 300, 300);
    f.gamen_MouseMove(1, 0, 300 + (x1 - 400), 300);
}

} // namespace

class TestGesture : public QObject {
    Q_OBJECT

private slots:
    // --- press: which region a left press selects ---------------------------------------
    void pressRegions_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("dragMode");
        QTest::newRow("copy, inside") << 300.f << 300.f << 1.f;
        QTest::newRow("copy, y = 250 inclusive") << 300.f << 250.f << 1.f;
        QTest::newRow("copy, y = 500 inclusive") << 300.f << 500.f << 1.f;
        QTest::newRow("copy, x = X2 inclusive") << 150.f << 400.f << 1.f;
        QTest::newRow("copy, x = X1 inclusive") << 400.f << 260.f << 1.f;
        QTest::newRow("copy band, left of X2") << 149.9f << 300.f << 0.f;
        QTest::newRow("copy band, right of X1") << 400.1f << 300.f << 0.f;
        QTest::newRow("below r") << 300.f << 500.1f << 0.f;
        QTest::newRow("just above p, ℓ side") << 300.f << 249.99f << 2.f;
        QTest::newRow("ℓ top, far left") << -30.f << -5.f << 2.f;
        QTest::newRow("ℓ top, x just below 440") << 439.99f << 100.f << 2.f;
        QTest::newRow("ℓ top bound 440 is strict") << 440.f << 100.f << 0.f;
        QTest::newRow("gap between the tops") << 445.f << 100.f << 0.f;
        QTest::newRow("m top bound 450 is strict") << 450.f << 100.f << 0.f;
        QTest::newRow("m top, x just above 450") << 450.01f << 100.f << 3.f;
        QTest::newRow("m top, far right") << 900.f << 249.f << 3.f;
    }
    void pressRegions()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, dragMode);
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, x, y);
        QCOMPARE(f.st.dragMode, dragMode);
        QCOMPARE(f.st.lastX, x);
        QCOMPARE(f.st.lastY, y);
    }

    void aMissChangesOnlyThePointerRecord()
    {
        for (const QPointF p : {QPointF(100, 600), QPointF(445, 10), QPointF(420, 400)}) {
            Form1 f = loadedForm();
            const Form1 expected = withPointer(f, float(p.x()), float(p.y()));
            f.gamen_MouseDown(1, 0, float(p.x()), float(p.y()));
            QVERIFY(f == expected);
        }
    }

    void otherButtonsOnlyRecordThePointer()
    {
        for (std::int16_t button : {std::int16_t(0), std::int16_t(4), std::int16_t(3)}) {
            Form1 f = loadedForm();
            const Form1 expected = withPointer(f, 300, 300);
            f.gamen_MouseDown(button, 1, 300, 300); // on the copy, with shift
            QVERIFY(f == expected);
        }
    }

    void pressOnCopyHighlightsIt()
    {
        Form1 f = loadedForm();
        f.Label3[3].Visible = false; // visibility is left as it is
        f.gamen_MouseDown(1, 0, 300, 300);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(13));
        for (int i = 2; i <= 4; ++i)
            QCOMPARE(f.Label3[i].ForeColor, QBColor(13));
        QVERIFY(!f.Label3[3].Visible);
        QCOMPARE(f.Line2[1].X1, 1000.0f); // nothing else shown
    }

    void pressOnTopsLaysOutProlongations()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 100, 100);
        const Line &l = f.Line2[1];
        QCOMPARE(QRectF(QPointF(l.X1, l.Y1), QPointF(l.X2, l.Y2)),
                 QRectF(QPointF(400, 150), QPointF(487.5, 10)));
        QCOMPARE(l.BorderColor, QBColor(13));
        f.gamen_MouseUp(1, 0, 100, 100);
        f.gamen_MouseDown(1, 0, 700, 0);
        const Line &m = f.Line2[2];
        QCOMPARE(QRectF(QPointF(m.X1, m.Y1), QPointF(m.X2, m.Y2)),
                 QRectF(QPointF(470, 150), QPointF(442, 10)));
        QCOMPARE(m.BorderColor, QBColor(13));
        QCOMPARE(f.Line2[1].BorderColor, QBColor(15)); // the first stays committed
    }

    void overlappingRegionsLastMatchWins()
    {
        // The tests read ℓ's and m's top ends afresh; were they to overlap, every matching
        // region would act and the last would decide.
        Form1 f = loadedForm();
        f.Line1[3].X1 = 480; // ℓ-top now reaches x < 520, m-top starts at x > 450
        f.gamen_MouseDown(1, 0, 500, 100);
        QCOMPARE(f.st.dragMode, 3.0f);
        QCOMPARE(f.Line2[1].BorderColor, QBColor(13));
        QCOMPARE(f.Line2[2].BorderColor, QBColor(13));
    }

    void copyRegionFollowsTheCopy()
    {
        Form1 f = loadedForm();
        slideCopyTo(f, 600);
        f.gamen_MouseUp(1, 0, 0, 0);
        f.gamen_MouseDown(1, 0, 320, 300); // where the copy was
        QCOMPARE(f.st.dragMode, 0.0f);
        f.gamen_MouseDown(1, 0, 350.5f, 300); // X2 is now 350
        QCOMPARE(f.st.dragMode, 1.0f);
    }

    void rightPressResetsThenRecords()
    {
        Form1 f = loadedForm();
        slideCopyTo(f, 520);
        f.gamen_MouseDown(2, 0, 77, 88);
        QCOMPARE(f.st.dragMode, 0.0f);
        QCOMPARE(f.Line2[0].X1, 400.0f);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        QCOMPARE(f.st.lastX, 77.0f);
        QCOMPARE(f.st.lastY, 88.0f);
        // The rest of the gesture slides nothing.
        f.gamen_MouseMove(1, 0, 200, 300);
        QCOMPARE(f.Line2[0].X1, 400.0f);
    }

    void pressInDiagonalModeSelectsNothing()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        const Form1 expected = withPointer(f, 300, 300);
        f.gamen_MouseDown(1, 0, 300, 300);
        QVERIFY(f == expected);
        f.gamen_MouseMove(1, 0, 350, 310);
        f.gamen_MouseUp(1, 0, 350, 310);
        QCOMPARE(f.Line2[0].X1, 400.0f);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(15));
    }

    // --- move: the slide ------------------------------------------------------------------
    void slideFollowsHorizontalMotionOnly()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 210.25f, 480); // anywhere on the copy
        f.gamen_MouseMove(1, 0, 240.5f, 100);  // vertical motion is ignored
        QCOMPARE(f.Line2[0].X1, 430.25f);
        QCOMPARE(f.Line2[0].X2, 180.25f);
        QCOMPARE(f.Line2[0].Y1, 150.0f);
        QCOMPARE(f.Line2[0].Y2, 550.0f);
        QCOMPARE(f.Label3[2].Left, 346.25f);
        QCOMPARE(f.Label3[3].Left, 285.25f);
        QCOMPARE(f.Label3[4].Left, 193.25f);
        QCOMPARE(f.Label3[2].Top, 219.0f);
        f.gamen_MouseMove(1, 0, 240.5f, 400); // only Y changes: nothing moves
        QCOMPARE(f.Line2[0].X1, 430.25f);
        QCOMPARE(f.st.lastY, 400.0f);
        // Labels shown get light red from the first move; the copy stays highlighted.
        for (int i = 2; i <= 4; ++i)
            QCOMPARE(f.Label3[i].ForeColor, QBColor(12));
        QCOMPARE(f.Line2[0].BorderColor, QBColor(13));
        // The figure's own lines and labels stay put.
        QCOMPARE(f.Line1[3].X1, 400.0f);
        QCOMPARE(f.Label2[0].Left, 316.0f);
    }

    void labelVisibilityNearMsPoints_data()
    {
        QTest::addColumn<int>("label");
        QTest::addColumn<float>("x1");
        QTest::addColumn<bool>("visible");
        const struct {
            int label;
            float at;
        } rows[] = {{2, 552.5f}, {3, 635}, {4, 758.75f}};
        for (const auto &r : rows) {
            const QByteArray n = QByteArray::number(r.label);
            QTest::newRow(n + " exactly 5 left") << r.label << r.at - 5 << true;
            QTest::newRow(n + " exactly 5 right") << r.label << r.at + 5 << true;
            QTest::newRow(n + " just inside left") << r.label << r.at - 4.5f << false;
            QTest::newRow(n + " just inside right") << r.label << r.at + 4.5f << false;
            QTest::newRow(n + " on the point") << r.label << r.at << false;
        }
    }
    void labelVisibilityNearMsPoints()
    {
        QFETCH(int, label);
        QFETCH(float, x1);
        QFETCH(bool, visible);
        Form1 f = loadedForm();
        slideCopyTo(f, x1);
        QCOMPARE(f.Line2[0].X1, x1);
        QCOMPARE(f.Label3[label].Visible, visible);
        f.gamen_MouseUp(1, 0, 0, 0); // the release applies the same rule
        QCOMPARE(f.Label3[label].Visible, visible);
        for (int i = 2; i <= 4; ++i)
            if (i != label)
                QVERIFY(f.Label3[i].Visible);
    }

    void aHiddenLabelKeepsItsColourUntilShown()
    {
        Form1 f = loadedForm();
        slideCopyTo(f, 552.5f);
        QVERIFY(!f.Label3[2].Visible);
        QCOMPARE(f.Label3[2].ForeColor, QBColor(13)); // hidden: not recoloured
        f.gamen_MouseMove(1, 0, 300, 300);            // back over ℓ
        QVERIFY(f.Label3[2].Visible);
        QCOMPARE(f.Label3[2].ForeColor, QBColor(12));
    }

    void slidePastTheEdgeAndBack()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 300, 300);
        f.gamen_MouseMove(1, 0, 2300, 300);
        QCOMPARE(f.Line2[0].X1, 2400.0f);
        f.gamen_MouseMove(1, 0, -1700, 300);
        QCOMPARE(f.Line2[0].X1, -1600.0f);
        QCOMPARE(f.Label3[4].Left, -1837.0f);
        f.gamen_MouseMove(1, 0, 300, 300);
        QCOMPARE(f.Line2[0].X1, 400.0f);
        QCOMPARE(f.Label3[2].Left, 316.0f);
    }

    void movesWithoutADragLeaveThePointerRecord()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 600, 600); // selects nothing
        f.gamen_MouseUp(1, 0, 600, 600);
        f.gamen_MouseMove(0, 0, 123, 45);
        QCOMPARE(f.st.lastX, 600.0f);
        QCOMPARE(f.st.lastY, 600.0f);
        // ... but the eraser cursor, hidden or not, follows.
        QCOMPARE(f.Shape1.Left, 123.0f - f.Shape1.Width / 2);
        QCOMPARE(f.Shape1.Top, 45.0f - 12.5f);
    }

    void prolongationMovesNothing()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 100, 100);
        const Form1 pressed = f;
        f.gamen_MouseMove(1, 0, 300, 300);
        Form1 expected = withPointer(pressed, 300, 300);
        expected.Shape1 = f.Shape1;
        QVERIFY(f == expected);
    }

    // --- release: committing ---------------------------------------------------------------
    void releaseOfAnyButtonCommitsTheCopy()
    {
        for (std::int16_t button : {std::int16_t(1), std::int16_t(2), std::int16_t(4)}) {
            Form1 f = loadedForm();
            slideCopyTo(f, 550);
            f.gamen_MouseUp(button, 0, 0, 0);
            QCOMPARE(f.st.dragMode, 0.0f);
            QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
            QVERIFY(!f.Label3[2].Visible);
            QVERIFY(f.Label3[3].Visible && f.Label3[4].Visible);
            QCOMPARE(f.Label3[3].ForeColor, QBColor(12));
            f.gamen_MouseMove(1, 0, 100, 300); // after the commit nothing slides
            QCOMPARE(f.Line2[0].X1, 550.0f);
        }
    }

    void pressAndReleaseWithoutMotion()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 300, 300);
        f.gamen_MouseUp(1, 0, 300, 300);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        for (int i = 2; i <= 4; ++i) {
            QVERIFY(f.Label3[i].Visible);
            QCOMPARE(f.Label3[i].ForeColor, QBColor(12));
        }
    }

    void releasingProlongationsPlacesG()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 100, 100);
        f.gamen_MouseUp(1, 0, 100, 100);
        QCOMPARE(f.Line2[1].BorderColor, QBColor(15));
        QCOMPARE(QPointF(f.Label3[1].Left, f.Label3[1].Top), QPointF(460, 52));
        QCOMPARE(f.Line2[2].X1, 1000.0f); // the other is not shown by this
        const Form1 once = f;
        f.gamen_MouseDown(1, 0, 100, 100);
        f.gamen_MouseUp(1, 0, 100, 100);
        QVERIFY(f == once);
        f.gamen_MouseDown(1, 0, 700, 100);
        f.gamen_MouseUp(1, 0, 700, 100);
        QCOMPARE(f.Line2[2].BorderColor, QBColor(15));
        QCOMPARE(f.Line2[1].BorderColor, QBColor(15));
        QCOMPARE(QPointF(f.Label3[1].Left, f.Label3[1].Top), QPointF(460, 52));
    }

    void releaseWithNothingSelectedChangesNothing()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 600, 600);
        const Form1 before = f;
        f.gamen_MouseUp(1, 0, 10, 10);
        QVERIFY(f == before);
    }

    // A mode button reached while the copy is held (by keyboard or a second finger) used to
    // leave the drag pending: in memo mode the copy then followed the pointer with no button
    // held. The button now lets go of the copy first, as a release would.
    void aModeSwitchLetsGoOfTheCopy()
    {
        for (int button : {3, 4}) {
            Form1 f = loadedForm();
            f.gamen_MouseDown(1, 0, 300, 300);
            f.gamen_MouseMove(1, 0, 452.5f, 300);
            f.clickCommand(button);
            QCOMPARE(f.st.dragMode, 0.0f);
            QCOMPARE(f.Line2[0].X1, 552.5f);
            QVERIFY(!f.Label3[2].Visible); // committed as a release commits
            QCOMPARE(f.Label3[3].ForeColor, QBColor(12));
            f.gamen_MouseMove(0, 0, 350, 300);
            f.gamen_MouseUp(1, 0, 350, 300);
            f.gamen_MouseMove(0, 0, 250, 300);
            QCOMPARE(f.Line2[0].X1, 552.5f);
            QCOMPARE(f.Line2[0].BorderColor, QBColor(button == 4 ? 15 : 12));
        }
    }

    void aModeSwitchCommitsAShownProlongation()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 600, 100);
        f.clickCommand(4);
        QCOMPARE(f.st.dragMode, 0.0f);
        QCOMPARE(f.Line2[2].BorderColor, QBColor(15));
        QCOMPARE(QPointF(f.Label3[1].Left, f.Label3[1].Top), QPointF(460, 52));
        f.clickCommand(4); // and nothing is left to commit afterwards
        QCOMPARE(f.st.dragMode, 0.0f);
    }

    void resetAfterProlongationsKeepsGsLeft()
    {
        Form1 f = loadedForm();
        f.gamen_MouseDown(1, 0, 100, 100);
        f.gamen_MouseUp(1, 0, 100, 100);
        f.ResetFigure();
        QCOMPARE(f.Label3[1].Top, -50.0f);
        QCOMPARE(f.Label3[1].Left, 460.0f);
        QCOMPARE(f.Line2[1].X1, 1000.0f);
        QCOMPARE(f.Line2[1].Y2, 10.0f);
    }
};

QTEST_GUILESS_MAIN(TestGesture)
#include "tst_gesture.moc"
