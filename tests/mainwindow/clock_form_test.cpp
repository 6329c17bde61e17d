#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTest>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ClockFormFixture.h"
#include "TempConfigHome.h"
#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockForm.h"
#include "options/OptionForm.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

using namespace vireo;

namespace {

// Each case runs on its own settings folder and a clock standing at a chosen moment.
class ClockFormTest : public test::ClockFormFixture {
protected:
    void SetUp() override {
        ClockFormFixture::SetUp();
        // Midsummer noon in Tokyo: the Sun is high.
        clock_.Set(LocalDateTime::FromCivil(2026, 6, 21, 12, 0, 0));
    }
};

WindowRect centredDefault(const ClockForm& form) {
    const TwipScale tw = form.Twips();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    // The designed client area, centred (the frame a window manager adds comes later).
    const int w = RoundToInt32(3000.0 / tw.X);
    const int h = RoundToInt32(2715.0 / tw.Y);
    return {RoundToInt32((work.width() * tw.X - w * tw.X) / 2.0 / tw.X),
            RoundToInt32((work.height() * tw.Y - h * tw.Y) / 2.0 / tw.Y), w, h};
}

}  // namespace

TEST_F(ClockFormTest, FirstStartOnAnEmptyStoreTakesEveryDefault) {
    auto form = LoadAndShow();
    const ClockState& s = form->State();
    EXPECT_EQ(s.ClockMode, 0);
    EXPECT_EQ(s.DigitalMode, 1);
    EXPECT_EQ(s.TimeSignalMode, 2);
    EXPECT_EQ(s.TimeSignalFile, "");
    EXPECT_EQ(s.BackgroundMode, 1);
    EXPECT_EQ(s.UserBackColor, 0xFFFFFF);
    EXPECT_EQ(s.UserForeColor, 0);
    EXPECT_FALSE(s.ShowInTaskTray);
    EXPECT_FALSE(s.CloseButtonMinimized);
    EXPECT_EQ(s.MusicPlayMode, 0);
    EXPECT_EQ(s.AlarmIndex, -1);
    EXPECT_NEAR(s.HorizonCorrection, -0.00244281888888889, 1e-15);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(form->Alarms().AlarmSetting[i], 0);
        EXPECT_EQ(form->Alarms().AlarmFile[i], "");
    }

    Ephemeris* e = form->Component();
    ASSERT_NE(e, nullptr);
    EXPECT_DOUBLE_EQ(e->ObserverLongitude(), 139.7447);
    EXPECT_DOUBLE_EQ(e->ObserverLatitude(), 35.6544);
    EXPECT_DOUBLE_EQ(e->ObserverHeight(), 0.0);
    EXPECT_FLOAT_EQ(e->ObserverTimeZone(), 9.0f);

    EXPECT_TRUE(form->Timer1Enabled());
    EXPECT_EQ(form->Timer1Interval(), 100);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("地方標準時 - Vireo"));
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Normal);
    EXPECT_EQ(form->NormalClientRect(), centredDefault(*form));
    EXPECT_EQ(form->width(), RoundToInt32(3000.0 / form->Twips().X));  // the designed client area
    EXPECT_EQ(form->height(), RoundToInt32(2715.0 / form->Twips().Y));

    // Noon in June: the day colours, and the dial shows the twelve-hour numerals.
    EXPECT_EQ(form->ShownColors().Back, RgbColor(128, 255, 255));
    EXPECT_EQ(form->Face()->BackgroundColor(), QColor(128, 255, 255));
    EXPECT_EQ(form->Face()->NumeralText(0), QStringLiteral("12"));
    EXPECT_GT(form->State().Period.DayLength, 14 * 3600);  // the longest days of the year
}

