// The window worked as a class sees it and from the keyboard: メモ and 対角線 show their
// mode, the focus ring appears for the keyboard only, Tab follows the screen, every key
// goes the way of a click, and the large pointer.
#include "WindowTestUtil.h"
#include "HelpDialog.h"
#include "ControlTexts.h"
#include "LargePointer.h"
#include "ScaledIndicatorStyle.h"
#include "layout/WindowLayout.h"

#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <algorithm>

using namespace pr;

namespace {

QPushButton *memo(const MainWindow &w) { return w.commandButton(3); }
QPushButton *diagonal(const MainWindow &w) { return w.commandButton(4); }

// Pixels of the focus colour in the band of `margin` pixels around a control.
int ringPixels(const QImage &img, const QWidget *control, int margin)
{
    const double k = img.devicePixelRatio();
    const QRectF inner = control->geometry();
    const QRectF outer = inner.adjusted(-margin, -margin, margin, margin);
    const QRgb ring = ScaledIndicatorStyle::focusColour().rgb() & 0xffffff;
    int n = 0;
    for (int y = int(outer.top() * k); y < int(outer.bottom() * k); ++y)
        for (int x = int(outer.left() * k); x < int(outer.right() * k); ++x) {
            if (!img.rect().contains(x, y) || inner.contains((x + 0.5) / k, (y + 0.5) / k))
                continue;
            n += (img.pixel(x, y) & 0xffffff) == ring;
        }
    return n;
}

int ringPixelsIn(const QImage &img, const QRect &box)
{
    const double k = img.devicePixelRatio();
    const QRgb ring = ScaledIndicatorStyle::focusColour().rgb() & 0xffffff;
    int n = 0;
    for (int y = int(box.top() * k); y < int((box.bottom() + 1) * k); ++y)
        for (int x = int(box.left() * k); x < int((box.right() + 1) * k); ++x)
            n += img.rect().contains(x, y) && (img.pixel(x, y) & 0xffffff) == ring;
    return n;
}

// Where a press chooses pen `index`, as the core lays the window out.
QRect penRoom(const MainWindow &w, int index)
{
    const WindowLayout g(w.width(), w.height(), w.devicePixelRatioF(),
                         std::vector<const Tool *>{});
    const PixelRect r = g.place(optionHitArea(w.form(), index));
    return {r.x, r.y, r.w, r.h};
}

int ringPixelsAnywhere(const QImage &img)
{
    const QRgb ring = ScaledIndicatorStyle::focusColour().rgb() & 0xffffff;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xffffff) == ring;
    return n;
}

// Rows of ring pixels straight above the middle of a control's top edge: the ring's width.
int ringWidthAbove(const QImage &img, const QWidget *control)
{
    const double k = img.devicePixelRatio();
    const QRgb ring = ScaledIndicatorStyle::focusColour().rgb() & 0xffffff;
    const int x = int(control->geometry().center().x() * k);
    int n = 0;
    for (int y = int(control->geometry().top() * k) - 1; y >= 0; --y)
        n += (img.pixel(x, y) & 0xffffff) == ring;
    return n;
}

// Share of a picture in a strong colour, far from any grey: what reads as "on" from afar.
double colourfulShare(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += std::max({c.red(), c.green(), c.blue()}) -
                     std::min({c.red(), c.green(), c.blue()}) >
                 100;
        }
    return double(n) / (img.width() * img.height());
}

