#include "signal/AlarmStore.h"

#include "TempConfigHome.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace vireo {
namespace {

class AlarmStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString File() const { return dir.path() + "/Larkspur Laboratory/Vireo.conf"; }

    TempConfigHome dir;
};

TEST_F(AlarmStoreTest, TablesSurviveARealSettingsFile) {
    AlarmTables tables;
    for (int i = 0; i < kAlarmCount; ++i)
        tables.AlarmSetting[i] = AlarmValue::Make(i, 5 * i, WeekdayBit(i % 7 + 1), i % 3).Packed();
    tables.AlarmFile[0] = "/home/user/音楽/目覚まし.mp3";
    tables.AlarmFile[9] = "/tmp/a \"quoted\" name.wav";
    {
        SettingsStore store;
        OpenOwnSettings(store);
        SaveAlarmTables(store, tables);
    }
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ini = file.readAll();
    EXPECT_TRUE(ini.contains("[Alarm]"));
    EXPECT_TRUE(ini.contains("Setting9="));
    EXPECT_TRUE(ini.contains("File0="));

    SettingsStore store;
    OpenOwnSettings(store);
    const AlarmTables loaded = LoadAlarmTables(store);
    EXPECT_EQ(loaded.AlarmSetting, tables.AlarmSetting);
    EXPECT_EQ(loaded.AlarmFile, tables.AlarmFile);
}

TEST_F(AlarmStoreTest, MissingAndDamagedEntriesReadAsAlarmsThatAreOff) {
    {
        SettingsStore store;
        OpenOwnSettings(store);
        const AlarmTables none = LoadAlarmTables(store);
        EXPECT_EQ(none.AlarmSetting, (std::array<std::int32_t, kAlarmCount>{}));
        for (const auto& f : none.AlarmFile) EXPECT_EQ(f, "");
    }
    QDir().mkpath(dir.path() + "/Larkspur Laboratory");
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Alarm]\nSetting0=abc\nSetting1=16908287\nSetting2=2097179000\nSetting3=17065400\n");
    file.close();

    SettingsStore store;
    OpenOwnSettings(store);
    const AlarmTables loaded = LoadAlarmTables(store);
    EXPECT_EQ(loaded.AlarmSetting[0], 0) << "not a number";
    EXPECT_EQ(loaded.AlarmSetting[1], 0) << "a time past the end of the day (0x1FFFF)";
    EXPECT_EQ(loaded.AlarmSetting[2], 27000 + 0x1000000) << "bits above the sound kind dropped";
    EXPECT_EQ(loaded.AlarmSetting[3], 17065400) << "07:14 chime every Monday, kept as is";
    EXPECT_EQ(SanitizedAlarmValue(-1), 0);
}

}  // namespace
}  // namespace vireo
