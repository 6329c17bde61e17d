#include "SignalFixture.h"

#include <QByteArray>
#include <QtGlobal>

#include <ctime>
#include <deque>

namespace vireo {
namespace {

using namespace vireo::testing;
using Log = std::vector<std::string>;

constexpr std::int32_t kEveryDay = 0xFE0000;
constexpr std::int32_t kMonday = 0x40000;  // bit 18

class AlarmControlTest : public SignalFixture {
protected:
    void SetUp() override { state.TimeSignalMode = 0; }
    void Set(int index, int hour, int minute, std::int32_t mask, int kind, std::string file = {}) {
        tables.AlarmSetting[index] = AlarmValue::Make(hour, minute, mask, kind).Packed();
        tables.AlarmFile[index] = std::move(file);
    }
    int Kind(int index) const { return AlarmValue(tables.AlarmSetting[index]).SoundKind(); }
};

TEST(AlarmValueTest, PacksTimeWeekdaysAndSound) {
    const AlarmValue monday = AlarmValue::Make(7, 30, kMonday, 1);
    EXPECT_EQ(monday.Packed(), 27000 + 0x40000 + 0x1000000);
    EXPECT_EQ(monday.Hour(), 7);
    EXPECT_EQ(monday.Minute(), 30);
    EXPECT_EQ(monday.Repeat(), AlarmRepeat::Weekdays);
    EXPECT_TRUE(monday.PassesDayTest(2));
    EXPECT_FALSE(monday.PassesDayTest(3));
    EXPECT_TRUE(monday.IsChime());

    EXPECT_EQ(AlarmValue(0).Repeat(), AlarmRepeat::Once);
    EXPECT_FALSE(AlarmValue(0).IsOn());
    EXPECT_EQ(AlarmValue::Make(0, 0, kEveryDay, 0).Repeat(), AlarmRepeat::EveryDay);
    for (int day = 1; day <= 7; ++day) EXPECT_TRUE(AlarmValue::Make(1, 0, 0, 2).PassesDayTest(day));

    const AlarmValue music = AlarmValue::Make(23, 59, WeekdayBit(1) | WeekdayBit(7), 2);
    EXPECT_EQ(music.WeekdayMask(), 0x20000 | 0x800000);
    EXPECT_EQ(music.SwitchedOff().Packed(), 86340 | 0x20000 | 0x800000) << "off keeps time and mask";
    EXPECT_TRUE(AlarmValue(0x3000000).IsMusic()) << "an unknown sound kind counts as music";
    EXPECT_EQ(music.WithWeekday(1, false).WeekdayMask(), 0x800000);
    EXPECT_EQ(NextWeekday(7), 1);
}

TEST_F(AlarmControlTest, ChimeAlarmOpensEarlyRingsTwentySecondsAndEnds) {
    Set(0, 7, 30, kEveryDay, 1);
    const Steps steps = RunTicks(Hms(7, 29, 40), Hms(7, 31, 10));
    const std::vector<int> notes = {65, 69, 67, 60, 0, 65, 67, 69, 65, 0, 69, 65, 67, 60, 0, 60, 67, 69, 65};
    Steps expected;
    expected[Hms(7, 29, 50)] = {"open", ProgramLine(14, 1)};
    for (int d = 0; d <= 18; ++d)
        expected[Hms(7, 30, d)] = notes[d] ? Log{"reset ch2", NoteOnLine(notes[d], 1)} : Log{"reset ch2"};
    expected[Hms(7, 30, 19)] = {"reset ch2"};
    expected[Hms(7, 30, 20)] = {"reset ch2", "reset ch2", "close"};
    EXPECT_EQ(steps, expected) << "and nothing at 07:30:50";
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.AlarmChimeStep, 0);
    EXPECT_EQ(Kind(0), 1) << "an every-day alarm stays on";
}

TEST_F(AlarmControlTest, AnAlarmTimeOffTheWholeMinuteFiresAtItsOwnSecond) {
    // The dialog never makes one, but a hand-edited value is kept to the second.
    tables.AlarmSetting[0] = Hms(7, 30, 10) | kEveryDay | 0x1000000;
    RunTicks(Hms(7, 29, 0), Hms(7, 30, 9));
    EXPECT_EQ(state.AlarmIndex, -1);
    RunTicks(Hms(7, 30, 10), Hms(7, 30, 10));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, WeekdayMaskDecidesTheDay) {
    Set(0, 6, 0, kMonday, 1);
    GoToWeekday(3);  // Tuesday
    EXPECT_TRUE(RunTicks(Hms(5, 59, 0), Hms(6, 1, 0)).empty());
    GoToWeekday(2);  // Monday
    RunTicks(Hms(5, 59, 0), Hms(6, 0, 0));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, OnceAlarmsSwitchThemselvesOff) {
    device.playable = {"/m/wake.wav"};
    Set(0, 6, 0, 0, 1);
    Set(1, 6, 1, 0, 2, "/m/wake.wav");

    RunTicks(Hms(5, 59, 50), Hms(6, 0, 10));
    EXPECT_EQ(Kind(0), 1) << "a chime stays on until its last step";
    RunTicks(Hms(6, 0, 11), Hms(6, 0, 30));
    EXPECT_EQ(Kind(0), 0);
    EXPECT_EQ(AlarmValue(tables.AlarmSetting[0]).Seconds(), Hms(6, 0, 0));

    RunTicks(Hms(6, 0, 31), Hms(6, 1, 0));
    EXPECT_EQ(Kind(1), 0) << "a music alarm is off as soon as it starts";
    EXPECT_EQ(state.AlarmIndex, 1);
    EXPECT_EQ(state.MusicPlayMode, 2);

    // Played to its end: the poll closes the music and the alarm has ended.
    device.Finish();
    RunTicks(Hms(6, 1, 1), Hms(6, 1, 1));
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(device.log.back(), "close");

    RunTicks(Hms(6, 0, 0), Hms(6, 2, 0));  // the next day
    EXPECT_EQ(state.AlarmIndex, -1) << "neither fires again";
}

TEST_F(AlarmControlTest, AlarmsDueTogetherAllSoundOneAfterAnother) {
    device.playable = {"/m/a.mp3", "/m/b.mp3"};
    Set(3, 12, 0, kEveryDay, 2, "/m/a.mp3");
    Set(1, 12, 0, 0, 2, "/m/b.mp3");  // once
    Set(2, 12, 1, kEveryDay, 1);
    RunTicks(Hms(11, 59, 59), Hms(12, 0, 30));
    EXPECT_EQ(state.AlarmIndex, 1) << "the lower index first";
    EXPECT_EQ(device.OpenFile(), "/m/b.mp3");
    EXPECT_EQ(Kind(1), 0) << "the once alarm switched itself off as it sounded";
    device.Finish();
    RunTicks(Hms(12, 0, 31), Hms(12, 0, 32));
    EXPECT_EQ(state.AlarmIndex, 3) << "then the other one, at the next second";
    EXPECT_EQ(device.OpenFile(), "/m/a.mp3");
    EXPECT_EQ(state.MusicPlayMode, 2);

    // The 12:01 chime falls due while alarm 3 still plays: it waits its turn.
    RunTicks(Hms(12, 0, 33), Hms(12, 2, 0));
    EXPECT_EQ(state.AlarmIndex, 3);
    EXPECT_EQ(control.PendingAlarms(), std::deque<int>({2}));
    device.Finish();
    const Steps steps = RunTicks(Hms(12, 2, 1), Hms(12, 2, 2));
    EXPECT_EQ(state.AlarmIndex, 2);
    EXPECT_EQ(steps, (Steps{{Hms(12, 2, 2), Log{"open", ProgramLine(14, 1), "reset ch2", NoteOnLine(65, 1)}}}));
    EXPECT_TRUE(control.PendingAlarms().empty());
}

TEST_F(AlarmControlTest, SlowAndFastScalesNeitherRefireNorSkip) {
    Set(0, 7, 30, kEveryDay, 1);
    // A slow scale: the alarm second reaches two ticks; the second tick steps, not refires.
    RunTicks(Hms(7, 29, 50), Hms(7, 30, 0));
    clock.Advance(1.0);
    output.log.clear();
    control.AlarmControl(Hms(7, 30, 0));
    EXPECT_EQ(output.log, (Log{"reset ch2", NoteOnLine(69, 1)})) << "step 1 of the chime";
    control.StopAlarmAndMusic();

    // A fast scale skips the alarm second: the alarm sounds at the second after it.
    GoToWeekday(3);
    At(Hms(7, 29, 49));
    for (std::int32_t s : {Hms(7, 29, 50), Hms(7, 29, 55), Hms(7, 29, 59)}) {
        clock.Advance(1.0);
        control.AlarmControl(s);
    }
    EXPECT_EQ(state.AlarmIndex, -1);
    clock.Advance(1.0);
    control.AlarmControl(Hms(7, 30, 1));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, AChangeOfScaleJumpsOverWithoutFiring) {
    Set(0, 9, 0, kEveryDay, 1);
    RunTicks(Hms(8, 0, 0), Hms(8, 0, 0));
    control.ScaleChanged();  // e.g. to sidereal time, an hour and a half ahead
    clock.Advance(1.0);
    control.AlarmControl(Hms(9, 30, 1));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_TRUE(control.PendingAlarms().empty());
    // Alarms follow the scale on show: the same alarm fires when the new scale reads 9:00.
    control.ScaleChanged();
    clock.Advance(1.0);
    control.AlarmControl(Hms(9, 0, 0));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, AlarmAtMidnightOpensAtTheEndOfThePreviousDayTestedAgainstTomorrow) {
    Set(0, 0, 0, kMonday, 1);
    GoToWeekday(2);  // Monday evening: tomorrow is Tuesday
    RunTicks(Hms(23, 59, 50), Hms(23, 59, 50));
    EXPECT_FALSE(output.IsOpen());

    GoToWeekday(1);  // Sunday evening
    EXPECT_EQ(RunTicks(Hms(23, 59, 50), Hms(23, 59, 50)).at(Hms(23, 59, 50)), (Log{"open", ProgramLine(14, 1)}));
    RunTicks(Hms(23, 59, 51), Hms(23, 59, 59));
    output.log.clear();
    At(0);
    control.AlarmControl(0);
    EXPECT_EQ(output.log, (Log{"reset ch2", NoteOnLine(65, 1)}));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, ChimeAlarmWithoutItsEarlyOpenStillSounds) {
    Set(0, 9, 0, kEveryDay, 1);
    At(Hms(9, 0, 0));
    control.AlarmControl(Hms(9, 0, 0));
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14, 1), "reset ch2", NoteOnLine(65, 1)}));
}

