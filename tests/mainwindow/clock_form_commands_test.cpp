// The clock window's commands: the menu's checks and window-state items, the scale switch
// closing the chime output, Esc and the readout click with real music, the observer command.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QDataStream>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

#include "ClockFormFixture.h"
#include "TempConfigHome.h"
#include "TestAudioFiles.h"
#include "about/AboutForm.h"
#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockForm.h"
#include "mainwindow/shell/ClockMenu.h"
#include "mainwindow/shell/WindowShell.h"
#include "music/MusicEngine.h"
#include "music/PlayForm.h"
#include "options/OptionForm.h"
#include "signal/AlarmForm.h"
#include "platform/sound/FluidSynthMidiOutput.h"
#include "platform/sound/SdlMusicDevice.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "signal/MidiChime.h"

using namespace vireo;

namespace {

class ClockFormCommandsTest : public test::ClockFormFixture {
protected:
    void SetUp() override {
        ClockFormFixture::SetUp();
        clock_.Set(LocalDateTime::FromCivil(2026, 3, 20, 10, 0, 0));
        // Music plays to no sound card.
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
        moreParts_ = [](ClockFormParts& parts) {
            parts.createMidiOutput = [] {
                FluidSynthOptions o;
                o.Offline = true;  // rendered on demand, no sound card needed
                return std::make_unique<FluidSynthMidiOutput>(o);
            };
            parts.createMusicDevice = [] { return std::make_unique<SdlMusicDevice>(); };
        };
    }
};

}  // namespace

TEST_F(ClockFormCommandsTest, MenuChecksFollowStartUpAndTheClickHandlers) {
    Put("ClockMode", 5);
    Put("DigitalMode", 0);
    auto form = LoadAndShow();
    ClockMenu* menu = form->Menu();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(menu->mnuContextMode(i)->isChecked(), i == 5) << i;
    EXPECT_TRUE(menu->mnuContextLabel(0)->isChecked());
    EXPECT_EQ(menu->mnuContextMode(0)->text(), QStringLiteral("地方標準時(&L)"));

    menu->mnuContextMode(2)->trigger();
    EXPECT_EQ(form->State().ClockMode, 2);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("地方平時 - Vireo"));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(menu->mnuContextMode(i)->isChecked(), i == 2) << i;

    menu->mnuContextLabel(1)->trigger();
    EXPECT_EQ(form->State().DigitalMode, 1);
    EXPECT_TRUE(menu->mnuContextLabel(1)->isChecked());
    EXPECT_FALSE(menu->mnuContextLabel(0)->isChecked());
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, WindowStateItemsFollowTheWindow) {
    auto form = LoadAndShow();
    ClockMenu* menu = form->Menu();
    menu->PrepareMenu(form->Shell()->CurrentMenuState());
    EXPECT_FALSE(menu->mnuContextReturn(0)->isEnabled());  // already normal
    EXPECT_TRUE(menu->mnuContextReturn(2)->isVisible());
    EXPECT_TRUE(menu->mnuContextReturn(2)->isEnabled());

    menu->mnuContextReturn(2)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Maximized);
    menu->PrepareMenu(form->Shell()->CurrentMenuState());
    EXPECT_FALSE(menu->mnuContextReturn(2)->isEnabled());
    EXPECT_TRUE(menu->mnuContextReturn(0)->isEnabled());
    menu->mnuContextReturn(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->WindowStateIndexNow(), WindowStateIndex::Normal);
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, ARoundWindowOffersNoMaximise) {
    Put("CircleForm", true);
    auto form = LoadAndShow();
    EXPECT_TRUE(form->Shell()->IsRound());
    form->Menu()->PrepareMenu(form->Shell()->CurrentMenuState());
    EXPECT_FALSE(form->Menu()->mnuContextReturn(2)->isVisible());
    form->Form_Unload();
    // The round option belongs to the Options dialog: shutdown leaves it as it was.
    SettingsStore store;
    OpenOwnSettings(store);
    EXPECT_TRUE(Read(store, kCircleForm));
}

