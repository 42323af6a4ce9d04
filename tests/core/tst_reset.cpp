// The form after start-up and after a reset: state, element positions, what a reset keeps.
#include "RecordingSink.h"
#include "app/Form1.h"
#include "app/QBColor.h"

#include <QtTest/QtTest>

using namespace pr;

namespace {

struct LinePos {
    float x1, y1, x2, y2;
};

void compareLine(const Line &l, LinePos p)
{
    QCOMPARE(l.X1, p.x1);
    QCOMPARE(l.Y1, p.y1);
    QCOMPARE(l.X2, p.x2);
    QCOMPARE(l.Y2, p.y2);
}

// Puts the form through a bit of everything: a slide, both prolongations, memo mode with a
// thick pen and strokes, then diagonal mode with two lines and a half.
void useEverything(Form1 &f)
{
    f.gamen_MouseDown(1, 0, 300, 300);
    f.gamen_MouseMove(1, 0, 452.5f, 310);
    f.gamen_MouseUp(1, 0, 452.5f, 310);
    f.gamen_MouseDown(1, 0, 100, 100);
    f.gamen_MouseUp(1, 0, 100, 100);
    f.gamen_MouseDown(1, 0, 600, 100);
    f.gamen_MouseUp(1, 0, 600, 100);
    f.clickCommand(3);
    f.clickOption1(7);
    f.gamen_MouseDown(1, 0, 10, 10);
    f.gamen_MouseMove(1, 0, 20, 20);
    f.gamen_MouseUp(1, 0, 20, 20);
    f.clickCommand(3);
    f.clickCommand(4);
    for (int i : {0, 4, 1, 5, 2})
        f.clickLabel2(i);
}

} // namespace

class TestReset : public QObject {
    Q_OBJECT

private slots:
    void loadSetsTheWindowAndPen()
    {
        Form1 f;
        f.Form_Load();
        QCOMPARE(f.Caption, QStringLiteral("平行線と線分の比 (by Vorlane)"));
        QCOMPARE(f.gamen.ScaleMode, 3);
        QCOMPARE(f.gamen.FontSize, 20.0f);
        QCOMPARE(f.gamen.ForeColor, qRgb(255, 255, 255));
        QCOMPARE(f.gamen.DrawWidth, 3);
        QCOMPARE(f.st.penColor, 12.0f);
        QCOMPARE(f.selectedOption1(), 0);
        for (int i = 0; i <= 7; ++i)
            QVERIFY2(!f.Option1[i].Enabled, qPrintable(QString::number(i)));
        QVERIFY(f.Command1.Enabled && f.Command2.Enabled);
        QVERIFY(f.Command3.Enabled && f.Command4.Enabled);
        QVERIFY(!f.Shape1.Visible);
        QVERIFY(!f.endRequested);
    }

    void loadClearsTheSurfaceThroughTheSink()
    {
        RecordingSink sink;
        Form1 f;
        f.gamen.setSink(&sink);
        f.Form_Load();
        QCOMPARE(sink.clears, 1);
        QVERIFY(sink.segments.empty());
    }

    void stateAfterReset()
    {
        Form1 f;
        f.Form_Load();
        const FigureState &s = f.st;
        QCOMPARE(s.pY, 250.0f);
        QCOMPARE(s.qY, 350.0f);
        QCOMPARE(s.rY, 500.0f);
        QCOMPARE(s.lTopX, 400.0f);
        QCOMPARE(s.lBotX, 150.0f);
        QCOMPARE(s.lTopY, 150.0f);
        QCOMPARE(s.lBotY, 550.0f);
        QCOMPARE(s.mTopX, 470.0f);
        QCOMPARE(s.mBotX, 550.0f);
        QCOMPARE(s.mTopY, 150.0f);
        QCOMPARE(s.mBotY, std::int16_t(550));
        QCOMPARE(s.dragMode, 0.0f);
        QCOMPARE(s.memoMode, 0.0f);
        QCOMPARE(s.diagonalMode, 0.0f);
        QCOMPARE(s.diagonalStep, std::int16_t(0));
    }

