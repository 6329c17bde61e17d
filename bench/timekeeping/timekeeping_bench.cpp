// One tick's work per scale on the real ephemeris component: a new whole second each
// iteration, so the component's date is set and its answers for the scale are computed anew.
#include <benchmark/benchmark.h>

#include <string>

#include "ephemeris/EphemerisComponent.h"
#include "timekeeping/ClockTick.h"

namespace vireo {
namespace {

class NullSink final : public TickSink {
public:
    std::int64_t Sum = 0;
    void ShowReadouts(std::int32_t v) override { Sum += v; }
    bool IsMinimized() const override { return false; }
    bool SetClockColor() override { return false; }
    void DrawClockScale() override {}
    void DrawHands(std::int32_t v) override { Sum += v; }
    void AlarmControl(std::int32_t s) override { Sum += s; }
    void TimeSignal(std::int32_t v) override { Sum += v; }
    std::string MusicStatus() override { return {}; }
    void PlayMusic(const std::string&, std::int32_t) override {}
};

struct Rig {
    EphemerisComponent eph;
    SettableClock clock{LocalDateTime::FromCivil(2026, 12, 12, 9, 0, 0.05)};
    ClockState state;
    TimeScales scales{state, eph, clock};
    NullSink sink;
    ClockTick tick{state, scales, clock, sink};

    explicit Rig(int mode) {
        eph.SetCurrentDate(clock.Now().OleDate());
        state.Period = scales.ComputeTemporalPeriod(clock.Now().OleDate());
        state.ClockMode = mode;
    }
};

void BM_TickNewSecond(benchmark::State& st) {
    Rig rig(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        rig.clock.Advance(1.0);
        benchmark::DoNotOptimize(rig.tick.Timer1_Timer());
    }
    benchmark::DoNotOptimize(rig.sink.Sum);
}
BENCHMARK(BM_TickNewSecond)->DenseRange(0, 7)->ArgName("scale");

// The nine other timer events of each second: the gate alone.
void BM_TickSameSecond(benchmark::State& st) {
    Rig rig(6);
    rig.tick.Timer1_Timer();
    for (auto _ : st) benchmark::DoNotOptimize(rig.tick.Timer1_Timer());
}
BENCHMARK(BM_TickSameSecond);

// A new temporal period (at NextChange, a clock jump, a change of observer).
void BM_ComputeTemporalPeriod(benchmark::State& st) {
    Rig rig(6);
    double d = rig.clock.Now().OleDate();
    for (auto _ : st) {
        d += 1.37;  // a different day each time, so no cached day answers are reused
        benchmark::DoNotOptimize(rig.scales.ComputeTemporalPeriod(d));
    }
}
BENCHMARK(BM_ComputeTemporalPeriod);

}  // namespace
}  // namespace vireo

BENCHMARK_MAIN();
