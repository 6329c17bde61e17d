// The table of persisted settings: every key through real files, defaults, conversions.

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "SettingsTestSupport.h"

#include <set>
#include <string>

namespace vireo {
namespace {

class SettingsTableTest : public test::ConfigFolderTest {};

TEST_F(SettingsTableTest, AnEmptyStoreGivesEveryDefault) {
    SettingsStore s;
    OpenOwnSettings(s);
    EXPECT_EQ(Read(s, kObsLongitude), 139.7447);
    EXPECT_EQ(Read(s, kObsLatitude), 35.6544);
    EXPECT_EQ(Read(s, kObsHeight), 0.0);
    EXPECT_EQ(Read(s, kTimeZone), 9.0f);
    EXPECT_EQ(Read(s, kClockMode), 0);
    EXPECT_EQ(Read(s, kDigitalMode), 1);
    EXPECT_EQ(Read(s, kTimeSignalMode), 2);
    EXPECT_EQ(Read(s, kTimeSignalFile), "");
    EXPECT_EQ(Read(s, kLeft, 4560.0f), 4560.0f);
    EXPECT_EQ(Read(s, kTop, 3000.0f), 3000.0f);
    EXPECT_EQ(Read(s, kWidth, 3120.0f), 3120.0f);
    EXPECT_EQ(Read(s, kHeight, 3165.0f), 3165.0f);
    EXPECT_EQ(Read(s, kWindowState), 0);
    EXPECT_EQ(Read(s, kBackgroundMode), 1);
    EXPECT_EQ(Read(s, kUserBackColor), 16777215);
    EXPECT_EQ(Read(s, kUserForeColor), 0);
    EXPECT_EQ(Read(s, kInterval), 100);
    EXPECT_FALSE(Read(s, kTaskTray));
    EXPECT_FALSE(Read(s, kCloseButton));
    EXPECT_FALSE(Read(s, kCircleForm));
    EXPECT_FALSE(Read(s, kMinimized));
    EXPECT_EQ(Read(s, kHKeyStartUp), 0);
    EXPECT_EQ(Read(s, kPlayFile), "");
    for (int slot = 0; slot < kAlarmSlots; ++slot) {
        EXPECT_EQ(Read(s, AlarmSettingKey(slot)), 0);
        EXPECT_EQ(Read(s, AlarmFileKey(slot)), "");
    }
    // A default given at the read wins over the table's.
    EXPECT_EQ(Read(s, kClockMode, 4), 4);
}

TEST_F(SettingsTableTest, EveryKeyRoundTripsThroughSeparateInstances) {
    {
        SettingsStore s;
        s.SetCompany(kCompanyName);  // the main window names the company first
        s.SetProduct(kProductName);
        Write(s, kObsLongitude, -122.41941550000001);
        Write(s, kObsLatitude, 37.774929499999999);
        Write(s, kObsHeight, 3776.24);
        Write(s, kTimeZone, -9.5f);
        Write(s, kClockMode, 7);
        Write(s, kDigitalMode, 0);
        Write(s, kTimeSignalMode, 4);
        Write(s, kTimeSignalFile, std::string("/home/me/音楽/正午 の 鐘.ogg"));
        Write(s, kLeft, -1200);
        Write(s, kTop, 15);
        Write(s, kWidth, 3120);
        Write(s, kHeight, 2147483647);
        Write(s, kWindowState, 2);
        Write(s, kBackgroundMode, 4);
        Write(s, kUserBackColor, 0x00C0FFEE);
        Write(s, kUserForeColor, 0x00FFFFFF);
        Write(s, kInterval, 20);
        Write(s, kTaskTray, true);
        Write(s, kCloseButton, true);
        Write(s, kCircleForm, true);
        Write(s, kMinimized, true);
        Write(s, kHKeyStartUp, kHKeyLocalMachine);
        Write(s, kPlayFile, std::string("C:\\Users\\me\\My Music\\曲 1.mid"));
        for (int slot = 0; slot < kAlarmSlots; ++slot) {
            Write(s, AlarmSettingKey(slot), (slot + 1) * 3600 + (1 << 24) + (slot << 17));
            Write(s, AlarmFileKey(slot), "/音楽/alarm " + std::to_string(slot) + ".mp3");
        }
    }
    SettingsStore s;
    s.SetAppKeyMode(true);  // the dialogs' order: mode, product, company
    s.SetProduct(kProductName);
    s.SetCompany(kCompanyName);
    EXPECT_EQ(Read(s, kObsLongitude), -122.41941550000001);
    EXPECT_EQ(Read(s, kObsLatitude), 37.774929499999999);
    EXPECT_EQ(Read(s, kObsHeight), 3776.24);
    EXPECT_EQ(Read(s, kTimeZone), -9.5f);
    EXPECT_EQ(Read(s, kClockMode), 7);
    EXPECT_EQ(Read(s, kDigitalMode), 0);
    EXPECT_EQ(Read(s, kTimeSignalMode), 4);
    EXPECT_EQ(Read(s, kTimeSignalFile), "/home/me/音楽/正午 の 鐘.ogg");
    EXPECT_EQ(Read(s, kLeft, 0.0f), -1200.0f);
    EXPECT_EQ(Read(s, kTop, 0.0f), 15.0f);
    EXPECT_EQ(Read(s, kWidth, 0.0f), 3120.0f);
    EXPECT_EQ(Read(s, kHeight, 0.0f), 2147483648.0f) << "read as single precision";
    EXPECT_EQ(Read(s, kWindowState), 2);
    EXPECT_EQ(Read(s, kBackgroundMode), 4);
    EXPECT_EQ(Read(s, kUserBackColor), 0x00C0FFEE);
    EXPECT_EQ(Read(s, kUserForeColor), 0x00FFFFFF);
    EXPECT_EQ(Read(s, kInterval), 20);
    EXPECT_TRUE(Read(s, kTaskTray));
    EXPECT_TRUE(Read(s, kCloseButton));
    EXPECT_TRUE(Read(s, kCircleForm));
    EXPECT_TRUE(Read(s, kMinimized));
    EXPECT_EQ(Read(s, kHKeyStartUp), -2147483646);
    EXPECT_EQ(Read(s, kPlayFile), "C:\\Users\\me\\My Music\\曲 1.mid");
    for (int slot = 0; slot < kAlarmSlots; ++slot) {
        EXPECT_EQ(Read(s, AlarmSettingKey(slot)), (slot + 1) * 3600 + (1 << 24) + (slot << 17));
        EXPECT_EQ(Read(s, AlarmFileKey(slot)), "/音楽/alarm " + std::to_string(slot) + ".mp3");
    }
    // The start-up root also passes the Options dialog's Boolean test.
    EXPECT_EQ(ToBoolean(s.GetValue(kHKeyStartUp.section, kHKeyStartUp.key, 0)), true);
}

TEST_F(SettingsTableTest, FalseAndZeroSurviveAsWellAsTrue) {
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kTaskTray, true);
        Write(s, kDigitalMode, 5);
    }
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kTaskTray, false);
        Write(s, kDigitalMode, 0);
        Write(s, kHKeyStartUp, 0);
    }
    SettingsStore s;
    OpenOwnSettings(s);
    EXPECT_FALSE(Read(s, kTaskTray));
    EXPECT_EQ(Read(s, kDigitalMode), 0);
    EXPECT_EQ(ToBoolean(s.GetValue("", "hKeyStartUp", 0)), false);
}