TEST_F(AlarmControlTest, MusicAlarmThatCannotStartEndsAtOnceAndOneWithoutAFileStopsNothing) {
    device.playable = {"/m/user.mp3"};
    Set(0, 6, 30, 0, 2, "/missing.mp3");
    Set(1, 6, 31, kEveryDay, 2);  // no file chosen
    Set(2, 6, 32, kEveryDay, 1);
    RunTicks(Hms(6, 29, 59), Hms(6, 30, 0));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(Kind(0), 0) << "a once alarm still switches itself off";

    // The user plays music; the file-less alarm has nothing to play and must not stop it.
    music.PlayMusic("/m/user.mp3", 3);
    device.log.clear();
    RunTicks(Hms(6, 30, 1), Hms(6, 31, 0));
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(state.MusicPlayMode, 3);
    EXPECT_EQ(state.AlarmIndex, -1);
    RunTicks(Hms(6, 31, 1), Hms(6, 32, 0));
    EXPECT_EQ(state.AlarmIndex, 2) << "later alarms are not held off";
    EXPECT_EQ(state.MusicPlayMode, 3) << "and a chime alarm rings beside the user's music";
}

TEST_F(AlarmControlTest, AlarmRefusedByTheUsersMusicSoundsUntilThatMusicStops) {
    device.playable = {"/m/user.flac", "/m/alarm.wav"};
    music.PlayMusic("/m/user.flac", 3);
    Set(0, 22, 0, 0, 2, "/m/alarm.wav");
    Set(1, 22, 1, kEveryDay, 1);
    device.log.clear();
    RunTicks(Hms(21, 59, 59), Hms(22, 1, 30));
    EXPECT_TRUE(device.log.empty()) << "the user's music is not interrupted";
    EXPECT_EQ(state.AlarmIndex, 0);
    EXPECT_EQ(Kind(0), 0);
    EXPECT_FALSE(output.IsOpen()) << "the 22:01 chime waits";

    // The user stops the music from a dialog's stop button: the alarm has ended, and the
    // chime that waited rings, late.
    music.PlayMusic("", 0);
    RunTicks(Hms(22, 1, 31), Hms(22, 1, 31));
    EXPECT_EQ(state.AlarmIndex, 1);
    EXPECT_TRUE(output.IsOpen());
}

