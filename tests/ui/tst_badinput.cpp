// Pointer positions a broken driver may deliver (NaN, infinities, 1e30) at the surface
// widget: what is dropped, what still ends a gesture, what passes unclamped, and that the
// form never holds a non-finite value and the surface still paints.
//
// The front end's rule: a position is usable when finite and within 1e6 logical pixels of
// the surface's origin. A press or move without one is dropped; a release without one is
// delivered at the last usable position, since it must end strokes and drags. Usable
// positions reach the form exactly as they are, however far off the surface.
#include "WindowTestUtil.h"
#include "form/QBColor.h"
#include "support/FormInvariants.h"

#include <QtGui/QTabletEvent>
#include <QtGui/QTouchEvent>
#include <QtGui/qtestsupport_gui.h>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <limits>
#include <memory>

using namespace pr;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Sends a mouse event straight to the surface at a surface point, as the window system
// hands it over (Qt's routing would round such positions; a grabbed pointer skips it).
void mouse(MainWindow &w, QEvent::Type type, QPointF s, Qt::MouseButton button = Qt::LeftButton,
           Qt::MouseButtons buttons = Qt::LeftButton)
{
    SurfaceWidget *surface = w.surface();
    const QPointF p = surface->toWidget(s);
    QMouseEvent e(type, p, p, type == QEvent::MouseMove ? Qt::NoButton : button, buttons, {});
    QCoreApplication::sendEvent(surface, &e);
}
void press(MainWindow &w, QPointF s, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonPress, s, b, b);
}
void move(MainWindow &w, QPointF s, Qt::MouseButtons held = Qt::LeftButton)
{
    mouse(w, QEvent::MouseMove, s, Qt::NoButton, held);
}
void release(MainWindow &w, QPointF s, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonRelease, s, b, Qt::NoButton);
}

void requireFinite(const MainWindow &w)
{
    const std::string failure = FormInvariants::checkFinite(w.form());
    QVERIFY2(failure.empty(), failure.c_str());
}

