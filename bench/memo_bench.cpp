// Memory and time of a long stretch of writing on the real window at 811 x 702: one freehand
// stroke of many segments (a random walk of up to 6 surface px per event), each delivered
// to the surface and repainted. Strokes live only in the fixed-size stroke layer, so the
// resident set should stay flat once the first segments have warmed everything up.
//
//   memo_bench [--segments N] [--pen 0..7]
//
// Goals: under 0.5 ms per segment (core and repaint); no growth with the segment count
// beyond the layer itself.
#include "ProcessStats.h"
#include "Stats.h"
#include "SurfaceDriver.h"
#include "MainWindow.h"
#include "SurfaceWidget.h"
#include "StrokeLayer.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

void printCheckpoint(long segments, const std::vector<double> &us)
{
    std::printf("%9ld | %8.1f %8.1f %8.1f | %9.1f %9.1f %9.2f\n", segments,
                prbench::median(us), prbench::percentile(us, 0.99), prbench::mean(us),
                prbench::currentRssKiB() / 1024.0, prbench::peakRssKiB() / 1024.0,
                double(prbench::heapInUseBytes()) / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    long segments = 100'000;
    int pen = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--segments" && i + 1 < argc)
            segments = std::max(1L, std::atol(argv[++i]));
        else if (a == "--pen" && i + 1 < argc)
            pen = std::clamp(std::atoi(argv[++i]), 0, 7);
        else {
            std::fprintf(stderr, "usage: %s [--segments N] [--pen 0..7]\n", argv[0]);
            return 2;
        }
    }

    pr::MainWindow window;
    prbench::SurfaceDriver d(window);
    if (!d.showAt(QSize(811, 702))) {
        std::fprintf(stderr, "window was never exposed\n");
        return 1;
    }
    const QImage &layer = d.surface()->strokeLayer().image();
    std::printf("platform %s, surface scale %.3f, device pixel ratio %.2f, pen option %d, "
                "load average %s\n",
                qPrintable(QGuiApplication::platformName()), d.surface()->scale(),
                d.surface()->devicePixelRatioF(), pen, prbench::loadAverage().c_str());
    std::printf("stroke layer %dx%d px, %.2f MiB\n", layer.width(), layer.height(),
                double(layer.sizeInBytes()) / (1024.0 * 1024.0));

    d.clickCommand(3); // メモ
    if (pen != 0)
        d.clickOption(pen);

    // The timing log is written through before the baseline, so it does not count as growth.
    std::vector<double> all(std::size_t(segments), 0.0), chunk;
    chunk.reserve(10'000);
    const long rssBefore = prbench::currentRssKiB();
    const std::size_t heapBefore = prbench::heapInUseBytes();
    std::printf("\n%9s | %8s %8s %8s | %9s %9s %9s\n", "segments", "med us", "p99 us",
                "mean us", "RSS MiB", "peak MiB", "heap MiB");
    printCheckpoint(0, {});

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> step(-6, 6);
    QPointF at(400, 300);
    d.press(at);
    long nextCheckpoint = 1000;
    for (long i = 1; i <= segments; ++i) {
        at = QPointF(std::clamp(at.x() + step(rng), 10.0, 779.0),
                     std::clamp(at.y() + step(rng), 10.0, 627.0));
        const double us = d.move(at, Qt::LeftButton).totalUs();
        chunk.push_back(us);
        all[std::size_t(i - 1)] = us;
        if (i == nextCheckpoint || i == segments) {
            printCheckpoint(i, chunk);
            chunk.clear();
            nextCheckpoint = nextCheckpoint < 10'000 ? 10'000 : nextCheckpoint + 10'000;
        }
    }
    d.release(at);

    const double growthMiB = (prbench::currentRssKiB() - rssBefore) / 1024.0;
    const double heapGrowthMiB =
        (double(prbench::heapInUseBytes()) - double(heapBefore)) / (1024.0 * 1024.0);
    const double med = prbench::median(all);
    std::printf("\nper segment: median %.1f us, p99 %.1f us, mean %.1f us (goal < 500 us): %s\n",
                med, prbench::percentile(all, 0.99), prbench::mean(all),
                med < 500 ? "met" : "MISSED");
    std::printf("after %ld segments: RSS %+.2f MiB, heap in use %+.2f MiB since memo mode went "
                "on\n",
                segments, growthMiB, heapGrowthMiB);
    std::printf("load average after %s\n", prbench::loadAverage().c_str());
    return 0;
}
