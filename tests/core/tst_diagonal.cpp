// Diagonal mode: the toggle and the construction of up to five lines by label clicks.
#include "LoadedForm.h"
#include "app/Form1.h"
#include "app/QBColor.h"

#include <QtTest/QtTest>

using namespace pr;

namespace {

QLineF lineOf(const Line &l) { return QLineF(l.X1, l.Y1, l.X2, l.Y2); }

bool parked(const Line &l) { return l.X1 == 1000 && l.X2 == 1000; }

} // namespace

class TestDiagonal : public QObject {
    Q_OBJECT

private slots:
    void toggleMarksTheMode()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        QCOMPARE(f.st.diagonalMode, 1.0f);
        QCOMPARE(f.st.diagonalPhase, 0.0f);
        QVERIFY(!f.Command3.Enabled);
        QVERIFY(f.Command4.Enabled);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(15));
        for (int i = 0; i <= 5; ++i)
            QCOMPARE(f.Label2[i].BackColor, QBColor(1));
        f.clickCommand(3); // memo is disabled meanwhile
        QCOMPARE(f.st.memoMode, 0.0f);

        f.clickCommand(4);
        QCOMPARE(f.st.diagonalMode, 0.0f);
        QVERIFY(f.Command3.Enabled);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        for (int i = 0; i <= 5; ++i)
            QCOMPARE(f.Label2[i].BackColor, QBColor(2));
    }

    void onAndOffWithoutClicksOnlyResetsThePhase()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        f.clickLabel2(0); // phase 1
        f.clickCommand(4);
        const Form1 before = f;
        f.clickCommand(4);
        f.clickCommand(4);
        Form1 expected = before;
        expected.st.diagonalPhase = 0;
        QVERIFY(f == expected);
    }

    void pointsOfTheLabels_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QLineF>("line");
        QTest::newRow("Ａ to Ｂ'") << 0 << 4 << QLineF(337.5, 250, 510, 350);
        QTest::newRow("Ｂ' to Ａ") << 4 << 0 << QLineF(510, 350, 337.5, 250);
        QTest::newRow("Ｂ to Ｃ'") << 1 << 5 << QLineF(275, 350, 540, 500);
        QTest::newRow("Ａ' to Ｃ, Ｃ at 181.3") << 3 << 2 << QLineF(490, 250, 181.3f, 500);
        QTest::newRow("Ａ to Ｃ along ℓ") << 0 << 2 << QLineF(337.5, 250, 181.3f, 500);
        QTest::newRow("Ａ to Ａ' along p") << 0 << 3 << QLineF(337.5, 250, 490, 250);
        QTest::newRow("Ｂ twice") << 1 << 1 << QLineF(275, 350, 275, 350);
    }
    void pointsOfTheLabels()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QLineF, line);
        Form1 f = loadedForm();
        f.clickCommand(4);
        f.clickLabel2(from);
        QCOMPARE(lineOf(f.Line4[0]), QLineF(line.p1(), line.p1())); // collapsed on the point
        QCOMPARE(f.st.diagonalPhase, 1.0f);
        f.clickLabel2(to);
        QCOMPARE(lineOf(f.Line4[0]), line);
        QCOMPARE(f.st.diagonalPhase, 0.0f);
        QCOMPARE(f.st.diagonalStep, std::int16_t(1));
        QVERIFY(parked(f.Line4[1]));
    }

    void fifthLineEndsTheModeAndTheSixthReusesTheFirst()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        const int clicks[5][2] = {{0, 3}, {1, 4}, {2, 5}, {0, 5}, {2, 3}};
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(f.st.diagonalMode, 1.0f);
            QCOMPARE(f.st.diagonalStep, std::int16_t(k));
            f.clickLabel2(clicks[k][0]);
            f.clickLabel2(clicks[k][1]);
        }
        QCOMPARE(f.st.diagonalMode, 0.0f);
        QCOMPARE(f.st.diagonalStep, std::int16_t(0));
        QCOMPARE(f.st.diagonalPhase, 0.0f);
        QVERIFY(f.Command3.Enabled);
        QCOMPARE(f.Label2[0].BackColor, QBColor(2));
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        for (int k = 0; k <= 4; ++k) // all five stay
            QVERIFY(!parked(f.Line4[k]));
        QCOMPARE(lineOf(f.Line4[4]), QLineF(181.3f, 500, 490, 250));

        f.clickLabel2(1); // mode off: inert
        QCOMPARE(lineOf(f.Line4[0]), QLineF(337.5, 250, 490, 250));
        f.clickCommand(4);
        f.clickLabel2(1);
        QCOMPARE(lineOf(f.Line4[0]), QLineF(275, 350, 275, 350));
        QCOMPARE(lineOf(f.Line4[1]), QLineF(275, 350, 510, 350)); // the others stay
    }

    void leavingKeepsLinesAndStep()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        for (int i : {0, 3, 1, 4})
            f.clickLabel2(i);
        f.clickCommand(4);
        QCOMPARE(f.st.diagonalStep, std::int16_t(2));
        QVERIFY(!parked(f.Line4[0]) && !parked(f.Line4[1]));
        f.clickCommand(4);
        f.clickLabel2(2);
        f.clickLabel2(5);
        QCOMPARE(lineOf(f.Line4[2]), QLineF(181.3f, 500, 540, 500));
    }

    void halfLineIsStartedAfreshAfterToggling()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        f.clickLabel2(0);
        f.clickCommand(4);
        f.clickCommand(4);
        QCOMPARE(lineOf(f.Line4[0]), QLineF(337.5, 250, 337.5, 250)); // left as it was
        f.clickLabel2(5);
        QCOMPARE(lineOf(f.Line4[0]), QLineF(540, 500, 540, 500));
        QCOMPARE(f.st.diagonalStep, std::int16_t(0));
    }

    void clicksDoNothingOutsideTheMode()
    {
        for (bool memo : {false, true}) {
            Form1 f = loadedForm();
            if (memo)
                f.clickCommand(3);
            const Form1 before = f;
            for (int i = 0; i <= 5; ++i)
                f.clickLabel2(i);
            f.Label2_Click(7); // no such label
            QVERIFY(f == before);
        }
    }

    void resetMidConstruction()
    {
        Form1 f = loadedForm();
        f.clickCommand(4);
        for (int i : {0, 3, 1})
            f.clickLabel2(i);
        f.gamen_MouseDown(2, 0, 1, 1);
        QCOMPARE(f.st.diagonalMode, 0.0f);
        QCOMPARE(f.st.diagonalStep, std::int16_t(0));
        QCOMPARE(f.st.diagonalPhase, 1.0f); // left for the next entry to reset
        for (int k = 0; k <= 4; ++k)
            QVERIFY(parked(f.Line4[k]));
        QCOMPARE(f.Line4[0].Y2, 250.0f);
        QVERIFY(f.Command3.Enabled);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        QCOMPARE(f.Label2[3].BackColor, QBColor(2));
        f.clickCommand(4);
        f.clickLabel2(4);
        QCOMPARE(lineOf(f.Line4[0]), QLineF(510, 350, 510, 350));
    }
};

QTEST_GUILESS_MAIN(TestDiagonal)
#include "tst_diagonal.moc"