    void initialScreen()
    {
        Form1 f;
        f.Form_Load();
        compareLine(f.Line1[0], {50, 250, 750, 250});
        compareLine(f.Line1[1], {50, 350, 750, 350});
        compareLine(f.Line1[2], {50, 500, 750, 500});
        compareLine(f.Line1[3], {400, 150, 150, 550});
        compareLine(f.Line1[4], {470, 150, 550, 550});
        compareLine(f.Line2[0], {400, 150, 150, 550});
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));

        const QPointF letters[5] = {{396, 160}, {476, 160}, {50, 214}, {50, 316}, {50, 470}};
        for (int i = 0; i <= 4; ++i)
            QCOMPARE(QPointF(f.Image1[i].Left, f.Image1[i].Top), letters[i]);

        const QPointF points[6] = {{316, 219}, {255, 319}, {163, 469},
                                   {492, 219}, {512, 319}, {540, 469}};
        for (int i = 0; i <= 5; ++i) {
            QCOMPARE(QPointF(f.Label2[i].Left, f.Label2[i].Top), points[i]);
            QCOMPARE(f.Label2[i].BackColor, QBColor(2));
        }
        for (int i = 2; i <= 4; ++i) // Ｄ, Ｅ, Ｆ rest exactly beneath Ａ, Ｂ, Ｃ
            QCOMPARE(QPointF(f.Label3[i].Left, f.Label3[i].Top), points[i - 2]);

        for (int k = 0; k < 3; ++k) {
            const float y = 250.0f + (k == 0 ? 0 : k == 1 ? 100 : 250);
            compareLine(f.Line3[2 * k], {680, y, 660, y + 10});
            compareLine(f.Line3[2 * k + 1], {680, y, 660, y - 10});
        }
        for (int i : {1, 2}) {
            QCOMPARE(f.Line2[i].X1, 1000.0f);
            QCOMPARE(f.Line2[i].X2, 1000.0f);
        }
        for (int k = 0; k <= 4; ++k) {
            QCOMPARE(f.Line4[k].X1, 1000.0f);
            QCOMPARE(f.Line4[k].X2, 1000.0f);
        }
        QCOMPARE(f.Label3[1].Top, -50.0f);
    }

    void captionsAndDesignColours()
    {
        const Form1 f;
        QCOMPARE(f.Command1.Caption, QStringLiteral("初期画面"));
        QCOMPARE(f.Command2.Caption, QStringLiteral("終了"));
        QCOMPARE(f.Command3.Caption, QStringLiteral("メモ"));
        QCOMPARE(f.Command4.Caption, QStringLiteral("対角線"));
        QCOMPARE(f.Label1.Caption, QStringLiteral("相似と比"));
        QCOMPARE(f.Label4[0].Caption, QStringLiteral("太字"));
        QCOMPARE(f.Label4[1].Caption, QStringLiteral("細字"));
        const char16_t *pens[4] = {u"赤色", u"黄色", u"青色", u"消しゴム"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(f.Option1[i].Caption, QString::fromUtf16(pens[i]));
            QCOMPARE(f.Option1[i + 4].Caption, QString::fromUtf16(pens[i]));
            QCOMPARE(f.Option1[i].Top, 360); // thin row below the thick one
            QCOMPARE(f.Option1[i + 4].Top, 120);
        }
        const char16_t *points[6] = {u"Ａ", u"Ｂ", u"Ｃ", u"Ａ'", u"Ｂ'", u"Ｃ'"};
        for (int i = 0; i <= 5; ++i)
            QCOMPARE(f.Label2[i].Caption, QString::fromUtf16(points[i]));
        QCOMPARE(f.Label3[1].Caption, QStringLiteral("Ｇ"));
        QCOMPARE(f.Label3[2].Caption, QStringLiteral("Ｄ"));
        QCOMPARE(f.Label3[1].ForeColor, qRgb(255, 255, 255));
        QCOMPARE(f.Label3[4].ForeColor, qRgb(255, 0, 0));
        QCOMPARE(f.BackColor, qRgb(192, 255, 192));
        QCOMPARE(f.gamen.BackColor, qRgb(0, 128, 0));
        QCOMPARE(f.Label1.ForeColor, qRgb(0, 255, 0));
        QCOMPARE(f.Shape1.Height, 25.0f);
    }

    void paletteValues()
    {
        QCOMPARE(QBColor(1), qRgb(0, 0, 128));
        QCOMPARE(QBColor(2), qRgb(0, 128, 0));
        QCOMPARE(QBColor(9), qRgb(0, 0, 255));
        QCOMPARE(QBColor(12), qRgb(255, 0, 0));
        QCOMPARE(QBColor(13), qRgb(255, 0, 255));
        QCOMPARE(QBColor(14), qRgb(255, 255, 0));
        QCOMPARE(QBColor(15), qRgb(255, 255, 255));
        QCOMPARE(QBColor(16 + 2), QBColor(2)); // out of range wraps, never reads past
        QCOMPARE(QBColor(-1), QBColor(15));
    }

    void resetRestoresTheInitialForm()
    {
        Form1 initial;
        initial.Form_Load();
        Form1 f;
        f.Form_Load();
        useEverything(f);
        QVERIFY(!(f == initial));
        f.Command1_Click();

        // Everything equals the freshly loaded form except what a reset leaves alone.
        Form1 expected = initial;
        expected.st.penColor = f.st.penColor;
        expected.st.lastX = f.st.lastX;
        expected.st.lastY = f.st.lastY;
        expected.st.diagonalPhase = f.st.diagonalPhase;
        for (int i = 0; i <= 7; ++i)
            expected.Option1[i].Value = f.Option1[i].Value;
        for (int i = 1; i <= 4; ++i) {
            expected.Label3[i].Visible = f.Label3[i].Visible;
            expected.Label3[i].ForeColor = f.Label3[i].ForeColor;
        }
        expected.Label3[1].Left = f.Label3[1].Left;
        // Parked prolongations keep their y and their last colour; a press re-colours them.
        expected.Line2[1].BorderColor = f.Line2[1].BorderColor;
        expected.Line2[2].BorderColor = f.Line2[2].BorderColor;
        expected.Line2[1].Y1 = f.Line2[1].Y1;
        expected.Line2[1].Y2 = f.Line2[1].Y2;
        expected.Line2[2].Y1 = f.Line2[2].Y1;
        expected.Line2[2].Y2 = f.Line2[2].Y2;
        for (int k = 0; k <= 4; ++k) {
            expected.Line4[k].Y1 = f.Line4[k].Y1;
            expected.Line4[k].Y2 = f.Line4[k].Y2;
        }
        expected.Shape1.Left = f.Shape1.Left;
        expected.Shape1.Top = f.Shape1.Top;
        expected.Shape1.Width = f.Shape1.Width;
        QVERIFY(f == expected);
    }

    void resetKeepsThePenAndLeftovers()
    {
        Form1 f;
        f.Form_Load();
        useEverything(f);
        const FigureState before = f.st;
        const float gLeft = f.Label3[1].Left;
        f.ResetFigure();
        QCOMPARE(f.st.penColor, 2.0f); // the thick eraser chosen in memo mode
        QCOMPARE(f.selectedOption1(), 7);
        QCOMPARE(f.st.lastX, before.lastX);
        QCOMPARE(f.st.lastY, before.lastY);
        QCOMPARE(f.st.diagonalPhase, before.diagonalPhase);
        QCOMPARE(f.Label3[1].Left, gLeft);
        QCOMPARE(f.Line4[0].Y2, 350.0f); // parked lines keep their y
        QCOMPARE(f.gamen.DrawWidth, 3);  // though the thick eraser stays selected
        QVERIFY(!f.Shape1.Visible);
    }

    void twoResetsEqualOne()
    {
        Form1 f;
        f.Form_Load();
        useEverything(f);
        f.ResetFigure();
        const Form1 once = f;
        f.ResetFigure();
        QVERIFY(f == once);
    }

    void rightPressResetsLikeTheButton()
    {
        Form1 a, b;
        a.Form_Load();
        b.Form_Load();
        useEverything(a);
        useEverything(b);
        a.gamen_MouseDown(2, 0, 12.5f, 40);
        b.Command1_Click();
        b.st.lastX = 12.5f; // a press also records its position
        b.st.lastY = 40;
        QVERIFY(a == b);
    }

    void quitOnlyRequestsTheEnd()
    {
        Form1 f;
        f.Form_Load();
        const Form1 before = f;
        f.clickCommand(2);
        QVERIFY(f.endRequested);
        f.endRequested = false;
        QVERIFY(f == before);
    }
};

QTEST_GUILESS_MAIN(TestReset)
#include "tst_reset.moc"
