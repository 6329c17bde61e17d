// The store's own settings: real INI files in a private config folder.

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "SettingsTestSupport.h"

#include <QFileInfo>

#include <bit>
#include <climits>
#include <cstdint>
#include <limits>

namespace vireo {
namespace {

using test::ConfigFolderTest;

class SettingsStoreTest : public ConfigFolderTest {};

// Runs fn with a fresh, named store that is released (and so written) on return.
template <typename Fn>
void WithStore(Fn fn) {
    SettingsStore store;
    OpenOwnSettings(store);
    fn(store);
}

TEST_F(SettingsStoreTest, ValuesKeepTheirTypeThroughTheFile) {
    const double doubles[] = {139.7447, 35.6544, 0.1, -0.0, 1e-300, 2.2250738585072014e-308,
                              std::numeric_limits<double>::max(), 1.0 / 3.0, -77.03};
    const float singles[] = {9.0f, 5.75f, -3.5f, 1.0f / 3.0f, 9.1f, std::numeric_limits<float>::max()};
    const std::int32_t ints[] = {-2147483646, INT_MIN, INT_MAX, 0, 1, -1, 16777215};
    const std::string texts[] = {"/home/利用者/音楽 フォルダ/時報 チャイム.mp3",
                                 "  leading and trailing spaces  ",
                                 "@starts with an at sign",
                                 "comma, semicolon; equals=sign \"quotes\" back\\slash",
                                 "line one\nline two\ttab",
                                 "",
                                 "#not a comment"};

    WithStore([&](SettingsStore& s) {
        for (std::size_t i = 0; i < std::size(doubles); ++i)
            s.SetValue("", "D" + std::to_string(i), QVariant(doubles[i]));
        for (std::size_t i = 0; i < std::size(singles); ++i)
            s.SetValue("", "F" + std::to_string(i), QVariant(singles[i]));
        for (std::size_t i = 0; i < std::size(ints); ++i)
            s.SetValue("Alarm", "I" + std::to_string(i), QVariant(ints[i]));
        s.SetValue("", "BTrue", QVariant(true));
        s.SetValue("", "BFalse", QVariant(false));
        for (std::size_t i = 0; i < std::size(texts); ++i)
            s.SetValue("", "T" + std::to_string(i), ToStored(texts[i]));
    });

    WithStore([&](SettingsStore& s) {
        for (std::size_t i = 0; i < std::size(doubles); ++i) {
            const auto d = ToDouble(s.GetValue("", "D" + std::to_string(i)));
            ASSERT_TRUE(d.has_value()) << i;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(*d), std::bit_cast<std::uint64_t>(doubles[i]))
                << "double " << doubles[i] << " came back as " << *d;
        }
        for (std::size_t i = 0; i < std::size(singles); ++i) {
            const auto f = ToSingle(s.GetValue("", "F" + std::to_string(i)));
            ASSERT_TRUE(f.has_value()) << i;
            EXPECT_EQ(std::bit_cast<std::uint32_t>(*f), std::bit_cast<std::uint32_t>(singles[i])) << *f;
        }
        for (std::size_t i = 0; i < std::size(ints); ++i)
            EXPECT_EQ(ToInt32(s.GetValue("Alarm", "I" + std::to_string(i))), ints[i]);
        EXPECT_EQ(ToBoolean(s.GetValue("", "BTrue")), true);
        EXPECT_EQ(ToBoolean(s.GetValue("", "BFalse")), false);
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_EQ(ToText(s.GetValue("", "T" + std::to_string(i))), texts[i]);
    });
}

TEST_F(SettingsStoreTest, ReleaseWritesTheFileAndTheNextInstanceSeesIt) {
    {
        SettingsStore s;
        OpenOwnSettings(s);
        Write(s, kClockMode, 6);
        Write(s, AlarmSettingKey(2), 0x01FE0E10);
        EXPECT_FALSE(QFileInfo::exists(SettingsFile())) << "written before release";
    }
    const QByteArray text = ReadFile(SettingsFile());
    EXPECT_TRUE(text.contains("ClockMode=6")) << text.constData();
    EXPECT_TRUE(text.contains("[Alarm]")) << "the alarm keys form their own group";
    EXPECT_TRUE(text.contains("Setting2=33426960"));

    WithStore([](SettingsStore& s) {
        EXPECT_EQ(Read(s, kClockMode), 6);
        EXPECT_EQ(Read(s, AlarmSettingKey(2)), 0x01FE0E10);
        EXPECT_EQ(Read(s, AlarmSettingKey(3)), 0);
        Write(s, kClockMode, 7);
    });
    WithStore([](SettingsStore& s) { EXPECT_EQ(Read(s, kClockMode), 7); });
}

TEST_F(SettingsStoreTest, MissingKeysGiveTheDefaultPassedIn) {
    WithStore([](SettingsStore& s) {
        EXPECT_EQ(s.GetValue("", "Nothing", QVariant(42)).toInt(), 42);
        EXPECT_EQ(s.GetValue("Alarm", "Nothing", QVariant(QStringLiteral("x"))).toString(), "x");
        // A Boolean read of no value is False.
        const QVariant none = s.GetValue("", "CircleForm");
        EXPECT_FALSE(none.isValid());
        EXPECT_FALSE(none.toBool());
        EXPECT_FALSE(Read(s, kCircleForm));
        EXPECT_FALSE(Read(s, kMinimized));
    });
}

TEST_F(SettingsStoreTest, DeleteValueRemovesOnlyThatKey) {
    WithStore([](SettingsStore& s) {
        Write(s, kPlayFile, std::string("/music/a.mid"));
        Write(s, kInterval, 250);
    });
    WithStore([](SettingsStore& s) {
        s.DeleteValue("", "PlayFile");
        s.DeleteValue("", "NeverWritten");  // nothing to remove is not an error
    });
    WithStore([](SettingsStore& s) {
        EXPECT_FALSE(s.GetValue("", "PlayFile").isValid());
        EXPECT_EQ(Read(s, kInterval), 250);
    });
}

TEST_F(SettingsStoreTest, InstancesOpenSideBySideKeepEachOthersKeys) {
    // The Options dialog keeps its store open while shutdown writes through another one.
    SettingsStore options;
    OpenOwnSettings(options);
    Write(options, kMinimized, true);
    {
        SettingsStore shutdown;
        OpenOwnSettings(shutdown);
        Write(shutdown, kClockMode, 3);
        Write(shutdown, kTaskTray, true);
    }
    EXPECT_EQ(Read(options, kClockMode), 3) << "an open instance sees a finished write";
    Write(options, kCircleForm, true);
    options.Sync();

    WithStore([](SettingsStore& s) {
        EXPECT_EQ(Read(s, kClockMode), 3);
        EXPECT_TRUE(Read(s, kTaskTray));
        EXPECT_TRUE(Read(s, kMinimized));
        EXPECT_TRUE(Read(s, kCircleForm));
    });
}

TEST_F(SettingsStoreTest, ChangingTheProductKeepsWhatWasWrittenUnderTheOldOne) {
    {
        SettingsStore s;
        s.SetAppKeyMode(true);
        s.SetProduct("Vireo");
        s.SetCompany("Larkspur Laboratory");
        Write(s, kDigitalMode, 0);
        s.SetProduct("Other");
        Write(s, kDigitalMode, 5);
    }
    WithStore([](SettingsStore& s) { EXPECT_EQ(Read(s, kDigitalMode), 0); });
    EXPECT_TRUE(QFileInfo::exists(ConfigHome() + "/Larkspur Laboratory/Other.conf"));
}

TEST_F(SettingsStoreTest, BadNamesAndValuesAreRefused) {
    auto number = [](auto fn) {
        try {
            fn();
        } catch (const SettingsError& e) {
            return e.number();
        }
        return 0;
    };
    SettingsStore unnamed;
    EXPECT_EQ(number([&] { unnamed.GetValue("", "ClockMode"); }), SettingsError::kInvalidArgument);

    SettingsStore escaping;
    escaping.SetCompany("..");
    escaping.SetProduct("Vireo");
    EXPECT_EQ(number([&] { escaping.SetValue("", "K", 1); }), SettingsError::kInvalidArgument);

    SettingsStore s;
    OpenOwnSettings(s);
    EXPECT_EQ(number([&] { s.SetValue("", "", 1); }), SettingsError::kInvalidArgument);
    EXPECT_EQ(number([&] { s.SetValue("", "a/b", 1); }), SettingsError::kInvalidArgument);
    EXPECT_EQ(number([&] { s.SetValue("Al\\arm", "Setting0", 1); }), SettingsError::kInvalidArgument);
    EXPECT_EQ(number([&] { s.SetValue("", "Empty", QVariant()); }), SettingsError::kInvalidArgument);
    EXPECT_EQ(number([&] { AlarmSettingKey(10); }), SettingsError::kSlotOutOfRange);
    EXPECT_EQ(number([&] { AlarmFileKey(-1); }), SettingsError::kSlotOutOfRange);
    EXPECT_EQ(number([&] { s.SetValue("", "Fine", 1); }), 0);
}

TEST_F(SettingsStoreTest, AWriteThatCannotReachTheDiskIsReported) {
    // A file where the company folder should be: nothing can be written.
    QDir().mkpath(ConfigHome());
    QFile blocker(ConfigHome() + "/Larkspur Laboratory");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    SettingsStore s;
    OpenOwnSettings(s);
    Write(s, kClockMode, 4);
    try {
        s.Sync();
        FAIL() << "the write was reported as done";
    } catch (const SettingsError& e) {
        EXPECT_EQ(e.number(), SettingsError::kFileAccess);
        EXPECT_NE(e.number(), SettingsError::kStartupEntryWrite);
    }
}

TEST_F(SettingsStoreTest, AFailedWriteAfterReadingADamagedFileIsStillReported) {
    WriteSettingsFile("[General\nClockMode=\"5\n");
    SettingsStore s;
    OpenOwnSettings(s);
    EXPECT_EQ(Read(s, kTimeSignalMode), 2);  // the damaged file has been read
    QDir(ConfigHome() + "/Larkspur Laboratory").removeRecursively();
    QFile blocker(ConfigHome() + "/Larkspur Laboratory");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Write(s, kClockMode, 4);
    try {
        s.Sync();
        FAIL() << "the write was reported as done";
    } catch (const SettingsError& e) {
        EXPECT_EQ(e.number(), SettingsError::kFileAccess);
    }
}

// ---- Files edited by hand or damaged --------------------------------------------------------

TEST_F(SettingsStoreTest, GarbageValuesReadAsTheirDefaults) {
    WriteSettingsFile(
        "[General]\n"
        "ClockMode=abc\n"
        "DigitalMode=0\n"
        "ObsLongitude=east\n"
        "ObsLatitude=12.5\n"
        "TimeZone=1e99\n"
        "Interval=99999999999\n"
        "WindowState=70000\n"
        "TaskTray=maybe\n"
        "CloseButton=TRUE\n"
        "Minimized=1\n"
        "UserBackColor=@Rect(1 2 3 4)\n"
        "ObsHeight=nan\n"
        "this line has no equals sign\n"
        "[Alarm]\n"
        "Setting0=3.5\n"
        "Setting1=\n"
        "File0=/music/a, b.mp3\n"
        "File1=C:\\\\music\\\\c.mp3\n");
    WithStore([](SettingsStore& s) {
        EXPECT_EQ(Read(s, kClockMode), 0);
        EXPECT_EQ(Read(s, kDigitalMode), 0) << "a good value beside bad ones still reads";
        EXPECT_EQ(Read(s, kObsLongitude), 139.7447);
        EXPECT_EQ(Read(s, kObsLatitude), 12.5);
        EXPECT_EQ(Read(s, kTimeZone), 9.0f);
        EXPECT_EQ(Read(s, kInterval), 100);
        EXPECT_EQ(Read(s, kWindowState), 0);
        EXPECT_FALSE(Read(s, kTaskTray));
        EXPECT_TRUE(Read(s, kCloseButton));
        EXPECT_TRUE(Read(s, kMinimized));
        EXPECT_EQ(Read(s, kUserBackColor), 16777215);
        EXPECT_EQ(Read(s, kObsHeight), 0.0);
        EXPECT_EQ(Read(s, AlarmSettingKey(0)), 4) << "a decimal rounds half to even";
        EXPECT_EQ(Read(s, AlarmSettingKey(1)), 0);
        EXPECT_EQ(Read(s, AlarmFileKey(0)), "/music/a, b.mp3") << "an unquoted comma";
        EXPECT_EQ(Read(s, AlarmFileKey(1)), "C:\\music\\c.mp3") << "backslashes are escaped in the file";
    });
}

TEST_F(SettingsStoreTest, BrokenJunkAndEmptyFilesNeverCrashAndStayWritable) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 7919 + 13) & 0xFF));
    const QByteArray files[] = {
        QByteArray(),                                          // empty
        QByteArray("\xEF\xBB\xBF"),                            // a byte-order mark only
        QByteArray("[General\nClockMode=5\n[Alarm\n"),         // unclosed sections
        QByteArray("ClockMode=\"5\n\"\"\\\n=\n==\n[]\n\\"),    // unbalanced quotes, escapes
        junk,                                                  // binary junk
        QByteArray(1 << 16, '\0'),                             // a file of zero bytes
        QByteArray("[General]\nClockMode=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x4junk)\n"),
    };
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(bytes.left(40).toHex().constData());
        WriteSettingsFile(bytes);
        WithStore([](SettingsStore& s) {
            const std::int32_t mode = Read(s, kClockMode);
            EXPECT_TRUE(mode == 0 || mode == 5) << mode;
            EXPECT_EQ(Read(s, kTimeSignalMode), 2);
            EXPECT_EQ(Read(s, kTimeSignalFile), "");
            for (int slot = 0; slot < kAlarmSlots; ++slot) Read(s, AlarmFileKey(slot));
            Write(s, kBackgroundMode, 3);
        });
        WithStore([](SettingsStore& s) { EXPECT_EQ(Read(s, kBackgroundMode), 3); });
    }
}

}  // namespace
}  // namespace vireo
