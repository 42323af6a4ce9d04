// What keeping the board as strokes costs, on the real window at 3840 x 2160 (run under
// QT_QPA_PLATFORM=offscreen:configfile=offscreen-3840x2160.json, see RUNNING.md):
//
//   - memory: bytes of stroke storage per segment, for one long stroke and for short ones;
//   - undo of a reset after N segments (default 100,000): the lesson's undo, the stroke
//     layer taken back, and the whole surface repainted;
//   - keeping the board after a stroke: a short stroke's release, with the board of N
//     segments written to disk (QSaveFile: written, flushed, renamed);
//   - for comparison, what the layer costs without its kept raster: undo of the last stroke
//     and a resize, both painting every segment again.
//
//   board_bench [--segments N] [--runs R]
//
// Goals: at most 32 bytes per segment; undo of a reset and keeping the board each under
// 50 ms at 3840 x 2160. The kept board goes to a test folder, never the user's.
#include "ProcessStats.h"
#include "Stats.h"
#include "SurfaceDriver.h"
#include "BoardStore.h"
#include "MainWindow.h"
#include "SurfaceWidget.h"
#include "StrokeLayer.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QStandardPaths>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes the strokes hold: the list, each stroke's points as allocated.
double strokeBytes(const std::vector<pr::Stroke> &strokes)
{
    double bytes = double(strokes.capacity() * sizeof(pr::Stroke));
    for (const pr::Stroke &s : strokes)
        bytes += double(s.points.capacity() * sizeof(pr::StrokePoint));
    return bytes;
}

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// Writes `segments` segments in strokes of `perStroke` segments (a random walk of up to 6
// surface px per event), straight through the lesson's entry points with one sync each, so
// that setting up costs no repaint per event.
void write(pr::MainWindow &w, long segments, long perStroke, std::mt19937 &rng)
{
    std::uniform_real_distribution<double> step(-6, 6);
    QPointF at(400, 300);
    long done = 0;
    while (done < segments) {
        w.handle([&](pr::Lesson &l) { l.press(1, 0, at.x(), at.y()); });
        for (long i = 0; i < perStroke && done < segments; ++i, ++done) {
            at = QPointF(std::clamp(at.x() + step(rng), 10.0, 779.0),
                         std::clamp(at.y() + step(rng), 10.0, 627.0));
            w.handle([&](pr::Lesson &l) { l.move(1, 0, at.x(), at.y()); });
        }
        w.handle([&](pr::Lesson &l) { l.release(1, 0, at.x(), at.y()); });
    }
}

void report(const char *what, const std::vector<double> &v, double goal)
{
    std::printf("%-44s median %8.2f ms  max %8.2f ms", what, prbench::median(v),
                *std::max_element(v.begin(), v.end()));
    if (goal > 0)
        std::printf("  (goal < %.0f ms: %s)", goal, prbench::median(v) < goal ? "met" : "MISSED");
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    long segments = 100'000;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--segments" && i + 1 < argc)
            segments = std::max(10L, std::atol(argv[++i]));
        else if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--segments N] [--runs R]\n", argv[0]);
            return 2;
        }
    }
    QDir(pr::BoardStore::defaultFolder()).removeRecursively();

    pr::MainWindow window;
    prbench::SurfaceDriver d(window);
    const QSize size = window.screen() ? window.screen()->size() : QSize(811, 702);
    if (!d.showAt(size)) {
        std::fprintf(stderr, "window was never exposed\n");
        return 1;
    }
    window.setWindowState(Qt::WindowFullScreen);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    std::printf("platform %s, window %dx%d, surface scale %.3f, device pixel ratio %.2f, "
                "load average %s\n",
                qPrintable(QGuiApplication::platformName()), window.width(), window.height(),
                d.surface()->scale(), d.surface()->devicePixelRatioF(),
                prbench::loadAverage().c_str());

    std::mt19937 rng(7);
    d.clickCommand(3); // メモ

    // Memory of short strokes first, on a board of its own.
    write(window, std::min(segments, 10'000L), 10, rng);
    const auto &strokes = window.lesson().strokes();
    std::printf("\nstroke storage: %.1f bytes per segment in strokes of 10 segments (%zu strokes)\n",
                strokeBytes(strokes) / double(window.lesson().strokeList().segmentCount()),
                strokes.size());
    window.clearWriting();

    write(window, segments, segments, rng);
    d.repaintAll();
    std::printf("stroke storage: %.1f bytes per segment in one stroke of %ld segments\n",
                strokeBytes(strokes) / double(window.lesson().strokeList().segmentCount()),
                segments);
    std::printf("stroke layer rasters: %.1f MiB\n\n",
                double(d.surface()->strokeLayer().bytes()) / (1024.0 * 1024.0));

    std::vector<double> undoReset, keep, undoStroke, resize, file;
    for (int r = 0; r < runs; ++r) {
        d.press({400, 20}, Qt::RightButton); // reset
        d.release({400, 20}, Qt::RightButton);
        QElapsedTimer t;
        t.start();
        window.undo();
        d.repaintAll();
        undoReset.push_back(ms(t));
        if (window.lesson().strokeList().segmentCount() != std::size_t(segments)) {
            std::fprintf(stderr, "undo did not bring the strokes back\n");
            return 1;
        }

        // A short stroke on the full board; its release keeps the board on disk. The reset
        // ended memo mode, which undo leaves as it is.
        d.clickCommand(3);
        d.press({100, 100});
        d.move({110, 104}, Qt::LeftButton);
        d.move({120, 100}, Qt::LeftButton);
        t.restart();
        d.release({120, 100});
        keep.push_back(ms(t));

        t.restart();
        if (!window.boardStore().keep(window.lesson().board()).ok) {
            std::fprintf(stderr, "the board could not be kept\n");
            return 1;
        }
        file.push_back(ms(t));

        t.restart();
        window.undo(); // the short stroke: every segment painted again
        d.repaintAll();
        undoStroke.push_back(ms(t));
        if (window.lesson().strokeList().segmentCount() != std::size_t(segments)) {
            std::fprintf(stderr, "the short stroke was not drawn or not undone\n");
            return 1;
        }
    }
    for (int r = 0; r < std::min(runs, 3); ++r) {
        QElapsedTimer t;
        t.start();
        window.setWindowState(r % 2 == 0 ? Qt::WindowNoState : Qt::WindowFullScreen);
        window.resize(r % 2 == 0 ? size / 2 : size);
        d.repaintAll();
        resize.push_back(ms(t));
    }

    // The layer alone, painted from every stroke at the surface's size.
    std::vector<double> paint;
    for (int r = 0; r < runs; ++r) {
        pr::StrokeLayer layer;
        const pr::StrokeLayer &shown = d.surface()->strokeLayer();
        layer.setGeometry(d.surface()->size(), shown.scale(), shown.dpr());
        QElapsedTimer t;
        t.start();
        layer.redrawLayer(window.lesson().strokeList().background(), strokes);
        paint.push_back(ms(t));
    }

    std::printf("with %ld segments on the board, %d runs:\n", segments, runs);
    report("undo of a reset, surface repainted", undoReset, 50);
    report("stroke release, board kept on disk", keep, 50);
    report("  of which the board file alone", file, 0);
    report("undo of a stroke (layer painted again)", undoStroke, 0);
    report("resize (layer painted again)", resize, 0);
    report("  the layer alone painted from the strokes", paint, 0);
    std::printf("load average after %s\n", prbench::loadAverage().c_str());
    return 0;
}
