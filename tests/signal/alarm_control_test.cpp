#include "SignalFixture.h"

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
    expected[Hms(7, 29, 50)] = {"open", ProgramLine(14)};
    for (int d = 0; d <= 18; ++d) expected[Hms(7, 30, d)] = notes[d] ? Log{"reset", NoteOnLine(notes[d])} : Log{"reset"};
    expected[Hms(7, 30, 19)] = {"reset"};
    expected[Hms(7, 30, 20)] = {"reset", "reset", "close"};
    EXPECT_EQ(steps, expected) << "and nothing at 07:30:50";
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.AlarmChimeStep, 0);
    EXPECT_EQ(Kind(0), 1) << "an every-day alarm stays on";
}

TEST_F(AlarmControlTest, OnlySecondsZeroAndFiftyAreExamined) {
    // A value off the whole minute (the dialog never makes one) fires only if it is :50.
    tables.AlarmSetting[0] = Hms(7, 30, 10) | kEveryDay | 0x1000000;
    tables.AlarmSetting[1] = Hms(8, 30, 50) | kEveryDay | 0x1000000;
    RunTicks(Hms(7, 29, 0), Hms(7, 31, 0));
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(state.AlarmIndex, -1);
    control.AlarmControl(Hms(8, 30, 50));
    EXPECT_EQ(state.AlarmIndex, 1);
}

TEST_F(AlarmControlTest, WeekdayMaskDecidesTheDay) {
    Set(0, 6, 0, kMonday, 1);
    weekday = 3;  // Tuesday
    EXPECT_TRUE(RunTicks(Hms(5, 59, 0), Hms(6, 1, 0)).empty());
    weekday = 2;  // Monday
    RunTicks(Hms(5, 59, 0), Hms(6, 0, 0));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, OnceAlarmsSwitchThemselvesOff) {
    device.playable = {"/m/wake.wav"};
    Set(0, 6, 0, 0, 1);
    Set(1, 6, 1, 0, 2, "/m/wake.wav");
    weekday = 5;

    RunTicks(Hms(5, 59, 50), Hms(6, 0, 10));
    EXPECT_EQ(Kind(0), 1) << "a chime stays on until its last step";
    RunTicks(Hms(6, 0, 11), Hms(6, 0, 30));
    EXPECT_EQ(Kind(0), 0);
    EXPECT_EQ(AlarmValue(tables.AlarmSetting[0]).Seconds(), Hms(6, 0, 0));

    control.AlarmControl(Hms(6, 1, 0));
    EXPECT_EQ(Kind(1), 0) << "a music alarm is off as soon as it starts";
    EXPECT_EQ(state.AlarmIndex, 1);
    EXPECT_EQ(state.MusicPlayMode, 2);

    // Played to its end: the poll closes the music and the alarm has ended.
    device.Finish();
    Tick(Hms(6, 1, 1));
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(device.log.back(), "close");

    RunTicks(Hms(6, 0, 0), Hms(6, 2, 0));
    EXPECT_EQ(state.AlarmIndex, -1) << "neither fires again";
}

TEST_F(AlarmControlTest, OnlyTheFirstOfTwoAlarmsInOneMinuteSoundsAndNoneFiresWhileOneSounds) {
    device.playable = {"/m/a.mp3", "/m/b.mp3"};
    Set(3, 12, 0, kEveryDay, 2, "/m/a.mp3");
    Set(1, 12, 0, kEveryDay, 2, "/m/b.mp3");
    Set(2, 12, 1, kEveryDay, 1);
    RunTicks(Hms(11, 59, 59), Hms(12, 2, 0));
    EXPECT_EQ(state.AlarmIndex, 1);
    EXPECT_EQ(device.OpenFile(), "/m/b.mp3");
    EXPECT_FALSE(output.IsOpen()) << "the 12:01 chime neither opened nor fired while music sounded";

    device.Finish();
    RunTicks(Hms(12, 2, 1), Hms(12, 3, 0));
    EXPECT_EQ(state.AlarmIndex, -1) << "alarm 3 was lost for that minute";
    EXPECT_EQ(state.MusicPlayMode, 0);
}

