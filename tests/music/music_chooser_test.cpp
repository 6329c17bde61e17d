// The music file chooser on Qt's real file dialog (only its modal run is replaced), and the
// play/stop button that tells it whether a preview plays.

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayStopButton.h"

#include "SoundFakes.h"

#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace vireo {
namespace {

TEST(MusicFilterIndex, OnlyTheLastThreeCharactersCountInAnyCase) {
    EXPECT_EQ(MusicFilterIndex("C:/m/song.WAV"), 1);
    EXPECT_EQ(MusicFilterIndex("/m/tune.MID"), 2);
    EXPECT_EQ(MusicFilterIndex("/m/tune.rmi"), 2);
    EXPECT_EQ(MusicFilterIndex("/m/a.mp3"), 3);
    EXPECT_EQ(MusicFilterIndex("/m/a.Wma"), 4);
    for (const char* video : {"/v/a.wmv", "/v/a.asf", "/v/a.asx", "/v/a.AVI"})
        EXPECT_EQ(MusicFilterIndex(video), 5) << video;
    EXPECT_EQ(MusicFilterIndex("/m/a.mpeg"), 6);
    EXPECT_EQ(MusicFilterIndex(""), 6);
    EXPECT_EQ(MusicFilterIndex("av"), 6);
    EXPECT_EQ(MusicFilterIndex("/m/nodotwav"), 1) << "no dot is looked for";
    EXPECT_EQ(MusicFilterIndex("/m/曲.mid"), 2) << "counted in characters, not bytes";
}

class MusicChooserTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ClockState state;
    testing::FakeMusicDevice device;
    MusicEngine music{device, state};
    QWidget owner;
    PlayStopButton* Command3 = nullptr;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Command3 = new PlayStopButton(&music, &owner);
        Command3->setObjectName(QStringLiteral("Command3"));
        device.playable = {Path("old.mp3").toStdString()};
        for (const char* name : {"old.mp3", "new.wav", "曲 と 空白.mid"}) {
            QFile f(Path(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    void TearDown() override { SetMusicFileDialogRunner({}); }
    QString Path(const QString& name) const { return dir.path() + u'/' + name; }

    // Runs the chooser; the "user" picks pick (or cancels when it is empty).
    std::string Choose(std::string current, const QString& pick, QFileDialog** seen = nullptr) {
        SetMusicFileDialogRunner([&](QFileDialog& dialog) {
            if (seen) {
                *seen = &dialog;
                observed.title = dialog.windowTitle();
                observed.filters = dialog.nameFilters();
                observed.filter = dialog.selectedNameFilter();
                observed.folder = dialog.directory().absolutePath();
                observed.native = !dialog.testOption(QFileDialog::DontUseNativeDialog);
            }
            if (pick.isEmpty()) return false;
            dialog.selectFile(pick);
            return true;
        });
        SelectMusicFile(current, &owner, &music, Command3);
        return current;
    }
    struct {
        QString title, filter, folder;
        QStringList filters;
        bool native = true;
    } observed;
};

TEST_F(MusicChooserTest, TheDialogStartsOnTheCurrentFileWithItsFilter) {
    QFileDialog* seen = nullptr;
    Choose(Path("tune.MID").toStdString(), {}, &seen);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(observed.title, QStringLiteral("音楽ファイルを選択"));
    ASSERT_EQ(observed.filters.size(), 6);
    EXPECT_EQ(observed.filters.front(), QStringLiteral("Windows Audio ファイル (*.wav)"));
    EXPECT_EQ(observed.filters.back(), QStringLiteral("すべてのファイル (*.*)"));
    EXPECT_EQ(observed.filter, QStringLiteral("MIDI ファイル (*.mid;*.rmi)"));
    EXPECT_EQ(observed.folder, QDir(dir.path()).absolutePath());
    EXPECT_FALSE(observed.native) << "the native dialog would need the GLib loop";

    Choose("", {}, &seen);
    EXPECT_EQ(observed.filter, QStringLiteral("すべてのファイル (*.*)"));
}

// What the dialog lists under each filter: every file the filter's patterns name, whatever
// the separator the filter's text uses between them.
TEST_F(MusicChooserTest, EachFilterListsItsFiles) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QStringList names = {"a.wav", "b.mid", "c.RMI", "d.mp3", "e.wma", "f.wmv", "g.asf",
                               "h.asx", "i.avi", "j.txt"};
    for (const QString& name : names) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    std::vector<QStringList> listed;
    SetMusicFileDialogRunner([&](QFileDialog& dialog) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        auto* model = dialog.findChild<QFileSystemModel*>();
        if (!view || !model) return false;
        bool loaded = false;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, [&](const QString&) { loaded = true; });
        for (int wait = 0; wait < 250 && !loaded; ++wait) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (!combo) return false;
        for (int index = 0; index < combo->count(); ++index) {
            // Chosen as the user does, with the keys on the dialog's list of types.
            QTest::keyClick(combo, index == 0 ? Qt::Key_Home : Qt::Key_Down);
            if (combo->currentIndex() != index) return false;
            // The model filters again on its own thread: the list counts once it has stayed
            // the same for a fifth of a second (a loaded machine can take a while to start).
            auto shownNow = [&] {
                const QModelIndex root = model->index(folder.path());
                QStringList shown;
                for (int row = 0; row < model->rowCount(root); ++row) {
                    const QModelIndex i = model->index(row, 0, root);
                    if (!view->isRowHidden(row) && (model->flags(i) & Qt::ItemIsEnabled)) shown << model->fileName(i);
                }
                shown.sort();
                return shown;
            };
            QStringList shown = shownNow();
            for (int steady = 0, wait = 0; steady < 10 && wait < 250; ++wait) {
                QTest::qWait(20);
                const QStringList again = shownNow();
                steady = again == shown && !again.isEmpty() ? steady + 1 : 0;
                shown = again;
            }
            listed.push_back(shown);
        }
        return false;
    });
    std::string current = folder.filePath(QStringLiteral("b.mid")).toStdString();
    SelectMusicFile(current, &owner, &music, Command3);
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(listed[0], QStringList({"a.wav"}));
    EXPECT_EQ(listed[1], QStringList({"b.mid", "c.RMI"}));
    EXPECT_EQ(listed[2], QStringList({"d.mp3"}));
    EXPECT_EQ(listed[3], QStringList({"e.wma"}));
    EXPECT_EQ(listed[4], QStringList({"f.wmv", "g.asf", "h.asx", "i.avi"}));
    EXPECT_EQ(listed[5].size(), names.size());
}