TEST_F(ClockFormTest, FirstShutdownWritesEveryKeyTheWindowOwns) {
    auto form = LoadAndShow();
    const TwipRect expected = ToTwips(centredDefault(*form), form->Twips());
    form->Form_Unload();
    EXPECT_TRUE(form->IsUnloaded());
    EXPECT_FALSE(form->Timer1Enabled());

    QSettings f = File();
    int owned = 0;
    for (const SettingInfo& info : AllSettings()) {
        const QString key = info.section.empty()
                                ? QString::fromUtf8(info.key.data(), static_cast<int>(info.key.size()))
                                : QString::fromUtf8(info.section.data(), static_cast<int>(info.section.size())) +
                                      QLatin1Char('/') +
                                      QString::fromUtf8(info.key.data(), static_cast<int>(info.key.size()));
        const bool notOurs = key == QLatin1String("CircleForm") || key == QLatin1String("Minimized") ||
                             key == QLatin1String("hKeyStartUp") || key == QLatin1String("PlayFile");
        EXPECT_EQ(f.contains(key), !notOurs) << key.toStdString();
        owned += notOurs ? 0 : 1;
    }
    EXPECT_EQ(owned, 19 + 20);
    EXPECT_EQ(f.value("ObsLongitude").toDouble(), 139.7447);
    EXPECT_EQ(f.value("Interval").toInt(), 100);
    EXPECT_EQ(f.value("WindowState").toInt(), 0);
    EXPECT_EQ(f.value("Left").toInt(), expected.Left);
    EXPECT_EQ(f.value("Top").toInt(), expected.Top);
    EXPECT_EQ(f.value("Width").toInt(), expected.Width);
    EXPECT_EQ(f.value("Height").toInt(), expected.Height);
    EXPECT_EQ(f.value("UserBackColor").toInt(), 16777215);

    // Shutdown runs once: a second call writes nothing more.
    Put("ClockMode", 5);
    form->Form_Unload();
    EXPECT_EQ(Stored("ClockMode").toInt(), 5);
}

TEST_F(ClockFormTest, UserColoursEqualToTheInitialOnesAreShownAtStart) {
    Put("BackgroundMode", 4);
    Put("UserBackColor", 0);
    Put("UserForeColor", 0);
    auto form = LoadAndShow();
    EXPECT_EQ(form->Face()->BackgroundColor(), QColor(0, 0, 0));
}

TEST_F(ClockFormTest, ChangesAreWrittenOnceSettledNotOnlyAtExit) {
    auto form = LoadAndShow();
    const int left = Stored("Left").toInt();
    form->move(form->x() + 40, form->y());
    // A kill now would lose nothing once the move has settled.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Stored("Left").toInt() != left; }, 4000)) << "the move was not written";
    // A dialog's OK too.
    form->mnuContextOption_Click();
    QCoreApplication::processEvents();
    ASSERT_NE(form->OptionWindow(), nullptr);
    form->OptionWindow()->Check1->setChecked(!form->State().ShowInTaskTray);
    const bool tray = form->OptionWindow()->Check1->isChecked();
    form->OptionWindow()->Command1_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Stored("TaskTray").toBool() == tray; }, 4000)) << "OK was not written";
    EXPECT_FALSE(form->IsUnloaded());
}

TEST_F(ClockFormTest, SettingsThatCannotBeSavedAreToldOnceAndNeverCrashTheSessionEnd) {
    auto form = LoadAndShow();
    // The company folder replaced by a file: nothing can be written under it.
    const QString file = QString::fromStdString([] {
        SettingsStore store;
        OpenOwnSettings(store);
        return store.FileName();
    }());
    const QString folder = QFileInfo(file).absolutePath();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    form->SaveSettings();  // what the session's end asks for: no throw out of the slot
    ASSERT_EQ(problems_.size(), 1u);
    EXPECT_NE(problems_[0].find(QFileInfo(file).fileName().toStdString()), std::string::npos) << problems_[0];
    form->Form_Unload();
    EXPECT_EQ(problems_.size(), 1u) << "told once";
    EXPECT_TRUE(form->IsUnloaded());
}

