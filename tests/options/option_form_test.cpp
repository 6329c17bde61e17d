#include "options/OptionForm.h"

#include "music/MusicFileChooser.h"
#include "music/PlayStopButton.h"
#include "options/ColorChooser.h"
#include "platform/DialogPlacement.h"

#include "DialogLook.h"
#include "OptionsTestSupport.h"
#include "platform/SingleDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace vireo {
namespace {

using test::OptionsFixture;
using Log = std::vector<std::string>;

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

class OptionFormTest : public OptionsFixture {
protected:
    void TearDown() override {
        form.reset();
        SetColorDialogRunner({});
        SetMusicFileDialogRunner({});
        OptionsFixture::TearDown();
    }
    OptionForm& Open() {
        form = std::make_unique<OptionForm>(host);
        form->show();
        return *form;
    }
    void SelectKind(int kind) {
        const int index = form->Combo2->findData(kind);
        ASSERT_GE(index, 0);
        form->Combo2->setCurrentIndex(index);
    }
    // The colour dialog's answers, in turn; records where it opened.
    void AnswerColors(std::vector<std::optional<QColor>> answers) {
        SetColorDialogRunner([this, answers, n = std::size_t(0)](QColorDialog& dialog) mutable {
            opened.push_back(dialog.currentColor());
            const auto answer = n < answers.size() ? answers[n++] : std::nullopt;
            if (answer) dialog.setCurrentColor(*answer);
            return answer.has_value();
        });
    }

    std::unique_ptr<OptionForm> form;
    std::vector<QColor> opened;
};

TEST_F(OptionFormTest, ControlsCaptionsListsAndTabOrder) {
    OptionForm& f = Open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("オプション"));
    EXPECT_EQ(f.Check1->text(), QStringLiteral("タスクトレイに常駐(&T)"));
    EXPECT_EQ(f.Frame1->title(), QStringLiteral("常駐オプション"));
    EXPECT_EQ(f.Check2->text(), QStringLiteral("最小化起動(&N)"));
    EXPECT_EQ(f.Check3->text(), QStringLiteral("[閉じる]ボタンで最小化(&C)"));
    EXPECT_EQ(f.Check4->text(), QStringLiteral("スタートアップに登録(&S)"));
    EXPECT_EQ(f.Check2->parentWidget(), f.Frame1);
    EXPECT_EQ(f.Label1->text(), QStringLiteral("背景(&G)"));
    EXPECT_EQ(f.Label1->buddy(), f.Combo1);
    EXPECT_EQ(f.Check5->text(), QStringLiteral("丸いウィンドウ(&R)"));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("ユーザ色"));
    EXPECT_EQ(f.Label3->text(), QStringLiteral("Clock"));
    EXPECT_EQ(f.Command5[0]->text(), QStringLiteral("前景(&F)..."));
    EXPECT_EQ(f.Command5[1]->text(), QStringLiteral("背景(&K)..."));
    EXPECT_EQ(f.Label4->text(), QStringLiteral("時報(&H)"));
    EXPECT_EQ(f.Label4->buddy(), f.Combo2);
    EXPECT_EQ(f.Command3->objectName(), QStringLiteral("Command3"));
    EXPECT_EQ(f.Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(f.Command3->toolTip(), QStringLiteral("再生"));
    EXPECT_EQ(f.Command3->font().family(), QStringLiteral("Webdings"));
    EXPECT_EQ(f.Command4->text(), QStringLiteral("参照(&B)..."));
    EXPECT_EQ(f.Command4->toolTip(), QStringLiteral("ファイルの選択"));
    EXPECT_EQ(f.Command1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(f.Command1->isDefault());
    EXPECT_EQ(f.Command2->text(), QStringLiteral("キャンセル"));

    EXPECT_EQ(Items(f.Combo1), (QStringList{QStringLiteral("Windows標準"), QStringLiteral("昼夜別"),
                                            QStringLiteral("デスクトップの色"), QStringLiteral("透過"),
                                            QStringLiteral("ユーザ設定")}));
    EXPECT_EQ(Items(f.Combo2), (QStringList{QStringLiteral("なし"), QStringLiteral("チャイム"),
                                            QStringLiteral("4点時報"), QStringLiteral("時刻の数"),
                                            QStringLiteral("音楽")}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.Combo1->itemData(i).toInt(), i);
        EXPECT_EQ(f.Combo2->itemData(i).toInt(), i);
    }

    // Tab order, over the controls that take the focus.
    std::vector<QWidget*> chain;
    QWidget* w = f.Check1;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &f && !w->isWindow()) chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w != f.Check1);
    const std::vector<QWidget*> designed{f.Check1, f.Check2, f.Check3, f.Check4, f.Combo1,
                                         f.Check5, f.Command5[0], f.Command5[1], f.Combo2,
                                         f.Command3, f.Command4, f.Command1, f.Command2};
    EXPECT_EQ(chain, designed);
}