QImage grabWindow(MainWindow &w)
{
    QApplication::processEvents();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The focusable controls from first to last in the focus chain.
QList<QWidget *> focusChain(const MainWindow &w, const QList<QWidget *> &controls)
{
    QList<QWidget *> chain;
    QWidget *start = w.commandButton(1);
    QWidget *v = start;
    do {
        if (controls.contains(v))
            chain.append(v);
        v = v->nextInFocusChain();
    } while (v != start && chain.size() <= controls.size());
    return chain;
}

QList<QWidget *> allControls(const MainWindow &w)
{
    QList<QWidget *> c;
    for (int n = 1; n <= 4; ++n)
        c.append(w.commandButton(n));
    for (int i = 0; i < 8; ++i)
        c.append(w.optionButton(i));
    return c;
}

// The options in the order a reader meets them on screen: rows top to bottom, each from
// left to right.
QList<int> optionsInReadingOrder(const MainWindow &w)
{
    QList<int> order = {0, 1, 2, 3, 4, 5, 6, 7};
    std::sort(order.begin(), order.end(), [&w](int a, int b) {
        const QRect ra = w.optionButton(a)->geometry(), rb = w.optionButton(b)->geometry();
        return ra.top() != rb.top() ? ra.top() < rb.top() : ra.left() < rb.left();
    });
    return order;
}

void clickLabels(MainWindow &w, int from, int to)
{
    wt::click(w, wt::pointLabelCentre(w, from));
    wt::click(w, wt::pointLabelCentre(w, to));
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    // ---- メモ and 対角線 show their mode ---------------------------------------------------

    void memoButtonFollowsMemoMode()
    {
        MainWindow w;
        wt::showAndWait(w);
        QVERIFY(memo(w)->isCheckable());
        QVERIFY(!memo(w)->isChecked());
        const QImage off = memo(w)->grab().toImage();

        QTest::mouseClick(memo(w), Qt::LeftButton);
        QCOMPARE(w.form().st.memoMode, true);
        QVERIFY(memo(w)->isChecked());
        const QImage on = memo(w)->grab().toImage();
        QVERIFY2(on != off, "a mode that is on looks pressed");
        QVERIFY2(colourfulShare(on) > 0.5, "and is filled with a strong colour");
        QVERIFY(colourfulShare(off) < 0.05);

        QTest::mouseClick(memo(w), Qt::LeftButton);
        QCOMPARE(w.form().st.memoMode, false);
        QVERIFY(!memo(w)->isChecked());
        QCOMPARE(memo(w)->grab().toImage(), off); // back to the look of today
    }

    void diagonalButtonEndsWithTheFifthLine()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(diagonal(w), Qt::LeftButton);
        QVERIFY(diagonal(w)->isChecked());
        QVERIFY(!memo(w)->isChecked());
        const int pairs[5][2] = {{0, 3}, {1, 4}, {2, 5}, {0, 5}, {2, 3}};
        for (int k = 0; k < 4; ++k) {
            clickLabels(w, pairs[k][0], pairs[k][1]);
            QVERIFY2(diagonal(w)->isChecked(), "still on after fewer than five lines");
        }
        clickLabels(w, pairs[4][0], pairs[4][1]);
        QCOMPARE(w.form().st.diagonalMode, false); // the core ended the mode itself
        QVERIFY(!diagonal(w)->isChecked());
    }

    void resetTurnsBothButtonsOff()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(memo(w), Qt::LeftButton);
        QVERIFY(memo(w)->isChecked());
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton);
        QVERIFY(!memo(w)->isChecked());
        QVERIFY(!diagonal(w)->isChecked());

        QTest::mouseClick(diagonal(w), Qt::LeftButton);
        QVERIFY(diagonal(w)->isChecked());
        wt::click(w, {700, 600}, Qt::RightButton); // a right press resets too
        QVERIFY(!diagonal(w)->isChecked());
        QVERIFY(!memo(w)->isChecked());
    }

    // The button shows only what the lesson did: a click the lesson never heard of leaves
    // it as it was.
    void modeButtonNeverTogglesItself()
    {
        MainWindow w;
        wt::showAndWait(w);
        for (QPushButton *b : {memo(w), diagonal(w)}) {
            {
                const QSignalBlocker unheard(b);
                b->click();
            }
            QVERIFY(!b->isChecked());
            QCOMPARE(w.form().st.memoMode || w.form().st.diagonalMode, false);
        }
    }

    // A click on the button of the mode that is off while the other is on reaches a
    // disabled button: nothing changes, in the core or on screen.
    void disabledModeButtonStaysOff()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTest::mouseClick(memo(w), Qt::LeftButton);
        QVERIFY(!diagonal(w)->isEnabled());
        QTest::mouseClick(diagonal(w), Qt::LeftButton);
        QVERIFY(!diagonal(w)->isChecked());
        QCOMPARE(w.form().st.diagonalMode, false);
        QVERIFY(memo(w)->isChecked());
    }

    // ---- the focus ring ------------------------------------------------------------------

    void noRingAtStartOrAfterAClick()
    {
        MainWindow w;
        wt::showActive(w);
        QVERIFY(QApplication::focusWidget()); // a control has focus, but not by keyboard
        QCOMPARE(w.focusRingTarget(), nullptr);
        QCOMPARE(ringPixelsAnywhere(grabWindow(w)), 0);

        QTest::mouseClick(memo(w), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), memo(w));
        QCOMPARE(w.focusRingTarget(), nullptr);
        QCOMPARE(ringPixelsAnywhere(grabWindow(w)), 0);
    }

    void ringFollowsTheKeyboard()
    {
        MainWindow w;
        wt::showActive(w);
        wt::key(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), diagonal(w));
        QCOMPARE(w.focusRingTarget(), diagonal(w));
        QImage img = grabWindow(w);
        const int margin = 8;
        // All round the focused button, and around no other.
        QVERIFY2(ringPixels(img, diagonal(w), margin) >
                     2 * (diagonal(w)->width() + diagonal(w)->height()) * 2,
                 "a ring of at least two pixels on every side");
        QCOMPARE(ringPixels(img, w.commandButton(1), margin), 0);
        QCOMPARE(ringPixels(img, memo(w), margin), 0);
        QCOMPARE(ringPixelsAnywhere(img), ringPixels(img, diagonal(w), margin));

        wt::key(w, Qt::Key_Tab);
        img = grabWindow(w);
        QCOMPARE(w.focusRingTarget(), memo(w));
        QCOMPARE(ringPixels(img, diagonal(w), margin), 0);
        QVERIFY(ringPixels(img, memo(w), margin) > 0);

        // The pointer in use: the ring goes, focus stays.
        wt::click(w, {700, 600});
        QCOMPARE(QApplication::focusWidget(), memo(w));
        QCOMPARE(w.focusRingTarget(), nullptr);
        QCOMPARE(ringPixelsAnywhere(grabWindow(w)), 0);
        // A key on the focused control brings it back.
        wt::key(w, Qt::Key_Shift);
        QCOMPARE(w.focusRingTarget(), memo(w));
    }

    void ringAroundAPenOption()
    {
        MainWindow w;
        wt::showActive(w);
        QTest::mouseClick(memo(w), Qt::LeftButton);
        wt::key(w, Qt::Key_Tab); // from メモ into the pens, at the chosen one
        QRadioButton *chosen = w.optionButton(w.form().selectedOption1());
        QCOMPARE(QApplication::focusWidget(), chosen);
        // The rows touch: the ring lies in the pen's own room, over no other pen, in either
        // row and at either size.
        for (const QSize size : {QSize(811, 702), QSize(1622, 1404)}) {
            w.resize(size);
            QTRY_COMPARE(w.width(), size.width());
            for (int pen : {0, 4}) {
                wt::key(w, pen == 4 ? Qt::Key_Up : Qt::Key_Down);
                QCOMPARE(QApplication::focusWidget(), w.optionButton(pen));
                const QImage img = grabWindow(w);
                QVERIFY(ringPixelsIn(img, penRoom(w, pen)) > 2 * penRoom(w, pen).width());
                QCOMPARE(ringPixelsAnywhere(img), ringPixelsIn(img, penRoom(w, pen)));
            }
        }
    }

    // Each pen takes a press anywhere in its room: above its circle at the window's edge, and
    // on the row of pixels where the upper pen's box reaches into the lower pen's room.
    void aPressBesideAPenChoosesIt()
    {
        MainWindow w;
        wt::showActive(w);
        QTest::mouseClick(memo(w), Qt::LeftButton);
        const QRect thickRed = penRoom(w, 4);
        QVERIFY(!w.optionButton(4)->geometry().contains(thickRed.topLeft()));
        const auto clickAt = [&w](QPoint at) {
            QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, at);
        };
        clickAt(thickRed.topLeft() + QPoint(1, 0));
        QCOMPARE(w.form().selectedOption1(), 4);
        QVERIFY(w.optionButton(4)->isChecked());
        const QPoint shared(penRoom(w, 1).center().x(), penRoom(w, 1).top());
        QVERIFY(w.optionButton(5)->geometry().contains(shared));
        clickAt(shared);
        QCOMPARE(w.form().selectedOption1(), 1);
        // Pressed in one room and released in another: no pen.
        QTest::mousePress(w.windowHandle(), Qt::LeftButton, {}, penRoom(w, 6).center());
        QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, penRoom(w, 7).center());
        QCOMPARE(w.form().selectedOption1(), 1);
    }

    void ringWidthScalesWithTheForm()
    {
        MainWindow w;
        wt::showActive(w);
        wt::key(w, Qt::Key_Tab);
        const int atOne = ringWidthAbove(grabWindow(w), diagonal(w));
        QVERIFY2(atOne >= 3 * w.devicePixelRatioF() - 0.5, "at least 3 logical pixels");

        w.resize(2 * 811, 2 * 702);
        QTRY_COMPARE(w.formScale(), 2.0);
        QCOMPARE(w.focusRingTarget(), diagonal(w));
        QCOMPARE(ringWidthAbove(grabWindow(w), diagonal(w)), 2 * atOne);
    }

    // ---- Tab order ----------------------------------------------------------------------

    void focusChainFollowsTheScreen()
    {
        MainWindow w;
        wt::showAndWait(w); // laid out
        QCOMPARE(w.heading()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w.rowCaption(0)->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w.surface()->focusPolicy(), Qt::NoFocus);

        const QList<QWidget *> chain = focusChain(w, allControls(w));
        QCOMPARE(chain.size(), 12);
        // Buttons left to right, the pens in between in reading order, 終了 last.
        QList<QWidget *> expected = {w.commandButton(1), w.commandButton(4), w.commandButton(3)};
        for (int i : optionsInReadingOrder(w))
            expected.append(w.optionButton(i));
        expected.append(w.commandButton(2));
        QCOMPARE(chain, expected);
        for (qsizetype k = 1; k < chain.size(); ++k) {
            const QRect a = chain[k - 1]->geometry(), b = chain[k]->geometry();
            QVERIFY2(b.left() > a.left() || b.top() > a.top(), "never back up the screen");
        }
    }

    void tabVisitsTheEnabledControls()
    {
        MainWindow w;
        wt::showActive(w);
        w.commandButton(1)->setFocus(Qt::TabFocusReason);
        const QList<QWidget *> plain = {diagonal(w), memo(w), w.commandButton(2),
                                        w.commandButton(1)};
        for (QWidget *next : plain) {
            wt::key(w, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // In memo mode 対角線 is disabled and the pens take one stop, at the chosen pen.
        QTest::mouseClick(memo(w), Qt::LeftButton);
        w.commandButton(1)->setFocus(Qt::TabFocusReason);
        const QList<QWidget *> inMemo = {memo(w), w.optionButton(0), w.commandButton(2)};
        for (QWidget *next : inMemo) {
            wt::key(w, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        wt::key(w, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), w.optionButton(0));
    }

    void arrowKeysChooseAmongThePens()
    {
        MainWindow w;
        wt::showActive(w);
        QTest::mouseClick(memo(w), Qt::LeftButton);
        w.optionButton(0)->setFocus(Qt::TabFocusReason);
        wt::key(w, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), w.optionButton(1));
        QCOMPARE(w.form().selectedOption1(), 1); // chosen in the core, not only on screen
        QVERIFY(w.optionButton(1)->isChecked());
        wt::key(w, Qt::Key_Up); // to the thick pen above
        QCOMPARE(w.form().selectedOption1(), 5);
        // Tab now enters the pens at that one.
        w.commandButton(1)->setFocus(Qt::TabFocusReason);
        wt::key(w, Qt::Key_Tab);
        wt::key(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.optionButton(5));
    }

    // ---- keys ---------------------------------------------------------------------------

    void everyControlHasItsOwnKeyInItsTooltip()
    {
        MainWindow w;
        QSet<QKeySequence> keys;
        for (QWidget *c : allControls(w)) {
            const QKeySequence k = static_cast<QAbstractButton *>(c)->shortcut();
            QVERIFY(!k.isEmpty());
            keys.insert(k);
            QVERIFY2(c->toolTip().contains(k.toString(QKeySequence::NativeText)),
                     qPrintable(c->toolTip()));
            QVERIFY(!c->toolTip().contains(u'&'));
            for (const QKeySequence &taken : {QKeySequence(Qt::Key_F1), QKeySequence(Qt::Key_F11),
                                             QKeySequence(Qt::Key_Escape)})
                QVERIFY(k != taken);
        }
        QCOMPARE(keys.size(), 12);
        // The captions are the form's own, with no mnemonic marks.
        QCOMPARE(w.commandButton(1)->text(), QStringLiteral("初期画面"));
        QCOMPARE(w.optionButton(3)->text(), QStringLiteral("消しゴム"));
    }

    void buttonKeysClickTheirButtons()
    {
        MainWindow w;
        wt::showActive(w);
        wt::key(w, Qt::Key_M, Qt::ControlModifier);
        QTRY_COMPARE(w.form().st.memoMode, true);
        QVERIFY(memo(w)->isChecked());
        wt::key(w, Qt::Key_M, Qt::ControlModifier);
        QTRY_COMPARE(w.form().st.memoMode, false);
        QVERIFY(!memo(w)->isChecked());

        wt::key(w, Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(w.form().st.diagonalMode, true);
        QVERIFY(diagonal(w)->isChecked());
        wt::key(w, Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE(w.form().st.diagonalMode, false);
        QVERIFY(!diagonal(w)->isChecked());
    }

    void digitsChooseThePensInReadingOrder()
    {
        MainWindow w;
        wt::showActive(w);
        wt::key(w, Qt::Key_M, Qt::ControlModifier);
        QTRY_COMPARE(w.form().st.memoMode, true);
        const QList<int> order = optionsInReadingOrder(w);
        for (int digit = 8; digit >= 1; --digit) {
            wt::key(w, Qt::Key(Qt::Key_0 + digit));
            QTRY_COMPARE(w.form().selectedOption1(), order[digit - 1]);
            QVERIFY(w.optionButton(order[digit - 1])->isChecked());
        }
        // The eraser's outline shows for the eraser of the upper row (digit 4).
        wt::key(w, Qt::Key_4);
        QTRY_VERIFY(w.form().Shape1.Visible);
    }

    void disabledControlsIgnoreTheirKeys()
    {
        MainWindow w;
        wt::showActive(w);
        const Form1 before = w.form();
        for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_7})
            wt::key(w, k);
        QTest::qWait(300); // longer than a key's animated click
        QCOMPARE(w.form().selectedOption1(), before.selectedOption1());
        QVERIFY(w.form().st == before.st);

        wt::key(w, Qt::Key_D, Qt::ControlModifier); // 対角線 on: メモ is disabled
        QTRY_COMPARE(w.form().st.diagonalMode, true);
        wt::key(w, Qt::Key_M, Qt::ControlModifier);
        QTest::qWait(300);
        QCOMPARE(w.form().st.memoMode, false);
        QCOMPARE(w.form().st.diagonalMode, true);
        QVERIFY(!memo(w)->isChecked());
    }

    void quitKeyEndsTheEventLoop()
    {
        MainWindow w;
        wt::showActive(w);
        QTimer::singleShot(0, &w, [&w] { wt::key(w, Qt::Key_Q, Qt::ControlModifier); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // never reached
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(w.form().endRequested);
    }

    void f1OpensTheHelpAndItsAboutBox()
    {
        MainWindow w;
        wt::showActive(w);
        QCOMPARE(w.helpDialog(), nullptr); // nothing is built before it is asked for
        wt::key(w, Qt::Key_F1);
        QVERIFY(w.helpDialog());
        QVERIFY(QTest::qWaitForWindowExposed(w.helpDialog()));
        const QString help = w.helpDialog()->text();
        const auto keyOf = [](QAbstractButton *b) {
            return b->shortcut().toString(QKeySequence::NativeText);
        };
        for (int n = 1; n <= 4; ++n)
            QVERIFY2(help.contains(keyOf(w.commandButton(n))), qPrintable(keyOf(w.commandButton(n))));
        // Each row of pens is listed by its first and last key.
        const QList<int> order = optionsInReadingOrder(w);
        for (int row : {0, 4}) {
            const QString range = QStringLiteral("%1 – %2").arg(
                keyOf(w.optionButton(order[row])), keyOf(w.optionButton(order[row + 3])));
            QVERIFY2(help.contains(range), qPrintable(range));
        }
        for (const char *more : {"F1", "F11", "Esc", "Ctrl+L", "初期画面", "対角線", "メモ",
                                 "延長", "Ｇ"})
            QVERIFY2(help.contains(QString::fromUtf8(more)), more);
        // The board's tools are listed with the keys the window really answers to.
        for (const Tool *tool : stripTools(FrontEnd::Desktop)) {
            const QKeySequence key = w.toolAction(tool->id)->shortcut();
            if (!key.isEmpty())
                QVERIFY2(help.contains(key.toString(QKeySequence::NativeText).toHtmlEscaped()),
                         qPrintable(key.toString(QKeySequence::NativeText)));
        }

        QTest::mouseClick(w.helpDialog()->aboutButton(), Qt::LeftButton);
        QVERIFY(w.helpDialog()->aboutBox());
        QTRY_VERIFY(w.helpDialog()->aboutBox()->isVisible());
        const QString about = w.helpDialog()->aboutBox()->text();
        QVERIFY(about.contains(QStringLiteral(PR_EXPECTED_VERSION)));
        QVERIFY(about.contains(QStringLiteral("MIT")));
        // The window behind is not blocked by the help.
        QVERIFY(w.isEnabled());
    }

    // ---- the large pointer --------------------------------------------------------------

    void largePointerIsBigCrispAndPointsWithItsTip()
    {
        for (double dpr : {1.0, 1.5, 2.0}) {
            const QPixmap pm = LargePointer::pixmap(dpr);
            QCOMPARE(pm.devicePixelRatio(), dpr);
            const QSizeF logical = pm.deviceIndependentSize();
            QVERIFY2(logical.height() >= 2 * 20, "over twice a usual pointer's height");
            QVERIFY(std::abs(pm.width() - logical.width() * dpr) < 1); // drawn at device pixels
            const QImage img = pm.toImage();
            const QPointF tip = QPointF(LargePointer::hotSpot()) * dpr;
            // Black just inside the tip, nothing beyond it, a white rim along the edge.
            QCOMPARE(img.pixelColor((tip + QPointF(2, 8) * dpr).toPoint()), QColor(Qt::black));
            QCOMPARE(img.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(img.pixelColor(img.width() - 1, 0).alpha(), 0);
            QCOMPARE(img.pixelColor((tip + QPointF(-1.5, 8) * dpr).toPoint()), QColor(Qt::white));
        }
        QCOMPARE(LargePointer::cursorHotSpot(2, QStringLiteral("xcb")),
                 LargePointer::hotSpot() * 2);
        QCOMPARE(LargePointer::cursorHotSpot(2, QStringLiteral("wayland")),
                 LargePointer::hotSpot());
    }

    void largePointerKeyTogglesTheSurfaceCursorOnly()
    {
        MainWindow w;
        wt::showActive(w);
        QVERIFY(!w.largePointer());
        QCOMPARE(w.surface()->cursor().shape(), Qt::ArrowCursor);
        QSignalSpy changed(&w, &MainWindow::largePointerChanged);

        wt::key(w, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(w.largePointer());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        const QCursor c = w.surface()->cursor();
        QCOMPARE(c.shape(), Qt::BitmapCursor);
        QCOMPARE(c.pixmap().devicePixelRatio(), w.devicePixelRatioF());
        QCOMPARE(w.commandButton(1)->cursor().shape(), Qt::ArrowCursor);

        wt::key(w, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!w.largePointer());
        QCOMPARE(changed.size(), 2);
        QVERIFY(!w.surface()->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(w.surface()->cursor().shape(), Qt::ArrowCursor);

        w.setLargePointer(false); // no change, no signal
        QCOMPARE(changed.size(), 2);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