TEST_F(ClockFormCommandsTest, SwitchingTheScaleClosesTheChimeOutput) {
    auto form = LoadAndShow();
    ASSERT_TRUE(form->MidiAvailable()) << "the General MIDI SoundFont is missing";
    for (MidiChime* chime : {form->SignalChime(), form->AlarmChime()}) {
        ASSERT_NE(chime, nullptr);
        chime->MidiOpen(14);
        ASSERT_TRUE(chime->IsOpen());
    }
    form->mnuContextMode_Click(form->State().ClockMode);  // the same scale still closes it
    EXPECT_FALSE(form->SignalChime()->IsOpen());
    EXPECT_FALSE(form->AlarmChime()->IsOpen());
    EXPECT_TRUE(form->Timer1Enabled());
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, EscAndTheReadoutClickSilenceMusic) {
    const QString tone = dir_.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(test::WriteWav(tone, 5.0));
    auto form = LoadAndShow();
    ClockState& s = form->State();

    // Nothing plays: Esc is harmless and still ends a sounding alarm; a click does nothing.
    s.AlarmIndex = 4;
    QTest::mouseClick(form->Face()->Label1(), Qt::LeftButton);
    EXPECT_EQ(s.AlarmIndex, 4);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(s.AlarmIndex, -1);

    form->Music()->PlayMusic(tone.toStdString(), 3);
    ASSERT_EQ(s.MusicPlayMode, 3);
    EXPECT_EQ(form->Music()->MusicStatus(), "playing");
    QTest::mouseClick(form->Face()->Label1(), Qt::LeftButton);
    EXPECT_EQ(s.MusicPlayMode, 0);
    EXPECT_EQ(form->Music()->MusicStatus(), "");

    form->Music()->PlayMusic(tone.toStdString(), 2);
    s.AlarmIndex = 7;
    ASSERT_EQ(s.MusicPlayMode, 2);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(s.MusicPlayMode, 0);
    EXPECT_EQ(s.AlarmIndex, -1);

    // Music left playing is stopped by shutdown.
    form->Music()->PlayMusic(tone.toStdString(), 3);
    ASSERT_EQ(s.MusicPlayMode, 3);
    form->Form_Unload();
    EXPECT_EQ(s.MusicPlayMode, 0);
}

TEST_F(ClockFormCommandsTest, ObserverCommandCancelledChangesNothing) {
    auto form = LoadAndShow();
    const double hc = form->State().HorizonCorrection;
    const TemporalPeriod period = form->State().Period;
    bool timerOffWhileOpen = false;
    QTimer::singleShot(0, [&] {
        timerOffWhileOpen = !form->Timer1Enabled();
        auto* dialog = qobject_cast<ObserverDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Text3->setText(QStringLiteral("500"));
        dialog->Command2->click();
    });
    form->mnuContextLocation_Click();
    EXPECT_TRUE(timerOffWhileOpen);
    EXPECT_TRUE(form->Timer1Enabled());
    EXPECT_EQ(form->State().HorizonCorrection, hc);
    EXPECT_EQ(form->State().Period.DawnSeconds, period.DawnSeconds);
    EXPECT_DOUBLE_EQ(form->Component()->ObserverHeight(), 0.0);
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, ObserverChangeUpdatesTheClockAndIsSavedAtShutdown) {
    auto form = LoadAndShow();
    const TemporalPeriod before = form->State().Period;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ObserverDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Text1->setText(QStringLiteral("43.0621"));   // Sapporo
        dialog->Text2->setText(QStringLiteral("141.3544"));
        dialog->Text3->setText(QStringLiteral("100"));
        dialog->Command1->click();
    });
    form->mnuContextLocation_Click();
    EXPECT_TRUE(form->Timer1Enabled());
    EXPECT_NEAR(form->State().HorizonCorrection, 0.350890514444444, 1e-12);
    // Further north and east: dawn comes earlier on the local clock in March.
    EXPECT_LT(form->State().Period.DawnSeconds, before.DawnSeconds);
    form->Form_Unload();

    SettingsStore store;
    OpenOwnSettings(store);
    EXPECT_DOUBLE_EQ(Read(store, kObsLatitude), 43.0621);
    EXPECT_DOUBLE_EQ(Read(store, kObsLongitude), 141.3544);
    EXPECT_DOUBLE_EQ(Read(store, kObsHeight), 100.0);
}

TEST_F(ClockFormCommandsTest, TheIconTipFollowsTheTimeEverySecond) {
    Put("TaskTray", true);
    auto form = LoadAndShow();
    ASSERT_TRUE(form->State().ShowInTaskTray);
    form->Timer1_Timer();
    // The readout shows the date; the tip always the time and the scale.
    EXPECT_EQ(form->Shell()->TipText(), QStringLiteral("10:00:00 - 地方標準時"));
    clock_.Advance(1.0);
    form->Timer1_Timer();
    EXPECT_EQ(form->Shell()->TipText(), QStringLiteral("10:00:01 - 地方標準時"));
    form->mnuContextMode_Click(6);
    EXPECT_TRUE(form->Shell()->TipText().endsWith(QStringLiteral(" - 天保暦")));
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, TheAboutWindowIsModalBesideANormalClockModelessForAMinimisedOne) {
    auto form = LoadAndShow();
    ClockMenu* menu = form->Menu();
    ASSERT_TRUE(menu->mnuContextAbout()->isEnabled());
    menu->mnuContextAbout()->trigger();
    QCoreApplication::processEvents();  // the menu's command runs once the menu has closed
    AboutForm* about = form->AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(about->parentWidget(), form.get()) << "owned by the clock window";
    EXPECT_FALSE(about->Image1->pixmap().isNull()) << "the clock's icon";
    EXPECT_TRUE(form->Timer1Enabled()) << "the clock goes on while it is open";

    menu->mnuContextAbout()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->AboutWindow(), about) << "one at a time";
    about->Command1_Click();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->AboutWindow(), nullptr);

    form->showMinimized();
    QCoreApplication::processEvents();
    form->mnuContextAbout_Click();
    ASSERT_NE(form->AboutWindow(), nullptr);
    EXPECT_EQ(form->AboutWindow()->windowModality(), Qt::NonModal);

    // Shutdown closes what is open.
    form->Form_Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->AboutWindow(), nullptr);
    EXPECT_TRUE(form->OwnedDialogs().empty());
}

