#include "music/MusicFileChooser.h"

#include "music/MusicEngine.h"
#include "music/PlayStopButton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QWidget>

namespace vireo {

namespace {

MusicFileDialogRunner& Runner() {
    static MusicFileDialogRunner runner;
    return runner;
}

// Where the dialog starts when the name has no folder of its own: the user's music folder if
// there is one (the program's own folder is a system folder here), else home.
QString StartFolder() {
    const QString music = QDir::home().filePath(QStringLiteral("Music"));
    return QFileInfo(music).isDir() ? music : QDir::homePath();
}

// The patterns of a filter's text. Qt separates patterns by spaces only, so "*.mid;*.rmi"
// would be one pattern that names no file; the texts keep their semicolons for the eye.
QStringList FilterPatterns(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(u'(');
    const QString inside = open >= 0 && filter.endsWith(u')') ? filter.mid(open + 1, filter.size() - open - 2) : filter;
    return inside.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts);
}

// Gives the dialog's file list the patterns of the filter chosen, after Qt has given it its own.
void UsePatternsOf(QFileDialog& dialog, const QString& filter) {
    if (auto* model = dialog.findChild<QFileSystemModel*>()) model->setNameFilters(FilterPatterns(filter));
}

}  // namespace

QStringList MusicFileFilters() {
    return {
        QStringLiteral("Windows Audio ファイル (*.wav)"),
        QStringLiteral("MIDI ファイル (*.mid;*.rmi)"),
        QStringLiteral("MPEG Audio ファイル (*.mp3)"),
        QStringLiteral("Windows Media Audioファイル (*.wma)"),
        QStringLiteral("Windows Media Video ファイル (*.wmv;*.asf;*.asx;*.avi)"),
        QStringLiteral("すべてのファイル (*.*)"),
    };
}

int MusicFilterIndex(const std::string& fileName) {
    const QString name = QString::fromStdString(fileName);
    const QString tail = name.right(3).toLower();
    if (tail == u"wav") return 1;
    if (tail == u"mid" || tail == u"rmi") return 2;
    if (tail == u"mp3") return 3;
    if (tail == u"wma") return 4;
    if (tail == u"wmv" || tail == u"asf" || tail == u"asx" || tail == u"avi") return 5;
    return 6;
}

void SelectMusicFile(std::string& fileName, QWidget* owner, MusicEngine* music, const PlayStopButton* playButton) {
    QFileDialog dialog(owner, QStringLiteral("音楽ファイルを選択"));
    // Qt's own dialog: the desktop's native one needs the GLib event loop the clock does not run.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The folder must exist; the file need not (it then fails to open when played).
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = MusicFileFilters();
    dialog.setNameFilters(filters);
    // The dialog reports a type the user chose once it has applied it itself.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { UsePatternsOf(dialog, filter); });
    const QString& first = filters.at(MusicFilterIndex(fileName) - 1);
    dialog.selectNameFilter(first);
    UsePatternsOf(dialog, first);

    const QFileInfo current(QString::fromStdString(fileName));
    if (!fileName.empty() && current.dir().exists() && current.isAbsolute()) {
        dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    } else {
        dialog.setDirectory(StartFolder());
        if (!fileName.empty()) dialog.selectFile(current.fileName());
    }

    const bool accepted = Runner() ? Runner()(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return;
    const QFileInfo picked(chosen.front());
    if (!picked.dir().exists()) return;  // the folder must exist
    fileName = picked.absoluteFilePath().toStdString();
    // Whenever a file is chosen while the button shows music playing, even the same file again.
    if (music && playButton && playButton->ShowsPlaying()) music->StopMusic();
}

void SetMusicFileDialogRunner(MusicFileDialogRunner runner) { Runner() = std::move(runner); }

}  // namespace vireo
