#include "SignalFixture.h"

namespace vireo {
namespace {

using namespace vireo::testing;
using Log = std::vector<std::string>;

class TimeSignalTest : public SignalFixture {};

TEST_F(TimeSignalTest, ChimeOpensTenSecondsEarlyPlaysNineteenStepsAndClosesAtTwenty) {
    state.TimeSignalMode = 1;
    state.ClockMode = 0;
    const Steps steps = RunSignal(Hms(11, 59, 40), Hms(12, 0, 40));

    const std::vector<int> notes = {65, 69, 67, 60, 0, 65, 67, 69, 65, 0, 69, 65, 67, 60, 0, 60, 67, 69, 65};
    Steps expected;
    expected[Hms(11, 59, 50)] = {"open", ProgramLine(14)};
    for (int d = 0; d <= 18; ++d) {
        expected[Hms(12, 0, d)] = notes[d] ? Log{"reset", NoteOnLine(notes[d])} : Log{"reset"};
    }
    expected[Hms(12, 0, 20)] = {"reset", "close"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(state.SignalStepLimit, 0);
    EXPECT_FALSE(output.IsOpen());
}

TEST_F(TimeSignalTest, PipsAreThreeShortAndOneLong) {
    state.TimeSignalMode = 2;
    const Steps steps = RunSignal(Hms(8, 59, 45), Hms(9, 0, 10));
    const Log pip = {"reset", NoteOnLine(69), "sleep 100", NoteOffLine(69)};
    Steps expected;
    expected[Hms(8, 59, 50)] = {"open", ProgramLine(74)};
    expected[Hms(8, 59, 57)] = pip;
    expected[Hms(8, 59, 58)] = pip;
    expected[Hms(8, 59, 59)] = pip;
    expected[Hms(9, 0, 0)] = {"reset", NoteOnLine(81)};
    expected[Hms(9, 0, 2)] = {NoteOffLine(81)};
    expected[Hms(9, 0, 4)] = {"reset", "close"};
    EXPECT_EQ(steps, expected);
}

TEST_F(TimeSignalTest, StrikeCountFollowsTheTwelveHourDial) {
    state.TimeSignalMode = 3;
    const Log chord = {"reset", NoteOnLine(60), NoteOnLine(65), NoteOnLine(69)};

    // Midnight: twelve chords two seconds apart, closed at step 24.
    Steps steps = RunSignal(Hms(23, 59, 50), Hms(23, 59, 59));
    EXPECT_EQ(steps.size(), 1u);
    steps = RunSignal(0, 40);
    Steps expected;
    for (int d = 0; d <= 22; d += 2) expected[d] = chord;
    expected[24] = {"reset", "close"};
    EXPECT_EQ(steps, expected);

    for (int hour : {1, 13}) {
        RunSignal(Hms(hour - 1, 59, 50), Hms(hour - 1, 59, 59));
        steps = RunSignal(Hms(hour, 0, 0), Hms(hour, 0, 30));
        EXPECT_EQ(steps, (Steps{{Hms(hour, 0, 0), chord}, {Hms(hour, 0, 2), Log{"reset", "close"}}}))
            << "hour " << hour;
    }
    EXPECT_EQ(StrikeCount(0, 12), 12);
    EXPECT_EQ(StrikeCount(5, 23), 11);
}

TEST_F(TimeSignalTest, TraditionalScalesStrikeTheBellCountEveryTwoHours) {
    state.TimeSignalMode = 3;
    auto strikesAt = [this](std::int32_t top) {
        const std::int32_t before = (top + 86400 - 10) % 86400;
        RunSignal(before, before + 9);
        const Steps steps = RunSignal(top, top + 40);
        int chords = 0;
        for (const auto& [s, log] : steps)
            if (log.size() == 4) ++chords;
        EXPECT_TRUE(!steps.empty() && steps.rbegin()->second == (Log{"reset", "close"}));
        return chords;
    };
    for (int mode : {6, 7}) {
        state.ClockMode = mode;
        EXPECT_EQ(strikesAt(0), 9) << "mode " << mode << " midnight";
        EXPECT_EQ(strikesAt(Hms(12, 0, 0)), 9) << "noon";
        EXPECT_EQ(strikesAt(Hms(6, 0, 0)), 6) << "scaled 6:00";
        EXPECT_EQ(strikesAt(Hms(18, 0, 0)), 6) << "scaled 18:00";
        EXPECT_EQ(strikesAt(Hms(2, 0, 0)), 8);
        EXPECT_EQ(strikesAt(Hms(10, 0, 0)), 4);
        // The odd hours of the 24-hour scale are not traditional hours.
        EXPECT_TRUE(RunSignal(Hms(0, 59, 40), Hms(1, 0, 40)).empty());
    }
    state.TimeSignalMode = 1;
    state.ClockMode = 6;
    EXPECT_TRUE(RunSignal(Hms(2, 59, 40), Hms(3, 0, 40)).empty());
    EXPECT_EQ(RunSignal(Hms(3, 59, 50), Hms(3, 59, 50)).size(), 1u) << "opens at scaled 3:59:50";
}

TEST_F(TimeSignalTest, SkippedSecondsDoNotSilenceTheSignal) {
    state.TimeSignalMode = 1;
    const Log first = {"reset", NoteOnLine(65)};
    // The open step skipped: the device opens at the next second of the run-up.
    Steps steps = RunSignal(Hms(9, 59, 40), Hms(9, 59, 49));
    steps.merge(RunSignal(Hms(9, 59, 51), Hms(10, 0, 0)));
    EXPECT_EQ(steps.at(Hms(9, 59, 51)), (Log{"open", ProgramLine(14)}));
    EXPECT_EQ(steps.at(Hms(10, 0, 0)), first);
    RunSignal(Hms(10, 0, 1), Hms(10, 0, 30));
    EXPECT_FALSE(output.IsOpen());

    // The top of the hour skipped (a fast scale): the chime starts at the second after it
    // and still plays every step, one a tick, then closes.
    RunSignal(Hms(10, 59, 50), Hms(10, 59, 59));
    steps = RunSignal(Hms(11, 0, 1), Hms(11, 0, 40));
    EXPECT_EQ(steps.at(Hms(11, 0, 1)), first);
    EXPECT_EQ(steps.at(Hms(11, 0, 19)), (Log{"reset", NoteOnLine(65)})) << "step 18";
    EXPECT_EQ(steps.at(Hms(11, 0, 21)), (Log{"reset", "close"}));
    EXPECT_EQ(steps.size(), 20u);

    // The pips mark the second itself: one second late they still start, three seconds late
    // they are let go and nothing is left open.
    state.TimeSignalMode = 2;
    RunSignal(Hms(12, 59, 50), Hms(12, 59, 59));
    steps = RunSignal(Hms(13, 0, 1), Hms(13, 0, 10));
    EXPECT_EQ(steps.at(Hms(13, 0, 1)), (Log{"reset", NoteOnLine(81)}));
    RunSignal(Hms(13, 59, 50), Hms(13, 59, 59));
    steps = RunSignal(Hms(14, 0, 3), Hms(14, 0, 10));
    EXPECT_EQ(steps, (Steps{{Hms(14, 0, 3), Log{"reset", "close"}}}));
}

TEST_F(TimeSignalTest, ASignalSoundsOnceAnHourAfterSleepOrAClockSetBack) {
    state.TimeSignalMode = 1;
    // Stopped from 10:59:40 to 11:00:50: the chime sounds late, once.
    RunSignal(Hms(10, 59, 30), Hms(10, 59, 40));
    clock.Advance(70.0);
    output.log.clear();
    control.TimeSignal(clock.Now().WholeSecond() * 50);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14), "reset", NoteOnLine(65)}));
    for (int i = 0; i < 25; ++i) {
        clock.Advance(1.0);
        control.TimeSignal(clock.Now().WholeSecond() * 50);
    }
    EXPECT_FALSE(output.IsOpen());

    // Set back over the hour it has just struck: not again.
    clock.Advance(-120.0);
    int starts = 0;
    for (int i = 0; i < 300; ++i) {
        clock.Advance(1.0);
        output.log.clear();
        control.TimeSignal(clock.Now().WholeSecond() * 50);
        for (const auto& line : output.log) starts += line == NoteOnLine(65) && state.SignalStepLimit == 18;
    }
    EXPECT_EQ(state.SignalStepLimit, 0);
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(starts, 0);

    // The pips never sound late.
    state.TimeSignalMode = 2;
    RunSignal(Hms(11, 59, 30), Hms(11, 59, 40));
    clock.Advance(70.0);
    output.log.clear();
    control.TimeSignal(clock.Now().WholeSecond() * 50);
    EXPECT_EQ(output.log, (Log{}));
}