TEST_F(AlarmControlTest, EscEndsAChimeAlarmClosingTheDeviceAndStopsMusic) {
    Set(0, 7, 0, 0, 1);
    RunTicks(Hms(6, 59, 50), Hms(7, 0, 5));
    output.log.clear();
    control.StopAlarmAndMusic();
    EXPECT_EQ(output.log, (Log{"reset ch2", "close"}));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(Kind(0), 1) << "a once chime cut short stays on";
    EXPECT_TRUE(RunTicks(Hms(7, 0, 6), Hms(7, 0, 40)).empty());

    device.playable = {"/m/x.ogg"};
    Set(1, 7, 1, kEveryDay, 2, "/m/x.ogg");
    RunTicks(Hms(7, 0, 41), Hms(7, 1, 0));
    EXPECT_EQ(state.MusicPlayMode, 2);
    control.StopAlarmAndMusic();
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(state.AlarmIndex, -1);

    device.log.clear();
    output.log.clear();
    control.StopAlarmAndMusic();  // with nothing sounding: harmless
    EXPECT_TRUE(device.log.empty());
    EXPECT_TRUE(output.log.empty());
    EXPECT_EQ(state.AlarmIndex, -1);
}

TEST_F(AlarmControlTest, ChimeAlarmCutByTheMusicPollClosesItsDevice) {
    device.playable = {"/m/bell.wav"};
    state.TimeSignalMode = 4;
    state.TimeSignalFile = "/m/bell.wav";
    Set(0, 8, 0, kEveryDay, 1);
    RunTicks(Hms(7, 59, 50), Hms(8, 0, 3));
    EXPECT_EQ(state.MusicPlayMode, 1) << "the music signal started beside the chime";
    device.Finish();
    RunTicks(Hms(8, 0, 4), Hms(8, 0, 4));  // the poll clears AlarmIndex while the chime still runs
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(RunTicks(Hms(8, 0, 5), Hms(8, 0, 5)), (Steps{{Hms(8, 0, 5), Log{"reset ch2", "close"}}}));
    EXPECT_EQ(state.AlarmChimeStep, 0);
}

