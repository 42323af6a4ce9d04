// A monkey on the real window: ten thousand random presses, moves, releases, clicks, double
// clicks, touches and keys through the window system, anywhere on the offscreen window.
// After each one the form keeps its rules and the window shows the form's state; at the end
// 初期画面 brings back the initial surface, pixel for pixel.
//
// PR_MONKEY_EVENTS sets the number of events (default 10000), PR_MONKEY_SEED the seed.
#include "WindowTestUtil.h"
#include "support/FormInvariants.h"

#include <QtCore/QRandomGenerator>
#include <QtGui/qtestsupport_gui.h>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <memory>

using namespace pr;

namespace {

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// The window's widgets show what the form holds.
std::string windowOutOfStep(const MainWindow &w)
{
    const Form1 &f = w.form();
    const CommandButton *commands[4] = {&f.Command1, &f.Command2, &f.Command3, &f.Command4};
    for (int n = 1; n <= 4; ++n)
        if (w.commandButton(n)->isEnabled() != commands[n - 1]->Enabled)
            return "button " + std::to_string(n) + " enabled differs from the form";
    for (int i = 0; i <= 7; ++i) {
        if (w.optionButton(i)->isEnabled() != f.Option1[i].Enabled)
            return "option " + std::to_string(i) + " enabled differs from the form";
        if (w.optionButton(i)->isChecked() != f.Option1[i].Value)
            return "option " + std::to_string(i) + " checked differs from the form";
    }
    return {};
}

class Monkey {
public:
    Monkey(MainWindow &w, quint32 seed) : w_(w), rng_(seed), device_(QTest::createTouchDevice())
    {
        // 終了 ends the program, after which there is nothing left to check: the monkey
        // can neither click it nor reach it with the keyboard.
        quit_ = QRect(w.commandButton(2)->mapTo(&w, QPoint(0, 0)), w.commandButton(2)->size());
        w.commandButton(2)->setFocusPolicy(Qt::NoFocus);
    }

    // One window-system event; returns a short description of it.
    QString step()
    {
        QWindow *window = w_.windowHandle();
        const int kind = int(rng_.bounded(100));
        const QPoint at = point();
        const Qt::MouseButton button = this->button();
        if (kind < 40) {
            QTest::mouseMove(window, at);
            return QStringLiteral("move %1,%2").arg(at.x()).arg(at.y());
        }
        if (kind < 55) {
            QTest::mousePress(window, button, modifiers(), at);
            held_ |= button;
            return QStringLiteral("press %1 %2,%3").arg(int(button)).arg(at.x()).arg(at.y());
        }
        if (kind < 70) {
            // Mostly a button that is held, now and then one that is not.
            const Qt::MouseButton b = held_ && rng_.bounded(4) != 0 ? heldButton() : button;
            QTest::mouseRelease(window, b, modifiers(), at);
            held_ &= ~b;
            return QStringLiteral("release %1 %2,%3").arg(int(b)).arg(at.x()).arg(at.y());
        }
        if (kind < 82) {
            QTest::mouseClick(window, button, modifiers(), at);
            held_ &= ~button;
            return QStringLiteral("click %1 %2,%3").arg(int(button)).arg(at.x()).arg(at.y());
        }
        if (kind < 85) {
            QTest::mouseDClick(window, button, modifiers(), at);
            held_ &= ~button;
            return QStringLiteral("double click %1 %2,%3").arg(int(button)).arg(at.x()).arg(at.y());
        }
        if (kind < 95)
            return touch(at);
        static const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Space,
                                       Qt::Key_Return, Qt::Key_Up,      Qt::Key_Down};
        const Qt::Key key = keys[rng_.bounded(int(std::size(keys)))];
        QTest::keyClick(window, key);
        return QStringLiteral("key %1").arg(int(key));
    }