TEST_F(OptionFormTest, NoCaptionIsCutAndTheSeparatorIsEtched) {
    OptionForm& f = Open();
    for (QWidget* w : std::initializer_list<QWidget*>{f.Check1, f.Check2, f.Check3, f.Check4, f.Check5,
                                                      f.Label1, f.Label2, f.Label4, f.Command5[0],
                                                      f.Command5[1], f.Command4, f.Command1, f.Command2}) {
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->metaObject()->className();
        EXPECT_TRUE(f.rect().contains(w->geometry().translated(w->parentWidget()->mapTo(&f, QPoint()))))
            << w->metaObject()->className();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{f.Check2, f.Check3, f.Check4})
        EXPECT_GE(w->y(), f.Frame1->fontMetrics().height()) << "below the frame's caption";
    // The two lines lie one screen pixel apart, above the buttons, across the dialog.
    EXPECT_DOUBLE_EQ(f.Line1->LineY(1) - f.Line1->LineY(0), 1.0 / f.devicePixelRatioF());
    EXPECT_LT(f.Line1->y(), f.Command1->y());
    EXPECT_GT(f.Line1->y(), f.Combo2->geometry().bottom());
    EXPECT_GE(f.Line1->width(), f.width() - 1);
}

TEST_F(OptionFormTest, LoadsTheClockStateAndTheSavedOptions) {
    SaveOptions(true, 12345, true);  // any non-zero root checks the start-up option
    host.state.ShowInTaskTray = true;
    host.state.CloseButtonMinimized = true;
    host.state.BackgroundMode = 4;
    host.state.UserBackColor = 0x0000FF;
    host.state.UserForeColor = 0x00FF00;
    host.state.TimeSignalMode = 3;
    host.state.TimeSignalFile = musicFile;
    OptionForm& f = Open();
    EXPECT_TRUE(f.Check1->isChecked());
    EXPECT_TRUE(f.Check2->isChecked());
    EXPECT_TRUE(f.Check3->isChecked());
    EXPECT_TRUE(f.Check4->isChecked());
    EXPECT_TRUE(f.Check5->isChecked());
    EXPECT_TRUE(f.Check2->isEnabled());
    EXPECT_EQ(f.Combo1->currentIndex(), 4);
    EXPECT_TRUE(f.Command5[0]->isEnabled());
    EXPECT_EQ(f.SampleBackColor(), 0x0000FF);
    EXPECT_EQ(f.SampleForeColor(), 0x00FF00);
    EXPECT_EQ(f.Label3->palette().color(QPalette::Active, QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(f.Label3->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(f.Combo2->currentText(), QStringLiteral("時刻の数"));
    EXPECT_FALSE(f.Command4->isEnabled());
    EXPECT_EQ(f.SignalFile(), musicFile);
}

TEST_F(OptionFormTest, DefaultsWhenNothingIsSaved) {
    OptionForm& f = Open();
    EXPECT_FALSE(f.Check1->isChecked());
    EXPECT_FALSE(f.Check2->isChecked());
    EXPECT_FALSE(f.Check4->isChecked());
    EXPECT_FALSE(f.Check5->isChecked());
    EXPECT_FALSE(f.Check2->isEnabled());
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("昼夜別"));
    EXPECT_EQ(f.Combo2->currentText(), QStringLiteral("4点時報"));
    EXPECT_FALSE(f.Command3->isEnabled());
    EXPECT_FALSE(f.Command4->isEnabled());
}

TEST_F(OptionFormTest, WithoutMidiOnlyNoneMusicAndTheKindAlreadyChosenAreOffered) {
    host.midi = false;
    host.state.TimeSignalMode = 0;
    OptionForm& none = Open();
    EXPECT_EQ(Items(none.Combo2), (QStringList{QStringLiteral("なし"), QStringLiteral("音楽")}));
    none.Command2_Click();

    // A MIDI kind chosen while the output was there is kept, not lost to an OK.
    host.state.TimeSignalMode = 2;
    OptionForm& f = Open();
    EXPECT_EQ(Items(f.Combo2), (QStringList{QStringLiteral("なし"), QStringLiteral("4点時報"), QStringLiteral("音楽")}));
    EXPECT_EQ(f.Combo2->currentText(), QStringLiteral("4点時報"));
    EXPECT_FALSE(f.Combo2->itemData(1, Qt::ToolTipRole).toString().isEmpty()) << "it says why it may be silent";
    f.Command1_Click();
    EXPECT_EQ(host.state.TimeSignalMode, 2);

    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    OptionForm& again = Open();
    EXPECT_EQ(again.Combo2->currentText(), QStringLiteral("音楽")) << "searched by item data, not position";
    EXPECT_EQ(OptionForm::SelectedData(again.Combo2), 4);
}

TEST_F(OptionFormTest, AKindNoItemCarriesShowsNone) {
    host.state.TimeSignalMode = 9;
    OptionForm& f = Open();
    EXPECT_EQ(f.Combo2->currentText(), QStringLiteral("なし"));
}

TEST_F(OptionFormTest, ClearingTheIconOptionGreysItsSubOptionsAndKeepsTheirMarks) {
    SaveOptions(true, kHKeyCurrentUser, false);
    host.state.ShowInTaskTray = true;
    host.state.CloseButtonMinimized = true;
    OptionForm& f = Open();
    f.Check1->setChecked(false);
    for (QCheckBox* c : {f.Check2, f.Check3, f.Check4}) {
        EXPECT_FALSE(c->isEnabled());
        EXPECT_TRUE(c->isChecked());
    }
    f.Check1->setChecked(true);
    for (QCheckBox* c : {f.Check2, f.Check3, f.Check4}) {
        EXPECT_TRUE(c->isEnabled());
        EXPECT_TRUE(c->isChecked());
    }
}

TEST_F(OptionFormTest, SchemeRuleGreysRoundForTransparentAndUserColoursOtherwise) {
    SaveOptions(false, 0, true);
    host.state.BackgroundMode = 4;
    OptionForm& f = Open();
    const auto userControlsEnabled = [&f] {
        return std::vector<bool>{f.Label2->isEnabled(), f.Label3->isEnabled(), f.Command5[0]->isEnabled(),
                                 f.Command5[1]->isEnabled()};
    };
    EXPECT_EQ(userControlsEnabled(), std::vector<bool>(4, true));
    EXPECT_TRUE(f.Check5->isEnabled());

    f.Combo1->setCurrentIndex(3);  // 透過
    EXPECT_FALSE(f.Check5->isEnabled());
    EXPECT_TRUE(f.Check5->isChecked()) << "the mark stays";
    EXPECT_EQ(userControlsEnabled(), std::vector<bool>(4, false));
    for (int scheme : {0, 1, 2}) {
        f.Combo1->setCurrentIndex(scheme);
        EXPECT_TRUE(f.Check5->isEnabled());
        EXPECT_EQ(userControlsEnabled(), std::vector<bool>(4, false));
    }
}

TEST_F(OptionFormTest, MusicWithoutAFileCanBeBrowsedButNotPlayed) {
    OptionForm& f = Open();
    SelectKind(4);
    EXPECT_FALSE(f.Command3->isEnabled());
    EXPECT_TRUE(f.Command4->isEnabled());

    SetMusicFileDialogRunner([this](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(musicFile));
        return true;
    });
    f.Command4_Click();
    EXPECT_EQ(f.SignalFile(), musicFile);
    EXPECT_TRUE(f.Command3->isEnabled());
    EXPECT_TRUE(host.state.TimeSignalFile.empty()) << "nothing is committed before OK";

    SelectKind(0);
    EXPECT_FALSE(f.Command3->isEnabled());
    EXPECT_FALSE(f.Command4->isEnabled());
}

TEST_F(OptionFormTest, ColourButtonsOpenAtTheCommittedColourAndCancelChangesNothing) {
    host.state.BackgroundMode = 4;
    host.state.UserBackColor = 0xFFFFFF;
    host.state.UserForeColor = 0x000000;
    OptionForm& f = Open();
    AnswerColors({QColor(255, 0, 0), QColor(0, 0, 255), std::nullopt, QColor(0, 128, 0)});

    f.Command5[1]->click();  // 背景: red
    EXPECT_EQ(f.SampleBackColor(), 0x0000FF);
    f.Command5[1]->click();  // 背景 again: blue
    EXPECT_EQ(f.SampleBackColor(), 0xFF0000);
    f.Command5[1]->click();  // cancelled
    EXPECT_EQ(f.SampleBackColor(), 0xFF0000);
    f.Command5[0]->click();  // 前景: green
    EXPECT_EQ(f.SampleForeColor(), 0x008000);
    EXPECT_EQ(f.SampleBackColor(), 0xFF0000);
    EXPECT_EQ(opened, (std::vector<QColor>{Qt::white, Qt::white, Qt::white, Qt::black}))
        << "every chooser opens on the colour last committed, not on the sample";
    EXPECT_EQ(host.state.UserBackColor, 0xFFFFFF);

    f.Command1_Click();
    EXPECT_EQ(host.state.UserBackColor, 0xFF0000);
    EXPECT_EQ(host.state.UserForeColor, 0x008000);
}

TEST_F(OptionFormTest, PreviewPlaysAndStopsAndLeavingMusicStopsIt) {
    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    OptionForm& f = Open();
    ASSERT_TRUE(f.Command3->isEnabled());
    f.Command3_Click();
    EXPECT_EQ(device.OpenFile(), musicFile);
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeUser);
    EXPECT_EQ(f.Command3->Caption(), QStringLiteral("<"));
    EXPECT_EQ(f.focusWidget(), f.Combo2);

    f.Command1->setFocus();
    f.Command3_Click();
    EXPECT_EQ(host.state.MusicPlayMode, 0);
    EXPECT_EQ(f.Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(f.focusWidget(), f.Combo2);

    f.Command3_Click();
    ASSERT_EQ(host.state.MusicPlayMode, kPlayModeUser);
    SelectKind(0);
    EXPECT_EQ(host.state.MusicPlayMode, 0) << "the play button went grey while it showed playing";
    EXPECT_FALSE(f.IsUnloaded());
}

TEST_F(OptionFormTest, ClosingInAnyWayStopsItsOwnPreviewAndOnlyThat) {
    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    enum class Way { Cancel, Esc, CloseBox, Ok };
    for (Way way : {Way::Cancel, Way::Esc, Way::CloseBox, Way::Ok}) {
        for (bool preview : {true, false}) {
            SCOPED_TRACE(static_cast<int>(way) * 2 + preview);
            OptionForm& f = Open();
            if (preview)
                f.Command3_Click();
            else
                music.PlayMusic(otherFile, kPlayModeAlarm);  // started elsewhere: an alarm
            ASSERT_TRUE(f.Command3->ShowsPlaying());
            switch (way) {
            case Way::Cancel: f.Command2->click(); break;
            case Way::Esc: QTest::keyClick(&f, Qt::Key_Escape); break;
            case Way::CloseBox: f.close(); break;
            case Way::Ok: f.Command1->click(); break;
            }
            EXPECT_TRUE(f.IsUnloaded());
            EXPECT_FALSE(f.isVisible());
            EXPECT_EQ(host.state.MusicPlayMode, preview ? 0 : kPlayModeAlarm);
            music.PlayMusic(std::string(), kPlayModeStop);
        }
    }
}

TEST_F(OptionFormTest, MusicPlayingAtOpeningIsShownAndKeepsPlayingAfterClosing) {
    music.PlayMusic(otherFile, kPlayModeAlarm);
    OptionForm& f = Open();  // time-signal kind 2: the play button is grey
    EXPECT_FALSE(f.Command3->isEnabled());
    EXPECT_EQ(f.Command3->Caption(), QStringLiteral("<"));
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeAlarm);
    f.Command2_Click();
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeAlarm);
}