TEST_F(ClockFormTest, EverySettingSurvivesARestartMaximised) {
    WindowRect normal;
    {
        auto form = LoadAndShow();
        form->mnuContextMode_Click(6);
        form->mnuContextLabel_Click(0);
        ClockState& s = form->State();
        s.TimeSignalMode = 3;
        s.TimeSignalFile = "/音楽/時報.mid";
        s.BackgroundMode = 4;
        s.UserBackColor = RgbColor(10, 20, 30);
        s.UserForeColor = RgbColor(250, 240, 230);
        s.ShowInTaskTray = true;
        s.CloseButtonMinimized = true;
        form->Alarms().AlarmSetting[0] = 0x1000000 | (7 * 3600);
        form->Alarms().AlarmSetting[9] = 0x2FE0000 | (23 * 3600 + 59 * 60);
        form->Alarms().AlarmFile[9] = "/音楽/目覚まし.ogg";
        form->Component()->SetObserverLongitude(135.5);
        form->Component()->SetObserverLatitude(34.7);
        form->Component()->SetObserverHeight(100.0);
        form->Component()->SetObserverTimeZone(9.5f);

        form->setGeometry(100, 120, 300, 250);
        QCoreApplication::processEvents();
        normal = form->NormalClientRect();
        form->showMaximized();
        QCoreApplication::processEvents();
        ASSERT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Maximized);
        EXPECT_EQ(form->NormalClientRect(), normal);
        form->close();  // program code closes: shutdown runs
        EXPECT_TRUE(form->IsUnloaded());
    }
    EXPECT_EQ(Stored("WindowState").toInt(), 2);

    auto form = LoadAndShow();
    const ClockState& s = form->State();
    EXPECT_EQ(s.ClockMode, 6);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("天保暦 - Vireo"));
    EXPECT_EQ(s.DigitalMode, 0);
    EXPECT_EQ(s.TimeSignalMode, 3);
    EXPECT_EQ(s.TimeSignalFile, "/音楽/時報.mid");
    EXPECT_EQ(s.BackgroundMode, 4);
    EXPECT_EQ(s.UserBackColor, RgbColor(10, 20, 30));
    EXPECT_EQ(s.UserForeColor, RgbColor(250, 240, 230));
    EXPECT_TRUE(s.ShowInTaskTray);
    EXPECT_TRUE(s.CloseButtonMinimized);
    EXPECT_EQ(form->Alarms().AlarmSetting[0], 0x1000000 | (7 * 3600));
    EXPECT_EQ(form->Alarms().AlarmSetting[9], 0x2FE0000 | (23 * 3600 + 59 * 60));
    EXPECT_EQ(form->Alarms().AlarmFile[9], "/音楽/目覚まし.ogg");
    EXPECT_EQ(form->Alarms().AlarmFile[0], "");
    EXPECT_DOUBLE_EQ(form->Component()->ObserverLongitude(), 135.5);
    EXPECT_DOUBLE_EQ(form->Component()->ObserverLatitude(), 34.7);
    EXPECT_DOUBLE_EQ(form->Component()->ObserverHeight(), 100.0);
    EXPECT_FLOAT_EQ(form->Component()->ObserverTimeZone(), 9.5f);
    EXPECT_NEAR(s.HorizonCorrection, 0.350890514444444, 1e-12);
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Maximized);
    EXPECT_EQ(form->NormalClientRect(), normal);
    // The user's colours are on the face.
    EXPECT_EQ(form->Face()->BackgroundColor(), QColor(10, 20, 30));
    form->Form_Unload();
}

TEST_F(ClockFormTest, AWindowClosedMinimisedStartsNormalUnlessStartMinimisedIsSet) {
    WindowRect normal;
    {
        auto form = LoadAndShow();
        form->setGeometry(40, 60, 260, 230);
        QCoreApplication::processEvents();
        normal = form->NormalClientRect();
        form->showMinimized();
        QCoreApplication::processEvents();
        ASSERT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Minimized);
        EXPECT_TRUE(form->IsMinimized());
        form->Form_Unload();
    }
    EXPECT_EQ(Stored("WindowState").toInt(), 0);  // never 1
    {
        auto form = LoadAndShow();
        EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Normal);
        EXPECT_EQ(form->NormalClientRect(), normal);
        form->Form_Unload();
    }
    Put("Minimized", true);
    Put("WindowState", 2);
    auto form = LoadAndShow();
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Minimized);
    form->Form_Unload();
    EXPECT_EQ(Stored("WindowState").toInt(), 0);
    EXPECT_TRUE(Stored("Minimized").toBool());  // written only by the Options dialog
}

