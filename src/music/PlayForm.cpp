#include "music/PlayForm.h"

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayFormHost.h"
#include "music/PlayStopButton.h"
#include "platform/DialogPlacement.h"
#include "platform/ResourceStrings.h"
#include "platform/UiFont.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

#include <exception>

namespace vireo {

namespace {

QString ResString(int id) { return QString::fromStdString(LoadResString(id)); }

}  // namespace

PlayForm::PlayForm(PlayFormHost& host, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      host_(host), music_(host.Music()) {
    setObjectName(QStringLiteral("PlayForm"));
    setWindowTitle(QStringLiteral("音楽演奏"));
    setFont(DialogFont(font()));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(150);

    Command1 = new QPushButton(QStringLiteral("..."), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("ファイルの選択"));
    Command1->setAccessibleName(Command1->toolTip());

    Command3 = new PlayStopButton(music_, this);
    Command3->setObjectName(QStringLiteral("Command3"));

    Command2 = new GlyphButton(QStringLiteral(";"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    SetCommand2ToolTip(1023);
    Command2->setEnabled(false);

    // Buttons as high as the list, the media buttons a little wider than high.
    const int h = Combo1->sizeHint().height();
    Command1->setFixedSize(h + 4, h);
    Command3->setFixedSize(h * 3 / 2, h);
    Command2->setFixedSize(h * 3 / 2, h);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(4);
    row->addWidget(Combo1, 1);
    row->addWidget(Command1);
    row->addSpacing(4);
    row->addWidget(Command3);
    row->addWidget(Command2);
    row->setSizeConstraint(QLayout::SetFixedSize);

    // Any music that starts or stops, whoever started it: pause is possible exactly while
    // music plays, and music that has just started is not paused.
    if (music_) {
        listenerId_ = music_->AddButtonListener([this](bool playing) {
            Command2->setEnabled(playing);
            if (playing) SetCommand2ToolTip(1023);
        });
    }

    // activated: a choice by the user, also of the item already shown.
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

PlayForm::~PlayForm() {
    if (music_ && listenerId_) music_->RemoveButtonListener(listenerId_);
    // Destroyed with its owner without being closed: the choice of file is still kept.
    if (loaded_ && !unloaded_) SavePlayFile();
}

void PlayForm::Form_Load() {
    if (loaded_) return;
    PlaceWindow();
    {
        SettingsStore store;
        OpenOwnSettings(store);
        playFile_ = Read(store, kPlayFile);
    }
    AddSources();
    Combo1->setCurrentIndex(0);
    Combo1_Click();  // Tag is still empty: nothing stops
    tag_ = QStringLiteral("0");
    Command2->setEnabled(false);
    loaded_ = true;
}

void PlayForm::PlaceWindow() {
    ensurePolished();
    if (layout()) layout()->activate();
    MoveFrameTo(this, PlaceUnderClock(host_.WorkArea(), host_.ClockFrame(), host_.ClockNormal(),
                                      ExpectedFrameSize(this)));
}

void PlayForm::AddSources() {
    Combo1->clear();
    Combo1->addItem(QStringLiteral("ファイル"), kPlaySourceFile);
    if (!host_.State().TimeSignalFile.empty())
        Combo1->addItem(QStringLiteral("時報"), kPlaySourceTimeSignal);
    const AlarmTables& alarms = host_.Alarms();
    for (int i = 0; i < kAlarmCount; ++i) {
        if (!alarms.AlarmFile[static_cast<std::size_t>(i)].empty())
            Combo1->addItem(QStringLiteral("アラーム #") + QString::number(i), i);
    }
}

void PlayForm::Combo1_Click() {
    const int index = Combo1->currentIndex();
    if (!tag_.isEmpty() && index != tag_.toInt() && Command3->ShowsPlaying()) {
        if (music_) music_->StopMusic();
        tag_ = QString::number(index);
    }
    Command1->setEnabled(index == 0);
    Command3->setEnabled(!playFile_.empty() || index != 0);
}

void PlayForm::Command1_Click() {
    SelectMusicFile(playFile_, this, music_, Command3);
    Command3->setEnabled(!playFile_.empty());
    Combo1->setFocus();
}

void PlayForm::Command3_Click() {
    if (Command3->ShowsPlaying()) {
        if (music_) music_->StopMusic();
    } else {
        const int source = Combo1->currentData().toInt();
        std::string file;
        if (source == kPlaySourceFile) {
            file = playFile_;
        } else if (source == kPlaySourceTimeSignal) {
            file = host_.State().TimeSignalFile;
        } else if (source >= 0 && source < kAlarmCount) {
            file = host_.Alarms().AlarmFile[static_cast<std::size_t>(source)];
        }
        if (music_) music_->PlayMusic(file, kPlayModeUser);
        SetCommand2ToolTip(1023);
        // The source now playing: choosing any other one stops it, even the one shown at open.
        if (Command3->ShowsPlaying()) tag_ = QString::number(Combo1->currentIndex());
    }
    Command2->setEnabled(Command3->ShowsPlaying());
    Combo1->setFocus();
}

void PlayForm::Command2_Click() {
    if (music_) {
        const std::string mode = music_->MusicStatus().substr(0, 6);
        if (mode == "playin") {
            // The tooltip offers resuming only once the music really paused.
            if (music_->PauseMusic()) SetCommand2ToolTip(1024);
        } else if (mode == "paused") {
            music_->ResumeMusic();
            SetCommand2ToolTip(1023);
        }
    }
    Combo1->setFocus();
}

void PlayForm::SetCommand2ToolTip(int resourceId) {
    Command2->setToolTip(ResString(resourceId));
    Command2->setAccessibleName(Command2->toolTip());
}

void PlayForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (music_ && Command3->ShowsPlaying()) music_->StopMusic();
    // A window that never opened has not read PlayFile and must not overwrite it.
    if (loaded_) SavePlayFile();
    host_.ActivateClock();
}

void PlayForm::SavePlayFile() noexcept {
    try {
        SettingsStore store;
        OpenOwnSettings(store);
        Write(store, kPlayFile, playFile_);
        store.Sync();
    } catch (const std::exception& e) {
        qWarning("PlayFile could not be saved: %s", e.what());
    }
}

void PlayForm::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void PlayForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Once shown the window's frame is known; place it again with it.
    if (loaded_ && !placedShown_) {
        placedShown_ = true;
        PlaceWindow();
    }
}

PlayForm* NewPlayForm(PlayFormHost& host, QWidget* owner) {
    auto* form = new PlayForm(host, owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Form_Load();
    return form;
}

}  // namespace vireo
