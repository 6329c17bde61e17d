#pragma once
// A clock state with the real chime engine, music engine and scheduler over recording
// devices; the weekday is set by the test.

#include "music/MusicEngine.h"
#include "signal/SignalControl.h"

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
    int weekday = 2;  // Monday
    MidiChime chime{output, [this](int ms) { output.log.push_back("sleep " + std::to_string(ms)); }};
    MusicEngine music{device, state};
    SignalControl control{state, tables, chime, music, [this] { return weekday; }};

    using Steps = std::map<std::int32_t, std::vector<std::string>>;

    // What each scaled second from first to last (inclusive) sent, for seconds that sent
    // anything. The scale time carries a fraction of a second that must be dropped.
    Steps RunSignal(std::int32_t first, std::int32_t last) {
        Steps steps;
        for (std::int32_t s = first; s <= last; ++s) {
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
            output.log.clear();
            Tick(s);
            if (!output.log.empty()) steps[s] = output.log;
        }
        output.log.clear();
        return steps;
    }
};

}  // namespace vireo::testing