TEST_F(SettingsTableTest, AValueBreakingItsSettingsRuleReadsAsTheDefaultAndSaysSo) {
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kUserForeColor, static_cast<std::int32_t>(0x80000008u));  // a system colour
        Write(s, kClockMode, 8);
        Write(s, kObsHeight, 10000.5);
        Write(s, kTimeZone, -12.0f);
    }
    SettingsStore s;
    OpenOwnSettings(s);
    const auto fore = ReadChecked(s, kUserForeColor);
    EXPECT_EQ(fore.value, 0);
    EXPECT_TRUE(fore.replaced);
    EXPECT_EQ(Read(s, kClockMode), 0);
    EXPECT_TRUE(ReadChecked(s, kObsHeight).replaced);
    const auto zone = ReadChecked(s, kTimeZone);  // the edge is an observer the component takes
    EXPECT_FLOAT_EQ(zone.value, -12.0f);
    EXPECT_FALSE(zone.replaced);
    EXPECT_FALSE(ReadChecked(s, kBackgroundMode).replaced) << "nothing stored is nothing replaced";
}

TEST(SettingsTable, ListsEveryKeyOnceWithItsTypes) {
    const auto& all = AllSettings();
    std::set<std::string> names;
    int callerDefaults = 0;
    for (const auto& info : all) {
        EXPECT_TRUE(names.insert(std::string(info.section) + "/" + std::string(info.key)).second)
            << info.key;
        callerDefaults += info.callerDefault;
    }
    EXPECT_EQ(names.size(), 43u);
    EXPECT_EQ(callerDefaults, 4);
    EXPECT_TRUE(names.count("Alarm/Setting9"));
    EXPECT_TRUE(names.count("Alarm/File0"));
    EXPECT_TRUE(names.count("/hKeyStartUp"));
    const SettingInfo left = Describe(kLeft);
    EXPECT_EQ(left.written, SettingType::Int32);
    EXPECT_EQ(left.readAs, SettingType::Single);
    EXPECT_EQ(Describe(kWindowState).readAs, SettingType::Int16);
    EXPECT_EQ(Describe(kTimeZone).written, SettingType::Single);
}

