// Cost of one call of each surface handler of the core, with no front end: the press that
// takes the copy of ℓ, one slide move, the release, and a stroke segment in memo mode; then
// what a front end adds per event: the draw list built and compared with the one shown. The
// goal is under 1 µs per call; the figures are in ns.
//
//   core_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "StrokeLayer.h"
#include "draw/DrawList.h"
#include "lesson/Lesson.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

// Surface points in logical px: (300, 300) lies on the copy of ℓ between p and r.
constexpr float kCopyX = 300, kCopyY = 300;

pr::Lesson loadedForm()
{
    pr::Lesson f;
    f.Form_Load();
    return f;
}

void BM_Press_OnCopy(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    for (auto _ : state) {
        f.gamen_MouseDown(1, 0, kCopyX, kCopyY);
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Press_OnCopy);

void BM_Press_Empty(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    for (auto _ : state) {
        f.gamen_MouseDown(1, 0, 700, 600); // below r, right of m: no hit region
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Press_Empty);

// Moves of 3 px right and back, the copy held: each is one full slide step.
void BM_SlideMove(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    f.gamen_MouseDown(1, 0, kCopyX, kCopyY);
    float x = kCopyX;
    for (auto _ : state) {
        x = x == kCopyX ? kCopyX + 3 : kCopyX;
        f.gamen_MouseMove(1, 0, x, kCopyY);
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SlideMove);

// A move with nothing held and no mode: only the eraser cursor follows the pointer.
void BM_HoverMove(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    float x = kCopyX;
    for (auto _ : state) {
        x = x == kCopyX ? kCopyX + 3 : kCopyX;
        f.gamen_MouseMove(0, 0, x, kCopyY);
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HoverMove);

// Release with no drag in progress (the commit of DragMode::None).
void BM_Release(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    for (auto _ : state) {
        f.gamen_MouseUp(1, 0, kCopyX, kCopyY);
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Release);

// A whole short gesture: press on the copy, one slide move, release that commits it. The
// release after a slide is this minus BM_Press_OnCopy and BM_SlideMove.
void BM_PressSlideRelease(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    float x = kCopyX;
    for (auto _ : state) {
        f.gamen_MouseDown(1, 0, x, kCopyY);
        const float to = x == kCopyX ? kCopyX + 3 : kCopyX;
        f.gamen_MouseMove(1, 0, to, kCopyY);
        f.gamen_MouseUp(1, 0, to, kCopyY);
        x = to;
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PressSlideRelease);

// Stroke segment in memo mode, pen down, with no layer attached: the core's part only.
void BM_StrokeSegment_Core(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    f.clickCommand(3);
    f.gamen_MouseDown(1, 0, kCopyX, kCopyY);
    float x = kCopyX;
    for (auto _ : state) {
        x = x == kCopyX ? kCopyX + 3 : kCopyX;
        f.gamen_MouseMove(1, 0, x, kCopyY + 2);
        benchmark::DoNotOptimize(f.form.st);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StrokeSegment_Core);

// The same segment rasterised into the stroke layer at scale 1, device pixel ratio 1, with
// the pen option of argument 0: 0 thin red (3 px), 4 thick red (6 px), 7 thick eraser (25 px).
void BM_StrokeSegment_Layer(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    pr::StrokeLayer layer;
    f.form.gamen.setSink(&layer);
    f.clickCommand(3);
    f.clickOption(int(state.range(0)));
    f.gamen_MouseDown(1, 0, kCopyX, kCopyY);
    float x = kCopyX;
    for (auto _ : state) {
        x = x == kCopyX ? kCopyX + 3 : kCopyX;
        f.gamen_MouseMove(1, 0, x, kCopyY + 2);
        benchmark::DoNotOptimize(layer.takeDirty());
    }
    f.form.gamen.setSink(nullptr);
}
BENCHMARK(BM_StrokeSegment_Layer)->Arg(0)->Arg(4)->Arg(7);

// One slide move through the entry point, as a front end delivers it, with the draw list
// rebuilt and compared with the last one shown: the core's whole cost per event.
// Arg 1: with both aids on (比を表示, 相似な三角形), the copy sliding through Ａ', where the
// triangles show and every length follows it.
void BM_SlideMove_WithDrawList(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    const float from = kCopyX + (state.range(0) ? 151 : 0);
    if (state.range(0)) {
        f.setAids({true, true});
        f.press(1, 0, kCopyX, kCopyY);
        f.move(1, 0, from, kCopyY);
        f.release(1, 0, from, kCopyY);
    }
    f.press(1, 0, from, kCopyY);
    pr::DrawList shown = pr::DrawList::build(f.form);
    float x = from;
    for (auto _ : state) {
        x = x == from ? from + 3 : from;
        f.move(1, 0, x, kCopyY);
        pr::DrawList now = pr::DrawList::build(f.form);
        benchmark::DoNotOptimize(pr::DrawList::changedArea(shown, now));
        shown = std::move(now);
    }
}
BENCHMARK(BM_SlideMove_WithDrawList)->Arg(0)->Arg(1);

void BM_DrawListBuild(benchmark::State &state)
{
    pr::Lesson f = loadedForm();
    if (state.range(0))
        f.setAids({true, true});
    for (auto _ : state)
        benchmark::DoNotOptimize(pr::DrawList::build(f.form));
}
BENCHMARK(BM_DrawListBuild)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