TEST_F(MusicChooserTest, ChoosingReplacesTheNameAndStopsAPreviewCancellingChangesNothing) {
    const std::string old = Path("old.mp3").toStdString();
    music.PlayMusic(old, kPlayModeUser);
    ASSERT_TRUE(Command3->ShowsPlaying());

    EXPECT_EQ(Choose(old, {}), old) << "cancel keeps the name";
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser) << "and the preview plays on";

    const QString picked = Path("曲 と 空白.mid");
    EXPECT_EQ(Choose(old, picked), picked.toStdString()) << "the whole path, spaces and all";
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop) << "the preview of the old file stops";
    EXPECT_FALSE(Command3->ShowsPlaying());
    EXPECT_EQ(Command3->Caption(), QStringLiteral("4"));
    EXPECT_EQ(Command3->toolTip(), QStringLiteral("再生"));
}

TEST_F(MusicChooserTest, ChoosingTheSameFileWhileMusicPlaysStillStopsIt) {
    const std::string old = Path("old.mp3").toStdString();
    music.PlayMusic(old, kPlayModeAlarm);  // not the dialog's preview: any music counts
    EXPECT_EQ(Choose(old, Path("old.mp3")), old);
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
}

TEST_F(MusicChooserTest, NothingStopsWhenTheOwnerShowsNoMusic) {
    QWidget bare;  // an owner without a play/stop button
    const std::string old = Path("old.mp3").toStdString();
    music.PlayMusic(old, kPlayModeUser);
    SetMusicFileDialogRunner([&](QFileDialog& d) {
        d.selectFile(Path("new.wav"));
        return true;
    });
    std::string name = old;
    SelectMusicFile(name, &bare, &music, nullptr);
    EXPECT_EQ(name, Path("new.wav").toStdString());
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);
}

TEST_F(MusicChooserTest, AMissingFileInAnExistingFolderIsAcceptedAMissingFolderIsNot) {
    EXPECT_EQ(Choose("", Path("not yet.ogg")), Path("not yet.ogg").toStdString());
    const std::string old = Path("old.mp3").toStdString();
    EXPECT_EQ(Choose(old, Path("no such folder/a.wav")), old);
}

TEST(PlayStopButton, FollowsTheEngineUntilItIsGone) {
    ClockState state;
    testing::FakeMusicDevice device;
    device.playable = {"/m/a.wav"};
    MusicEngine music(device, state);
    auto* button = new PlayStopButton(&music);
    EXPECT_EQ(button->Caption(), QStringLiteral("4"));
    EXPECT_FALSE(button->icon().isNull());
    music.PlayMusic("/m/a.wav", kPlayModeAlarm);
    EXPECT_EQ(button->Caption(), QStringLiteral("<"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("停止"));
    delete button;
    music.PlayMusic("", kPlayModeStop);  // a deleted button is no longer called
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
}

}  // namespace
}  // namespace vireo
