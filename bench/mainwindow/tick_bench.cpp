// Cost of the clock window's second: the tick's work (conversion, readout, colours, hands) and
// the repaint it causes, on the offscreen platform with a private, empty settings folder.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "ephemeris/EphemerisComponent.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockForm.h"

using namespace vireo;

namespace {

struct Fixture {
    QTemporaryDir dir;
    SettableClock clock{LocalDateTime::FromCivil(2026, 6, 21, 12, 0, 0)};
    std::unique_ptr<ClockForm> form;

    explicit Fixture(int clockMode) {
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        ClockFormParts parts;
        parts.clock = &clock;
        parts.createEphemeris = [] { return std::make_unique<EphemerisComponent>(); };
        form = std::make_unique<ClockForm>(std::move(parts));
        form->Form_Load();
        form->show();
        form->mnuContextMode_Click(clockMode);
        QCoreApplication::processEvents();
    }
    ~Fixture() { form->Form_Unload(); }
};

// One new second: the tick's steps only (painting is left pending).
void BM_TickWork(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        f.clock.Advance(1.0);
        f.form->Timer1_Timer();
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_TickWork)->Arg(0)->Arg(4)->Arg(6)->Arg(7)->Unit(benchmark::kMicrosecond);

// One new second with only the repaint the tick asked for (pending updates flushed).
void BM_TickAndPendingPaint(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        f.clock.Advance(1.0);
        f.form->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_TickAndPendingPaint)->Arg(0)->Arg(6)->Unit(benchmark::kMicrosecond);

// A tick within the same second: the common case at the default 100 ms interval.
void BM_TickSameSecond(benchmark::State& state) {
    Fixture f(0);
    f.form->Timer1_Timer();
    for (auto _ : state) f.form->Timer1_Timer();
}
BENCHMARK(BM_TickSameSecond);

// The colour scheme decision of the day/night scheme (asks the Sun each second).
void BM_SetClockColorDayNight(benchmark::State& state) {
    Fixture f(0);
    for (auto _ : state) benchmark::DoNotOptimize(f.form->SetClockColor());
}
BENCHMARK(BM_SetClockColorDayNight)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