// Puts the window into one of the states a bad position may arrive in.
void enterState(MainWindow &w, const QString &state)
{
    if (state == QLatin1String("sliding the copy")) {
        press(w, {300, 300});
        move(w, {320, 300});
    } else if (state == QLatin1String("drawing")) {
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        press(w, {100, 100});
        move(w, {120, 110});
    } else if (state == QLatin1String("diagonal mode, a label pressed")) {
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        press(w, {328, 233}); // on Ａ
    }
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void unusablePositionsAreDropped_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QPointF>("bad");
        const QString states[] = {QStringLiteral("idle"), QStringLiteral("sliding the copy"),
                                  QStringLiteral("drawing"),
                                  QStringLiteral("diagonal mode, a label pressed")};
        const struct {
            const char *name;
            QPointF at;
        } positions[] = {
            {"NaN x", {kNaN, 300}},     {"NaN y", {300, kNaN}},
            {"+inf x", {kInf, 300}},    {"-inf y", {300, -kInf}},
            {"1e30 x", {1e30, 300}},    {"-1e30 y", {300, -1e30}},
            {"both NaN", {kNaN, kNaN}}, {"just beyond reach", {1e6 + 1, 300}},
        };
        for (const QString &state : states)
            for (const auto &p : positions)
                QTest::addRow("%s, %s", qPrintable(state), p.name) << state << p.at;
    }

    // Presses and moves at unusable positions change nothing at all: no button of any kind
    // acts, a right press does not reset, the cursor does not jump, nothing is drawn.
    void unusablePositionsAreDropped()
    {
        QFETCH(QString, state);
        QFETCH(QPointF, bad);
        MainWindow w;
        wt::showAndWait(w);
        enterState(w, state);
        const Form1 before = w.form();
        const QImage layer = w.surface()->strokeLayer().image();

        move(w, bad);
        move(w, bad, Qt::NoButton);
        press(w, bad, Qt::LeftButton);
        press(w, bad, Qt::RightButton);
        press(w, bad, Qt::MiddleButton);
        move(w, bad);
        QVERIFY2(w.form() == before, FormInvariants::firstDifference(w.form(), before).c_str());
        QVERIFY(w.surface()->strokeLayer().image() == layer);
        requireFinite(w);
        // The surface still paints, and the gesture goes on from its last usable position.
        QVERIFY(!wt::grabSurface(w).isNull());
        move(w, {330, 305});
        if (state == QLatin1String("sliding the copy"))
            QCOMPARE(w.form().Line2[0].X1, 430.0f); // 400 + (320 - 300) + (330 - 320)
        if (state == QLatin1String("drawing"))
            QCOMPARE(wt::surfacePixel(w, wt::grabSurface(w), {225, 207.5}),
                     QBColor(12) & 0xffffff); // midway from (120, 110) to (330, 305)
        release(w, {330, 305});
        requireFinite(w);
        QCOMPARE(w.form().st.penDown, false);
        QCOMPARE(w.form().st.dragMode, DragMode::None);
    }

    void aReleaseAtAnUnusablePositionEndsTheGesture_data()
    {
        QTest::addColumn<QPointF>("bad");
        QTest::newRow("NaN") << QPointF(kNaN, kNaN);
        QTest::newRow("inf") << QPointF(kInf, -kInf);
        QTest::newRow("1e30") << QPointF(1e30, 200);
    }

    void aReleaseAtAnUnusablePositionEndsTheGesture()
    {
        QFETCH(QPointF, bad);
        MainWindow w;
        wt::showAndWait(w);
        const Form1 &f = w.form();

        // A slide ends where the last usable move left the copy, light red, Ｄ shown.
        press(w, {300, 300});
        move(w, {352.5, 300});
        move(w, bad);
        release(w, bad);
        QCOMPARE(f.st.dragMode, DragMode::None);
        QCOMPARE(f.Line2[0].X1, 452.5f);
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        QVERIFY(f.Label3[2].Visible);
        QCOMPARE(f.st.lastX, 352.5f);

        // A prolongation is committed and Ｇ placed.
        press(w, {100, 100});
        release(w, bad);
        QCOMPARE(f.st.dragMode, DragMode::None);
        QCOMPARE(f.Line2[1].BorderColor, QBColor(15));
        QCOMPARE(f.Label3[1].Top, 52.0f);

        // A stroke ends: later moves with the button still reported held draw nothing.
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        press(w, {100, 400});
        move(w, {200, 400});
        release(w, bad);
        QCOMPARE(f.st.penDown, false);
        const QImage layer = w.surface()->strokeLayer().image();
        move(w, {300, 400});
        move(w, {300, 500});
        QVERIFY(w.surface()->strokeLayer().image() == layer);

        // A click on a point label whose release position is lost counts where the pointer
        // was last seen: on the label.
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        press(w, {328, 233}); // Ａ
        release(w, bad);
        press(w, {520, 333}); // Ｂ'
        move(w, bad);
        release(w, bad);
        QCOMPARE(f.Line4[0].X1, 337.5f);
        QCOMPARE(f.Line4[0].Y1, 250.0f);
        QCOMPARE(f.Line4[0].X2, 510.0f);
        QCOMPARE(f.Line4[0].Y2, 350.0f);
        QCOMPARE(f.st.diagonalStep, std::int16_t(1));
        requireFinite(w);
    }

    // Off the surface, a usable position is passed on exactly, without clamping, up to the
    // limit of reach; one step beyond it is dropped.
    void farButUsablePositionsPassUnclamped()
    {
        MainWindow w;
        wt::showAndWait(w);
        const Form1 &f = w.form();
        press(w, {-5000, 120.25});
        QCOMPARE(f.st.lastX, -5000.0f);
        QCOMPARE(f.st.lastY, 120.25f);
        // left of ℓ's top end and above p: ℓ's prolongation
        QCOMPARE(f.st.dragMode, DragMode::ProlongationL);
        release(w, {-5000, 120.25});

        press(w, {300, 300});
        move(w, {1e6, 300});
        QCOMPARE(f.Line2[0].X1, float(400 + 1e6 - 300));
        QCOMPARE(f.Line2[0].X2, float(150 + 1e6 - 300));
        move(w, {1e6 + 1, 300}); // beyond reach: dropped
        QCOMPARE(f.st.lastX, 1e6f);
        move(w, {-1e6, -1e6});
        QCOMPARE(f.Line2[0].X1, float(400 + 1e6 - 300 - 2e6));
        QCOMPARE(f.Shape1.Left, float(-1e6 - 20.5)); // the hidden cursor follows, 41 px wide
        QCOMPARE(f.Shape1.Top, float(-1e6 - 12.5));
        release(w, {-1e6, -1e6});
        QCOMPARE(f.Line2[0].BorderColor, QBColor(12));
        requireFinite(w);
    }

    // A stroke between far points shows exactly its part inside the surface; the eraser
    // along the same far points wipes it.
    void farStrokesAreClippedNotLost()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        press(w, {-1e6, -1e6});
        move(w, {1e6, 1e6});
        release(w, {1e6, 1e6});
        QImage img = wt::grabSurface(w);
        const QRgb red = QBColor(12) & 0xffffff, green = QBColor(2) & 0xffffff;
        for (double t : {20.0, 150.0, 333.0, 600.0, 630.0})
            QCOMPARE(wt::surfacePixel(w, img, {t, t}), red);
        QCOMPARE(wt::surfacePixel(w, img, {600, 560}), green);
        QCOMPARE(wt::surfacePixel(w, img, {20, 60}), green);

        QTest::mouseClick(w.optionButton(7), Qt::LeftButton);
        press(w, {1e6, 1e6});
        move(w, {-1e6, -1e6});
        release(w, {-1e6, -1e6});
        img = wt::grabSurface(w);
        for (double t : {20.0, 150.0, 333.0, 600.0, 630.0})
            QCOMPARE(wt::surfacePixel(w, img, {t, t}), green);
    }

    // The copy pushed millions of pixels away by repeated slides, strokes and the cursor
    // out there: the surface paints as it does with the copy just beyond its edge.
    void farElementsLeaveNoMark()
    {
        MainWindow nearby, far;
        wt::showAndWait(nearby);
        wt::showAndWait(far);
        press(nearby, {300, 300});
        move(nearby, {1300, 300});
        release(nearby, {1300, 300});

        press(far, {300, 300});
        move(far, {1e6, 300});
        release(far, {1e6, 300});
        press(far, {1e6, 300}); // the copy now spans 999850 .. 1000100
        move(far, {-1e6, 300});
        move(far, {kNaN, kNaN});
        release(far, {-1e6, 300});
        QCOMPARE(far.form().Line2[0].X1, float(400 + (1e6 - 300) - 2e6));
        QCOMPARE(far.form().Label3[4].Left, float(163 + (1e6 - 300) - 2e6)); // Ｆ went along
        QTest::mouseClick(far.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(far.optionButton(6), Qt::LeftButton);
        press(far, {1e6, 1e6});
        move(far, {1e6, -1e6});
        move(far, {-1e6, -1e6});
        release(far, {-1e6, -1e6});
        QTest::mouseClick(far.optionButton(7), Qt::LeftButton); // the cursor, far off
        QTest::mouseClick(far.commandButton(3), Qt::LeftButton);

        QCOMPARE(wt::grabSurface(far), wt::grabSurface(nearby));
        requireFinite(far);
    }

    // Touch through the window system, as a touch screen delivers it. One finger acts as the
    // left button. A non-finite point is dropped before Qt can make a mouse event of it (a
    // mouse event at an infinite position overflows Qt's stack); a lift without a usable
    // position still ends the stroke; a far but finite point is dropped by the surface.
    void touchAtUnusablePositions()
    {
        MainWindow w;
        wt::showAndWait(w);
        const std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
        QWindow *window = w.windowHandle();
        const auto touch = [&](QEventPoint::State state, QPointF windowPoint) {
            qt_handleTouchEvent(
                window, device.get(),
                {QEventPoint(1, state, windowPoint, window->mapToGlobal(windowPoint))});
            QCoreApplication::processEvents();
        };
        const auto onSurface = [&](QPointF s) {
            return w.surface()->mapTo(&w, w.surface()->toWidget(s));
        };
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        const Form1 &f = w.form();

        touch(QEventPoint::Pressed, {kNaN, 300});
        QCOMPARE(f.st.penDown, false);
        touch(QEventPoint::Released, {kNaN, kNaN});

        touch(QEventPoint::Pressed, onSurface({100, 100}));
        QCOMPARE(f.st.penDown, true);
        QCOMPARE(f.st.lastX, 100.0f);
        touch(QEventPoint::Updated, {kInf, 100});
        QCOMPARE(f.st.lastX, 100.0f);
        touch(QEventPoint::Updated, onSurface({150, 120}));
        QCOMPARE(f.st.lastX, 150.0f);
        QCOMPARE(f.st.lastY, 120.0f);
        touch(QEventPoint::Updated, {1e30, 100});
        QCOMPARE(f.st.lastX, 150.0f);
        touch(QEventPoint::Released, {-kInf, kNaN});
        QCOMPARE(f.st.penDown, false);

        // On a button, where an unaccepted touch becomes mouse input.
        const QPointF button = w.commandButton(4)->geometry().center();
        for (const QPointF bad : {QPointF(kInf, 20), QPointF(kNaN, 20), QPointF(1e30, -1e30)}) {
            touch(QEventPoint::Pressed, button);
            touch(QEventPoint::Updated, bad);
            touch(QEventPoint::Released, bad);
            touch(QEventPoint::Pressed, bad);
            touch(QEventPoint::Released, bad);
        }
        const FormInvariants rules(f);
        const std::string failure = rules.checkState(f);
        QVERIFY2(failure.empty(), failure.c_str());
        requireFinite(w);

        // A cancelled touch ends the stroke too.
        touch(QEventPoint::Pressed, onSurface({200, 100}));
        QCOMPARE(f.st.penDown, true);
        QTouchEvent cancel(QEvent::TouchCancel, device.get());
        QCoreApplication::sendEvent(w.surface(), &cancel);
        QCOMPARE(f.st.penDown, false);
        requireFinite(w);
    }

    void penAtUnusablePositions()
    {
        MainWindow w;
        wt::showAndWait(w);
        SurfaceWidget *surface = w.surface();
        const QPointingDevice *pen = QPointingDevice::primaryPointingDevice();
        const auto tablet = [&](QEvent::Type type, QPointF s, Qt::MouseButton b,
                                Qt::MouseButtons held) {
            const QPointF p = surface->toWidget(s);
            QTabletEvent e(type, pen, p, p, 0.5, 0, 0, 0, 0, 0, {}, b, held);
            QCoreApplication::sendEvent(surface, &e);
        };
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        const Form1 &f = w.form();
        tablet(QEvent::TabletPress, {kNaN, kNaN}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(f.st.penDown, false);
        tablet(QEvent::TabletRelease, {kNaN, kNaN}, Qt::LeftButton, Qt::NoButton);

        tablet(QEvent::TabletPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(f.st.penDown, true);
        tablet(QEvent::TabletMove, {-kInf, 50}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.st.lastX, 50.0f);
        tablet(QEvent::TabletRelease, {1e30, kNaN}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.st.penDown, false);
        requireFinite(w);
    }

    // Mouse positions through the window system, routed by Qt: Qt drops NaN ones itself,
    // far ones reach the surface, which drops or places them. (An infinite mouse position
    // makes Qt 6.4 recurse until its stack overflows before any widget or filter sees the
    // event; no mouse or touch driver Qt reads delivers one, so it is not tried here.)
    void mousePositionsThroughTheWindowSystem()
    {
        MainWindow w;
        wt::showAndWait(w);
        QWindow *window = w.windowHandle();
        const FormInvariants rules(w.form());
        int time = 1000;
        const auto send = [&](QPointF local, Qt::MouseButtons state, Qt::MouseButton button,
                              QEvent::Type type) {
            time += 500; // never a double click
            qt_handleMouseEvent(window, local, window->mapToGlobal(local), state, button, type, {},
                                time);
            QCoreApplication::processEvents();
        };
        for (int i = 0; i < 9; ++i) // each NaN event below, dropped by Qt
            QTest::ignoreMessage(QtWarningMsg,
                                 "QGuiApplicationPrivate::processMouseEvent: Got NaN in mouse "
                                 "position");
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        wt::press(w, {100, 100}); // the surface grabs the pointer
        for (const QPointF bad :
             {QPointF(kNaN, kNaN), QPointF(1e30, 5), QPointF(-1e30, 1e30), QPointF(5, kNaN)}) {
            send(bad, Qt::LeftButton, Qt::NoButton, QEvent::MouseMove);
            send(bad, Qt::LeftButton | Qt::RightButton, Qt::RightButton, QEvent::MouseButtonPress);
            send(bad, Qt::LeftButton, Qt::RightButton, QEvent::MouseButtonRelease);
        }
        QCOMPARE(w.form().st.memoMode, true); // no right press got through: no reset
        QCOMPARE(w.form().st.lastX, 100.0f);
        send({1e30, 1e30}, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
        QCOMPARE(w.form().st.penDown, false);
        for (const QPointF bad : {QPointF(kNaN, 0), QPointF(1e30, -1e30)}) {
            send(bad, Qt::NoButton, Qt::NoButton, QEvent::MouseMove);
            send(bad, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
            send(bad, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
        }
        const std::string failure = rules.checkState(w.form());
        QVERIFY2(failure.empty(), failure.c_str());
        requireFinite(w);
        QVERIFY(!wt::grabSurface(w).isNull());
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