TEST_F(ClockFormCommandsTest, ThePlayerIsModelessAndShutdownClosesItBeforeTheMusicGoes) {
    const QString tone = dir_.path() + QStringLiteral("/tone.wav");
    ASSERT_TRUE(test::WriteWav(tone, 30.0));
    Put("PlayFile", tone);
    auto form = LoadAndShow();
    ASSERT_TRUE(form->Menu()->mnuContextPlay()->isEnabled());
    form->Menu()->mnuContextPlay()->trigger();
    QCoreApplication::processEvents();
    PlayForm* player = form->PlayWindow();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->windowModality(), Qt::NonModal);
    EXPECT_EQ(player->PlayFile(), tone.toStdString());

    player->Command3_Click();
    EXPECT_EQ(form->State().MusicPlayMode, 3) << "the player's music plays";
    form->Form_Unload();
    EXPECT_EQ(form->State().MusicPlayMode, 0) << "closing the player stopped it";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->PlayWindow(), nullptr);
    form.reset();  // the engine goes after the player's buttons stopped listening

    SettingsStore store;
    OpenOwnSettings(store);
    EXPECT_EQ(store.GetValue("", "PlayFile").toString(), tone);
}

TEST_F(ClockFormCommandsTest, AWindowDestroyedWithAPlayerOpenReleasesItFirst) {
    auto form = LoadAndShow();
    form->mnuContextPlay_Click();
    QPointer<PlayForm> player = form->PlayWindow();
    ASSERT_FALSE(player.isNull());
    form.reset();  // no shutdown: the destructor must not leave the player on a dead engine
    EXPECT_TRUE(player.isNull());
}

TEST_F(ClockFormCommandsTest, OptionsOkReachesTheClockWindow) {
    Put("BackgroundMode", 1);
    auto form = LoadAndShow();
    ASSERT_TRUE(form->Menu()->mnuContextOption()->isEnabled());
    form->Menu()->mnuContextOption()->trigger();
    QCoreApplication::processEvents();
    OptionForm* options = form->OptionWindow();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(options->parentWidget(), form.get());

    // The see-through scheme: OK makes the clock round and see-through at once.
    options->Combo1->setCurrentIndex(3);
    options->Command1_Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->State().BackgroundMode, 3);
    EXPECT_TRUE(form->Shell()->IsTransparent());
    EXPECT_TRUE(form->Shell()->IsRound());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->OptionWindow(), nullptr);
    const FaceColors seeThrough = form->ShownColors();

    // And back: a rectangular window in the standard colours.
    form->mnuContextOption_Click();
    ASSERT_NE(form->OptionWindow(), nullptr);
    form->OptionWindow()->Combo1->setCurrentIndex(0);
    form->OptionWindow()->Command1_Click();
    EXPECT_FALSE(form->Shell()->IsTransparent());
    EXPECT_FALSE(form->Shell()->IsRound());
    EXPECT_NE(form->ShownColors().Back, seeThrough.Back) << "the scheme was applied at once";
    form->Form_Unload();
}

TEST_F(ClockFormCommandsTest, AnAlarmSetInTheDialogIsKeptAcrossARestart) {
    {
        auto form = LoadAndShow();
        ASSERT_TRUE(form->Menu()->mnuContextAlarm()->isEnabled());
        form->Menu()->mnuContextAlarm()->trigger();
        QCoreApplication::processEvents();
        AlarmForm* alarms = form->AlarmWindow();
        ASSERT_NE(alarms, nullptr);
        EXPECT_EQ(alarms->windowModality(), Qt::ApplicationModal);
        alarms->List1->setCurrentRow(3);
        alarms->List1_Click();
        alarms->VScroll1[0]->setValue(7);
        alarms->VScroll1[1]->setValue(30);
        alarms->Combo1->setCurrentIndex(1);  // chime
        alarms->Combo2->setCurrentIndex(2);  // every day
        alarms->Command1_Click();
        QCoreApplication::processEvents();
        EXPECT_EQ(form->Alarms().AlarmSetting[3], (7 * 3600 + 30 * 60) | 0x1000000 | 0xFE0000);
        form->Form_Unload();
    }
    auto again = LoadAndShow();
    EXPECT_EQ(again->Alarms().AlarmSetting[3], (7 * 3600 + 30 * 60) | 0x1000000 | 0xFE0000);
    again->Form_Unload();
}
