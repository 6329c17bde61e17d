#include <gtest/gtest.h>

#include <QSettings>

#include "OwnSettingsFile.h"
#include "TempConfigHome.h"
#include "mainwindow/ClockSettings.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

using namespace vireo;

namespace {

// Each case on its own, empty settings folder.
class ClockSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    ClockSettingsRecord ReadBack(ClockState& state, AlarmTables& alarms) {
        SettingsStore store;
        OpenOwnSettings(store);
        return ReadClockSettings(store, state, alarms);
    }
    void WriteOnce(const ClockState& state, const AlarmTables& alarms, const ObserverSettings& observer,
                   std::int32_t interval, const TwipRect& client, WindowStateIndex windowState) {
        SettingsStore store;
        OpenOwnSettings(store);
        WriteClockSettings(store, state, alarms, observer, interval, client, windowState);
    }
    void Put(const char* key, const QVariant& value) { test::PutOwnSetting(key, value); }
    QVariant Stored(const char* key) { return test::StoredOwnSetting(key); }

    TempConfigHome dir_;
};

}  // namespace

TEST_F(ClockSettingsTest, WhatShutdownWritesStartUpReadsBackAndAMinimisedWindowIsKeptNormal) {
    ClockState state;
    state.ClockMode = 6;
    state.DigitalMode = 0;
    state.TimeSignalMode = 3;
    state.TimeSignalFile = "/音楽/時報.mid";
    state.BackgroundMode = 4;
    state.UserBackColor = 0x1E140A;
    state.UserForeColor = 0xE6F0FA;
    state.ShowInTaskTray = true;
    state.CloseButtonMinimized = true;
    AlarmTables alarms;
    alarms.AlarmSetting[9] = 0x2FE0000 | (23 * 3600 + 59 * 60);
    alarms.AlarmFile[9] = "/音楽/目覚まし.ogg";
    WriteOnce(state, alarms, {135.5, 34.7, 100.0, 9.5f}, 250, {1500, -300, 4500, 3750}, WindowStateIndex::Maximized);

    ClockState read;
    AlarmTables readAlarms;
    const ClockSettingsRecord r = ReadBack(read, readAlarms);
    EXPECT_EQ(read.ClockMode, 6);
    EXPECT_EQ(read.DigitalMode, 0);
    EXPECT_EQ(read.TimeSignalMode, 3);
    EXPECT_EQ(read.TimeSignalFile, "/音楽/時報.mid");
    EXPECT_EQ(read.BackgroundMode, 4);
    EXPECT_EQ(read.UserBackColor, 0x1E140A);
    EXPECT_EQ(read.UserForeColor, 0xE6F0FA);
    EXPECT_TRUE(read.ShowInTaskTray);
    EXPECT_TRUE(read.CloseButtonMinimized);
    EXPECT_EQ(readAlarms.AlarmSetting[9], alarms.AlarmSetting[9]);
    EXPECT_EQ(readAlarms.AlarmFile[9], alarms.AlarmFile[9]);
    EXPECT_EQ(readAlarms.AlarmSetting[0], 0);
    EXPECT_DOUBLE_EQ(r.Observer.Longitude, 135.5);
    EXPECT_DOUBLE_EQ(r.Observer.Latitude, 34.7);
    EXPECT_DOUBLE_EQ(r.Observer.Height, 100.0);
    EXPECT_FLOAT_EQ(r.Observer.TimeZone, 9.5f);
    EXPECT_EQ(r.Interval, 250);
    EXPECT_EQ(r.Client.Left, 1500.0);
    EXPECT_EQ(r.Client.Top, -300.0);
    EXPECT_EQ(r.Client.Width, 4500.0);
    EXPECT_EQ(r.Client.Height, 3750.0);
    EXPECT_EQ(r.WindowState, WindowStateIndex::Maximized);
    EXPECT_FALSE(r.StartMinimized);

    WriteOnce(state, alarms, r.Observer, 250, {1500, -300, 4500, 3750}, WindowStateIndex::Minimized);
    EXPECT_EQ(ReadBack(read, readAlarms).WindowState, WindowStateIndex::Normal);
}

TEST_F(ClockSettingsTest, UnusableValuesReadAsDefaultsAndAreWrittenBackAtOnce) {
    Put("ClockMode", 12);
    Put("TimeSignalMode", -3);
    Put("ObsLatitude", 200.0);
    Put("TimeZone", 99.0);
    Put("Interval", 0);
    Put("BackgroundMode", 9);
    Put("WindowState", 7);
    Put("Left", QStringLiteral("abc"));
    ClockState state;
    AlarmTables alarms;
    const ClockSettingsRecord r = ReadBack(state, alarms);
    EXPECT_EQ(state.ClockMode, 0);
    EXPECT_EQ(state.TimeSignalMode, 2);
    EXPECT_EQ(state.BackgroundMode, 1);
    EXPECT_DOUBLE_EQ(r.Observer.Latitude, 35.6544);
    EXPECT_FLOAT_EQ(r.Observer.TimeZone, 9.0f);
    EXPECT_EQ(r.Interval, 100);
    EXPECT_EQ(r.WindowState, WindowStateIndex::Normal);
    EXPECT_FALSE(r.Client.Left.has_value());
    EXPECT_FALSE(r.Client.Width.has_value());
    // Corrected in the file by the read itself; a placement is the window's to correct.
    EXPECT_EQ(Stored("ClockMode").toInt(), 0);
    EXPECT_EQ(Stored("TimeSignalMode").toInt(), 2);
    EXPECT_DOUBLE_EQ(Stored("ObsLatitude").toDouble(), 35.6544);
    EXPECT_DOUBLE_EQ(Stored("TimeZone").toDouble(), 9.0);
    EXPECT_EQ(Stored("Interval").toInt(), 100);
    EXPECT_EQ(Stored("BackgroundMode").toInt(), 1);
    EXPECT_EQ(Stored("WindowState").toInt(), 0);
    EXPECT_EQ(Stored("Left").toString(), QStringLiteral("abc"));

    // "Start minimised" wins: the window state is then neither read nor corrected.
    Put("Minimized", true);
    Put("WindowState", 7);
    EXPECT_TRUE(ReadBack(state, alarms).StartMinimized);
    EXPECT_EQ(Stored("WindowState").toInt(), 7);
}