TEST(SettingsConversions, IntegersRoundHalfToEvenAndMustFit) {
    EXPECT_EQ(ToInt32(QVariant("2.5")), 2);
    EXPECT_EQ(ToInt32(QVariant("3.5")), 4);
    EXPECT_EQ(ToInt32(QVariant("-2.5")), -2);
    EXPECT_EQ(ToInt32(QVariant(" 17 ")), 17);
    EXPECT_EQ(ToInt32(QVariant("-2147483648")), INT32_MIN);
    EXPECT_EQ(ToInt32(QVariant("2147483648")), std::nullopt);
    EXPECT_EQ(ToInt32(QVariant(2147483647.6)), std::nullopt);
    EXPECT_EQ(ToInt32(QVariant("0x10")), std::nullopt);
    EXPECT_EQ(ToInt32(QVariant("true")), std::nullopt);
    EXPECT_EQ(ToInt32(QVariant(true)), std::nullopt);
    EXPECT_EQ(ToInt32(QVariant("1e3")), 1000);
    EXPECT_EQ(ToInt16(QVariant("-32768")), -32768);
    EXPECT_EQ(ToInt16(QVariant(32768)), std::nullopt);
    EXPECT_EQ(ToInt16(QVariant(qulonglong(1) << 63)), std::nullopt);
}

TEST(SettingsConversions, BooleansNumbersAndTexts) {
    EXPECT_EQ(ToBoolean(QVariant("True")), true);
    EXPECT_EQ(ToBoolean(QVariant(" false ")), false);
    EXPECT_EQ(ToBoolean(QVariant("-1")), true);
    EXPECT_EQ(ToBoolean(QVariant("0")), false);
    EXPECT_EQ(ToBoolean(QVariant(-2147483646)), true);
    EXPECT_EQ(ToBoolean(QVariant("yes")), std::nullopt);
    EXPECT_EQ(ToBoolean(QVariant("")), std::nullopt);
    EXPECT_EQ(ToBoolean(QVariant()), std::nullopt);

    EXPECT_EQ(ToDouble(QVariant("1,5")), std::nullopt) << "numbers are read in the C locale";
    EXPECT_EQ(ToDouble(QVariant("inf")), std::nullopt);
    EXPECT_EQ(ToSingle(QVariant("1e39")), std::nullopt);
    EXPECT_EQ(ToSingle(QVariant(9.5f)), 9.5f);

    EXPECT_EQ(ToText(QVariant(QStringList{"a", "b"})), "a, b");
    EXPECT_EQ(ToText(QVariant(QString())), "");
    EXPECT_EQ(ToText(QVariant(12)), "12");
    EXPECT_EQ(ToText(QVariant()), std::nullopt);
}

}  // namespace
}  // namespace vireo
