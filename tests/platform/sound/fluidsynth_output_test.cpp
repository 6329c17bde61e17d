// The real FluidSynth output: offline rendering of the chime engine's own messages, checked
// for sound and pitch, and the open/close lifecycle with a real audio driver (FluidSynth's
// file driver, which needs no sound card).

#include "platform/sound/FluidSynthMidiOutput.h"
#include "music/MusicEngine.h"
#include "signal/MidiChime.h"
#include "signal/SignalControl.h"
#include "timekeeping/Clock.h"

#include "SoundFakes.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <map>
#include <numbers>
#include <vector>

namespace vireo {
namespace {

FluidSynthOptions Options(std::string soundFont, std::string driver, std::string file, bool offline) {
    FluidSynthOptions options;
    if (!soundFont.empty()) options.SoundFont = std::move(soundFont);
    options.AudioDriver = std::move(driver);
    options.AudioFile = std::move(file);
    options.Offline = offline;
    return options;
}
FluidSynthOptions OfflineOptions() { return Options({}, {}, {}, true); }

bool HaveSoundFont() { return FluidSynthMidiOutput(OfflineOptions()).DeviceCount() > 0; }

// Magnitude of frequency f in the (already windowed) samples x, by Goertzel's recurrence.
double Magnitude(const std::vector<double>& x, double f, double rate) {
    const double c = 2.0 * std::cos(2.0 * std::numbers::pi * f / rate);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s = v + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2));
}

// The strongest frequency between lo and hi: a 4 Hz scan, then 0.25 Hz around the best.
double StrongestFrequency(const std::vector<float>& samples, double rate, double lo, double hi) {
    std::vector<double> x(samples.size());
    const double n = double(samples.size() - 1);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = samples[i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / n));  // Hann
    auto scan = [&](double from, double to, double step) {
        double best = -1, at = from;
        for (double f = from; f <= to; f += step) {
            const double m = Magnitude(x, f, rate);
            if (m > best) best = m, at = f;
        }
        return at;
    };
    const double coarse = scan(lo, hi, 4.0);
    return scan(coarse - 4.0, coarse + 4.0, 0.25);
}

double Rms(const std::vector<float>& x) {
    double sum = 0;
    for (float v : x) sum += double(v) * v;
    return std::sqrt(sum / double(x.size()));
}

double NoteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

class FluidSynthTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI SoundFont at " << kDefaultSoundFont;
    }
    FluidSynthMidiOutput output{OfflineOptions()};
    std::vector<float> Render(double seconds) {
        const int frames = int(seconds * output.SampleRate());
        std::vector<float> left(frames), right(frames);
        EXPECT_TRUE(output.Render(frames, left.data(), right.data()));
        return left;
    }
    // 16384 samples from 0.1 s after the attack.
    std::vector<float> Window(const std::vector<float>& x) {
        const std::size_t start = std::size_t(0.1 * output.SampleRate());
        return std::vector<float>(x.begin() + long(start), x.begin() + long(start + 16384));
    }
};

TEST_F(FluidSynthTest, RecorderPipSoundsAtItsNotePitch) {
    MidiChime chime(output, [](int) {});
    ASSERT_TRUE(chime.MidiAvailable());
    chime.MidiOpen(kProgramRecorder);
    ASSERT_TRUE(output.IsOpen());
    EXPECT_LT(Rms(Render(0.05)), 1e-5) << "silent before any note";

    chime.MidiLongPip(true);  // A5
    const auto a5 = Render(0.6);
    EXPECT_GT(Rms(a5), 0.01);
    EXPECT_NEAR(StrongestFrequency(Window(a5), output.SampleRate(), 100, 4000), 880.0, 880.0 * 0.01);

    output.Reset(0);
    output.ShortMsg(PackMidiMessage(0x90, kNoteA4, 127));
    const auto a4 = Render(0.6);
    EXPECT_NEAR(StrongestFrequency(Window(a4), output.SampleRate(), 100, 4000), 440.0, 440.0 * 0.01);
}

