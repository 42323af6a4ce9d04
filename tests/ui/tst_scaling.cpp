// The form at other sizes and pixel ratios, and input from touch and pen: hit testing in
// logical surface pixels, crisp strokes, strokes kept across resizes, no stale pixels.
#include "PaintSpy.h"
#include "WindowTestUtil.h"
#include "layout/WindowLayout.h"

#include <QtGui/QPointingDevice>
#include <memory>
#include <QtGui/QBackingStore>
#include <QtGui/QTabletEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace pr;

namespace {

constexpr QRgb White = 0xffffff, Green = 0x008000, Red = 0xff0000;

QRgb px(const MainWindow &w, const QImage &img, double x, double y)
{
    return wt::surfacePixel(w, img, {x, y});
}

// A control at its scaled design place: exact where logical pixels are whole device pixels,
// else moved by at most a few logical pixels so that every edge is on a whole device pixel.
void expectPlaced(QRect actual, QRect exact, double dpr)
{
    const int edges[4][2] = {{actual.left(), exact.left()},
                             {actual.top(), exact.top()},
                             {actual.left() + actual.width(), exact.left() + exact.width()},
                             {actual.top() + actual.height(), exact.top() + exact.height()}};
    for (const auto &e : edges) {
        const double device = e[0] * dpr;
        QVERIFY2(std::abs(device - std::round(device)) < 1e-9, "edge between device pixels");
        QVERIFY(std::abs(e[0] - e[1]) <= (dpr == std::round(dpr) ? 0 : 2));
    }
}

void showAt(MainWindow &w, QSize size)
{
    w.resize(size);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), size);
}

void drawStroke(MainWindow &w, QPointF from, QPointF to)
{
    wt::press(w, from);
    wt::move(w, (from + to) / 2);
    wt::move(w, to);
    wt::release(w, to);
}

// What the window system was last given for the window (its backing store), against a
// fresh full render: a pixel that differs is one a partial repaint left stale. Qt's
// antialiased lines come out a few levels apart when drawn under another clip; a stale pixel
// differs by far more, so differences up to kTolerance per channel are not counted.
constexpr int kTolerance = 12;

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

int stalePixels(MainWindow &w)
{
    QApplication::processEvents();
    QPaintDevice *device = w.backingStore()->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return -1;
    const QImage shown = static_cast<QImage *>(device)->convertToFormat(QImage::Format_RGB32);
    const QImage fresh = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect common = shown.rect() & fresh.rect();
    if (common.width() < fresh.width() - 1 || common.height() < fresh.height() - 1)
        return -2; // not the same window
    int n = 0;
    for (int y = 0; y < common.height(); ++y)
        for (int x = 0; x < common.width(); ++x)
            n += channelDistance(shown.pixel(x, y), fresh.pixel(x, y)) > kTolerance;
    return n;
}

} // namespace

class TestScaling : public QObject {
    Q_OBJECT

private slots:
    void openingSize()
    {
        const auto open = [](int w, int h) {
            const PixelRect r = WindowLayout::initialClientSize(w, h, 16, 48);
            return QSize(r.w, r.h);
        };
        QCOMPARE(open(1920, 1040), QSize(811, 702));
        QCOMPARE(open(1366, 768), QSize(811, 702));
        // A laptop whose panel leaves less than 702 + title bar: scaled, aspect kept.
        const QSize small = open(1366, 738);
        QVERIFY(small.height() <= 738 - 48 && small.width() < 811);
        QVERIFY(std::abs(small.width() / double(small.height()) - 811.0 / 702) < 0.01);
        const QSize tiny = open(800, 600);
        QVERIFY(tiny.width() <= 784 && tiny.height() <= 552);
    }