TEST_F(ClockFormTest, StoredValuesOutOfRangeAreCorrectedAndWrittenBackCorrected) {
    Put("ClockMode", 12);
    Put("Interval", 0);
    Put("BackgroundMode", 9);
    Put("WindowState", 7);
    Put("TimeSignalMode", -3);
    Put("Left", -1000000);
    Put("Top", 5000000);
    Put("Width", 15);
    Put("Height", 30);
    Put("ObsLatitude", 200.0);
    Put("TimeZone", 99.0);
    auto form = LoadAndShow();
    EXPECT_EQ(form->State().ClockMode, 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("地方標準時 - Vireo"));
    EXPECT_EQ(form->Timer1Interval(), 100);
    EXPECT_EQ(form->State().BackgroundMode, 1);
    EXPECT_EQ(form->State().TimeSignalMode, 2);
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Normal);
    EXPECT_DOUBLE_EQ(form->Component()->ObserverLatitude(), 35.6544);
    EXPECT_FLOAT_EQ(form->Component()->ObserverTimeZone(), 9.0f);

    const WindowRect r = form->NormalClientRect();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(r.Left, r.Top, r.Width, r.Height))) << r.Left << "," << r.Top;
    EXPECT_GE(r.Width, MinimumTrackWidth);
    EXPECT_GE(r.Height + form->FrameHeight(), form->MinimumHeight());

    form->Form_Unload();
    EXPECT_EQ(Stored("ClockMode").toInt(), 0);
    EXPECT_EQ(Stored("Interval").toInt(), 100);
    EXPECT_EQ(Stored("BackgroundMode").toInt(), 1);
    EXPECT_EQ(Stored("WindowState").toInt(), 0);
    EXPECT_EQ(Stored("TimeSignalMode").toInt(), 2);
    EXPECT_DOUBLE_EQ(Stored("ObsLatitude").toDouble(), 35.6544);
    const TwipRect t = ToTwips(r, form->Twips());
    EXPECT_EQ(Stored("Left").toInt(), t.Left);
    EXPECT_EQ(Stored("Top").toInt(), t.Top);
    EXPECT_GE(Stored("Height").toInt(),
              RoundToInt32((form->MinimumHeight() - form->FrameHeight()) * form->Twips().Y));
}

TEST_F(ClockFormTest, AnObserverTheComponentRefusesStartsWithTheDefaultWrittenBackAtOnce) {
    // Values just outside what the real component takes, each of which once ended every start.
    const std::vector<std::pair<const char*, double>> refused = {
        {"ObsHeight", 20000.0}, {"ObsHeight", -1.0},   {"ObsHeight", -0.5},   {"ObsHeight", 10000.5},
        {"ObsHeight", -500.0},  {"TimeZone", -13.0},   {"TimeZone", -12.5},   {"TimeZone", -14.0},
        {"TimeZone", 14.5},     {"ObsLatitude", 90.01}, {"ObsLongitude", -180.5}};
    for (const auto& [key, value] : refused) {
        SCOPED_TRACE(std::string(key) + "=" + std::to_string(value));
        Put(key, value);
        std::unique_ptr<ClockForm> form;
        ASSERT_NO_THROW(form = LoadAndShow());
        Ephemeris* e = form->Component();
        EXPECT_DOUBLE_EQ(e->ObserverHeight(), 0.0);
        EXPECT_FLOAT_EQ(e->ObserverTimeZone(), 9.0f);
        EXPECT_DOUBLE_EQ(e->ObserverLatitude(), 35.6544);
        EXPECT_DOUBLE_EQ(e->ObserverLongitude(), 139.7447);
        // Corrected in the file before anything else happens (a kill now loses nothing).
        const double defaults = std::string(key) == "TimeZone" ? 9.0
                                : std::string(key) == "ObsLatitude" ? 35.6544
                                : std::string(key) == "ObsLongitude" ? 139.7447 : 0.0;
        EXPECT_DOUBLE_EQ(Stored(key).toDouble(), defaults);
        form->Form_Unload();
    }
    // The edges themselves are observers the component takes, and they are kept.
    Put("ObsHeight", 10000.0);
    Put("TimeZone", -12.0);
    auto form = LoadAndShow();
    EXPECT_DOUBLE_EQ(form->Component()->ObserverHeight(), 10000.0);
    EXPECT_FLOAT_EQ(form->Component()->ObserverTimeZone(), -12.0f);
}

TEST_F(ClockFormTest, UnreadableAndAbsurdValuesReadAsDefaults) {
    Put("ClockMode", QStringLiteral("abc"));
    Put("Interval", 100000);
    Put("DigitalMode", QStringLiteral("x"));
    auto form = LoadAndShow();
    EXPECT_EQ(form->State().ClockMode, 0);
    EXPECT_EQ(form->Timer1Interval(), 100);
    EXPECT_EQ(form->State().DigitalMode, 1);
    form->Form_Unload();
    EXPECT_EQ(Stored("Interval").toInt(), 100);
}

