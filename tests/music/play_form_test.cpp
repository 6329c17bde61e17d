// The music player window over the real music engine: a recording music device where the
// exact calls matter, the real SDL device on the dummy driver for music played to its end,
// the real clock tick for the poll, and the real settings file for PlayFile.

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayForm.h"
#include "music/PlayFormHost.h"
#include "music/PlayStopButton.h"
#include "platform/DialogPlacement.h"
#include "platform/sound/SdlMusicDevice.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "timekeeping/ClockTick.h"
#include "timekeeping/TimeScales.h"

#include "DialogLook.h"
#include "ScriptedEphemeris.h"
#include "SoundFakes.h"
#include "TempConfigHome.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>

#include "TestAudioFiles.h"
#include "platform/SingleDialog.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace vireo {
namespace {

using Log = std::vector<std::string>;

class FakeHost final : public PlayFormHost {
public:
    explicit FakeHost(ClockState& state) : state_(state) {}

    AlarmTables alarms;
    MusicEngine* music = nullptr;
    QRect clockFrame{500, 300, 220, 240};
    bool clockNormal = true;
    QRect workArea{0, 0, 1280, 1000};
    int activations = 0;

    const ClockState& State() const override { return state_; }
    const AlarmTables& Alarms() const override { return alarms; }
    MusicEngine* Music() const override { return music; }
    QRect ClockFrame() const override { return clockFrame; }
    bool ClockNormal() const override { return clockNormal; }
    QRect WorkArea() const override { return workArea; }
    void ActivateClock() override { ++activations; }

private:
    ClockState& state_;
};

std::vector<QString> Items(const QComboBox& combo) {
    std::vector<QString> out;
    for (int i = 0; i < combo.count(); ++i) out.push_back(combo.itemText(i));
    return out;
}
std::vector<int> ItemData(const QComboBox& combo) {
    std::vector<int> out;
    for (int i = 0; i < combo.count(); ++i) out.push_back(combo.itemData(i).toInt());
    return out;
}

// The PlayFile the settings file holds now, read through a new store as the next start would.
std::string StoredPlayFile() {
    SettingsStore store;
    OpenOwnSettings(store);
    return Read(store, kPlayFile);
}
void StorePlayFile(const std::string& file) {
    SettingsStore store;
    OpenOwnSettings(store);
    Write(store, kPlayFile, file);
}

// The clock's tick on a settable clock, run second by second; only its music poll matters here.
class TickDriver {
public:
    TickDriver(ClockState& state, TickMusic& music) : state_(state) {
        const int b = OleDayFromCivil(2026, 12, 1);
        eph_.Terms = {{b - 20 + 0.5, 225}, {b + 6 + 0.3, 240}, {b + 21 + 0.6, 255}, {b + 36 + 0.4, 270}};
        eph_.DawnOfDay = [](int d) { return d + 6 * 3600 / 86400.0; };
        eph_.DuskOfDay = [](int d) { return d + 17 * 3600 / 86400.0; };
        clock_.Set(LocalDateTime::FromCivil(2026, 12, 8, 9, 0, 0.25));
        eph_.SetCurrentDate(clock_.Now().OleDate());
        state_.Period = scales_.ComputeTemporalPeriod(clock_.Now().OleDate());
        tick_ = std::make_unique<ClockTick>(state_, scales_, clock_, display_, signal_, music);
    }
    void NextSecond() {
        clock_.Advance(1.0);
        ASSERT_TRUE(tick_->Timer1_Timer());
    }

private:
    struct QuietDisplay final : TickDisplay {
        void ShowReadouts(std::int32_t) override {}
        bool IsMinimized() const override { return true; }
        bool SetClockColor() override { return false; }
        void DrawClockScale() override {}
        void DrawHands(std::int32_t) override {}
    };
    struct QuietSignal final : TickSignal {
        void AlarmControl(std::int32_t) override {}
        void TimeSignal(std::int32_t) override {}
    };
    ClockState& state_;
    test::ScriptedEphemeris eph_;
    SettableClock clock_;
    TimeScales scales_{state_, eph_, clock_};
    QuietDisplay display_;
    QuietSignal signal_;
    std::unique_ptr<ClockTick> tick_;
};

class PlayFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        ASSERT_TRUE(files.isValid());
        host.music = &music;
        device.playable = {File("own.wav"), File("signal.mp3"), File("alarm2.wav"), File("alarm7.mid")};
    }
    void TearDown() override { SetMusicFileDialogRunner({}); }

    std::string File(const char* name) const { return files.filePath(QString::fromUtf8(name)).toStdString(); }

    // Alarm 2 with a file but switched off (the list ignores the sound kind), alarm 7 music.
    void GiveAlarms2And7Files() {
        host.alarms.AlarmFile[2] = File("alarm2.wav");
        host.alarms.AlarmFile[7] = File("alarm7.mid");
        host.alarms.AlarmSetting[7] = AlarmValue::Make(7, 0, 0, kAlarmSoundMusic).Packed();
    }

    std::unique_ptr<PlayForm> Open() {
        auto form = std::make_unique<PlayForm>(host, &clockWindow);
        form->Form_Load();
        return form;
    }
    // The user picks the source at index in the list.
    static void Choose(PlayForm& form, int index) {
        form.Combo1->setCurrentIndex(index);
        form.Combo1_Click();
    }

    TempConfigHome config;
    QTemporaryDir files;
    ClockState state;
    testing::FakeMusicDevice device;
    MusicEngine music{device, state};
    FakeHost host{state};
    QWidget clockWindow;
};

