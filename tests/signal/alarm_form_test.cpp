#include "signal/AlarmForm.h"

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayStopButton.h"
#include "timekeeping/Clock.h"

#include "DialogLook.h"
#include "SoundFakes.h"
#include "platform/SingleDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace vireo {
namespace {

using testing::FakeMusicDevice;
using Log = std::vector<std::string>;

constexpr std::int32_t kMonday = 0x40000;
constexpr std::int32_t kFriday = 0x400000;

class FakeAlarmHost final : public AlarmFormHost {
public:
    AlarmTables tables;
    MusicEngine* music = nullptr;
    SettableClock clock{LocalDateTime::FromCivil(2026, 3, 2, 8, 15, 40)};
    QRect clockFrame{100, 200, 220, 200};
    WindowStateIndex window = WindowStateIndex::Normal;
    QRect work{0, 0, 1280, 1000};
    int beeps = 0;
    std::vector<int> helps;

    AlarmTables& Alarms() override { return tables; }
    MusicEngine* Music() const override { return music; }
    const Clock& ClockSource() const override { return clock; }
    QRect ClockFrame() const override { return clockFrame; }
    WindowStateIndex WindowState() const override { return window; }
    QRect WorkArea() const override { return work; }
    void Beep() override { ++beeps; }
    void ShowHelp(int contextId) override { helps.push_back(contextId); }
    std::vector<std::string> messages;
    void ShowExclamation(const std::string& text) override { messages.push_back(text); }
};

class AlarmFormTest : public ::testing::Test {
protected:
    ClockState state;
    FakeMusicDevice device;
    MusicEngine music{device, state};
    FakeAlarmHost host;

    void SetUp() override {
        host.music = &music;
        device.playable = {"/music/wake.mp3", "/music/other.wav", "/music/radio.ogg"};
        host.tables.AlarmSetting[1] = AlarmValue::Make(7, 30, kAlarmWeekdayMask, kAlarmSoundChime).Packed();
        host.tables.AlarmSetting[2] = AlarmValue::Make(6, 5, kMonday | kFriday, kAlarmSoundMusic).Packed();
        host.tables.AlarmFile[2] = "/music/wake.mp3";
        host.tables.AlarmSetting[3] = AlarmValue::Make(23, 59, 0, kAlarmSoundMusic).Packed();
    }
    void TearDown() override { SetMusicFileDialogRunner({}); }

    std::unique_ptr<AlarmForm> Load() {
        auto form = std::make_unique<AlarmForm>(host, nullptr);
        form->Form_Load();
        form->show();
        return form;
    }
    static QString Line(const AlarmForm& form, int i) { return form.List1->item(i)->text(); }
    static QString Shown(const AlarmForm& form) {
        return form.Text1[0]->text() + QLatin1Char(':') + form.Text1[1]->text();
    }
    static std::vector<bool> Checks(const AlarmForm& form) {
        std::vector<bool> marks;
        for (QCheckBox* box : form.Check1) marks.push_back(box->isChecked());
        return marks;
    }
    static bool AnyCheckEnabled(const AlarmForm& form) {
        for (QCheckBox* box : form.Check1)
            if (box->isEnabled()) return true;
        return false;
    }
    // Sets the time through the typed boxes, as the user would.
    static void Type(AlarmForm& form, int index, const QString& text) {
        form.Text1[index]->setText(text);
        form.Text1_Validate(index);
    }
};

TEST_F(AlarmFormTest, LoadsTheTablesIntoTheListAndLineZeroIntoTheEditor) {
    host.tables.AlarmSetting[4] = 3 * kAlarmSoundUnit + 9 * 3600;  // an odd kind sounds as music
    auto form = Load();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("アラームの設定"));
    ASSERT_EQ(form->List1->count(), kAlarmCount);
    EXPECT_EQ(Line(*form, 0), QStringLiteral("00:00\tOFF"));
    EXPECT_EQ(Line(*form, 1), QStringLiteral("07:30\tチャイム"));
    EXPECT_EQ(Line(*form, 2), QStringLiteral("06:05\t音楽"));
    EXPECT_EQ(Line(*form, 4), QStringLiteral("09:00\t音楽"));
    for (int i = 0; i < kAlarmCount; ++i) EXPECT_EQ(form->ItemData(i), host.tables.AlarmSetting[i]) << i;

