// Costs paid by the clock every second or on every repaint of the see-through face.
#include "mainwindow/shell/WindowShell.h"

#include <QImage>
#include <benchmark/benchmark.h>

using namespace vireo;

// The see-through face keys out its whole picture on each repaint (once a second).
static void BM_KeyOutColor(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    QImage face(side, side, QImage::Format_ARGB32_Premultiplied);
    face.fill(QColor(208, 208, 208));
    for (auto _ : state) {
        QImage copy = face.copy();
        benchmark::DoNotOptimize(KeyOutColor(copy));
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_KeyOutColor)->Arg(200)->Arg(400)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The icon's tip is rebuilt every second.
static void BM_MakeTrayTip(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(MakeTrayTip("明六時零分", 6));
}
BENCHMARK(BM_MakeTrayTip);

// The round window's shape is recomputed on every resize.
static void BM_CircleRegion(benchmark::State& state) {
    int side = 200;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CircleRegion(side, side - 19));
        side = side == 600 ? 200 : side + 1;
    }
}
BENCHMARK(BM_CircleRegion);

BENCHMARK_MAIN();
