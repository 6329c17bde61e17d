#pragma once
// PlayForm, the music player window ("音楽演奏"): plays the player's own file, the time
// signal's file or an alarm's file as the user's music (play mode 3). Modeless, owned by the
// clock window, one at a time (NewPlayForm).
//
// Combo1 lists the sources; each item's data says where its file comes from:
//   -2 "ファイル"      PlayFile, the player's own file (setting "PlayFile")
//   -1 "時報"          the clock's TimeSignalFile (listed only when it is set)
//   n  "アラーム #n"   AlarmFile[n] (listed for every alarm with a file)
// The list is built when the window opens. Command1 chooses PlayFile, Command3 plays and stops
// (it follows the engine like every play/stop button), Command2 pauses and resumes and is
// enabled exactly while music plays.

#include <QString>
#include <QWidget>

#include <string>

class QComboBox;
class QPushButton;

namespace vireo {

class GlyphButton;
class MusicEngine;
class PlayFormHost;
class PlayStopButton;

// Item data of the sources that are not alarms.
inline constexpr int kPlaySourceFile = -2;
inline constexpr int kPlaySourceTimeSignal = -1;

class PlayForm : public QWidget {
    Q_OBJECT
public:
    // The help topic of this window.
    static constexpr int kHelpContext = 11;

    // owner: the clock window (the player stays above it and closes with it).
    PlayForm(PlayFormHost& host, QWidget* owner);
    ~PlayForm() override;

    // Open: placement, PlayFile from the settings, the source list, the first source.
    void Form_Load();
    // Close: the music this window shows as playing stops, PlayFile is written, the clock
    // window gets the focus back. Runs once; closing the window calls it.
    void Form_Unload();
    bool IsUnloaded() const { return unloaded_; }

    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // The source index that a change away from stops the music; empty before the window opens.
    QString Combo1Tag() const { return tag_; }
    const std::string& PlayFile() const { return playFile_; }

    QComboBox* Combo1 = nullptr;        // the source: the own file, the time signal's, an alarm's
    QPushButton* Command1 = nullptr;    // "...": chooses the own file
    GlyphButton* Command2 = nullptr;    // pause and resume
    PlayStopButton* Command3 = nullptr; // play and stop

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void PlaceWindow();
    void AddSources();
    void SavePlayFile() noexcept;
    void SetCommand2ToolTip(int resourceId);

    PlayFormHost& host_;
    MusicEngine* music_ = nullptr;
    int listenerId_ = 0;
    std::string playFile_;
    QString tag_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool placedShown_ = false;
};

// Makes and loads the player window for the clock window owner (one at a time, through
// SingleDialog, which shows it). It deletes itself when closed.
PlayForm* NewPlayForm(PlayFormHost& host, QWidget* owner);

}  // namespace vireo
