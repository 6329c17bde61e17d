// Costs paid by the clock on every resize of the round window.
#include "mainwindow/shell/WindowShell.h"

#include <benchmark/benchmark.h>

using namespace vireo;

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