TEST_F(OptionFormTest, WithoutAMusicEngineThePreviewDoesNothing) {
    host.music = nullptr;
    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    OptionForm& f = Open();
    f.Command3_Click();
    EXPECT_EQ(f.Command3->Caption(), QStringLiteral("4"));
    SelectKind(0);
    f.Command1_Click();
    EXPECT_TRUE(f.IsUnloaded());
    EXPECT_EQ(host.state.TimeSignalMode, 0);
    EXPECT_TRUE(device.log.empty());
}

TEST_F(OptionFormTest, CancelCommitsNothing) {
    SaveOptions(false, 0, false);
    OptionForm& f = Open();
    f.Check1->setChecked(true);
    f.Check2->setChecked(true);
    f.Check5->setChecked(true);
    f.Combo1->setCurrentIndex(3);
    SelectKind(0);
    f.Command2_Click();
    EXPECT_FALSE(host.state.ShowInTaskTray);
    EXPECT_EQ(host.state.BackgroundMode, 1);
    EXPECT_EQ(host.state.TimeSignalMode, 2);
    EXPECT_FALSE(Saved(kMinimized));
    EXPECT_FALSE(Saved(kCircleForm));
    EXPECT_TRUE(host.log.empty());
}

TEST_F(OptionFormTest, RightClickOnTheIconOptionRepairsTheIconOnlyWhenTheClockHasOne) {
    OptionForm& f = Open();
    const QPoint inside = f.Check1->rect().center();
    QTest::mouseRelease(f.Check1, Qt::RightButton, {}, inside);
    EXPECT_TRUE(host.log.empty()) << "no icon, nothing to repair";

    host.state.ShowInTaskTray = true;
    QTest::mouseRelease(f.Check1, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(host.log.empty()) << "left button";
    f.Check1_MouseUp(Qt::RightButton, f.Check1->width() + 1, 2);
    EXPECT_TRUE(host.log.empty()) << "released outside the check box";

    const bool checked = f.Check1->isChecked();
    QTest::mouseRelease(f.Check1, Qt::RightButton, {}, inside);
    EXPECT_EQ(host.log, (Log{"RepairTaskTrayIcon", "Beep"}));
    EXPECT_EQ(f.Check1->isChecked(), checked) << "whatever the box shows, it keeps it";
}

TEST_F(OptionFormTest, PlacedBesideTheClockOrCentredWhenTheClockIsNotNormal) {
    host.frame = QRect(100, 120, 200, 220);
    OptionForm& right = Open();
    // The frame the placement counts: before showing, one like that of a window on the screen.
    const QSize size = ExpectedFrameSize(&right);
    EXPECT_EQ(right.pos(), QPoint(300, 120)) << "touches the clock's right edge, tops aligned";

    host.frame = QRect(1000, 120, 200, 220);
    EXPECT_EQ(Open().pos(), QPoint(1000 - size.width(), 120)) << "no room on the right";

    host.frame = QRect(100, 900, 200, 220);
    EXPECT_EQ(Open().pos(), QPoint(300, 1000 - size.height())) << "kept above the work area's bottom";

    host.windowState = WindowStateIndex::Minimized;
    EXPECT_EQ(Open().pos(), QPoint((1280 - size.width()) / 2, (1000 - size.height()) / 2));
    host.windowState = WindowStateIndex::Maximized;
    EXPECT_EQ(Open().pos(), QPoint((1280 - size.width()) / 2, (1000 - size.height()) / 2));
}

TEST_F(OptionFormTest, F1ShowsHelpTopic13) {
    OptionForm& f = Open();
    QTest::keyClick(f.Check1, Qt::Key_F1);
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_EQ(host.help, (std::vector<int>{13, 13}));
}

TEST_F(OptionFormTest, OneInstanceModalUnlessTheClockIsMinimised) {
    QWidget owner;
    // As the clock window opens it: one at a time.
    SingleDialog<OptionForm> slot([](const OptionForm& f) { return !f.IsUnloaded(); });
    const auto ShowOptionForm = [&slot](OptionsHost& h, QWidget* o) {
        return slot.Open([&] { return NewOptionForm(h, o); });
    };
    OptionForm* first = ShowOptionForm(host, &owner);
    EXPECT_EQ(ShowOptionForm(host, &owner), first);
    EXPECT_EQ(slot.Current(), first);
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_EQ(first->windowModality(), Qt::ApplicationModal);
    host.windowState = WindowStateIndex::Minimized;
    EXPECT_EQ(ShowOptionForm(host, &owner), first) << "the open one is only brought forward";
    EXPECT_EQ(first->windowModality(), Qt::ApplicationModal);
    host.windowState = WindowStateIndex::Normal;
    QPointer<OptionForm> closed(first);
    first->Command2_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull()) << "the dialog goes once it closed";
    EXPECT_EQ(slot.Current(), nullptr);

    host.windowState = WindowStateIndex::Minimized;
    OptionForm* second = ShowOptionForm(host, &owner);
    EXPECT_EQ(second->windowModality(), Qt::NonModal);
    second->Command2_Click();
    // Opened again before the closed one is deleted: a new one, which stays the open one.
    OptionForm* third = ShowOptionForm(host, &owner);
    EXPECT_NE(third, second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(slot.Current(), third);
    EXPECT_EQ(ShowOptionForm(host, &owner), third);
    third->Command2_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The dialog as drawn, whole and greyed: not blank, no caption cut off; with
// VIREO_SNAPSHOT_DIR set the pictures are also kept there for a look by eye.
TEST_F(OptionFormTest, DrawnWholeWithNoCaptionCutOff) {
    const QString folder = qEnvironmentVariable("VIREO_SNAPSHOT_DIR");
    host.state.ShowInTaskTray = true;
    host.state.BackgroundMode = 4;
    host.state.UserBackColor = 0xFFE0C0;
    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    OptionForm& f = Open();
    const auto look = [&](const char* name) {
        QApplication::processEvents();
        const QImage picture = f.grab().toImage();
        EXPECT_GT(test::ColourCount(picture), 8) << name << ": a blank dialog";
        EXPECT_TRUE(test::CutCaptions(f).isEmpty()) << name << ": " << test::CutCaptions(f).join(" | ").toStdString();
        EXPECT_TRUE(test::HasDialogFont(f)) << name;
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(folder + QStringLiteral("/vireo-%1.png").arg(name)));
        }
    };
    look("options");
    f.Combo1->setCurrentIndex(3);
    f.Check1->setChecked(false);
    f.Command3_Click();
    look("options-greyed");
}

}  // namespace
}  // namespace vireo
