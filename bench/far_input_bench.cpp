// Costs that bad or far pointer input could inflate, printed as figures (no pass or fail):
//   - core replay of decoded random event scripts, events per second;
//   - a full repaint of the surface, as laid out and with the copy of ℓ, Ｄ Ｅ Ｆ, the cursor
//     and strokes pushed millions of pixels away by usable but far positions;
//   - one stroke segment rasterised: on the surface, crossing it from 1e6 px away, wholly
//     outside it, and with non-finite ends;
//   - a pointer event at an unusable position reaching the surface widget.
// Each figure is the median of several timed runs. Run on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bench/far_input_bench
#include "support/EventScript.h"
#include "lesson/Lesson.h"
#include "form/QBColor.h"
#include "MainWindow.h"
#include "SurfaceWidget.h"
#include "StrokeLayer.h"

#include <QtCore/QRandomGenerator>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

using namespace pr;
using Clock = std::chrono::steady_clock;

namespace {

// Median over `runs` of the time per repetition of `work`, in microseconds.
double medianMicros(int runs, int reps, const std::function<void()> &work)
{
    std::vector<double> t;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        for (int i = 0; i < reps; ++i)
            work();
        t.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / reps);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void mouse(SurfaceWidget *s, QEvent::Type type, QPointF surfacePoint,
           Qt::MouseButton b = Qt::LeftButton)
{
    const QPointF p = s->toWidget(surfacePoint);
    QMouseEvent e(type, p, p, type == QEvent::MouseMove ? Qt::NoButton : b,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b), {});
    QCoreApplication::sendEvent(s, &e);
}

void coreReplay()
{
    QRandomGenerator rng(1);
    std::vector<std::uint8_t> bytes(1 << 20);
    for (auto &b : bytes)
        b = std::uint8_t(rng.bounded(256));
    const EventScript script = EventScript::fromBytes(bytes);
    Lesson f;
    f.Form_Load();
    const double us = medianMicros(5, 1, [&] { script.replay(f); });
    std::printf("core replay of decoded random bytes: %zu events, %.1f M events/s\n",
                script.events.size(), double(script.events.size()) / us);
}

void repaint()
{
    MainWindow w;
    w.resize(811, 702);
    w.show();
    QCoreApplication::processEvents();
    SurfaceWidget *s = w.surface();
    const auto fullPaint = [s] { (void)s->grab(); };
    const double laidOut = medianMicros(9, 20, fullPaint);

    // Usable but far: the copy slid to +1e6, pressed there and slid to -1e6; the eraser
    // cursor and a stroke out at 1e6.
    mouse(s, QEvent::MouseButtonPress, {300, 300});
    mouse(s, QEvent::MouseMove, {1e6, 300});
    mouse(s, QEvent::MouseButtonRelease, {1e6, 300});
    mouse(s, QEvent::MouseButtonPress, {1e6, 300});
    mouse(s, QEvent::MouseMove, {-1e6, 300});
    mouse(s, QEvent::MouseButtonRelease, {-1e6, 300});
    w.handle([](Lesson &l) {
        l.clickCommand(3);
        l.clickOption(7);
    });
    mouse(s, QEvent::MouseButtonPress, {1e6, 1e6});
    mouse(s, QEvent::MouseMove, {-1e6, 1e6});
    mouse(s, QEvent::MouseMove, {1e6, -1e6});
    const double far = medianMicros(9, 20, fullPaint);
    std::printf("full repaint of the surface: %.0f us as laid out, %.0f us with the copy at "
                "x = %.0f and the cursor at (%.0f, %.0f)\n",
                laidOut, far, double(w.form().Line2[0].X1), double(w.form().Shape1.Left),
                double(w.form().Shape1.Top));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double bad = medianMicros(9, 2000, [s, nan] {
        mouse(s, QEvent::MouseMove, {nan, nan});
        mouse(s, QEvent::MouseButtonPress, {1e30, 0});
    });
    std::printf("a move at NaN plus a press at 1e30, dropped by the surface: %.2f us\n", bad);
}

void segments()
{
    StrokeLayer layer;
    layer.setGeometry(QSize(793, 641), 1, 1);
    const QRgb red = QBColor(12);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char *what;
        float x1, y1, x2, y2;
    } cases[] = {
        {"on the surface, 100 px", 100, 100, 200, 100},
        {"across the surface, corner to corner", 0, 0, 637, 637},
        {"across the surface from 1e6 px away", -1e6f, -1e6f, 1e6f, 1e6f},
        {"wholly outside, 2e6 px long", -1e6f, -5000, 1e6f, -5000},
        {"from 1e30 to 3.4e38", 1e30f, 1e30f, 3.4e38f, -3.4e38f},
        {"with a NaN end", nan, 100, 200, 100},
    };
    for (const auto &c : cases) {
        const double us =
            medianMicros(9, 2000, [&] { layer.drawSegment(c.x1, c.y1, c.x2, c.y2, red, 25); });
        std::printf("stroke segment 25 px wide, %s: %.2f us\n", c.what, us);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    coreReplay();
    repaint();
    segments();
    return 0;
}
