#pragma once
// A clock state with the real chime engine, music engine and scheduler over recording
// devices, driven by a settable clock that the test walks through the day.

#include "music/MusicEngine.h"
#include "signal/SignalControl.h"
#include "timekeeping/Clock.h"

#include "SoundFakes.h"

#include <gtest/gtest.h>

#include <map>

namespace vireo::testing {

constexpr std::int32_t Hms(int h, int m, int s) { return h * 3600 + m * 60 + s; }

class SignalFixture : public ::testing::Test {
protected:
    ClockState state;
    AlarmTables tables;
    RecordingMidiOutput output;
    FakeMusicDevice device;
    SettableClock clock{LocalDateTime::FromCivil(2026, 6, 1, 0, 0, 0)};  // a Monday
    SharedMidiOutput midi{output};
    MidiChime signalChime{midi, kTimeSignalChannel, [this](int ms) { output.log.push_back("sleep " + std::to_string(ms)); }};
    MidiChime alarmChime{midi, kAlarmChannel, [this](int ms) { output.log.push_back("sleep " + std::to_string(ms)); }};
    MusicEngine music{device, state};
    SignalControl control{state, tables, signalChime, alarmChime, music, [this] { return clock.Now(); }};

    using Steps = std::map<std::int32_t, std::vector<std::string>>;

    // Sunday = 1 .. Saturday = 7, from the clock's date.
    int Weekday() const { return clock.Now().Weekday() + 1; }
    // Moves the clock on to the start of the next date that falls on weekday.
    void GoToWeekday(int weekday) {
        LocalDateTime day = clock.Now();
        do {
            ++day.Day;
        } while (day.Weekday() + 1 != weekday);
        day.SecondsOfDay = 0.0;
        clock.Set(day);
    }
    // Moves the clock on to the next moment (now or later) whose local time reads seconds.
    void At(std::int32_t seconds) {
        LocalDateTime t = clock.Now();
        if (seconds < static_cast<std::int32_t>(t.SecondsOfDay)) ++t.Day;
        t.SecondsOfDay = seconds;
        clock.Set(t);
    }

    // What each scaled second from first to last (inclusive) sent, for seconds that sent
    // anything; the clock follows the scale second by second. The scale time carries a
    // fraction of a second that must be dropped.
    Steps RunSignal(std::int32_t first, std::int32_t last) {
        Steps steps;
        for (std::int32_t s = first; s <= last; ++s) {
            At(s);
            output.log.clear();
            control.TimeSignal(s * 50 + 37);
            if (!output.log.empty()) steps[s] = output.log;
        }
        output.log.clear();
        return steps;
    }

    // The sound part of one tick: alarms, the time signal, then the music poll.
    void Tick(std::int32_t seconds) {
        control.AlarmControl(seconds);
        if (state.TimeSignalMode != 0) control.TimeSignal(seconds * 50);
        if (state.MusicPlayMode > 0 && music.MusicStatus() == "stopped") {
            music.PlayMusic("", 0);
            state.AlarmIndex = -1;
        }
    }
    Steps RunTicks(std::int32_t first, std::int32_t last) {
        Steps steps;
        for (std::int32_t s = first; s <= last; ++s) {
            At(s);
            output.log.clear();
            Tick(s);
            if (!output.log.empty()) steps[s] = output.log;
        }
        output.log.clear();
        return steps;
    }
    // Ticks once a second for a while on local standard time, wherever the clock is now.
    Steps RunFor(int seconds) {
        Steps steps;
        for (int i = 0; i < seconds; ++i) {
            clock.Advance(1.0);
            const std::int32_t s = clock.Now().WholeSecond();
            output.log.clear();
            Tick(s);
            if (!output.log.empty()) steps[s] = output.log;
        }
        output.log.clear();
        return steps;
    }
};

}  // namespace vireo::testing