TEST_F(ClockFormTest, TheTickWorksOncePerSecondAndMovesHandsAndReadout) {
    clock_.Set(LocalDateTime::FromCivil(2026, 6, 21, 9, 5, 7.2));
    Put("DigitalMode", 0);
    auto form = LoadAndShow();
    form->Timer1_Timer();
    EXPECT_EQ(form->Timer1WorkCount(), 1);
    EXPECT_EQ(form->Face()->ReadoutText(), QStringLiteral("9:05:07"));
    const auto before = form->Face()->HandEnds();
    clock_.Advance(0.5);
    form->Timer1_Timer();  // the same second: nothing to do
    EXPECT_EQ(form->Timer1WorkCount(), 1);
    clock_.Advance(0.5);
    form->Timer1_Timer();
    EXPECT_EQ(form->Timer1WorkCount(), 2);
    EXPECT_EQ(form->Face()->ReadoutText(), QStringLiteral("9:05:08"));
    EXPECT_NE(form->Face()->HandEnds()[2].x, before[2].x);

    // A change of scale shows the new scale at once, hands included (same moment).
    const auto onScale0 = form->Face()->HandEnds();
    form->mnuContextMode_Click(4);
    EXPECT_NE(form->Face()->HandEnds()[0].x, onScale0[0].x) << "the hands show sidereal time";
    EXPECT_NE(form->Face()->HandEnds()[1].x, onScale0[1].x);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("地方恒星時 - Vireo"));
    EXPECT_EQ(form->Face()->NumeralText(1), QStringLiteral("2"));
    {
        // Local sidereal time, tenths of a second, near an independent estimate: GMST from
        // its linear formula (good to a second today) plus the longitude.
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(\\d{1,2}):(\\d{2}):(\\d{2}\\.\\d)$"))
                .match(form->Face()->ReadoutText());
        ASSERT_TRUE(m.hasMatch()) << form->Face()->ReadoutText().toStdString();
        const double shown = m.captured(1).toDouble() * 3600 + m.captured(2).toDouble() * 60 +
                             m.captured(3).toDouble();
        const double daysSinceJ2000 = 9667.5 + (0 * 3600 + 5 * 60 + 8) / 86400.0;  // 2026-06-21 00:05:08 UT
        const double gmstHours = 18.697374558 + 24.06570982441908 * daysSinceJ2000;
        const double lst = std::fmod(gmstHours * 3600 + 139.7447 * 240, 86400);
        EXPECT_NEAR(shown, lst, 3.0);
    }
    EXPECT_TRUE(form->Timer1Enabled());
    form->mnuContextMode_Click(7);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("延喜式 - Vireo"));
    EXPECT_EQ(form->Face()->NumeralText(0), QStringLiteral("子"));
    form->mnuContextMode_Click(42);  // no such scale: nothing changes
    EXPECT_EQ(form->State().ClockMode, 7);
    form->Form_Unload();
}

TEST_F(ClockFormTest, AResizeShowsTheHandsAndReadoutOfTheMomentNow) {
    clock_.Set(LocalDateTime::FromCivil(2026, 6, 21, 9, 5, 7.2));
    Put("DigitalMode", 0);
    auto form = LoadAndShow();
    form->Timer1_Timer();
    const auto before = form->Face()->HandEnds();
    clock_.Advance(3.0);  // no tick meanwhile
    form->resize(form->width() + 40, form->height() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Face()->ReadoutText(), QStringLiteral("9:05:10"));
    EXPECT_NE(form->Face()->HandEnds()[2].x, before[2].x);
    form->Form_Unload();
}

TEST_F(ClockFormTest, TheDateLineReadsTheClockTheWindowIsGiven) {
    clock_.Set(LocalDateTime::FromCivil(2031, 2, 3, 23, 59, 58.5));  // nowhere near today
    auto form = LoadAndShow();
    form->Timer1_Timer();
    EXPECT_TRUE(form->Face()->ReadoutText().startsWith(QStringLiteral("2/3 ("))) << form->Face()->ReadoutText().toStdString();
    clock_.Advance(2.0);
    form->Timer1_Timer();
    EXPECT_TRUE(form->Face()->ReadoutText().startsWith(QStringLiteral("2/4 ("))) << form->Face()->ReadoutText().toStdString();
    form->Form_Unload();
}