TEST_F(PlayFormTest, WithNoFilesTheListHoldsOnlyTheOwnFile) {
    auto form = Open();
    EXPECT_TRUE(test::HasDialogFont(*form));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("音楽演奏"));
    EXPECT_EQ(Items(*form->Combo1), std::vector<QString>{QStringLiteral("ファイル")});
    EXPECT_EQ(ItemData(*form->Combo1), std::vector<int>{-2});
    EXPECT_EQ(form->Combo1->currentIndex(), 0);
    EXPECT_EQ(form->Combo1Tag(), QStringLiteral("0"));
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_EQ(form->Command1->text(), QStringLiteral("..."));
    EXPECT_EQ(form->Command1->toolTip(), QStringLiteral("ファイルの選択"));
    EXPECT_FALSE(form->Command3->isEnabled()) << "no own file chosen yet";
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("再生"));
    EXPECT_EQ(form->Command3->objectName(), QStringLiteral("Command3"));
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_EQ(form->Command2->Caption(), QStringLiteral(";"));
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("一時停止"));
    EXPECT_TRUE(device.log.empty());
}

TEST_F(PlayFormTest, AlarmFilesAndTheTimeSignalFileAreListedInOrder) {
    GiveAlarms2And7Files();
    {
        auto form = Open();
        EXPECT_EQ(Items(*form->Combo1),
                  (std::vector<QString>{QStringLiteral("ファイル"), QStringLiteral("アラーム #2"),
                                        QStringLiteral("アラーム #7")}));
        EXPECT_EQ(ItemData(*form->Combo1), (std::vector<int>{-2, 2, 7}));
    }
    state.TimeSignalFile = File("signal.mp3");
    auto form = Open();
    EXPECT_EQ(Items(*form->Combo1),
              (std::vector<QString>{QStringLiteral("ファイル"), QStringLiteral("時報"),
                                    QStringLiteral("アラーム #2"), QStringLiteral("アラーム #7")}));
    EXPECT_EQ(ItemData(*form->Combo1), (std::vector<int>{-2, -1, 2, 7}));

    // Every source but the own file can play at once; only the own file can be browsed for.
    Choose(*form, 1);
    EXPECT_FALSE(form->Command1->isEnabled());
    EXPECT_TRUE(form->Command3->isEnabled());
    Choose(*form, 0);
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_FALSE(form->Command3->isEnabled());

    // The list is not rebuilt while the window is open; the files are taken when played.
    state.TimeSignalFile = File("own.wav");
    EXPECT_EQ(form->Combo1->count(), 4);
    Choose(*form, 1);
    form->Command3_Click();
    EXPECT_EQ(device.OpenFile(), File("own.wav"));
}

TEST_F(PlayFormTest, EachSourcePlaysItsFileAsTheUsersMusic) {
    GiveAlarms2And7Files();
    state.TimeSignalFile = File("signal.mp3");
    StorePlayFile(File("own.wav"));
    auto form = Open();
    EXPECT_EQ(form->PlayFile(), File("own.wav"));
    EXPECT_TRUE(form->Command3->isEnabled()) << "the stored own file can play";

    const std::vector<std::string> expected = {File("own.wav"), File("signal.mp3"), File("alarm2.wav"),
                                               File("alarm7.mid")};
    for (int i = 0; i < 4; ++i) {
        Choose(*form, i);
        device.log.clear();
        form->Command3_Click();
        EXPECT_EQ(device.log, (Log{"open " + expected[i], "play"})) << i;
        EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);
        EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<"));
        EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("停止"));
        EXPECT_TRUE(form->Command2->isEnabled());
        EXPECT_EQ(form->Combo1Tag(), QString::number(i));

        device.log.clear();
        form->Command3_Click();  // now the stop button
        EXPECT_EQ(device.log, (Log{"stop", "close"}));
        EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
        EXPECT_FALSE(form->Command2->isEnabled());
    }

    // An alarm cannot take over the user's music; the user's music takes over an alarm's.
    Choose(*form, 0);
    form->Command3_Click();
    device.log.clear();
    music.PlayMusic(File("alarm7.mid"), kPlayModeAlarm);
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(device.OpenFile(), File("own.wav"));
    form->Command3_Click();
    music.PlayMusic(File("alarm7.mid"), kPlayModeAlarm);
    Choose(*form, 2);  // a change while music plays that the player did not start: stopped too
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    form->Command3_Click();
    EXPECT_EQ(device.OpenFile(), File("alarm2.wav"));
}