    EXPECT_EQ(form->Tag(), QStringLiteral("0"));
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(Shown(*form), QStringLiteral("0:0"));
    EXPECT_EQ(form->Combo1->currentIndex(), 0);
    EXPECT_FALSE(form->Combo2->isEnabled()) << "an alarm that is off has no repeat rule to choose";
    EXPECT_FALSE(AnyCheckEnabled(*form));
    EXPECT_FALSE(form->Command3->isEnabled());
    EXPECT_FALSE(form->Command4->isEnabled());
    EXPECT_EQ(form->EditFile()[2], "/music/wake.mp3");

    form->List1->setCurrentRow(2);
    EXPECT_EQ(form->Tag(), QStringLiteral("2"));
    EXPECT_EQ(Shown(*form), QStringLiteral("6:5"));
    EXPECT_EQ(form->Combo1->currentIndex(), 2);
    EXPECT_EQ(form->Combo2->currentIndex(), 1);
    EXPECT_EQ(Checks(*form), (std::vector<bool>{false, true, false, false, false, true, false}));
    EXPECT_TRUE(form->Check1[3]->isEnabled());
    EXPECT_TRUE(form->Command3->isEnabled());
    EXPECT_TRUE(form->Command4->isEnabled());

    form->List1->setCurrentRow(4);
    EXPECT_EQ(form->Combo1->currentIndex(), 2);
    EXPECT_EQ(form->Combo2->currentIndex(), 0);
}

TEST_F(AlarmFormTest, TheControlsCarryTheirTextsAndShortcuts) {
    auto form = Load();
    EXPECT_TRUE(test::HasDialogFont(*form));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("時刻(&T)"));
    EXPECT_EQ(form->Label1->buddy(), form->Text1[0]);
    EXPECT_EQ(form->Label2[0]->text(), QStringLiteral("時"));
    EXPECT_EQ(form->Label2[1]->text(), QStringLiteral("分"));
    EXPECT_EQ(form->Command5->text(), QStringLiteral("&Now"));
    EXPECT_EQ(form->Command5->toolTip(), QStringLiteral("現在の時刻"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("音(&S)"));
    EXPECT_EQ(form->Label3->buddy(), form->Combo1);
    const QStringList sounds{QStringLiteral("OFF"), QStringLiteral("チャイム"), QStringLiteral("音楽")};
    const QStringList rules{QStringLiteral("1回のみ"), QStringLiteral("曜日指定"), QStringLiteral("毎日")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->Combo1->itemText(i), sounds[i]);
        EXPECT_EQ(form->Combo2->itemText(i), rules[i]);
    }
    EXPECT_EQ(form->Command3->objectName(), QStringLiteral("Command3"));
    EXPECT_EQ(form->Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("再生"));
    EXPECT_EQ(form->Command4->text(), QStringLiteral("参照(&B)..."));
    EXPECT_EQ(form->Command4->toolTip(), QStringLiteral("ファイルを選択"));
    const QStringList days{QStringLiteral("S&un"), QStringLiteral("&Mon"), QStringLiteral("Tu&e"),
                           QStringLiteral("&Wed"), QStringLiteral("T&hu"), QStringLiteral("&Fri"),
                           QStringLiteral("S&at")};
    const QStringList tips{QStringLiteral("日曜"), QStringLiteral("月曜"), QStringLiteral("火曜"),
                           QStringLiteral("水曜"), QStringLiteral("木曜"), QStringLiteral("金曜"),
                           QStringLiteral("土曜")};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(form->Check1[k]->text(), days[k]);
        EXPECT_EQ(form->Check1[k]->toolTip(), tips[k]);
        EXPECT_EQ(form->Check1[k]->parentWidget(), form->Frame1);
    }
    EXPECT_EQ(form->Combo2->parentWidget(), form->Frame1);
    EXPECT_EQ(form->Command1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form->Command1->isDefault());
    EXPECT_EQ(form->Command2->text(), QStringLiteral("キャンセル"));

    QTest::keyClick(form->List1, Qt::Key_F1);
    QTest::keyClick(form->Text1[1], Qt::Key_F1);
    EXPECT_EQ(host.helps, (std::vector<int>{12, 12}));
}

