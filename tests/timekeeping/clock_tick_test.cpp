// The tick: the whole-second gate and the order of its steps, with a recording window and
// recording sound engines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScriptedEphemeris.h"
#include "timekeeping/ClockTick.h"

namespace vireo {
namespace {

class RecordingSink final : public TickSink {
public:
    std::vector<std::string> Calls;
    bool Minimized = false;
    bool ColoursChange = false;
    std::string Status = "playing";
    std::string PlayedFile = "unset";
    int PlayedMode = -9;

    void ShowReadouts(std::int32_t v) override { Calls.push_back("ShowReadouts " + std::to_string(v)); }
    bool IsMinimized() const override {
        const_cast<RecordingSink*>(this)->Calls.push_back("IsMinimized");
        return Minimized;
    }
    bool SetClockColor() override {
        Calls.push_back("SetClockColor");
        return ColoursChange;
    }
    void DrawClockScale() override { Calls.push_back("DrawClockScale"); }
    void DrawHands(std::int32_t v) override { Calls.push_back("DrawHands " + std::to_string(v)); }
    void AlarmControl(std::int32_t s) override { Calls.push_back("AlarmControl " + std::to_string(s)); }
    void TimeSignal(std::int32_t v) override { Calls.push_back("TimeSignal " + std::to_string(v)); }
    std::string MusicStatus() override {
        Calls.push_back("MusicStatus");
        return Status;
    }
    void PlayMusic(const std::string& file, std::int32_t mode) override {
        Calls.push_back("PlayMusic");
        PlayedFile = file;
        PlayedMode = mode;
    }
};

class ClockTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int b = OleDayFromCivil(2026, 12, 1);
        eph.Terms = {{b - 20 + 0.5, 225}, {b + 6 + 0.3, 240}, {b + 21 + 0.6, 255},
                     {b + 36 + 0.4, 270}};
        eph.DawnOfDay = [](int d) { return d + 6 * 3600 / 86400.0; };
        eph.DuskOfDay = [](int d) { return d + 17 * 3600 / 86400.0; };
        clock.Set(LocalDateTime::FromCivil(2026, 12, 8, 3, 0, 0.25));
        eph.SetCurrentDate(clock.Now().OleDate());
        state.Period = scales.ComputeTemporalPeriod(clock.Now().OleDate());
    }

    test::ScriptedEphemeris eph;
    SettableClock clock;
    ClockState state;
    TimeScales scales{state, eph, clock};
    RecordingSink sink;
    ClockTick tick{state, scales, clock, sink};
};

TEST_F(ClockTickTest, NewSecondRunsEveryStepInOrder) {
    state.ClockMode = 1;  // UTC: 03:00:00.25 local at Z = 9 is 18:00:00.25
    state.TimeSignalMode = 2;
    state.MusicPlayMode = 2;
    state.AlarmIndex = 4;
    sink.ColoursChange = true;
    sink.Status = "stopped";
    ASSERT_TRUE(tick.Timer1_Timer());
    const std::vector<std::string> expected = {
        "ShowReadouts 3240012", "IsMinimized", "SetClockColor", "DrawClockScale",
        "DrawHands 3240012", "AlarmControl 64800", "TimeSignal 3240012", "MusicStatus",
        "PlayMusic"};
    EXPECT_EQ(sink.Calls, expected);
    EXPECT_EQ(sink.PlayedFile, "");
    EXPECT_EQ(sink.PlayedMode, 0);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.LastTickSecond, 3 * 3600);
    EXPECT_EQ(tick.LastScaleTime(), 3240012);
    EXPECT_DOUBLE_EQ(tick.LastScaleSeconds(), 64800.25);
}

TEST_F(ClockTickTest, TicksWithinOneSecondDoNothing) {
    ASSERT_TRUE(tick.Timer1_Timer());
    const std::size_t calls = sink.Calls.size();
    const std::size_t dates = eph.DatesSet.size();
    for (double s : {0.35, 0.5, 0.999}) {
        clock.Set(LocalDateTime::FromCivil(2026, 12, 8, 3, 0, s));
        EXPECT_FALSE(tick.Timer1_Timer()) << s;
    }
    EXPECT_EQ(sink.Calls.size(), calls);
    EXPECT_EQ(eph.DatesSet.size(), dates);  // no component question either
    clock.Set(LocalDateTime::FromCivil(2026, 12, 8, 3, 0, 1.0));
    EXPECT_TRUE(tick.Timer1_Timer());
    EXPECT_GT(sink.Calls.size(), calls);
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), clock.Now().OleDate());
}

