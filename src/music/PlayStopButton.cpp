#include "music/PlayStopButton.h"

#include "music/MusicEngine.h"
#include "platform/ResourceStrings.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace vireo {

namespace {

QStyle::StandardPixmap IconFor(const QString& caption) {
    if (caption == QString::fromStdString(LoadResString(1026))) return QStyle::SP_MediaStop;
    if (caption == QStringLiteral(";")) return QStyle::SP_MediaPause;
    return QStyle::SP_MediaPlay;
}

// The style's glyph, with a disabled look that reads as disabled: the generated one is
// nearly as dark as the enabled glyph.
QIcon WithFadedDisabledLook(const QIcon& glyph) {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48}) {
        const QPixmap normal = glyph.pixmap(QSize(side, side));
        if (normal.isNull()) continue;
        icon.addPixmap(normal, QIcon::Normal);
        QPixmap faded(normal.size());
        faded.setDevicePixelRatio(normal.devicePixelRatio());
        faded.fill(Qt::transparent);
        QPainter p(&faded);
        p.setOpacity(0.3);
        p.drawPixmap(0, 0, normal);
        p.end();
        icon.addPixmap(faded, QIcon::Disabled);
    }
    return icon;
}

}  // namespace

GlyphButton::GlyphButton(const QString& caption, QWidget* parent) : QPushButton(parent) {
    SetCaption(caption);
}

void GlyphButton::SetCaption(const QString& caption) {
    caption_ = caption;
    setIcon(WithFadedDisabledLook(style()->standardIcon(IconFor(caption), nullptr, this)));
}

PlayStopButton::PlayStopButton(MusicEngine* music, QWidget* parent)
    : GlyphButton(QString::fromStdString(PlayButtonCaption(false)), parent), music_(music) {
    setToolTip(QString::fromStdString(PlayButtonToolTip(false)));
    if (music_) listenerId_ = music_->AddButtonListener([this](bool playing) { ShowState(playing); });
}

PlayStopButton::~PlayStopButton() {
    if (music_ && listenerId_) music_->RemoveButtonListener(listenerId_);
}

bool PlayStopButton::ShowsPlaying() const { return playing_; }

void PlayStopButton::ShowState(bool playing) {
    playing_ = playing;
    SetCaption(QString::fromStdString(PlayButtonCaption(playing)));
    setToolTip(QString::fromStdString(PlayButtonToolTip(playing)));
    emit MusicStateShown(playing);
}

}  // namespace vireo