TEST_F(PlayFormTest, ChoosingAnotherSourceWhileThePlayersMusicPlaysStopsIt) {
    GiveAlarms2And7Files();
    auto form = Open();

    // Played from alarm 2, then the user goes back to the source shown at open.
    Choose(*form, 1);
    EXPECT_EQ(form->Combo1Tag(), QStringLiteral("0")) << "nothing played: the tag stays";
    form->Command3_Click();
    ASSERT_EQ(form->Command3->Caption(), QStringLiteral("<"));
    device.log.clear();
    Choose(*form, 0);
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_EQ(form->Combo1Tag(), QStringLiteral("0"));

    // Choosing the source that plays again does not stop it; any other one does.
    Choose(*form, 2);
    form->Command3_Click();
    device.log.clear();
    Choose(*form, 2);
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<"));

    // The same through the keyboard, as the user changes the list.
    form->Combo1->setFocus();
    QTest::keyClick(form->Combo1, Qt::Key_Up);
    EXPECT_EQ(form->Combo1->currentIndex(), 1);
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(form->Combo1Tag(), QStringLiteral("1"));
    EXPECT_FALSE(form->Command1->isEnabled());
    QTest::keyClick(form->Combo1, Qt::Key_Up);
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_FALSE(form->Command3->isEnabled());
}

TEST_F(PlayFormTest, PauseChangesOnlyTheToolTipAndThePressAfterResumes) {
    GiveAlarms2And7Files();
    auto form = Open();
    Choose(*form, 1);
    form->Command3_Click();
    device.log.clear();

    form->Command2_Click();
    EXPECT_EQ(device.log, (Log{"pause"}));
    EXPECT_EQ(device.Status(), "paused");
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("再開"));
    EXPECT_EQ(form->Command2->Caption(), QStringLiteral(";")) << "the caption never changes";
    EXPECT_TRUE(form->Command2->isEnabled());
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<")) << "paused music still counts as playing";
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);

    form->Command2_Click();
    EXPECT_EQ(device.log, (Log{"pause", "resume"}));
    EXPECT_EQ(device.Status(), "playing");
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("一時停止"));

    // A device that refuses to resume is told to play instead.
    form->Command2_Click();
    device.refuseResume = true;
    device.log.clear();
    form->Command2_Click();
    EXPECT_EQ(device.log, (Log{"resume", "play"}));
    EXPECT_EQ(device.Status(), "playing");
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("一時停止"));

    // Played to its end but not yet closed by the poll: neither playing nor paused, nothing.
    device.Finish();
    device.log.clear();
    form->Command2_Click();
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("一時停止"));
}

TEST_F(PlayFormTest, PauseFollowsMusicWhoeverStartsOrStopsIt) {
    GiveAlarms2And7Files();
    auto form = Open();
    Choose(*form, 1);
    form->Command3_Click();
    form->Command2_Click();
    ASSERT_EQ(form->Command2->toolTip(), QStringLiteral("再開"));

    music.PlayMusic(std::string(), kPlayModeStop);  // Esc on the clock
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));

    music.PlayMusic(File("alarm7.mid"), kPlayModeAlarm);  // an alarm fires
    EXPECT_TRUE(form->Command2->isEnabled());
    EXPECT_EQ(form->Command2->toolTip(), QStringLiteral("一時停止")) << "new music is not paused";
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<"));
    device.log.clear();
    form->Command2_Click();
    EXPECT_EQ(device.log, (Log{"pause"}));
}