TEST_F(FluidSynthTest, TubularBellsStrongestPartialLiesAtFourTimesTheNote) {
    MidiChime chime(output, [](int) {});
    for (int step : {3, 0, 1}) {  // C4, F4, A4
        // A fresh synthesizer each time: a bell's release rings on after the reset.
        chime.MidiClose();
        chime.MidiOpen(kProgramTubularBells);
        chime.MidiChimeNote(static_cast<std::int16_t>(step));
        const auto bell = Render(0.6);
        EXPECT_GT(Rms(bell), 0.005) << "step " << step;
        const double note = NoteFrequency(ChimeNoteOfStep(step));
        const double partial = StrongestFrequency(Window(bell), output.SampleRate(), 100, 6000);
        EXPECT_NEAR(partial / note, 4.0, 0.08) << "step " << step << ": " << partial << " Hz";
    }
}

TEST_F(FluidSynthTest, ResetLetsNotesDieAwayAndCloseStopsRendering) {
    MidiChime chime(output, [](int) {});
    chime.MidiOpen(kProgramRecorder);
    chime.MidiLongPip(true);
    const double sounding = Rms(Render(0.3));
    output.Reset(0);
    Render(1.0);  // the release
    const double after = Rms(Render(0.3));
    EXPECT_LT(after, sounding * 0.01);

    chime.MidiClose();
    EXPECT_FALSE(output.IsOpen());
    std::vector<float> l(64), r(64);
    EXPECT_FALSE(output.Render(64, l.data(), r.data()));
}

// A chime alarm on the full hour with the hourly time signal sounding beside it, rendered
// second by second through the real synthesizer: both are heard whole.
class FullHourTest : public FluidSynthTest {
protected:
    struct Run {
        std::map<std::int32_t, std::vector<float>> seconds;  // what each second of 12:00 sounded
    };
    // Ticks from 11:59:45 to 12:00:30 with the given signal kind (0 none) and, if alarm, a
    // chime alarm at 12:00; one second of sound is rendered after each tick.
    Run Play(int signalKind, bool alarm) {
        FluidSynthMidiOutput synth{OfflineOptions()};
        SharedMidiOutput shared(synth);
        MidiChime signalChime(shared, kTimeSignalChannel, [](int) {});
        MidiChime alarmChime(shared, kAlarmChannel, [](int) {});
        ClockState state;
        state.TimeSignalMode = signalKind;
        AlarmTables tables;
        if (alarm) tables.AlarmSetting[0] = AlarmValue::Make(12, 0, kAlarmWeekdayMask, kAlarmSoundChime).Packed();
        testing::FakeMusicDevice device;
        MusicEngine music(device, state);
        SettableClock clock(LocalDateTime::FromCivil(2026, 6, 1, 11, 59, 45));
        SignalControl control(state, tables, signalChime, alarmChime, music, [&] { return clock.Now(); });
        Run run;
        const int frames = int(synth.SampleRate());
        for (std::int32_t s = 11 * 3600 + 59 * 60 + 45; s <= 12 * 3600 + 30; ++s) {
            clock.Set(LocalDateTime::FromCivil(2026, 6, 1, 0, 0, s));
            control.AlarmControl(s);
            if (signalKind) control.TimeSignal(s * 50);
            std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
            if (synth.IsOpen()) synth.Render(frames, left.data(), right.data());
            if (s >= 12 * 3600) run.seconds[s - 12 * 3600] = std::move(left);
        }
        return run;
    }
    double PartialAt(const std::vector<float>& second, double f) {
        std::vector<double> x(8192);
        const std::size_t start = std::size_t(0.1 * output.SampleRate());
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = second[start + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(x.size() - 1)));
        return Magnitude(x, f, output.SampleRate());
    }
};

