#pragma once
// The media buttons of the dialogs. Their captions keep the glyph characters of the symbol
// font the program's strings name ("4" play, "<" stop, ";" pause), so the state reads the same
// everywhere; what the user sees is the matching media icon, since that font is not on this
// system.

#include <QPushButton>
#include <QString>

namespace vireo {

class MusicEngine;

class GlyphButton : public QPushButton {
    Q_OBJECT
public:
    explicit GlyphButton(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

private:
    QString caption_;
};

// A play/stop button that follows the music engine: "4" with tooltip "再生" while nothing
// plays, "<" with "停止" while any music plays, whoever started it. The dialogs hand it to the
// file chooser, which stops the music it shows.
class PlayStopButton : public GlyphButton {
    Q_OBJECT
public:
    // music may be null (no music device): the button then stays at play.
    explicit PlayStopButton(MusicEngine* music, QWidget* parent = nullptr);
    ~PlayStopButton() override;

    bool ShowsPlaying() const;
    // Sets the look for a state; the engine calls this through its button listener.
    void ShowState(bool playing);

signals:
    // After every change the engine reports (start or stop).
    void MusicStateShown(bool playing);

private:
    MusicEngine* music_ = nullptr;
    int listenerId_ = 0;
    bool playing_ = false;  // the state shown; the caption only draws it
};

}  // namespace vireo