TEST_F(PlayFormTest, ClosingWhilePlayingStopsTheMusicAndSavesPlayFile) {
    const QString chosen = QString::fromStdString(File("own.wav"));
    QFile(chosen).open(QIODevice::WriteOnly);
    auto form = Open();
    SetMusicFileDialogRunner([&](QFileDialog& dialog) {
        dialog.selectFile(chosen);
        return true;
    });
    form->Command1_Click();
    EXPECT_EQ(form->PlayFile(), chosen.toStdString());
    EXPECT_TRUE(form->Command3->isEnabled());
    form->Command3_Click();
    ASSERT_EQ(form->Command3->Caption(), QStringLiteral("<"));
    EXPECT_EQ(StoredPlayFile(), "") << "written when the window closes, not before";

    device.log.clear();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(form->IsUnloaded());
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(host.activations, 1) << "the clock window gets the focus back";
    EXPECT_EQ(StoredPlayFile(), chosen.toStdString());
    EXPECT_TRUE(QFile(config.filePath(QStringLiteral("Larkspur Laboratory/Vireo.conf"))).exists());
    form.reset();
    EXPECT_EQ(host.activations, 1) << "closing runs once";

    // The next window starts on the saved file, ready to play.
    form = Open();
    EXPECT_EQ(form->PlayFile(), chosen.toStdString());
    EXPECT_TRUE(form->Command3->isEnabled());
}

TEST_F(PlayFormTest, MusicPlayingBeforeTheWindowOpenedIsLeftAlone) {
    StorePlayFile(File("own.wav"));
    music.PlayMusic(File("alarm7.mid"), kPlayModeAlarm);
    auto form = Open();
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4")) << "the window does not look at the music";
    EXPECT_FALSE(form->Command2->isEnabled());
    device.log.clear();
    form->show();
    form->close();
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(state.MusicPlayMode, kPlayModeAlarm);
    EXPECT_EQ(StoredPlayFile(), File("own.wav"));
}

TEST_F(PlayFormTest, AWindowThatNeverOpenedLeavesTheStoredFileAlone) {
    StorePlayFile(File("own.wav"));
    {
        PlayForm form(host, &clockWindow);
        form.Form_Unload();
    }
    EXPECT_EQ(StoredPlayFile(), File("own.wav"));
    {
        auto form = Open();  // destroyed with its owner, never closed: the choice is kept
    }
    EXPECT_EQ(StoredPlayFile(), File("own.wav"));
}

TEST_F(PlayFormTest, AFileThatCannotBeOpenedLeavesTheButtonsIdle) {
    host.alarms.AlarmFile[3] = files.filePath(QStringLiteral("missing.wav")).toStdString();
    auto form = Open();
    Choose(*form, 1);
    form->Command3_Click();
    EXPECT_EQ(device.log, (Log{"open " + host.alarms.AlarmFile[3]}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("再生"));
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_EQ(form->Combo1Tag(), QStringLiteral("0"));
    device.log.clear();
    form->Command2_Click();
    EXPECT_TRUE(device.log.empty());
}

TEST_F(PlayFormTest, WithoutAMusicEngineTheButtonsStayIdle) {
    GiveAlarms2And7Files();
    host.music = nullptr;
    StorePlayFile(File("own.wav"));
    auto form = Open();
    Choose(*form, 1);
    form->Command3_Click();
    form->Command2_Click();
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_TRUE(device.log.empty());
    form->show();
    form->close();
    EXPECT_EQ(StoredPlayFile(), File("own.wav"));
    EXPECT_EQ(host.activations, 1);
}

TEST_F(PlayFormTest, MusicPlayedToItsEndReturnsTheButtonsToIdleAtTheNextTick) {
    GiveAlarms2And7Files();
    TickDriver tick(state, music);
    auto form = Open();
    Choose(*form, 2);
    form->Command3_Click();
    tick.NextSecond();
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<")) << "still playing";

    device.Finish();
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("<")) << "played out until the poll";
    device.log.clear();
    tick.NextSecond();
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_EQ(state.AlarmIndex, -1);
}

TEST_F(PlayFormTest, PlacedUnderTheClockOrOnTheWorkArea) {
    auto form = Open();
    const QSize size = form->frameGeometry().size();
    ASSERT_GT(size.width(), 0);
    EXPECT_EQ(form->frameGeometry().topLeft(),
              QPoint(500 + (220 - size.width()) / 2, 540)) << "centred under the clock";

    host.clockFrame = QRect(1200, 900, 220, 240);  // near the bottom right corner
    form = Open();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(1280 - size.width(), 900 - size.height()));

    host.clockNormal = false;
    form = Open();
    EXPECT_EQ(form->frameGeometry().topLeft(),
              QPoint((1280 - size.width()) / 2, (1000 - size.height()) / 2));
}