TEST_F(ClockFormTest, TheTimerWakesOnlyAtWholeSeconds) {
    SystemClock system;
    auto form = MakeForm(&system);
    form->Form_Load();
    form->show();
    EXPECT_LE(form->Timer1RemainingTime(), 1001);
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 2300) QTest::qWait(50);
    // About one wake a second (not ten), and each found a new second to show.
    EXPECT_GE(form->Timer1EventCount(), 2);
    EXPECT_LE(form->Timer1EventCount(), 3);
    EXPECT_EQ(form->Timer1WorkCount(), form->Timer1EventCount());
    EXPECT_EQ(form->Timer1Interval(), 100);  // the setting itself is kept
    form->Form_Unload();
    EXPECT_EQ(form->Timer1RemainingTime(), -1);
}

TEST_F(ClockFormTest, ColourSchemesFollowTheSunThePaletteAndTheUser) {
    clock_.Set(LocalDateTime::FromCivil(2026, 12, 21, 23, 30, 0));  // a winter night
    auto form = LoadAndShow();
    EXPECT_EQ(form->ShownColors().Back, RgbColor(0, 0, 128));
    EXPECT_EQ(form->ShownColors().Fore, RgbColor(255, 255, 127));
    EXPECT_FALSE(form->SetClockColor());  // nothing changed since

    form->State().BackgroundMode = 0;
    ASSERT_TRUE(form->SetClockColor());
    EXPECT_EQ(form->ShownColors().Back, SystemColorRef(ColorWindow));
    const QColor base = form->palette().color(QPalette::Base);
    EXPECT_EQ(form->Face()->BackgroundColor(), base);
    EXPECT_EQ(form->ContrastColor(SystemColorRef(ColorWindow)), base.lightness() > 128 ? 0 : 0xFFFFFF);
    EXPECT_EQ(form->InvertColor(SystemColorRef(ColorWindow)),
              RgbColor(255 - base.red(), 255 - base.green(), 255 - base.blue()));

    form->State().BackgroundMode = 3;
    ASSERT_TRUE(form->SetClockColor());
    EXPECT_EQ(form->Face()->BackgroundColor(), QColor(208, 208, 208));
    EXPECT_EQ(form->ShownColors().Fore, form->ContrastColor(SystemColorRef(ColorBackground)));

    form->State().BackgroundMode = 1;
    clock_.Set(LocalDateTime::FromCivil(2026, 12, 22, 12, 0, 0));  // the next noon
    form->Timer1_Timer();  // the tick asks the Sun again and redraws in day colours
    EXPECT_EQ(form->Face()->BackgroundColor(), QColor(128, 255, 255));
    form->Form_Unload();
}

TEST_F(ClockFormTest, TheWindowNeverShrinksBelowTheMinimumHeight) {
    auto form = LoadAndShow();
    form->resize(300, 40);
    QCoreApplication::processEvents();
    // The system's minimum tracking width (136 pixels here) plus the caption height.
    const int caption = form->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, form.get());
    EXPECT_EQ(form->frameGeometry().height(), 136 + caption);
    EXPECT_EQ(form->width(), 300);
    // A wide window keeps a round, centred dial.
    form->resize(600, 300);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(form->Face()->Mapping().ScaleLeft(), -2040.0);
    EXPECT_DOUBLE_EQ(form->Face()->Mapping().ScaleTop(), 1020.0);
    form->Form_Unload();
}

TEST_F(ClockFormTest, TheExitCommandEndsTheProgramEvenWhenCloseMinimises) {
    Put("CloseButton", true);
    auto form = LoadAndShow();
    EXPECT_TRUE(form->State().CloseButtonMinimized);
    bool unloaded = false;
    QObject::connect(form.get(), &ClockForm::Unloaded, [&] { unloaded = true; });
    form->EndProgram();
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(Stored("CloseButton").toBool());
}

TEST_F(ClockFormTest, TheSessionsRequestForDataSavesWithoutStopping) {
    auto form = LoadAndShow();
    form->mnuContextMode_Click(3);
    EXPECT_FALSE(Stored("ClockMode").isValid());
    form->SaveSettings();  // what the session manager's request runs
    EXPECT_EQ(Stored("ClockMode").toInt(), 3);
    EXPECT_EQ(Stored("Interval").toInt(), 100);
    EXPECT_TRUE(form->Timer1Enabled());
    EXPECT_FALSE(form->IsUnloaded());
    form->Form_Unload();
}
