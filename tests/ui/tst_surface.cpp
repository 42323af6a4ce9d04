// The real window driven through the window system: slides, prolongations, point-label
// clicks, strokes and the eraser, with the pixels that result and the areas repainted.
#include "PaintSpy.h"
#include "WindowTestUtil.h"
#include "form/QBColor.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace pr;

namespace {

constexpr QRgb White = 0xffffff, Green = 0x008000, Red = 0xff0000, Magenta = 0xff00ff;

QRgb px(const MainWindow &w, const QImage &img, double x, double y)
{
    return wt::surfacePixel(w, img, {x, y});
}

// A mouse event with a fractional position, sent to the surface as the window would.
void sendMouse(MainWindow &w, QEvent::Type type, QPointF surfacePoint, Qt::MouseButton b,
               Qt::MouseButtons held)
{
    const QPointF local = w.surface()->toWidget(surfacePoint);
    QMouseEvent e(type, local, w.surface()->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w.surface(), &e);
}

} // namespace

class TestSurface : public QObject {
    Q_OBJECT

private slots:
    // --- figure gestures ------------------------------------------------------------------
    void slideTheCopyWithThePointer()
    {
        MainWindow w;
        wt::showAndWait(w);
        wt::press(w, {300, 300});
        QCOMPARE(w.form().st.dragMode, DragMode::Copy);
        wt::move(w, {420, 320});
        QImage img = wt::grabSurface(w);
        // The copy, now 120 px right, is magenta; ℓ shows white again where it was.
        QCOMPARE(px(w, img, 368.75 + 120, 200), Magenta);
        QCOMPARE(px(w, img, 368.75, 200), White);
        QVERIFY(wt::countNear(w, img, {436, 219, 25, 29}, Red, 90) > 15); // Ｄ in red
        wt::release(w, {420, 320});
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 368.75 + 120, 200), Red);
        QCOMPARE(w.form().st.dragMode, DragMode::None);
    }

    void slideKeepsGoingOutsideTheSurface()
    {
        MainWindow w;
        wt::showAndWait(w);
        wt::press(w, {300, 300});
        wt::move(w, {796, 300});   // past the surface, still in the window
        wt::move(w, {300, -45});   // above the surface, over the buttons
        QCOMPARE(w.form().Line2[0].X1, 400.0f);
        wt::move(w, {790, 10});
        wt::release(w, {790, 10});
        QCOMPARE(w.form().Line2[0].X1, 890.0f); // pushed off the right edge
        QCOMPARE(w.form().st.dragMode, DragMode::None);
        wt::press(w, {640, 300});
        wt::move(w, {150, 300});
        wt::release(w, {150, 300});
        QCOMPARE(w.form().Line2[0].X1, 400.0f);
        QCOMPARE(px(w, wt::grabSurface(w), 368.75, 200), Red);
    }

    void fractionalPositionsReachTheFormUnrounded()
    {
        MainWindow w;
        wt::showAndWait(w);
        sendMouse(w, QEvent::MouseButtonPress, {300.25, 299.75}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(w.form().st.lastX, 300.25f);
        QCOMPARE(w.form().st.lastY, 299.75f);
        sendMouse(w, QEvent::MouseMove, {310.5, 300}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.form().Line2[0].X1, 410.25f);
        sendMouse(w, QEvent::MouseButtonRelease, {310.5, 300}, Qt::LeftButton, Qt::NoButton);
    }

    void buttonsMapToTheirCodes()
    {
        MainWindow w;
        wt::showAndWait(w);
        wt::press(w, {100, 100}, Qt::MiddleButton); // neither selects nor resets
        QCOMPARE(w.form().st.dragMode, DragMode::None);
        wt::release(w, {100, 100}, Qt::MiddleButton);
        QCOMPARE(w.form().Line2[1].X1, 1000.0f);
        wt::click(w, {100, 100}); // left on ℓ's top: prolongation and Ｇ
        QCOMPARE(w.form().Line2[1].BorderColor, QBColor(15));
        QCOMPARE(w.form().Label3[1].Top, 52.0f);
        const QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 443.75, 80), White); // on the prolongation of ℓ
        QVERIFY(wt::countNear(w, img, {460, 52, 24, 29}, White) > 20); // Ｇ
        wt::click(w, {600, 600}, Qt::RightButton); // right anywhere: initial screen
        QCOMPARE(w.form().Line2[1].X1, 1000.0f);
        QCOMPARE(px(w, wt::grabSurface(w), 443.75, 80), Green);
    }

    void pressOnAPointLabelStillGrabsTheCopy()
    {
        MainWindow w;
        wt::showAndWait(w);
        wt::press(w, {266, 333}); // on Ｂ
        QCOMPARE(w.form().st.dragMode, DragMode::Copy);
        wt::move(w, {300, 333});
        wt::release(w, {300, 333});
        QCOMPARE(w.form().Line2[0].X1, 434.0f);
        QCOMPARE(w.form().st.diagonalStep, std::int16_t(0)); // the click did nothing else
    }

    void aSlideRepaintsOnlyWhatMoved()
    {
        MainWindow w;
        wt::showAndWait(w);
        PaintSpy spy(w.surface());
        wt::press(w, {300, 300});
        QApplication::processEvents();
        spy.reset();
        wt::move(w, {305, 300});
        QApplication::processEvents();
        QVERIFY(spy.paints >= 1);
        const QRect area = spy.painted.boundingRect();
        // The copy spans x 150..405 and y 150..550 plus its labels; not the whole surface.
        QVERIFY2(area.width() < 300 && area.height() < 420,
                 qPrintable(QStringLiteral("%1x%2").arg(area.width()).arg(area.height())));
        QVERIFY(area.contains(w.surface()->toWidget({152, 548}).toPoint()));
        QVERIFY(area.contains(w.surface()->toWidget({403, 152}).toPoint()));
        spy.reset();
        wt::move(w, {305, 420}); // vertical motion: nothing to repaint
        QApplication::processEvents();
        QCOMPARE(spy.paints, 0);
    }

    // --- diagonal mode on the window -------------------------------------------------------
    void clickingTwoLabelsDrawsAConstructionLine()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        QVERIFY(!w.commandButton(3)->isEnabled());
        QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 317, 220), qRgb(0, 0, 128) & 0xffffff); // blue label box
        QCOMPARE(px(w, img, 368.75, 200), White); // the copy turned white

        wt::click(w, {328, 233}); // Ａ
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 337.5, 250), Red); // a dot where the line begins
        wt::click(w, {528, 333}); // Ｂ'
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, (337.5 + 510) / 2, 300), Red); // the line's midpoint
        QCOMPARE(w.form().st.diagonalStep, std::int16_t(1));
        // Over ℓ's label box the line still shows: lines lie above the labels.
        wt::click(w, {172, 483}); // Ｃ
        wt::click(w, {504, 233}); // Ａ'
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 181.3 + (490 - 181.3) * 0.5, 375), Red);
    }

    void fifthLineEndsTheModeOnScreen()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        const QPointF labels[6] = {{328, 233}, {266, 333}, {174, 483},
                                   {509, 233}, {528, 333}, {556, 483}};
        for (int k = 0; k < 5; ++k) {
            wt::click(w, labels[k]);
            wt::click(w, labels[(k + 3) % 6]);
        }
        QVERIFY(w.commandButton(3)->isEnabled());
        QCOMPARE(w.form().st.diagonalMode, false);
        const QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 317, 220), Green); // label boxes green again
        QCOMPARE(px(w, img, (337.5 + 490) / 2, 250), Red); // Ａ–Ａ' lies along p
    }

    // --- memo mode on the window -----------------------------------------------------------
    void strokesLieBeneathTheFigure()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QVERIFY(w.optionButton(4)->isEnabled());
        QVERIFY(!w.commandButton(4)->isEnabled());
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton); // thick red
        QCOMPARE(w.form().gamen.DrawWidth, 6);
        wt::press(w, {100, 200});
        wt::move(w, {100, 300});
        wt::release(w, {100, 300});
        const QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 100, 230), Red);
        QCOMPARE(px(w, img, 102, 280), Red);
        QCOMPARE(px(w, img, 100, 250), White); // p is drawn over the stroke
        QCOMPARE(px(w, img, 104.5, 230), Green); // 6 px wide: ends at 103
    }

    void theEraserWipesStrokesButNotTheFigure()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(5), Qt::LeftButton); // thick yellow
        wt::press(w, {300, 330});
        wt::move(w, {300, 370});
        wt::release(w, {300, 370});
        QCOMPARE(px(w, wt::grabSurface(w), 300, 340), qRgb(255, 255, 0) & 0xffffff);
        QTest::mouseClick(w.optionButton(7), Qt::LeftButton); // thick eraser
        wt::press(w, {250, 350});
        wt::move(w, {350, 350});
        QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 300, 340), Green);  // stroke gone under the eraser's path
        QCOMPARE(px(w, img, 300, 350), White);  // q stays
        QCOMPARE(px(w, img, 275, 350), Red);    // so does the copy of ℓ over ℓ
        // The cursor's outline frames the pointer, 25 x 25, above everything.
        QCOMPARE(px(w, img, 350, 338.5), 0u);
        QCOMPARE(px(w, img, 338.5, 350), 0u);
        QCOMPARE(px(w, img, 361, 350), 0u);
        wt::release(w, {350, 350});
        QCOMPARE(px(w, wt::grabSurface(w), 300, 365), qRgb(255, 255, 0) & 0xffffff); // beyond
    }

    void strokesSurviveHideAndShow()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        wt::press(w, {600, 580});
        wt::move(w, {700, 600});
        wt::release(w, {700, 600});
        QCOMPARE(px(w, wt::grabSurface(w), 650, 590), Red);
        w.hide();
        QApplication::processEvents();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(px(w, wt::grabSurface(w), 650, 590), Red);
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton); // a reset clears them
        QCOMPARE(px(w, wt::grabSurface(w), 650, 590), Green);
    }

    void strokesAreCutAtTheSurfaceEdge()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage before = w.grab().toImage();
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(7), Qt::LeftButton); // 25 px, green, invisible
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton); // 6 px red
        wt::press(w, {700, 630});
        wt::move(w, {700, 700}); // beyond the bottom edge, into the window's margin
        wt::release(w, {700, 700});
        const QImage after = w.grab().toImage();
        QCOMPARE(px(w, wt::grabSurface(w), 700, 634), Red);
        const QPoint below = wt::windowPoint(w, {700, 645}); // the border and below it
        QCOMPARE(after.pixel(below), before.pixel(below));
        const QPoint margin = wt::windowPoint(w, {700, 652});
        QCOMPARE(after.pixel(margin), before.pixel(margin));
    }
};

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
