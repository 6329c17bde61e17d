// Costs on the user-interface thread: opening the chime output (the hourly stall), keeping
// up with real time when rendering, the once-a-second alarm and signal steps, and opening a
// music file. Run by hand: build/bench/sound_bench (SDL uses its dummy audio driver).

#include "music/MusicEngine.h"
#include "platform/sound/FluidSynthMidiOutput.h"
#include "platform/NoSound.h"
#include "platform/sound/SdlMusicDevice.h"
#include "signal/SignalControl.h"
#include "timekeeping/Clock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>
#include <unistd.h>
#include <vector>

namespace vireo {
namespace {

FluidSynthOptions Offline() {
    FluidSynthOptions options;
    options.Offline = true;
    return options;
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Open, select Tubular Bells, strike, close: what the time signal does around each hour.
void BM_ChimeOpenStrikeClose(benchmark::State& state) {
    FluidSynthMidiOutput output(Offline());
    MidiChime chime(output, [](int) {});
    long grown = 0;
    for (auto _ : state) {
        const long before = ResidentKiB();
        chime.MidiOpen(kProgramTubularBells);
        chime.MidiStrike();
        grown = std::max(grown, ResidentKiB() - before);
        chime.MidiClose();
    }
    state.counters["open_rss_KiB"] = double(grown);
}
BENCHMARK(BM_ChimeOpenStrikeClose)->Unit(benchmark::kMillisecond);

// One second of a sounding chord: items are frames, so items/s over 44100 is the margin
// over real time.
void BM_RenderOneSecond(benchmark::State& state) {
    FluidSynthMidiOutput output(Offline());
    MidiChime chime(output, [](int) {});
    chime.MidiOpen(kProgramTubularBells);
    const int frames = int(output.SampleRate());
    std::vector<float> left(frames), right(frames);
    for (auto _ : state) {
        chime.MidiStrike();
        output.Render(frames, left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["x_realtime"] = benchmark::Counter(double(frames) / output.SampleRate(),
                                                      benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderOneSecond)->Unit(benchmark::kMillisecond);

class NullMidi final : public MidiOutput {
public:
    int DeviceCount() override { return 1; }
    bool Open() override { return open_ = true; }
    void ShortMsg(std::uint32_t) override {}
    void Reset(int) override {}
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }

private:
    bool open_ = false;
};

// The sound steps of a whole day of ticks (86400 seconds), with ten alarms set and the
// strike-count signal sounding every hour.
void BM_DayOfAlarmAndSignalSteps(benchmark::State& state) {
    ClockState clock;
    clock.TimeSignalMode = 3;
    AlarmTables tables;
    for (int i = 0; i < kAlarmCount; ++i)
        tables.AlarmSetting[i] = AlarmValue::Make(2 * i + 1, 15, 0xFE0000, 1).Packed();
    NullMidi midi;
    SharedMidiOutput shared(midi);
    MidiChime signalChime(shared, kTimeSignalChannel, [](int) {});
    MidiChime alarmChime(shared, kAlarmChannel, [](int) {});
    NoMusicDevice device;
    MusicEngine music(device, clock);
    SettableClock now(LocalDateTime::FromCivil(2026, 6, 3, 0, 0, 0));
    SignalControl control(clock, tables, signalChime, alarmChime, music, [&] { return now.Now(); });
    for (auto _ : state) {
        for (std::int32_t s = 0; s < 86400; ++s) {
            now.Advance(1.0);
            control.AlarmControl(s);
            control.TimeSignal(s * 50);
        }
    }
    state.SetItemsProcessed(state.iterations() * 86400);
}
BENCHMARK(BM_DayOfAlarmAndSignalSteps)->Unit(benchmark::kMillisecond);

// Opening (synchronous load) and closing a one-second WAV.
void BM_MusicOpenClose(benchmark::State& state) {
    const std::string file = "/tmp/vireo_sound_bench.wav";
    {
        const int rate = 22050, frames = rate;
        std::ofstream out(file, std::ios::binary);
        auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("RIFF", 4); u32(36 + frames * 2); out.write("WAVEfmt ", 8);
        u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
        out.write("data", 4); u32(frames * 2);
        for (int i = 0; i < frames; ++i) u16(std::uint16_t(std::int16_t(8000 * std::sin(2 * std::numbers::pi * 440 * i / rate))));
    }
    SdlMusicDevice device;
    for (auto _ : state) {
        if (!device.Open(file)) {
            state.SkipWithError("the WAV did not open");
            break;
        }
        device.Play();
        device.Close();
    }
    std::remove(file.c_str());
}
BENCHMARK(BM_MusicOpenClose)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireo

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
