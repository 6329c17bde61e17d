// Speed of the ephemeris component in the clock's own patterns of use.

#include <benchmark/benchmark.h>
#include <erfa.h>

#include <cmath>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "EphemQuery.h"
#include "ephemeris/EphemerisComponent.h"

namespace {

double Ole(int y, int m, int d) {
    double a = 0.0, b = 0.0;
    eraCal2jd(y, m, d, &a, &b);
    return b - 15018.0;
}

// The tick: once a second the clock sets the date and asks two sidereal times, the Sun's
// right ascension and altitude, and the lunisolar date.
void BM_OnceASecondBatch(benchmark::State& state) {
    vireo::EphemerisComponent e;
    double t = Ole(2026, 12, 8) + 0.3;
    e.SetCurrentDate(t);
    (void)e.LunisolarMonth();  // warm-up: this year's months
    for (auto _ : state) {
        t += 1.0 / 86400.0;
        e.SetCurrentDate(t);
        double sum = e.SiderealTime(3) + e.SiderealTime(1) + e.Sun().RightAscension() + e.Sun().Altitude();
        sum += e.LunisolarMonth() + e.LunisolarDay() + (e.LeapMonth() ? 1 : 0);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(e.DayLabel());
    }
}
BENCHMARK(BM_OnceASecondBatch);

// The temporal-hour period: term day, dawn and dusk of the term's first day, the next term
// and the dawn of its day, on a date the component has not seen (cold per-day caches).
void BM_TemporalPeriodBatch(benchmark::State& state) {
    vireo::EphemerisComponent e;
    double d = Ole(2026, 1, 1) + 0.4;
    for (auto _ : state) {
        d += 15.3;
        if (d > Ole(2090, 1, 1)) d = Ole(2026, 1, 1) + 0.4;
        e.SetCurrentDate(d);
        const int n = e.SolarTermDay();
        e.SetCurrentDate(d - (n - 1));
        const int k = e.SolarTermIndex();
        double sum = e.Sun().Dawn() + e.Sun().Dusk();
        const double r = e.Sun().TimeAtSolarLongitude(15.0 * k - 30.0, d);
        e.SetCurrentDate(r);
        sum += e.Sun().Dawn();
        e.SetCurrentDate(d);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_TemporalPeriodBatch)->Unit(benchmark::kMicrosecond);

// vireo-ephem answering lunisolar queries for random dates 1901-2099 (months cached per
// year after the first queries of that year).
void BM_ToolLunisolarQueries(benchmark::State& state) {
    vireo::EphemerisComponent e;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> day(Ole(1901, 1, 1), Ole(2099, 12, 31));
    for (int i = 0; i < 20000; ++i) {  // warm-up: every year's months
        e.SetCurrentDate(day(rng));
        (void)e.LunisolarMonth();
    }
    for (auto _ : state) {
        e.SetCurrentDate(day(rng));
        benchmark::DoNotOptimize(e.LunisolarMonth() + e.LunisolarDay() + (e.LeapMonth() ? 1 : 0));
        benchmark::DoNotOptimize(e.DayLabel());
    }
    state.counters["queries/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ToolLunisolarQueries);

// The whole vireo-ephem line: parse, every field, JSON (dawn and dusk searched per new day).
void BM_ToolFullQueryLines(benchmark::State& state) {
    vireo::EphemerisComponent e;
    std::vector<std::string> lines;
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> year(2000, 2030), month(1, 12), dom(1, 28), hour(0, 23);
    for (int i = 0; i < 4096; ++i) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "35.6544 139.7447 0 9 %04d-%02d-%02dT%02d:17:05", year(rng),
                      month(rng), dom(rng), hour(rng));
        lines.emplace_back(buf);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto q = vireo::ParseEphemQuery(lines[i++ % lines.size()]);
        benchmark::DoNotOptimize(vireo::EphemAnswerJson(e, std::get<vireo::EphemQuery>(q)));
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ToolFullQueryLines)->Unit(benchmark::kMicrosecond);

// A cold year of the lunisolar calendar: new moons and principal terms from scratch.
void BM_LunisolarYearCold(benchmark::State& state) {
    int y = 1901;
    for (auto _ : state) {
        vireo::AstroEngine engine;
        vireo::LunisolarCalendar cal(engine);
        benchmark::DoNotOptimize(cal.SolsticeYear(y).months.size());
        if (++y > 2099) y = 1901;
    }
}
BENCHMARK(BM_LunisolarYearCold)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