TEST_F(AlarmFormTest, SpinBarsWrapAtTheEndsOfTheDay) {
    auto form = Load();
    form->List1->setCurrentRow(3);  // 23:59
    ASSERT_EQ(Shown(*form), QStringLiteral("23:59"));

    form->VScroll1[1]->StepUp();
    EXPECT_EQ(Shown(*form), QStringLiteral("0:0")) << "59 carries into the hour, 23 wraps";
    EXPECT_EQ(Line(*form, 3), QStringLiteral("00:00\t音楽"));

    form->VScroll1[1]->StepDown();
    EXPECT_EQ(Shown(*form), QStringLiteral("23:59")) << "0 borrows from the hour, which wraps back";
    EXPECT_EQ(Line(*form, 3), QStringLiteral("23:59\t音楽"));

    form->VScroll1[0]->StepUp();
    EXPECT_EQ(Shown(*form), QStringLiteral("0:59")) << "the hour wraps alone";
    form->VScroll1[0]->StepDown();
    EXPECT_EQ(Shown(*form), QStringLiteral("23:59"));

    form->VScroll1[1]->StepDown();
    EXPECT_EQ(Shown(*form), QStringLiteral("23:58"));
    form->VScroll1[1]->StepUp();
    form->VScroll1[1]->StepUp();
    EXPECT_EQ(Shown(*form), QStringLiteral("0:0"));
    form->VScroll1[0]->StepDown();
    EXPECT_EQ(Shown(*form), QStringLiteral("23:0"));
    EXPECT_EQ(Line(*form, 3), QStringLiteral("23:00\t音楽"));

    // The arrows themselves: the upper one raises, the lower one lowers, the Up key raises.
    SpinBar* minutes = form->VScroll1[1];
    QTest::mouseClick(minutes, Qt::LeftButton, {}, QPoint(minutes->width() / 2, 2));
    EXPECT_EQ(Shown(*form), QStringLiteral("23:1"));
    QTest::mouseClick(minutes, Qt::LeftButton, {}, QPoint(minutes->width() / 2, minutes->height() - 3));
    QTest::mouseClick(minutes, Qt::LeftButton, {}, QPoint(minutes->width() / 2, minutes->height() - 3));
    EXPECT_EQ(Shown(*form), QStringLiteral("22:59"));
    QTest::keyClick(minutes, Qt::Key_Up);
    EXPECT_EQ(Shown(*form), QStringLiteral("23:0"));

    // What the bars show is what the line stores.
    form->List1->setCurrentRow(0);
    EXPECT_EQ(AlarmValue(form->ItemData(3)).Seconds(), 23 * 3600);
}

TEST_F(AlarmFormTest, TypedTimesAreTakenOrRefusedWithABeep) {
    auto form = Load();
    form->List1->setCurrentRow(1);  // 07:30
    form->Text1[0]->setText(QStringLiteral("24"));
    EXPECT_FALSE(form->Text1_Validate(0));
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("7")) << "the previous hour comes back";
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(Line(*form, 1), QStringLiteral("07:30\tチャイム"));

    form->Text1[0]->setText(QString());
    EXPECT_FALSE(form->Text1_Validate(0)) << "an empty box is refused too";
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("7"));
    form->Text1[1]->setText(QStringLiteral("60"));
    EXPECT_FALSE(form->Text1_Validate(1));
    EXPECT_EQ(form->Text1[1]->text(), QStringLiteral("30"));
    EXPECT_EQ(host.beeps, 3);

    form->Text1[0]->setText(QStringLiteral("9"));
    EXPECT_TRUE(form->Text1_Validate(0));
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("9"));
    EXPECT_EQ(Line(*form, 1), QStringLiteral("09:30\tチャイム"));
    form->Text1[0]->setText(QStringLiteral("07"));
    EXPECT_TRUE(form->Text1_Validate(0));
    EXPECT_EQ(form->Text1[0]->text(), QStringLiteral("7"));
    EXPECT_EQ(Line(*form, 1), QStringLiteral("07:30\tチャイム"));
    form->Text1[1]->setText(QStringLiteral("0"));
    EXPECT_TRUE(form->Text1_Validate(1));
    EXPECT_EQ(Line(*form, 1), QStringLiteral("07:00\tチャイム"));
    EXPECT_EQ(host.beeps, 3) << "no beep for a good time";

    // Only digits get in, two at most.
    QLineEdit* hour = form->Text1[0];
    hour->clear();
    QTest::keyClicks(hour, QStringLiteral("1a-2 3"));
    EXPECT_EQ(hour->text(), QStringLiteral("12"));
}

