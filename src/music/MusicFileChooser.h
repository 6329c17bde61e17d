#pragma once
// The music file chooser every dialog uses: Qt's own Open dialog with the six fixed filters,
// started on the current file. Choosing a file replaces the name and stops the music that the
// caller's play/stop button shows as playing (a preview of the old file); cancelling changes
// nothing.

#include <QStringList>

#include <functional>
#include <string>

class QFileDialog;
class QWidget;

namespace vireo {

class MusicEngine;
class PlayStopButton;

// "Description (patterns)" for filters 1..6, in order, as the dialog lists them.
QStringList MusicFileFilters();
// The filter (1..6) the dialog starts on: from the last three characters of the name only,
// in lower case; no dot is looked for.
int MusicFilterIndex(const std::string& fileName);

// fileName: the current choice (UTF-8), replaced by the chosen file's full path. owner: the
// calling dialog. music: the engine that is told to stop; may be null. playButton: the
// caller's play/stop button, which tells whether music plays; null stops nothing.
void SelectMusicFile(std::string& fileName, QWidget* owner, MusicEngine* music, const PlayStopButton* playButton);

// Tests replace the modal run of the prepared dialog: the runner may select a file and
// returns whether the user accepted. An empty function restores the real exec().
using MusicFileDialogRunner = std::function<bool(QFileDialog&)>;
void SetMusicFileDialogRunner(MusicFileDialogRunner runner);

}  // namespace vireo