TEST_F(TimeSignalTest, WithoutADeviceTheStepsRunSilentlyAndThePipsDoNotWait) {
    output.devices = 0;
    for (int kind : {1, 2, 3}) {
        state.TimeSignalMode = kind;
        const Steps steps = RunSignal(Hms(kind + 3, 59, 40), Hms(kind + 4, 0, 30));
        EXPECT_EQ(state.SignalStepLimit, 0) << "kind " << kind;
        int opens = 0;
        for (const auto& [s, log] : steps) {
            for (const auto& line : log) {
                EXPECT_TRUE(line == "open") << line;
                ++opens;
            }
        }
        EXPECT_LE(opens, 2) << "one try in the run-up, one at the hour";
    }
}

TEST_F(TimeSignalTest, MusicSignalPlaysOnlyWhenNoMusicPlays) {
    state.TimeSignalMode = 4;
    state.TimeSignalFile = "/music/bell.ogg";
    device.playable = {"/music/bell.ogg", "/music/user.mp3"};

    EXPECT_TRUE(RunSignal(Hms(6, 59, 40), Hms(6, 59, 59)).empty()) << "no MIDI for the music kind";
    RunSignal(Hms(7, 0, 0), Hms(7, 0, 0));
    EXPECT_EQ(state.MusicPlayMode, 1);
    EXPECT_EQ(device.OpenFile(), "/music/bell.ogg");

    music.PlayMusic("/music/user.mp3", 3);
    device.log.clear();
    RunSignal(Hms(8, 0, 0), Hms(8, 0, 0));
    EXPECT_TRUE(device.log.empty()) << "the signal never interrupts other music";
    EXPECT_EQ(state.MusicPlayMode, 3);

    music.PlayMusic("", 0);
    state.TimeSignalFile.clear();
    RunSignal(Hms(9, 0, 0), Hms(9, 0, 0));
    EXPECT_EQ(state.MusicPlayMode, 0) << "an empty file plays nothing";
}

}  // namespace
}  // namespace vireo
