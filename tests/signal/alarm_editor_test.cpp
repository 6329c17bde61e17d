// The alarm dialog's editor model on its own: the working tables, the line in the editor and
// what OK writes back.

#include "signal/AlarmEditor.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

constexpr std::int32_t kMondayFriday = WeekdayBit(2) | WeekdayBit(6);

class AlarmEditorTest : public ::testing::Test {
protected:
    AlarmTables tables;
    AlarmEditor editor;

    void SetUp() override {
        tables.AlarmSetting[1] = AlarmValue::Make(7, 30, kAlarmWeekdayMask, kAlarmSoundChime).Packed();
        tables.AlarmSetting[2] = AlarmValue::Make(6, 5, kMondayFriday, kAlarmSoundMusic).Packed();
        tables.AlarmFile[2] = "/music/wake.mp3";
        tables.AlarmSetting[3] = AlarmValue::Make(23, 59, 0, kAlarmSoundMusic).Packed();
        editor.Load(tables);
    }
};

TEST_F(AlarmEditorTest, AnEditChangesOnlyTheSelectedLine) {
    editor.Select(2);
    editor.SetHour(9);
    editor.SetMinute(41);
    editor.SetSoundKind(kAlarmSoundChime);
    editor.SetWeekday(4, true);
    EXPECT_EQ(editor.Value(2).Packed(), tables.AlarmSetting[2]) << "kept in the line only when it is left";
    EXPECT_EQ(editor.Shown(2), editor.Edited()) << "but the list shows it at once";

    editor.Select(5);
    EXPECT_EQ(editor.Value(2), AlarmValue::Make(9, 41, kMondayFriday | WeekdayBit(4), kAlarmSoundChime));
    for (int i = 0; i < kAlarmCount; ++i) {
        if (i != 2) EXPECT_EQ(editor.Value(i).Packed(), tables.AlarmSetting[i]) << i;
    }
    EXPECT_EQ(editor.Hour(), 0) << "the new line is in the editor";
}

TEST_F(AlarmEditorTest, ThePackedValueIsMakeOfTheFields) {
    editor.Select(1);
    EXPECT_EQ(editor.Edited().Packed(), tables.AlarmSetting[1]) << "a line comes back as it went in";
    editor.SetHour(17);
    editor.SetMinute(3);
    editor.SetSoundKind(kAlarmSoundMusic);
    editor.SetRepeat(AlarmRepeat::Once);
    EXPECT_EQ(editor.WeekdayMask(), 0);
    editor.SetRepeat(AlarmRepeat::Weekdays);
    EXPECT_EQ(editor.WeekdayMask(), kAlarmWeekdayMask) << "chosen weekdays start from the days the line holds";
    editor.SetWeekday(1, false);
    editor.SetWeekday(7, false);
    const AlarmValue expected = AlarmValue::Make(17, 3, kAlarmWeekdayMask & ~WeekdayBit(1) & ~WeekdayBit(7),
                                                 kAlarmSoundMusic);
    EXPECT_EQ(editor.Edited(), expected);
    editor.Select(1);
    EXPECT_EQ(editor.Value(1), expected);

    editor.SetRepeat(AlarmRepeat::Once);
    EXPECT_EQ(editor.Edited(), AlarmValue::Make(17, 3, 0, kAlarmSoundMusic));
    editor.SetRepeat(AlarmRepeat::EveryDay);
    EXPECT_EQ(editor.Edited(), AlarmValue::Make(17, 3, kAlarmWeekdayMask, kAlarmSoundMusic));
}

TEST_F(AlarmEditorTest, CancelLeavesTheTablesAndAReopenStartsFromThem) {
    const AlarmTables before = tables;
    editor.Select(2);
    editor.SetMinute(6);
    editor.SetFile("/tmp/chosen.wav");
    editor.Select(0);
    editor.SetSoundKind(kAlarmSoundChime);
    EXPECT_EQ(tables.AlarmSetting, before.AlarmSetting);
    EXPECT_EQ(tables.AlarmFile, before.AlarmFile);

    // Opened again: the edits left in the editor are gone with the rest.
    editor.Load(tables);
    EXPECT_EQ(editor.Line(), -1);
    editor.Select(3);
    EXPECT_EQ(editor.Value(0).Packed(), tables.AlarmSetting[0]);
    EXPECT_EQ(editor.Value(2).Packed(), tables.AlarmSetting[2]);
    EXPECT_EQ(editor.Files(), tables.AlarmFile);
}

TEST_F(AlarmEditorTest, OkWritesTheEditedLinesAndKeepsWhatTheTablesGainedMeanwhile) {
    editor.Select(4);
    editor.SetSoundKind(kAlarmSoundMusic);
    editor.Select(1);
    editor.SetMinute(31);
    editor.Select(1);
    EXPECT_EQ(editor.MusicWithoutFile(tables), 4) << "an edited music line without a file";
    tables.AlarmFile[4] = "/music/other.wav";
    EXPECT_EQ(editor.MusicWithoutFile(tables), -1) << "a stored file will do";

    // Meanwhile the once alarm at 23:59 sounds and switches itself off.
    tables.AlarmSetting[3] = AlarmValue(tables.AlarmSetting[3]).SwitchedOff().Packed();
    editor.WriteTo(tables);
    EXPECT_EQ(tables.AlarmSetting[1], AlarmValue::Make(7, 31, kAlarmWeekdayMask, kAlarmSoundChime).Packed());
    EXPECT_EQ(tables.AlarmSetting[4], AlarmValue::Make(0, 0, 0, kAlarmSoundMusic).Packed());
    EXPECT_EQ(tables.AlarmSetting[3], AlarmValue::Make(23, 59, 0, kAlarmSoundOff).Packed()) << "stays off";
    EXPECT_EQ(tables.AlarmFile[4], "/music/other.wav") << "an empty working name never clears a stored one";
    EXPECT_EQ(tables.AlarmFile[2], "/music/wake.mp3");
}

}  // namespace
}  // namespace vireo