TEST_F(AlarmControlTest, ScaleChangesAndUnevenScalesNeitherRefireNorLeaveTheDeviceOpen) {
    Set(0, 7, 30, kEveryDay, 1);
    // A slow scale: the alarm second reaches two ticks; the second tick steps, not refires.
    control.AlarmControl(Hms(7, 29, 50));
    control.AlarmControl(Hms(7, 30, 0));
    output.log.clear();
    control.AlarmControl(Hms(7, 30, 0));
    EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(69)})) << "step 1 of the chime";
    control.StopAlarmAndMusic();

    // A fast scale skips the alarm second after the early open: no alarm, and the device
    // that was opened for it is closed once that second has passed.
    output.log.clear();
    control.AlarmControl(Hms(7, 29, 50));
    control.AlarmControl(Hms(7, 29, 55));
    control.AlarmControl(Hms(7, 29, 59));
    control.AlarmControl(Hms(7, 30, 1));
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14), "reset", "close"}));
    EXPECT_EQ(state.AlarmIndex, -1);

    // Alarms follow the scale on show: the same alarm fires when another scale reads 07:30.
    control.AlarmControl(Hms(7, 30, 0));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, AlarmAtMidnightOpensAtTheEndOfThePreviousDayTestedAgainstTomorrow) {
    Set(0, 0, 0, kMonday, 1);
    weekday = 2;  // Monday evening: tomorrow is Tuesday
    control.AlarmControl(Hms(23, 59, 50));
    EXPECT_FALSE(output.IsOpen());

    weekday = 1;  // Sunday evening
    control.AlarmControl(Hms(23, 59, 50));
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14)}));
    weekday = 2;
    output.log.clear();
    control.AlarmControl(0);
    EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(65)}));
    EXPECT_EQ(state.AlarmIndex, 0);
}

TEST_F(AlarmControlTest, ChimeAlarmWithoutItsEarlyOpenStillSounds) {
    Set(0, 9, 0, kEveryDay, 1);
    control.AlarmControl(Hms(9, 0, 0));
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14), "reset", NoteOnLine(65)}));
}

TEST_F(AlarmControlTest, MusicAlarmThatCannotStartEndsAtOnce) {
    Set(0, 6, 30, 0, 2, "/missing.mp3");
    Set(1, 6, 31, kEveryDay, 2);  // no file chosen
    Set(2, 6, 32, kEveryDay, 1);
    RunTicks(Hms(6, 29, 59), Hms(6, 30, 0));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(Kind(0), 0) << "a once alarm still switches itself off";
    RunTicks(Hms(6, 30, 1), Hms(6, 31, 0));
    EXPECT_EQ(state.AlarmIndex, -1);
    RunTicks(Hms(6, 31, 1), Hms(6, 32, 0));
    EXPECT_EQ(state.AlarmIndex, 2) << "later alarms are not held off";
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
    EXPECT_FALSE(output.IsOpen()) << "the 22:01 chime was held off";

    // The user stops the music from a dialog's stop button: the alarm has ended too.
    music.PlayMusic("", 0);
    Tick(Hms(22, 1, 31));
    EXPECT_EQ(state.AlarmIndex, -1);
}

TEST_F(AlarmControlTest, EscEndsAChimeAlarmClosingTheDeviceAndStopsMusic) {
    Set(0, 7, 0, 0, 1);
    RunTicks(Hms(6, 59, 50), Hms(7, 0, 5));
    output.log.clear();
    control.StopAlarmAndMusic();
    EXPECT_EQ(output.log, (Log{"reset", "close"}));
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
    Tick(Hms(8, 0, 4));  // the poll clears AlarmIndex while the chime still runs
    EXPECT_EQ(state.AlarmIndex, -1);
    output.log.clear();
    Tick(Hms(8, 0, 5));
    EXPECT_EQ(output.log, (Log{"reset", "close"}));
    EXPECT_EQ(state.AlarmChimeStep, 0);
}

TEST_F(AlarmControlTest, SoundKindOffNeverFires) {
    tables.AlarmSetting[0] = Hms(5, 0, 0) | kEveryDay;
    RunTicks(Hms(4, 59, 0), Hms(5, 1, 0));
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_TRUE(output.log.empty());
}

TEST_F(AlarmControlTest, TimeSignalDoesNotCloseTheDeviceOfASoundingChimeAlarm) {
    state.TimeSignalMode = 1;
    Set(0, 7, 30, kEveryDay, 1);
    const Steps steps = RunTicks(Hms(7, 29, 40), Hms(7, 30, 30));
    ASSERT_TRUE(steps.count(Hms(7, 30, 20)));
    int closes = 0;
    for (const auto& [s, log] : steps)
        for (const auto& line : log) closes += line == "close";
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(steps.at(Hms(7, 30, 20)), (Log{"reset", "reset", "close"}));
}

}  // namespace
}  // namespace vireo