TEST_F(ClockTickTest, MinimisedWindowKeepsReadoutsAndSound) {
    sink.Minimized = true;
    sink.ColoursChange = true;
    state.TimeSignalMode = 0;
    state.MusicPlayMode = 0;
    ASSERT_TRUE(tick.Timer1_Timer());
    const std::vector<std::string> expected = {"ShowReadouts 540012", "IsMinimized",
                                               "AlarmControl 10800"};
    EXPECT_EQ(sink.Calls, expected);
}

TEST_F(ClockTickTest, UnchangedColoursSkipTheDial) {
    state.TimeSignalMode = 4;
    ASSERT_TRUE(tick.Timer1_Timer());
    const std::vector<std::string> expected = {"ShowReadouts 540012", "IsMinimized",
                                               "SetClockColor", "DrawHands 540012",
                                               "AlarmControl 10800", "TimeSignal 540012"};
    EXPECT_EQ(sink.Calls, expected);
}

TEST_F(ClockTickTest, MusicPollClosesOnlyStoppedMusic) {
    state.TimeSignalMode = 0;
    state.MusicPlayMode = 3;
    state.AlarmIndex = 2;
    for (const char* status : {"playing", "paused", "", "Stopped"}) {
        sink.Calls.clear();
        sink.Status = status;
        clock.Advance(1.0);
        ASSERT_TRUE(tick.Timer1_Timer());
        EXPECT_EQ(sink.Calls.back(), "MusicStatus") << status;
        EXPECT_EQ(state.AlarmIndex, 2) << status;
    }
    sink.Status = "stopped";
    clock.Advance(1.0);
    ASSERT_TRUE(tick.Timer1_Timer());
    EXPECT_EQ(sink.Calls.back(), "PlayMusic");
    EXPECT_EQ(state.AlarmIndex, -1);
}

TEST_F(ClockTickTest, FirstTickAtMidnightIsHandled) {
    clock.Set(LocalDateTime::FromCivil(2026, 12, 8, 0, 0, 0.05));
    ASSERT_EQ(state.LastTickSecond, 0);
    EXPECT_TRUE(tick.Timer1_Timer());
    EXPECT_EQ(sink.Calls.front(), "ShowReadouts 2");
}

TEST_F(ClockTickTest, ClockJumpsNeverStallTheTick) {
    ASSERT_TRUE(tick.Timer1_Timer());
    // Set back by one second, then by exactly one day (the same second of day), then resumed
    // from a suspend a week later: each is a new second.
    clock.Advance(-1.0);
    EXPECT_TRUE(tick.Timer1_Timer());
    clock.Advance(-86400.0);
    EXPECT_TRUE(tick.Timer1_Timer());
    EXPECT_FALSE(tick.Timer1_Timer());
    clock.Advance(7 * 86400.0 + 3600.0);
    EXPECT_TRUE(tick.Timer1_Timer());
    EXPECT_DOUBLE_EQ(eph.DatesSet.back(), clock.Now().OleDate());
    // A week later lies in the next term: the period followed.
    EXPECT_EQ(state.Period.TermIndex, (255 + 30) / 15);
}

TEST_F(ClockTickTest, AlarmCheckFollowsAChangeOfScale) {
    ASSERT_TRUE(tick.Timer1_Timer());
    EXPECT_EQ(sink.Calls[sink.Calls.size() - 2], "AlarmControl 10800");
    state.ClockMode = 2;  // local mean time at 139.7447 deg: 1138.728 s ahead
    clock.Advance(1.0);
    sink.Calls.clear();
    ASSERT_TRUE(tick.Timer1_Timer());
    EXPECT_NE(std::find(sink.Calls.begin(), sink.Calls.end(), "AlarmControl 11939"),
              sink.Calls.end());
}

}  // namespace
}  // namespace vireo