TEST_F(AlarmControlTest, SoundKindOffNeverFires) {
    tables.AlarmSetting[0] = Hms(5, 0, 0) | kEveryDay;
    RunTicks(Hms(4, 59, 0), Hms(5, 1, 0));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_TRUE(output.log.empty());
}

// A music alarm and a chime alarm that share a minute: nothing opened early for the chime is
// left open for hours, whichever of them sounds.
TEST_F(AlarmControlTest, AnEarlyOpenIsNeverLeftBehind) {
    Set(0, 9, 0, kEveryDay, 2, "/m/missing.ogg");
    Set(1, 9, 0, kEveryDay, 1);
    Set(2, 9, 30, kEveryDay, 1);
    RunTicks(Hms(8, 59, 40), Hms(9, 0, 30));
    EXPECT_FALSE(output.IsOpen()) << "the chime rang and let go";
    // The chime alarm switched off in the dialog between its early open and its time.
    RunTicks(Hms(9, 29, 45), Hms(9, 29, 55));
    EXPECT_TRUE(output.IsOpen());
    tables.AlarmSetting[2] = AlarmValue(tables.AlarmSetting[2]).SwitchedOff().Packed();
    RunTicks(Hms(9, 29, 56), Hms(9, 29, 56));
    EXPECT_FALSE(output.IsOpen());
}

// ---- Exactly once, whatever the machine and its clock do ------------------------------------