TEST_F(FullHourTest, AChimeAlarmOnTheHourRingsWholeBesideThePips) {
    const Run alone = Play(0, true);
    const Run both = Play(2, true);
    const Run pips = Play(2, false);
    for (int step = 0; step <= 18; ++step) {
        const int note = ChimeNoteOfStep(step);
        if (!note) continue;
        // The bell's strongest partial away from the pips' A4 and A5 and their overtones.
        double partial = 0, rings = 0;
        for (double f = 100; f <= 6000; f += 8) {
            if (std::abs(std::remainder(f, 440.0)) < 40) continue;
            const double m = PartialAt(alone.seconds.at(step), f);
            if (m > rings) rings = m, partial = f;
        }
        ASSERT_GT(rings, 0.3) << "step " << step;
        EXPECT_GT(PartialAt(both.seconds.at(step), partial), 0.5 * rings)
            << "the alarm's step " << step << " at " << partial << " Hz (note " << note << ")";
    }
    // And the signal's long pip is heard as it is without the alarm.
    const double pip = PartialAt(pips.seconds.at(1), 880.0);
    ASSERT_GT(pip, 1.0);
    EXPECT_GT(PartialAt(both.seconds.at(1), 880.0), 0.5 * pip);
}

TEST_F(FullHourTest, TheStrikeCountAtNoonStrikesAllTwelveBesideAChimeAlarm) {
    const Run strikes = Play(3, false);
    const Run both = Play(3, true);
    for (int step = 0; step <= 22; step += 2) {
        const double alone = Rms(strikes.seconds.at(step));
        ASSERT_GT(alone, 0.005) << "chord " << step / 2 + 1;
        EXPECT_GT(Rms(both.seconds.at(step)), 0.5 * alone) << "chord " << step / 2 + 1;
    }
}

TEST(FluidSynthDeviceTest, AvailabilityNeedsTheSoundFontAndAWorkingDriver) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FluidSynthMidiOutput noFont(Options((dir.path() + "/none.sf2").toStdString(), {}, {}, true));
    EXPECT_EQ(noFont.DeviceCount(), 0);
    EXPECT_FALSE(noFont.Open());
    EXPECT_FALSE(noFont.IsOpen());
    if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont";

    FluidSynthMidiOutput noDriver(Options({}, "no-such-driver", {}, false));
    EXPECT_EQ(noDriver.DeviceCount(), 0);
    EXPECT_FALSE(noDriver.Open());
    EXPECT_FALSE(noDriver.IsOpen()) << "a failed open leaves nothing behind";
}

// What the code run writes to the standard error, read back from a file put in its place.
template <typename F>
std::string StandardErrorOf(F run) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    run();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
    std::fclose(capture);
    return text;
}

TEST(FluidSynthDeviceTest, ProbingALSAWithoutASoundCardSaysSoInOneLineAtMost) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont";
    const std::string said = StandardErrorOf([] {
        for (int i = 0; i < 3; ++i) FluidSynthMidiOutput(Options({}, "alsa", {}, false)).DeviceCount();
    });
    int lines = 0;
    for (char c : said) lines += c == '\n';
    EXPECT_LE(lines, 1) << said;
}

TEST(FluidSynthDeviceTest, OpenStartsADriverAndASecondOpenReusesIt) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont";
    QTemporaryDir dir;
    const std::string file = (dir.path() + "/out.raw").toStdString();
    FluidSynthMidiOutput output(Options({}, "file", file, false));
    ASSERT_EQ(output.DeviceCount(), 1);
    MidiChime chime(output, [](int) {});
    ASSERT_TRUE(chime.MidiAvailable());
    chime.MidiOpen(kProgramTubularBells);
    ASSERT_TRUE(output.IsOpen());
    chime.MidiOpen(kProgramRecorder);
    EXPECT_TRUE(output.IsOpen());
    chime.MidiShortPip();
    EXPECT_FALSE(output.Render(16, nullptr, nullptr)) << "the driver owns the synthesizer";
    chime.MidiClose();
    EXPECT_FALSE(output.IsOpen());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(file)));
}

}  // namespace
}  // namespace vireo
