#include "options/OptionsApply.h"

#include "options/OptionForm.h"
#include "platform/Autostart.h"

#include "OptionsTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

namespace vireo {
namespace {

using test::OptionsFixture;
using Log = std::vector<std::string>;

const std::string kProgram = "/opt/vireo/bin/vireo";

class OptionsApplyTest : public OptionsFixture {
protected:
    void TearDown() override {
        form.reset();
        OptionsFixture::TearDown();
    }
    OptionForm& Open() {
        form = std::make_unique<OptionForm>(host);
        form->show();
        return *form;
    }
    // OK on the dialog as it opened, after the change the test makes.
    template <typename Change>
    void OkAfter(Change change) {
        OptionForm& f = Open();
        change(f);
        f.Command1_Click();
        EXPECT_TRUE(f.IsUnloaded());
    }
    std::int32_t Apply(const OptionChoices& choices) {
        SettingsStore store;
        OpenOwnSettings(store);
        return OptionsApply(choices, host, store, kProgram);
    }
    // The choices as the state stands: OK without change.
    OptionChoices Unchanged() const {
        OptionChoices c;
        c.Tray = host.state.ShowInTaskTray;
        c.CloseMinimizes = host.state.CloseButtonMinimized;
        c.Kind = host.state.TimeSignalMode;
        c.Scheme = host.state.BackgroundMode;
        c.Back = host.state.UserBackColor;
        c.Fore = host.state.UserForeColor;
        c.File = host.state.TimeSignalFile;
        return c;
    }
    static std::string Program() { return QCoreApplication::applicationFilePath().toStdString(); }