TEST_F(PlayFormTest, OneWindowAtATime) {
    // As the clock window opens it: one at a time.
    SingleDialog<PlayForm> slot([](const PlayForm& f) { return !f.IsUnloaded(); });
    const auto OpenPlayForm = [&slot](PlayFormHost& h, QWidget* o) {
        return slot.Open([&] { return NewPlayForm(h, o); });
    };
    const auto OpenedPlayForm = [&slot] { return slot.Current(); };
    PlayForm* first = OpenPlayForm(host, &clockWindow);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->parentWidget(), &clockWindow);
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(OpenPlayForm(host, &clockWindow), first);
    EXPECT_EQ(OpenedPlayForm(), first);

    QPointer<PlayForm> watch(first);
    first->close();
    EXPECT_EQ(OpenedPlayForm(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull()) << "a closed window deletes itself";
    PlayForm* second = OpenPlayForm(host, &clockWindow);
    EXPECT_NE(second, nullptr);
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(PlayFormTest, NothingIsClipped) {
    GiveAlarms2And7Files();
    state.TimeSignalFile = File("signal.mp3");
    auto form = Open();
    form->show();
    const QRect inside = form->rect();
    for (QWidget* w : {static_cast<QWidget*>(form->Combo1), static_cast<QWidget*>(form->Command1),
                       static_cast<QWidget*>(form->Command2), static_cast<QWidget*>(form->Command3)}) {
        EXPECT_TRUE(inside.contains(w->geometry())) << w->objectName().toStdString();
        EXPECT_GE(w->height(), 20) << w->objectName().toStdString();
    }
    const QFontMetrics metrics(form->Combo1->font());
    for (int i = 0; i < form->Combo1->count(); ++i)
        EXPECT_LT(metrics.horizontalAdvance(form->Combo1->itemText(i)), form->Combo1->width() - 30);
    if (const QByteArray shot = qgetenv("VIREO_PLAYFORM_SHOT"); !shot.isEmpty()) {
        form->grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-0.png"));
        Choose(*form, 2);
        form->Command3_Click();
        form->grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-2.png"));
    }
}

// The real device on SDL's dummy driver: a file the test makes plays to its end, and the tick
// brings the window back to idle.
using test::MakeWav;

TEST(PlayFormRealDevice, AFilePlayedToItsEndIsClosedByTheTick) {
    TempConfigHome config;
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    const QString wav = files.filePath(QStringLiteral("曲.wav"));
    {
        QFile f(wav);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(MakeWav(0.3));
    }
    ClockState state;
    SdlMusicDevice device;
    MusicEngine music(device, state);
    FakeHost host(state);
    host.music = &music;
    host.alarms.AlarmFile[5] = wav.toStdString();
    TickDriver tick(state, music);
    QWidget clockWindow;
    PlayForm form(host, &clockWindow);
    form.Form_Load();

    form.Combo1->setCurrentIndex(1);
    form.Combo1_Click();
    form.Command3_Click();
    ASSERT_EQ(form.Command3->Caption(), QStringLiteral("<"));
    EXPECT_EQ(music.MusicStatus(), "playing");

    // Once a second as the clock does (here faster), until the poll has closed the music.
    QElapsedTimer waited;
    waited.start();
    while (state.MusicPlayMode != kPlayModeStop && waited.elapsed() < 10000) {
        QThread::msleep(50);
        tick.NextSecond();
    }
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(music.MusicStatus(), "") << "the device is closed";
    EXPECT_EQ(form.Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(form.Command3->toolTip(), QStringLiteral("再生"));
    EXPECT_FALSE(form.Command2->isEnabled());

    // Closing afterwards stops nothing more and keeps the own file (still empty).
    form.close();
    EXPECT_EQ(StoredPlayFile(), "");
}

}  // namespace
}  // namespace vireo

// The darkest grey of a button's glyph (0 black .. 255 white), read off the button as drawn.
int DarkestGlyphGrey(QPushButton& button) {
    const QImage image = button.grab().toImage();
    const QRect glyph(QPoint(0, 0), button.iconSize());
    const QRect area(image.rect().center() - glyph.center(), glyph.size());
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST(GlyphButtonTest, ADisabledGlyphLooksDisabled) {
    for (const QString& caption : {QStringLiteral("4"), QStringLiteral(";")}) {
        vireo::GlyphButton button(caption);
        button.resize(40, 30);
        const int enabled = DarkestGlyphGrey(button);
        button.setEnabled(false);
        const int disabled = DarkestGlyphGrey(button);
        EXPECT_GE(disabled - enabled, 120) << caption.toStdString() << ": " << enabled << " -> " << disabled;
    }
}