    // Lets go of every button and finger still held.
    void letGo()
    {
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (held_ & b)
                QTest::mouseRelease(w_.windowHandle(), b, {}, point());
        held_ = {};
        if (touching_)
            QTest::touchEvent(w_.windowHandle(), device_.get()).release(0, point());
        touching_ = false;
    }

private:
    // Half the time on the surface, a quarter on the buttons and options, the rest anywhere
    // on the window; never on 終了.
    QPoint point()
    {
        for (;;) {
            QPoint p;
            const int where = int(rng_.bounded(4));
            if (where < 2) {
                const QRect s(w_.surface()->mapTo(&w_, QPoint(0, 0)), w_.surface()->size());
                p = QPoint(s.left() + int(rng_.bounded(s.width())),
                           s.top() + int(rng_.bounded(s.height())));
            } else if (where == 2) {
                QWidget *controls[] = {
                    w_.commandButton(1), w_.commandButton(3), w_.commandButton(4),
                    w_.optionButton(0),  w_.optionButton(1),  w_.optionButton(2),
                    w_.optionButton(3),  w_.optionButton(4),  w_.optionButton(5),
                    w_.optionButton(6),  w_.optionButton(7)};
                QWidget *c = controls[rng_.bounded(int(std::size(controls)))];
                p = c->mapTo(&w_, c->rect().center());
            } else {
                p = QPoint(int(rng_.bounded(w_.width())), int(rng_.bounded(w_.height())));
            }
            if (!quit_.adjusted(-2, -2, 2, 2).contains(p))
                return p;
        }
    }

    Qt::MouseButton button()
    {
        const int r = int(rng_.bounded(20));
        return r < 17 ? Qt::LeftButton : r < 19 ? Qt::MiddleButton : Qt::RightButton;
    }

    Qt::MouseButton heldButton() const
    {
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (held_ & b)
                return b;
        return Qt::LeftButton;
    }

    Qt::KeyboardModifiers modifiers()
    {
        return rng_.bounded(10) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
    }

    QString touch(QPoint at)
    {
        QWindow *window = w_.windowHandle();
        if (!touching_) {
            QTest::touchEvent(window, device_.get()).press(0, at);
            touching_ = true;
            return QStringLiteral("touch down %1,%2").arg(at.x()).arg(at.y());
        }
        if (rng_.bounded(3) != 0) {
            QTest::touchEvent(window, device_.get()).move(0, at);
            return QStringLiteral("touch move %1,%2").arg(at.x()).arg(at.y());
        }
        QTest::touchEvent(window, device_.get()).release(0, at);
        touching_ = false;
        return QStringLiteral("touch up %1,%2").arg(at.x()).arg(at.y());
    }

    MainWindow &w_;
    QRandomGenerator rng_;
    std::unique_ptr<QPointingDevice> device_; // registered with Qt until deleted
    QRect quit_;
    Qt::MouseButtons held_;
    bool touching_ = false;
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void randomInputThenTheInitialScreen()
    {
        const int events = envInt("PR_MONKEY_EVENTS", 10000);
        const quint32 seed = quint32(envInt("PR_MONKEY_SEED", 20240611));
        MainWindow w;
        wt::showAndWait(w);
        const QImage initial = wt::grabSurface(w);
        const FormInvariants rules(w.form());

        Monkey monkey(w, seed);
        QStringList recent; // the last events, to show with a failure
        int memoLeft = 0, memo = 0, diagonal = 0, strokes = 0;
        for (int i = 1; i <= events; ++i) {
            const bool wasMemo = w.form().st.memoMode;
            recent << monkey.step();
            if (recent.size() > 12)
                recent.removeFirst();
            std::string failure = rules.checkState(w.form());
            if (failure.empty())
                failure = FormInvariants::checkFinite(w.form());
            if (failure.empty())
                failure = windowOutOfStep(w);
            if (!failure.empty())
                QFAIL(qPrintable(QStringLiteral("seed %1, after event %2: %3\nlast events:\n%4")
                                     .arg(seed)
                                     .arg(i)
                                     .arg(QString::fromStdString(failure), recent.join('\n'))));
            QVERIFY(!w.form().endRequested);
            memoLeft += !w.form().st.memoMode && wasMemo;
            memo += w.form().st.memoMode;
            diagonal += w.form().st.diagonalMode;
            strokes += w.form().st.penDown;
        }
        qInfo("%d events (seed %u): %d in memo mode, %d with the pen down, %d in diagonal mode, "
              "memo mode left %d times",
              events, seed, memo, strokes, diagonal, memoLeft);
        // The monkey reached the modes, or the end check proves little.
        QVERIFY(memo > 0 && diagonal > 0 && strokes > 0);

        monkey.letGo();
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton);
        QCOMPARE(wt::grabSurface(w), initial);
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