    std::unique_ptr<OptionForm> form;
};

TEST_F(OptionsApplyTest, OkWithoutChangeAppliesEverythingAgain) {
    SaveOptions(true, kHKeyLocalMachine, true);
    host.state.ShowInTaskTray = true;
    host.round = true;
    OkAfter([](OptionForm&) {});
    EXPECT_EQ(host.log, (Log{"SetWindowButtons(0)", "SetTransparentForm(0)", "SetCircleForm(1)",
                             "SetWindowButtons(0)"}));
    EXPECT_EQ(ReadAutostartEntry(AutostartScope::Machine, "Vireo"), Program())
        << "the entry is written again, naming the running program";
    EXPECT_EQ(Saved(kHKeyStartUp), kHKeyLocalMachine);
    EXPECT_TRUE(Saved(kMinimized));
    EXPECT_TRUE(Saved(kCircleForm));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(OptionsApplyTest, EveryStepInItsOrder) {
    host.windowState = WindowStateIndex::Minimized;
    host.state.TimeSignalMode = 1;
    OkAfter([this](OptionForm& f) {
        f.Check1->setChecked(true);
        f.Check3->setChecked(true);
        f.Combo1->setCurrentIndex(3);
        f.Combo2->setCurrentIndex(f.Combo2->findData(2));
        music.PlayMusic(musicFile, kPlayModeAlarm);  // an alarm sounds while the dialog is open
    });
    EXPECT_EQ(host.log, (Log{"AddTaskTrayIcon", "SetWindowButtons(1)", "MidiClose", "RestoreFromMinimized",
                             "SetTransparentForm(1)", "ShowReadoutMusicLook", "SetCircleForm(1)",
                             "SetWindowButtons(1)"}));
    EXPECT_TRUE(host.state.ShowInTaskTray);
    EXPECT_TRUE(host.state.CloseButtonMinimized);
    EXPECT_EQ(host.state.BackgroundMode, 3);
    EXPECT_EQ(host.state.TimeSignalMode, 2);
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeAlarm) << "the alarm's music is not the dialog's to stop";
}

TEST_F(OptionsApplyTest, ClearingTheIconOptionTurnsItsSubOptionsOff) {
    SaveOptions(true, kHKeyCurrentUser, false);
    ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", Program()));
    host.state.ShowInTaskTray = true;
    host.state.CloseButtonMinimized = true;
    OkAfter([](OptionForm& f) { f.Check1->setChecked(false); });
    EXPECT_EQ(host.log.front(), "RemoveTaskTrayIcon");
    EXPECT_EQ(host.log.at(1), "SetWindowButtons(0)");
    EXPECT_FALSE(host.state.ShowInTaskTray);
    EXPECT_FALSE(host.state.CloseButtonMinimized);
    EXPECT_FALSE(ReadAutostartEntry(AutostartScope::User, "Vireo").has_value()) << "entry deleted";
    EXPECT_EQ(Saved(kHKeyStartUp), 0);
    EXPECT_FALSE(Saved(kMinimized));
}

TEST_F(OptionsApplyTest, AnEntryThatCannotBeWrittenLeavesTheWorkingOneAndSaysSo) {
    SaveOptions(true, kHKeyCurrentUser, false);
    ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", Program()));
    host.state.ShowInTaskTray = true;
    OptionChoices c = Unchanged();
    c.StartUp = true;
    // A program path that did not survive conversion: no entry can name it.
    for (const bool machineRefused : {false, true}) {
        SCOPED_TRACE(machineRefused);
        if (machineRefused) BlockMachineAutostart();
        host.messages.clear();
        SettingsStore store;
        OpenOwnSettings(store);
        EXPECT_EQ(OptionsApply(c, host, store, std::string()), kHKeyCurrentUser);
        EXPECT_EQ(host.messages.size(), 1u) << "told";
        EXPECT_EQ(ReadAutostartEntry(AutostartScope::User, "Vireo"), Program()) << "the working entry stays";
        EXPECT_FALSE(ReadAutostartEntry(AutostartScope::Machine, "Vireo").has_value());
        EXPECT_EQ(Saved(kHKeyStartUp), kHKeyCurrentUser);
    }
}

TEST_F(OptionsApplyTest, StartUpGoesMachineWideFirst) {
    OkAfter([](OptionForm& f) {
        f.Check1->setChecked(true);
        f.Check4->setChecked(true);
    });
    EXPECT_EQ(ReadAutostartEntry(AutostartScope::Machine, "Vireo"), Program());
    EXPECT_FALSE(ReadAutostartEntry(AutostartScope::User, "Vireo").has_value());
    EXPECT_EQ(Saved(kHKeyStartUp), kHKeyLocalMachine);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(OptionsApplyTest, RefusedMachineWideEntryGoesToTheUserSilentlyAndIsRemovedFromThere) {
    BlockMachineAutostart();
    OkAfter([](OptionForm& f) {
        f.Check1->setChecked(true);
        f.Check4->setChecked(true);
    });
    EXPECT_EQ(ReadAutostartEntry(AutostartScope::User, "Vireo"), Program());
    EXPECT_EQ(Saved(kHKeyStartUp), kHKeyCurrentUser);
    EXPECT_TRUE(host.messages.empty());

    host.state.ShowInTaskTray = true;
    OkAfter([](OptionForm& f) {
        ASSERT_TRUE(f.Check4->isChecked());
        f.Check4->setChecked(false);
    });
    EXPECT_FALSE(ReadAutostartEntry(AutostartScope::User, "Vireo").has_value());
    EXPECT_EQ(Saved(kHKeyStartUp), 0);
}

TEST_F(OptionsApplyTest, BothRefusedTellsTheUserOnceAndEverythingElseStillHappens) {
    BlockMachineAutostart();
    BlockUserAutostart();
    OkAfter([](OptionForm& f) {
        f.Check1->setChecked(true);
        f.Check2->setChecked(true);
        f.Check4->setChecked(true);
        f.Check5->setChecked(true);
    });
    EXPECT_EQ(host.messages, (std::vector<std::string>{"スタートアップに登録できませんでした。"}));
    EXPECT_EQ(Saved(kHKeyStartUp), 0);
    EXPECT_TRUE(HasSaved("hKeyStartUp"));
    EXPECT_TRUE(Saved(kMinimized));
    EXPECT_TRUE(Saved(kCircleForm));
    EXPECT_TRUE(host.Logged("SetCircleForm(1)"));
    EXPECT_EQ(host.log.back(), "SetWindowButtons(0)");
}

TEST_F(OptionsApplyTest, AnEntryMovedToTheOtherRootLeavesNoneBehind) {
    SaveOptions(false, kHKeyCurrentUser, false);
    ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", Program()));
    host.state.ShowInTaskTray = true;
    OkAfter([](OptionForm&) {});  // the machine-wide folder takes it this time
    EXPECT_EQ(Saved(kHKeyStartUp), kHKeyLocalMachine);
    EXPECT_EQ(ReadAutostartEntry(AutostartScope::Machine, "Vireo"), Program());
    EXPECT_FALSE(ReadAutostartEntry(AutostartScope::User, "Vireo").has_value());

    OkAfter([](OptionForm& f) { f.Check4->setChecked(false); });
    EXPECT_FALSE(ReadAutostartEntry(AutostartScope::Machine, "Vireo").has_value());
    EXPECT_EQ(Saved(kHKeyStartUp), 0);
}

TEST_F(OptionsApplyTest, AnEntryThatCannotBeRemovedKeepsItsRoot) {
    SaveOptions(false, kHKeyCurrentUser, false);
    // A folder in the entry's place cannot be removed as a file.
    ASSERT_TRUE(QDir().mkpath(UserAutostartFile() + QStringLiteral("/inside")));
    host.state.ShowInTaskTray = true;
    OkAfter([](OptionForm& f) { f.Check4->setChecked(false); });
    EXPECT_EQ(Saved(kHKeyStartUp), kHKeyCurrentUser) << "the program still starts at log-on";

    SaveOptions(false, 12345, false);  // a root that names no place: nothing to remove
    OkAfter([](OptionForm& f) { f.Check4->setChecked(false); });
    EXPECT_EQ(Saved(kHKeyStartUp), 0);
}

TEST_F(OptionsApplyTest, MusicKindWithoutAFileKeepsTheOldKindAndNoneKeepsThePath) {
    host.state.TimeSignalMode = 2;
    host.state.TimeSignalFile.clear();
    OkAfter([](OptionForm& f) { f.Combo2->setCurrentIndex(f.Combo2->findData(4)); });
    EXPECT_EQ(host.state.TimeSignalMode, 2);
    EXPECT_TRUE(host.state.TimeSignalFile.empty());

    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    OkAfter([](OptionForm& f) { f.Combo2->setCurrentIndex(f.Combo2->findData(0)); });
    EXPECT_EQ(host.state.TimeSignalMode, 0);
    EXPECT_EQ(host.state.TimeSignalFile, musicFile);
}

TEST_F(OptionsApplyTest, LeavingMusicStopsOnlyMusicTheTimeSignalStarted) {
    host.state.TimeSignalMode = 4;
    host.state.TimeSignalFile = musicFile;
    music.PlayMusic(musicFile, kPlayModeTimeSignal);
    OptionChoices c = Unchanged();
    Apply(c);
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeTimeSignal) << "kind unchanged";
    c.Kind = 0;
    Apply(c);
    EXPECT_EQ(host.state.MusicPlayMode, 0);

    host.state.TimeSignalMode = 4;
    music.PlayMusic(otherFile, kPlayModeUser);
    Apply(c);
    EXPECT_EQ(host.state.MusicPlayMode, kPlayModeUser) << "the user's own music plays on";
}

TEST_F(OptionsApplyTest, LeavingAChimeKindClosesTheChimeOutput) {
    const struct {
        int from, to;
        bool closes;
    } cases[] = {{1, 2, true}, {3, 0, true}, {2, 4, true}, {2, 2, false}, {4, 1, false}, {0, 3, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.from) + " -> " + std::to_string(k.to));
        host.log.clear();
        host.state.TimeSignalMode = k.from;
        host.state.TimeSignalFile = musicFile;
        OptionChoices c = Unchanged();
        c.Kind = k.to;
        Apply(c);
        EXPECT_EQ(host.Logged("MidiClose"), k.closes);
        EXPECT_EQ(host.state.TimeSignalMode, k.to);
    }
}

TEST_F(OptionsApplyTest, TransparentIsAlwaysRoundAndLeavingItRestoresTheRectangle) {
    OptionChoices c = Unchanged();
    c.Scheme = 3;
    Apply(c);
    EXPECT_TRUE(host.Logged("SetCircleForm(1)")) << "round although the check box is clear";
    EXPECT_EQ(Saved(kCircleForm), false);

    host.log.clear();
    c.Scheme = 1;
    Apply(c);
    EXPECT_TRUE(host.Logged("SetTransparentForm(0)"));
    EXPECT_TRUE(host.Logged("SetCircleForm(0)"));

    host.log.clear();
    Apply(c);
    EXPECT_FALSE(host.Logged("SetCircleForm(0)")) << "a rectangle stays as it is";
    EXPECT_FALSE(host.Logged("SetCircleForm(1)"));
}

TEST_F(OptionsApplyTest, ColoursAreCommittedLast) {
    OptionChoices c = Unchanged();
    c.Scheme = 4;
    c.Back = 0x123456;
    c.Fore = 0x654321;
    c.Round = true;  // so that every window step runs
    const OleColor before = host.state.UserBackColor;
    Apply(c);
    // The scheme is in force from the see-through step on; the colours come after every step.
    ASSERT_EQ(host.seenAtWindowCalls.size(), 4u);
    EXPECT_NE(host.seenAtWindowCalls.front().first, 4) << "the buttons come before the scheme";
    for (std::size_t i = 0; i < host.seenAtWindowCalls.size(); ++i)
        EXPECT_EQ(host.seenAtWindowCalls[i].second, before) << "call " << i << " saw the new colours";
    for (std::size_t i = 1; i < host.seenAtWindowCalls.size(); ++i)
        EXPECT_EQ(host.seenAtWindowCalls[i].first, 4) << "call " << i << " saw the old scheme";
    EXPECT_EQ(host.state.UserBackColor, 0x123456);
    EXPECT_EQ(host.state.UserForeColor, 0x654321);
    EXPECT_EQ(host.state.BackgroundMode, 4);
}

}  // namespace
}  // namespace vireo