TEST_F(AlarmFormTest, OkTakesATimeStillInItsBoxAndHoldsOnABadOne) {
    auto form = Load();
    form->List1->setCurrentRow(1);
    form->Text1[1]->setText(QStringLiteral("45"));  // typed, Enter pressed before leaving the box
    form->Command1_Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(AlarmValue(host.tables.AlarmSetting[1]).Minute(), 45);

    auto again = Load();
    again->List1->setCurrentRow(1);
    again->Text1[0]->setText(QStringLiteral("24"));
    again->Command1_Click();
    EXPECT_TRUE(again->isVisible()) << "a refused time keeps the dialog open";
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(again->Text1[0]->text(), QStringLiteral("7"));
    EXPECT_EQ(AlarmValue(host.tables.AlarmSetting[1]).Hour(), 7);
}

TEST_F(AlarmFormTest, LeavingABoxByTabOrClickChecksIt) {
    auto form = Load();
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->List1->setCurrentRow(1);

    QLineEdit* hour = form->Text1[0];
    hour->setFocus();
    hour->setText(QStringLiteral("24"));
    QTest::keyClick(hour, Qt::Key_Tab);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(hour->text(), QStringLiteral("7"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(hour->hasFocus()) << "the focus stays in the box";

    // A click on another line with a refused time does not happen.
    hour->setText(QStringLiteral("99"));
    const QRect third = form->List1->visualItemRect(form->List1->item(3));
    QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(host.beeps, 2);
    EXPECT_EQ(form->List1->currentRow(), 1);
    EXPECT_EQ(form->Tag(), QStringLiteral("1"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(hour->hasFocus());
    EXPECT_EQ(hour->text(), QStringLiteral("7"));

    // A good one is taken before the click goes on.
    hour->setText(QStringLiteral("8"));
    QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(form->List1->currentRow(), 3);
    EXPECT_EQ(Line(*form, 1), QStringLiteral("08:30\tチャイム"));
    EXPECT_EQ(AlarmValue(form->ItemData(1)).Hour(), 8);

    // Cancel is never held up by a bad time.
    form->Text1[1]->setFocus();
    form->Text1[1]->setText(QStringLiteral("77"));
    QTest::mouseClick(form->Command2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(host.beeps, 2);
}

TEST_F(AlarmFormTest, NowTakesTheNextWholeMinuteOfTheComputersClock) {
    auto form = Load();
    form->List1->setCurrentRow(1);
    form->Command5_Click();  // 08:15:40
    EXPECT_EQ(Shown(*form), QStringLiteral("8:16"));
    EXPECT_EQ(Line(*form, 1), QStringLiteral("08:16\tチャイム"));

    host.clock.Set(LocalDateTime::FromCivil(2026, 3, 2, 23, 58, 59));
    form->Command5_Click();
    EXPECT_EQ(Shown(*form), QStringLiteral("23:59"));

    host.clock.Set(LocalDateTime::FromCivil(2026, 3, 2, 23, 59, 0));
    form->Command5_Click();
    EXPECT_EQ(Shown(*form), QStringLiteral("0:0")) << "past midnight the hour wraps to 0";
    EXPECT_EQ(Line(*form, 1), QStringLiteral("00:00\tチャイム"));

    host.clock.Set(LocalDateTime::FromCivil(2026, 3, 2, 23, 59, 59.9));
    form->Command5_Click();
    EXPECT_EQ(Shown(*form), QStringLiteral("0:0"));

    form->Command1_Click();
    EXPECT_EQ(host.tables.AlarmSetting[1], AlarmValue::Make(0, 0, kAlarmWeekdayMask, kAlarmSoundChime).Packed());
}

TEST_F(AlarmFormTest, MusicWithoutAFileIsRefusedAtOkWithAWord) {
    auto form = Load();
    form->List1->setCurrentRow(4);
    form->Combo1->setCurrentIndex(kAlarmSoundMusic);
    form->List1->setCurrentRow(0);
    form->Command1_Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("#4"), std::string::npos);
    EXPECT_EQ(form->List1->currentRow(), 4) << "the line to mend is shown";
    EXPECT_EQ(host.tables.AlarmSetting[4], 0) << "nothing was written";
    EXPECT_TRUE(form->isVisible() || !form->result());
    // A chime instead: taken.
    form->Combo1->setCurrentIndex(kAlarmSoundChime);
    form->Command1_Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(AlarmValue(host.tables.AlarmSetting[4]).SoundKind(), kAlarmSoundChime);
}

TEST_F(AlarmFormTest, RepeatRulesAndWeekdayMasksRoundTrip) {
    host.tables.AlarmFile[2] = "/m/two.ogg";
    host.tables.AlarmFile[6] = "/m/six.ogg";
    auto form = Load();
    // Every day: all boxes set and greyed; stored as the full mask.
    form->List1->setCurrentRow(0);
    form->Combo1->setCurrentIndex(1);
    EXPECT_TRUE(form->Combo2->isEnabled());
    form->Combo2->setCurrentIndex(2);
    EXPECT_EQ(Checks(*form), std::vector<bool>(7, true));
    EXPECT_FALSE(AnyCheckEnabled(*form));

    // Chosen weekdays, all seven: the same mask.
    form->List1->setCurrentRow(5);
    form->Combo1->setCurrentIndex(1);
    form->Combo2->setCurrentIndex(1);
    EXPECT_EQ(Checks(*form), std::vector<bool>(7, false)) << "no day stored yet";
    EXPECT_TRUE(form->Check1[0]->isEnabled());
    for (QCheckBox* box : form->Check1) box->setChecked(true);

    // Chosen weekdays, none: once.
    form->List1->setCurrentRow(6);
    form->Combo1->setCurrentIndex(2);
    form->Combo2->setCurrentIndex(1);

    // Back on the chosen weekdays the boxes show the days stored, not their last marks.
    form->List1->setCurrentRow(2);
    form->Check1[3]->setChecked(true);
    form->Combo2->setCurrentIndex(2);
    form->Combo2->setCurrentIndex(1);
    EXPECT_EQ(Checks(*form), (std::vector<bool>{false, true, false, false, false, true, false}));
    form->Combo2->setCurrentIndex(0);
    EXPECT_EQ(Checks(*form), std::vector<bool>(7, false));
    EXPECT_FALSE(AnyCheckEnabled(*form));
    form->Combo2->setCurrentIndex(1);
    form->Check1[6]->setChecked(true);

    form->Command1_Click();
    EXPECT_EQ(host.tables.AlarmSetting[0] & kAlarmWeekdayMask, kAlarmWeekdayMask);
    EXPECT_EQ(host.tables.AlarmSetting[5] & kAlarmWeekdayMask, kAlarmWeekdayMask);
    EXPECT_EQ(host.tables.AlarmSetting[6], AlarmValue::Make(0, 0, 0, kAlarmSoundMusic).Packed());
    EXPECT_EQ(host.tables.AlarmSetting[2],
              AlarmValue::Make(6, 5, kMonday | kFriday | WeekdayBit(7), kAlarmSoundMusic).Packed());

    auto again = Load();
    again->List1->setCurrentRow(0);
    EXPECT_EQ(again->Combo2->currentIndex(), 2) << "reopens as every day";
    again->List1->setCurrentRow(5);
    EXPECT_EQ(again->Combo2->currentIndex(), 2) << "all seven chosen reopens as every day";
    again->List1->setCurrentRow(6);
    EXPECT_EQ(again->Combo2->currentIndex(), 0) << "none chosen reopens as once";
    EXPECT_EQ(Checks(*again), std::vector<bool>(7, false));
}

TEST_F(AlarmFormTest, OffGreysTheEditorAndStopsAPreview) {
    auto form = Load();
    form->List1->setCurrentRow(2);
    form->Command3_Click();
    EXPECT_EQ(device.log, (Log{"open /music/wake.mp3", "play"}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);
    EXPECT_TRUE(form->Command3->ShowsPlaying());
    EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("停止"));

    device.log.clear();
    form->Combo1->setCurrentIndex(1);  // chime: no preview any more
    EXPECT_FALSE(form->Command3->isEnabled());
    EXPECT_FALSE(form->Command4->isEnabled());
    EXPECT_TRUE(form->Combo2->isEnabled());
    EXPECT_TRUE(form->Check1[1]->isEnabled());
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_FALSE(form->Command3->ShowsPlaying());
    EXPECT_EQ(Line(*form, 2), QStringLiteral("06:05\tチャイム"));

    form->Combo1->setCurrentIndex(2);
    form->Command3_Click();
    device.log.clear();
    form->Combo1->setCurrentIndex(0);
    EXPECT_FALSE(form->Combo2->isEnabled());
    EXPECT_FALSE(AnyCheckEnabled(*form));
    EXPECT_FALSE(form->Command3->isEnabled());
    EXPECT_FALSE(form->Command4->isEnabled());
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(Line(*form, 2), QStringLiteral("06:05\tOFF"));
    EXPECT_EQ(Checks(*form), (std::vector<bool>{false, true, false, false, false, true, false}))
        << "the days stay for when the alarm is switched on again";
}

TEST_F(AlarmFormTest, PreviewButtonPlaysTheLinesFileAndStops) {
    auto form = Load();
    form->List1->setCurrentRow(2);
    form->Command3_Click();
    EXPECT_EQ(device.OpenFile(), "/music/wake.mp3");
    form->Command3_Click();
    EXPECT_EQ(device.log, (Log{"open /music/wake.mp3", "play", "stop", "close"}));
    EXPECT_FALSE(form->Command3->ShowsPlaying());

    // Music without a file: the button stays usable and a preview plays nothing.
    form->List1->setCurrentRow(3);
    device.log.clear();
    EXPECT_TRUE(form->Command3->isEnabled());
    form->Command3_Click();
    EXPECT_TRUE(device.log.empty());
    EXPECT_FALSE(form->Command3->ShowsPlaying());
}

TEST_F(AlarmFormTest, SelectingAnotherLineStopsAPreviewAndKeepsTheEdits) {
    auto form = Load();
    form->List1->setCurrentRow(2);
    form->VScroll1[0]->StepUp();
    form->Command3_Click();
    device.log.clear();
    form->List1->setCurrentRow(1);
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_FALSE(form->Command3->ShowsPlaying());
    EXPECT_EQ(form->ItemData(2), AlarmValue::Make(7, 5, kMonday | kFriday, kAlarmSoundMusic).Packed());
    EXPECT_EQ(Line(*form, 2), QStringLiteral("07:05\t音楽"));
    EXPECT_EQ(Shown(*form), QStringLiteral("7:30"));
}

TEST_F(AlarmFormTest, MusicTheDialogDidNotStartOutlivesItItsOwnPreviewDoesNot) {
    music.PlayMusic("/music/radio.ogg", kPlayModeUser);  // the player window's music
    device.log.clear();
    auto form = Load();
    EXPECT_TRUE(device.log.empty());
    EXPECT_TRUE(form->Command3->ShowsPlaying());
    form->List1->setCurrentRow(3);
    form->Combo1->setCurrentIndex(kAlarmSoundOff);  // the play button greys
    form->List1->setCurrentRow(1);
    form->Command2_Click();
    EXPECT_TRUE(device.log.empty()) << "neither greying, another line nor closing stops it";
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);
    music.PlayMusic(std::string(), kPlayModeStop);

    auto previewing = Load();
    previewing->List1->setCurrentRow(2);
    previewing->Command3_Click();
    ASSERT_EQ(state.MusicPlayMode, kPlayModeUser);
    device.log.clear();
    previewing->Command2_Click();
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);

    auto quiet = Load();
    device.log.clear();
    quiet->close();  // the close box
    EXPECT_TRUE(device.log.empty()) << "nothing plays, nothing to stop";
}

TEST_F(AlarmFormTest, CancelLeavesBothTablesUnchanged) {
    const AlarmTables before = host.tables;
    auto form = Load();
    form->List1->setCurrentRow(2);
    form->VScroll1[1]->StepUp();
    form->Combo1->setCurrentIndex(1);
    form->List1->setCurrentRow(0);
    form->Combo1->setCurrentIndex(2);
    SetMusicFileDialogRunner([](QFileDialog& dialog) {
        dialog.selectFile(QStringLiteral("/tmp/chosen.wav"));
        return true;
    });
    form->Command4_Click();
    EXPECT_EQ(form->EditFile()[0], "/tmp/chosen.wav");
    form->Command2_Click();
    EXPECT_EQ(host.tables.AlarmSetting, before.AlarmSetting);
    EXPECT_EQ(host.tables.AlarmFile, before.AlarmFile);
    EXPECT_EQ(form->result(), QDialog::Rejected);

    auto escaped = Load();
    escaped->VScroll1[0]->StepUp();
    QTest::keyClick(escaped.get(), Qt::Key_Escape);
    EXPECT_FALSE(escaped->isVisible());
    EXPECT_EQ(host.tables.AlarmSetting, before.AlarmSetting);
}

TEST_F(AlarmFormTest, BrowseChoosesTheLinesFileAndOkWritesIt) {
    auto form = Load();
    form->List1->setCurrentRow(3);  // music without a file
    bool accept = false;
    SetMusicFileDialogRunner([&accept](QFileDialog& dialog) {
        dialog.selectFile(QStringLiteral("/tmp/other.wav"));
        return accept;
    });
    form->Command4_Click();
    EXPECT_TRUE(form->EditFile()[3].empty()) << "cancelled";

    form->List1->setCurrentRow(2);
    form->Command3_Click();
    device.log.clear();
    accept = true;
    form->Command4_Click();
    EXPECT_EQ(form->EditFile()[2], "/tmp/other.wav");
    EXPECT_EQ(device.log, (Log{"stop", "close"})) << "the old file's preview stops";
    EXPECT_TRUE(form->Command3->isEnabled());

    form->Command1_Click();
    EXPECT_EQ(host.tables.AlarmFile[2], "/tmp/other.wav");
}

TEST_F(AlarmFormTest, OkKeepsAStoredFileWhenTheWorkingNameIsEmpty) {
    auto form = Load();
    // A name the tables gained after the dialog copied them (its working name is empty).
    host.tables.AlarmFile[3] = "/music/other.wav";
    form->List1->setCurrentRow(3);
    form->VScroll1[1]->StepDown();
    form->Command1_Click();
    EXPECT_EQ(host.tables.AlarmFile[3], "/music/other.wav");
    EXPECT_EQ(host.tables.AlarmFile[2], "/music/wake.mp3");
    EXPECT_EQ(host.tables.AlarmSetting[3], AlarmValue::Make(23, 58, 0, kAlarmSoundMusic).Packed());
}

TEST_F(AlarmFormTest, OkDoesNotSwitchBackOnAnAlarmThatSwitchedItselfOffMeanwhile) {
    auto form = Load();
    // While the dialog is open the once alarm at 23:59 sounds and switches itself off.
    host.tables.AlarmSetting[3] = AlarmValue(host.tables.AlarmSetting[3]).SwitchedOff().Packed();
    form->List1->setCurrentRow(1);
    form->VScroll1[1]->StepUp();
    form->Command1_Click();
    EXPECT_EQ(host.tables.AlarmSetting[3], AlarmValue::Make(23, 59, 0, kAlarmSoundOff).Packed());
    EXPECT_EQ(host.tables.AlarmSetting[1], AlarmValue::Make(7, 31, kAlarmWeekdayMask, kAlarmSoundChime).Packed());

    // A line the user did edit is written as edited.
    host.tables.AlarmSetting[3] = AlarmValue::Make(23, 59, 0, kAlarmSoundMusic).Packed();
    host.tables.AlarmFile[3] = "/music/other.wav";
    auto again = Load();
    host.tables.AlarmSetting[3] = AlarmValue(host.tables.AlarmSetting[3]).SwitchedOff().Packed();
    again->List1->setCurrentRow(3);
    again->VScroll1[0]->StepDown();
    again->Command1_Click();
    EXPECT_EQ(host.tables.AlarmSetting[3], AlarmValue::Make(22, 59, 0, kAlarmSoundMusic).Packed());
}

TEST_F(AlarmFormTest, PlacedBesideTheClockTopAligned) {
    auto form = Load();
    EXPECT_EQ(form->pos(), QPoint(320, 200));

    host.clockFrame = QRect(1100, 900, 150, 150);  // at the right and the bottom
    auto low = Load();
    const QSize size = low->frameGeometry().size();
    EXPECT_EQ(low->pos(), QPoint(1100 - size.width(), 1000 - size.height()));

    host.window = WindowStateIndex::Maximized;
    auto centred = Load();
    EXPECT_EQ(centred->pos(), QPoint((1280 - size.width()) / 2, (1000 - size.height()) / 2));
}

TEST_F(AlarmFormTest, OpensModalBesideANormalClockAndModelessForAMinimisedOne) {
    auto owner = std::make_unique<QWidget>();
    // As the clock window opens it: one at a time.
    SingleDialog<AlarmForm> slot([](const AlarmForm& f) { return !f.IsUnloaded(); });
    const auto Open = [&slot](AlarmFormHost& h, QWidget* o) { return slot.Open([&] { return AlarmForm::Create(h, o); }); };
    QPointer<AlarmForm> form = Open(host, owner.get());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->parentWidget(), owner.get());
    EXPECT_EQ(form->List1->currentRow(), 0) << "loaded";
    EXPECT_EQ(Open(host, owner.get()), form.data()) << "one alarm dialog at a time";
    form->Combo1->setCurrentIndex(1);
    form->Command1_Click();
    EXPECT_EQ(AlarmValue(host.tables.AlarmSetting[0]).SoundKind(), kAlarmSoundChime);
    EXPECT_EQ(slot.Current(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form) << "deleted once closed";

    host.window = WindowStateIndex::Minimized;
    form = Open(host, owner.get());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowModality(), Qt::NonModal);
    EXPECT_EQ(slot.Current(), form.data());
    host.window = WindowStateIndex::Normal;
    EXPECT_EQ(Open(host, owner.get()), form.data());
    EXPECT_EQ(form->windowModality(), Qt::NonModal) << "modality holds from the first showing";

    // The clock window ending: closed as Cancel, its preview stopped, then deleted.
    const AlarmTables before = host.tables;
    form->List1->setCurrentRow(2);
    form->VScroll1[0]->StepUp();
    form->Command3_Click();
    ASSERT_EQ(state.MusicPlayMode, kPlayModeUser);
    form->close();
    delete form.data();
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(host.tables.AlarmSetting, before.AlarmSetting);
    owner.reset();
}

TEST_F(AlarmFormTest, EveryTextFitsItsControl) {
    auto form = Load();
    form->List1->setCurrentRow(1);
    for (QLabel* label : form->findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->text().toStdString();
        EXPECT_TRUE(form->rect().contains(QRect(button->mapTo(form.get(), QPoint(0, 0)), button->size())))
            << button->text().toStdString();
    }
    for (QComboBox* combo : {form->Combo1, form->Combo2})
        EXPECT_GE(combo->width(), combo->minimumSizeHint().width());
    QStyleOptionViewItem option;
    option.initFrom(form->List1);
    option.widget = form->List1;
    option.font = form->List1->font();
    for (int i = 0; i < kAlarmCount; ++i) {
        const QRect row = form->List1->visualItemRect(form->List1->item(i));
        EXPECT_TRUE(form->List1->viewport()->rect().contains(row)) << "line " << i << " in view";
        const QModelIndex index = form->List1->model()->index(i, 0);
        EXPECT_LE(form->List1->itemDelegate()->sizeHint(option, index).width(), form->List1->viewport()->width())
            << "line " << i << " not cut";
    }
    for (int i = 0; i < 2; ++i) {
        const QLineEdit* box = form->Text1[i];
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8);
    }

    const QString dir = qEnvironmentVariable("VIREO_SNAPSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(form->grab().save(dir + QStringLiteral("/alarm.png")));
        form->List1->setCurrentRow(2);
        EXPECT_TRUE(form->grab().save(dir + QStringLiteral("/alarm-music.png")));
    }
}

}  // namespace
}  // namespace vireo