TEST_F(AlarmControlTest, AnAlarmMissedWhileTheMachineSleptSoundsLateOnceWithinTheGrace) {
    Set(0, 10, 59, 0, 1);  // once
    RunTicks(Hms(10, 58, 30), Hms(10, 58, 40));
    clock.Advance(70.0);  // stopped 10:58:40 - 10:59:50
    Tick(clock.Now().WholeSecond());
    EXPECT_EQ(state.AlarmIndex, 0);
    RunFor(25);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(Kind(0), 0) << "it rang, so it is off";

    // The wall clock moved on while the process slept: the same.
    Set(1, 14, 0, kEveryDay, 1);
    RunTicks(Hms(13, 58, 40), Hms(13, 58, 40));
    clock.Advance(200.0);
    Tick(clock.Now().WholeSecond());
    EXPECT_EQ(state.AlarmIndex, 1);
    control.StopAlarmAndMusic();

    // Asleep past the grace period: let go, and a once alarm stays on for tomorrow.
    Set(2, 16, 0, 0, 1);
    RunTicks(Hms(15, 40, 0), Hms(15, 40, 0));
    clock.Advance(2400.0);  // 16:20
    RunFor(5);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(Kind(2), 1);
}

TEST_F(AlarmControlTest, AClockSetBackDoesNotSoundAnAlarmAgain) {
    Set(0, 10, 59, kEveryDay, 1);
    RunTicks(Hms(10, 58, 50), Hms(10, 59, 30));
    EXPECT_EQ(state.AlarmIndex, -1);
    clock.Advance(-150.0);  // 10:57:00
    const Steps steps = RunFor(180);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_TRUE(steps.empty()) << "no second ring, and no early open for it either";
    // Tomorrow it rings as usual.
    RunTicks(Hms(10, 58, 59), Hms(10, 59, 0));
    EXPECT_EQ(state.AlarmIndex, 0);
}

class DaylightSavingTest : public AlarmControlTest {
protected:
    void SetUp() override {
        AlarmControlTest::SetUp();
        saved_ = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    void TearDown() override {
        qputenv("TZ", saved_);
        tzset();
    }
    QByteArray saved_;
};

TEST_F(DaylightSavingTest, AnAlarmInTheHourSkippedInSpringSoundsAtTheFirstSecondAfterIt) {
    Set(0, 2, 30, kEveryDay, 1);
    clock.SetUtc(1774744200.0);  // 2026-03-29 01:30:00 CET; at 02:00 the clocks go to 03:00
    ASSERT_EQ(clock.Now().WholeSecond(), Hms(1, 30, 0));
    int rang = 0;
    for (int i = 0; i < 3600; ++i) {
        clock.Advance(1.0);
        Tick(clock.Now().WholeSecond());
        if (state.AlarmIndex == 0 && state.AlarmChimeStep == 1) {
            ++rang;
            EXPECT_EQ(clock.Now().WholeSecond(), Hms(3, 0, 0));
        }
    }
    EXPECT_EQ(rang, 1);
}

TEST_F(DaylightSavingTest, AnAlarmInTheHourRepeatedInAutumnSoundsOnce) {
    Set(0, 2, 59, kEveryDay, 1);
    Set(1, 2, 59, kEveryDay, 2, "/m/once.ogg");
    device.playable = {"/m/once.ogg"};
    clock.SetUtc(1792882800.0);  // 2026-10-25 01:00:00 CEST; at 03:00 the clocks go back to 02:00
    ASSERT_EQ(clock.Now().WholeSecond(), Hms(1, 0, 0));
    int chimes = 0, music = 0;
    for (int i = 0; i < 4 * 3600; ++i) {
        clock.Advance(1.0);
        const std::int16_t before = state.AlarmIndex;
        Tick(clock.Now().WholeSecond());
        if (state.AlarmIndex == 0 && state.AlarmChimeStep == 1) ++chimes;
        if (state.AlarmIndex == 1 && before != 1) {
            ++music;
            device.Finish();
        }
    }
    EXPECT_EQ(chimes, 1);
    EXPECT_EQ(music, 1);
}

}  // namespace
}  // namespace vireo