    void figureAndHitTestingAtScaleTwo()
    {
        MainWindow w;
        showAt(w, {1622, 1404});
        QCOMPARE(w.formScale(), 2.0);
        expectPlaced(w.surface()->geometry(), QRect(16, 96, 1586, 1282), w.devicePixelRatioF());
        expectPlaced(w.commandButton(1)->geometry(), QRect(304, 16, 146, 66),
                     w.devicePixelRatioF());
        QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 368.75, 200), Red);
        QCOMPARE(px(w, img, 100, 251.75), White); // p is 4 logical px: 8 device px
        QCOMPARE(px(w, img, 100, 252.75), Green);

        // The gap between the two top regions stays a gap at any scale.
        wt::click(w, {445, 100});
        QCOMPARE(w.form().Line2[1].X1, 1000.0f);
        QCOMPARE(w.form().Line2[2].X1, 1000.0f);
        wt::click(w, {438, 100});
        QCOMPARE(w.form().Line2[1].X2, 487.5f);

        wt::press(w, {150.5, 300}); // the copy's lower end, scaled
        QCOMPARE(w.form().st.dragMode, DragMode::Copy);
        wt::move(w, {250.5, 310});
        wt::release(w, {250.5, 310});
        QCOMPARE(w.form().Line2[0].X1, 500.0f); // 100 logical px for 200 device px
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 468.75, 200), Red);
    }

    void strokesAreCrispAtScaleTwo()
    {
        MainWindow w;
        showAt(w, {1622, 1404});
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        drawStroke(w, {100, 600}, {300, 600});
        const QImage img = wt::grabSurface(w);
        // 3 logical px wide = 6 device px: full colour across, green just outside.
        for (double y : {599.25, 600.0, 600.75})
            QCOMPARE(px(w, img, 200, y), Red);
        QCOMPARE(px(w, img, 200, 597.5), Green);
        QCOMPARE(px(w, img, 200, 602.5), Green);
    }

    void resizingKeepsStrokesAndScalesThem()
    {
        MainWindow w;
        showAt(w, {811, 702});
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton);
        drawStroke(w, {100, 580}, {400, 580});
        w.resize(1622, 1404);
        QApplication::processEvents();
        QCOMPARE(w.formScale(), 2.0);
        QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 250, 580), Red);
        QCOMPARE(px(w, img, 250, 590), Green);
        w.resize(500, 600); // smaller, and back
        QApplication::processEvents();
        w.resize(811, 702);
        QApplication::processEvents();
        img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 250, 580), Red);
        // Drawing goes on at the new size, in the same logical place.
        drawStroke(w, {100, 620}, {400, 620});
        QCOMPARE(px(w, wt::grabSurface(w), 250, 620), Red);
    }

    // Strokes drawn at a large size and shown small for a while come back at the large size
    // exactly as drawn, not upsampled from the small raster.
    void strokesKeepTheirFinestRasterAcrossAShrinkAndARegrow()
    {
        MainWindow w;
        showAt(w, {1622, 1404});
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        drawStroke(w, {100.3, 600.2}, {300.7, 611.9});
        drawStroke(w, {150, 560}, {152, 620});
        const QImage before = wt::grabSurface(w);
        w.resize(406, 351);
        QApplication::processEvents();
        QCOMPARE(w.formScale(), 0.5);
        (void)wt::grabSurface(w); // shown small
        w.resize(1622, 1404);
        QApplication::processEvents();
        const QImage after = wt::grabSurface(w);
        QCOMPARE(after.size(), before.size());
        int differing = 0;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                differing += after.pixel(x, y) != before.pixel(x, y);
        QCOMPARE(differing, 0);
    }

    void fullScreenTogglesWithF11AndLeavesWithEscape()
    {
        MainWindow w;
        showAt(w, {811, 702});
        QTest::keyClick(&w, Qt::Key_F11);
        QTRY_VERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_Escape);
        QTRY_VERIFY(!w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_F11);
        QTRY_VERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_F11);
        QTRY_VERIFY(!w.isFullScreen());
    }

    void touchDrivesASlideAndAStroke()
    {
        const std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
        QPointingDevice *screen = device.get();
        MainWindow w;
        showAt(w, {1622, 1404});
        const auto at = [&w](QPointF s) { return wt::windowPoint(w, s); };
        QTest::touchEvent(&w, screen).press(0, at({300, 300}));
        QCOMPARE(w.form().st.dragMode, DragMode::Copy);
        QTest::touchEvent(&w, screen).move(0, at({340, 300}));
        QTest::touchEvent(&w, screen).release(0, at({340, 300}));
        QCOMPARE(w.form().Line2[0].X1, 440.0f);
        QCOMPARE(w.form().st.dragMode, DragMode::None);

        // A tap on a button clicks it; then a finger writes.
        QTest::touchEvent(&w, screen).press(1, w.commandButton(3)->geometry().center());
        QTest::touchEvent(&w, screen).release(1, w.commandButton(3)->geometry().center());
        QTRY_COMPARE(w.form().st.memoMode, true);
        QTest::touchEvent(&w, screen).press(2, at({100, 600}));
        QTest::touchEvent(&w, screen).move(2, at({200, 600}));
        QTest::touchEvent(&w, screen).stationary(2).press(3, at({500, 100})); // a 2nd finger
        QTest::touchEvent(&w, screen).move(2, at({300, 600})).move(3, at({600, 100}));
        QTest::touchEvent(&w, screen).release(2, at({300, 600})).stationary(3);
        QTest::touchEvent(&w, screen).release(3, at({600, 100}));
        const QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 250, 600), Red);
        QCOMPARE(px(w, img, 550, 100), Green); // the second finger drew nothing
        QCOMPARE(w.form().st.penDown, false);
    }

    void aTapOnAPointLabelClicksIt()
    {
        const std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
        QPointingDevice *screen = device.get();
        MainWindow w;
        showAt(w, {811, 702});
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        for (QPointF label : {QPointF(328, 233), QPointF(556, 483)}) {
            QTest::touchEvent(&w, screen).press(0, wt::windowPoint(w, label));
            QTest::touchEvent(&w, screen).release(0, wt::windowPoint(w, label));
        }
        const Line &l = w.form().Line4[0];
        QCOMPARE(QLineF(l.X1, l.Y1, l.X2, l.Y2), QLineF(337.5, 250, 540, 500));
    }

    void penDrivesASlide()
    {
        MainWindow w;
        showAt(w, {811, 702});
        const QPointingDevice pen(QStringLiteral("test pen"), 77, QInputDevice::DeviceType::Stylus,
                                  QPointingDevice::PointerType::Pen,
                                  QInputDevice::Capability::Position |
                                      QInputDevice::Capability::Pressure,
                                  1, 3);
        const auto send = [&](QEvent::Type t, QPointF s, Qt::MouseButton b, Qt::MouseButtons held) {
            const QPointF local = w.surface()->toWidget(s);
            QTabletEvent e(t, &pen, local, w.surface()->mapToGlobal(local), 0.5, 0, 0, 0, 0, 0,
                           Qt::NoModifier, b, held);
            QApplication::sendEvent(w.surface(), &e);
            QVERIFY(e.isAccepted());
        };
        send(QEvent::TabletMove, {200, 100}, Qt::NoButton, Qt::NoButton); // hovering
        QCOMPARE(w.form().Shape1.Left, 200.0f - w.form().Shape1.Width / 2);
        send(QEvent::TabletPress, {300.5, 300}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(w.form().st.dragMode, DragMode::Copy);
        send(QEvent::TabletMove, {320.75, 300}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::TabletRelease, {320.75, 300}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.form().Line2[0].X1, 420.25f);
        QCOMPARE(w.form().st.dragMode, DragMode::None);
    }

    // A pen turned over erases as the eraser of the chosen pen's row, its stroke only; the
    // pen option shown stays, and the same thick pen clicked again after 初期画面 is thick.
    void penEraserEndErasesAndTheTipWritesAgain()
    {
        MainWindow w;
        showAt(w, {811, 702});
        const QPointingDevice eraser(QStringLiteral("test pen, eraser end"), 78,
                                     QInputDevice::DeviceType::Stylus,
                                     QPointingDevice::PointerType::Eraser,
                                     QInputDevice::Capability::Position |
                                         QInputDevice::Capability::Pressure,
                                     1, 3);
        const auto send = [&](QEvent::Type t, QPointF s, Qt::MouseButton b, Qt::MouseButtons held) {
            const QPointF local = w.surface()->toWidget(s);
            QTabletEvent e(t, &eraser, local, w.surface()->mapToGlobal(local), 0.5, 0, 0, 0, 0, 0,
                           Qt::NoModifier, b, held);
            QApplication::sendEvent(w.surface(), &e);
        };
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton); // thick red
        wt::press(w, {100, 600});
        wt::move(w, {300, 600});
        wt::release(w, {300, 600});
        send(QEvent::TabletPress, {200, 560}, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(w.form().Shape1.Visible);
        send(QEvent::TabletMove, {200, 640}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::TabletRelease, {200, 640}, Qt::LeftButton, Qt::NoButton);
        const QImage img = wt::grabSurface(w);
        QCOMPARE(px(w, img, 200 + 11, 600), Green); // 25 wide: the thick eraser's
        QCOMPARE(px(w, img, 200 + 14, 600), Red);
        QVERIFY(w.lesson().strokes().back().eraser);
        QVERIFY(w.optionButton(4)->isChecked());
        QCOMPARE(w.form().gamen.DrawWidth, 6);
        QVERIFY(!w.form().Shape1.Visible);

        QTest::mouseClick(w.commandButton(1), Qt::LeftButton); // 初期画面: width 3
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QCOMPARE(w.form().gamen.DrawWidth, 3);
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton); // the pen shown, again
        wt::press(w, {100, 300});
        wt::move(w, {300, 300});
        wt::release(w, {300, 300});
        QCOMPARE(w.lesson().strokes().back().width, 6);
    }

    void partialRepaintsLeaveNoStalePixels()
    {
        // Run at several QT_SCALE_FACTORs by the test registration; here any ratio.
        MainWindow w;
        showAt(w, {811, 702});
        QCOMPARE(stalePixels(w), 0);
        wt::press(w, {300, 300});
        for (int x = 301; x < 420; x += 7)
            wt::move(w, {x + 0.37, 300});
        wt::release(w, {420, 300});
        QCOMPARE(stalePixels(w), 0);
        // With the aids, whose texts change far from the copy, and through Ａ', where the
        // triangles show; at three times the size too, where texts are copied from images.
        for (const QSize size : {QSize(811, 702), QSize(2433, 2106)}) {
            showAt(w, size);
            w.handle([](Lesson &l) { l.setAids({true, true}); });
            const auto offset = [&w] {
                const DrawList list = DrawList::build(w.form());
                return list.items[DrawList::slotOf(ElementKind::Line2, kCopyOfL)].x1 -
                       list.items[DrawList::slotOf(ElementKind::Line1, kTransversalL)].x1;
            };
            // At surface positions between the window's pixels, as a pen's may be.
            const auto slide = [&w](int event, double x) {
                w.handle([&](Lesson &l) {
                    event == 0   ? l.press(1, 0, float(x), 300)
                    : event == 1 ? l.move(1, 0, float(x), 300)
                                 : l.release(1, 0, float(x), 300);
                });
            };
            const double from = offset(), at = 306.25 + from; // the copy's point at y = 300
            slide(0, at);
            for (double x = at - 7; x > 200; x -= 11)
                slide(1, x + 0.37);
            QCOMPARE(stalePixels(w), 0);
            slide(1, at + 152.5 - from); // 152.5 px right of ℓ: through Ａ'
            QCOMPARE(offset(), 152.5);
            const std::vector<DrawItem> items = DrawList::build(w.form()).items;
            QVERIFY(std::any_of(items.begin(), items.end(),
                                [](const DrawItem &d) { return d.kind == DrawKind::Triangle; }));
            QCOMPARE(stalePixels(w), 0);
            slide(2, at + 152.5 - from);
            w.handle([](Lesson &l) { l.setAids({false, false}); });
        }
        showAt(w, {811, 702});
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(3), Qt::LeftButton);
        wt::press(w, {100, 100});
        for (int i = 0; i < 30; ++i)
            wt::move(w, {100 + i * 13.3, 100 + (i % 7) * 31.1});
        wt::release(w, {500, 300});
        QCOMPARE(stalePixels(w), 0);
        w.resize(1000, 900);
        QApplication::processEvents();
        QCOMPARE(stalePixels(w), 0);
    }

    // Every kind of element moved by small, uneven steps at scales that put its edges
    // between device pixels: the copy and Ｄ Ｅ Ｆ, both prolongations and Ｇ, a construction
    // line growing from a dot, the eraser cursor, strokes; each partial repaint must cover
    // every pixel the change touched, antialiased fringes included.
    void partialRepaintsCoverAntialiasedEdges_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("0.37") << QSize(300, 260);
        QTest::newRow("0.61") << QSize(495, 428);
        QTest::newRow("1.13") << QSize(917, 794);
        QTest::newRow("1.77") << QSize(1435, 1243);
    }

    void partialRepaintsCoverAntialiasedEdges()
    {
        QFETCH(QSize, size);
        MainWindow w;
        showAt(w, size);
        wt::press(w, {300, 300});
        for (int i = 1; i <= 25; ++i)
            wt::move(w, {300 + i * 3.71, 300 + (i % 3) * 0.43});
        wt::release(w, {392.75, 300});
        QCOMPARE(stalePixels(w), 0);
        wt::click(w, {100.3, 100.6});
        wt::click(w, {600.2, 100.9});
        QCOMPARE(stalePixels(w), 0);
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        const Label &a = w.form().Label2[0], &c = w.form().Label2[5];
        wt::click(w, {a.Left + a.Width / 2, a.Top + a.Height / 2});
        QCOMPARE(stalePixels(w), 0); // the dot of a line begun
        wt::click(w, {c.Left + c.Width / 2, c.Top + c.Height / 2});
        QCOMPARE(stalePixels(w), 0);
        QTest::mouseClick(w.commandButton(4), Qt::LeftButton);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(7), Qt::LeftButton);
        for (int i = 0; i < 25; ++i)
            wt::move(w, {200 + i * 5.37, 400 + i * 2.29});
        QCOMPARE(stalePixels(w), 0);
        QTest::mouseClick(w.optionButton(4), Qt::LeftButton);
        drawStroke(w, {120.4, 580.7}, {333.3, 555.5});
        QCOMPARE(stalePixels(w), 0);
    }
};

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
