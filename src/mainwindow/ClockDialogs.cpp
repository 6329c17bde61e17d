// The clock window's dialogs: opening them from the menu, the adapter they talk to the clock
// through, and closing them at shutdown.

#include "mainwindow/ClockDialogHost.h"
#include "mainwindow/ClockForm.h"

#include "about/AboutForm.h"
#include "mainwindow/shell/HelpWindow.h"
#include "face/ClockFace.h"
#include "mainwindow/shell/WindowShell.h"
#include "music/PlayForm.h"
#include "platform/DialogPlacement.h"
#include "options/OptionForm.h"
#include "signal/AlarmForm.h"
#include "signal/SignalControl.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace vireo {

// ---- The adapter ----------------------------------------------------------------------------

QRect ClockDialogHost::ClockFrame() const { return form_.frameGeometry(); }

bool ClockDialogHost::ClockNormal() const { return WindowState() == WindowStateIndex::Normal; }

QRect ClockDialogHost::WorkArea() const {
    const QScreen* s = form_.screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

const ClockState& ClockDialogHost::State() const { return form_.State(); }

const AlarmTables& ClockDialogHost::Alarms() const { return form_.Alarms(); }

MusicEngine* ClockDialogHost::Music() const { return form_.Music(); }

void ClockDialogHost::ActivateClock() {
    if (form_.IsUnloaded() || form_.IsMinimized()) return;
    form_.raise();
    form_.activateWindow();
}

WindowStateIndex ClockDialogHost::WindowState() const {
    // A window hidden in the notification area counts as minimised.
    if (form_.IsMinimized()) return WindowStateIndex::Minimized;
    return form_.WindowStateIndexNow();
}

void ClockDialogHost::Beep() { QApplication::beep(); }

void ClockDialogHost::ShowHelp(int contextId) { vireo::ShowHelp(contextId); }

ClockState& ClockDialogHost::State() { return form_.State(); }

MusicEngine* ClockDialogHost::Music() { return form_.Music(); }

bool ClockDialogHost::MidiAvailable() { return form_.MidiAvailable(); }

void ClockDialogHost::MidiClose() {
    // A change of the time-signal kind silences the signal; a chime alarm rings on.
    if (form_.Signal()) form_.Signal()->CloseTimeSignal();
}

void ClockDialogHost::AddTaskTrayIcon() { form_.Shell()->AddTaskTrayIcon(); }

void ClockDialogHost::RemoveTaskTrayIcon() { form_.Shell()->RemoveTaskTrayIcon(); }

void ClockDialogHost::RepairTaskTrayIcon() { form_.Shell()->RepairTaskTrayIcon(); }

void ClockDialogHost::SetWindowButtons(bool closeButtonMinimized) {
    form_.Shell()->SetWindowButtons(closeButtonMinimized);
}

void ClockDialogHost::SetTransparentForm(bool on) {
    form_.Shell()->SetTransparentForm(on);
    form_.ReapplyColorScheme();
}

void ClockDialogHost::SetCircleForm(bool round) { form_.Shell()->SetCircleForm(round); }

bool ClockDialogHost::IsRound() const { return form_.Shell()->IsRound(); }

void ClockDialogHost::RestoreFromMinimized() {
    if (!form_.IsMinimized()) return;
    form_.Shell()->SetWindowState(WindowStateIndex::Normal);  // shown again, also from the tray
}

void ClockDialogHost::ShowReadoutMusicLook() { form_.Face()->SetMusicPlaying(true); }

void ClockDialogHost::ShowExclamation(const std::string& text) {
    QWidget* parent = QApplication::activeModalWidget();
    QMessageBox::warning(parent ? parent : &form_, QStringLiteral("Vireo"), QString::fromStdString(text));
}

AlarmTables& ClockDialogHost::Alarms() { return form_.Alarms(); }

const Clock& ClockDialogHost::ClockSource() const { return form_.ClockSource(); }

QIcon ClockDialogHost::ClockIcon() const { return form_.windowIcon(); }

void ClockDialogHost::InformationSound() { QApplication::beep(); }

void ClockDialogHost::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

// ---- Opening and closing --------------------------------------------------------------------

// Shown without a nested event loop, as every dialog here: the tick, the alarms and shutdown
// go on as usual.

void ClockForm::mnuContextAbout_Click() {
    if (unloaded_) return;
    aboutDialog_.Open([this] {
        auto* form = new AboutForm(*dialogHost_, this);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->Form_Load();
        form->setWindowModality(DialogModalityFor(dialogHost_->WindowState()));
        return form;
    });
}

AboutForm* ClockForm::AboutWindow() const { return aboutDialog_.Current(); }

void ClockForm::mnuContextPlay_Click() {
    if (unloaded_) return;
    // Always modeless: the player is meant to stay open beside the clock.
    InstallHelpKey(playDialog_.Open([this] { return NewPlayForm(*dialogHost_, this); }), PlayForm::kHelpContext);
}

PlayForm* ClockForm::PlayWindow() const { return playDialog_.Current(); }

void ClockForm::mnuContextOption_Click() {
    if (unloaded_) return;
    // What OK changed is written once the dialog has gone.
    QDialog* form = optionDialog_.Open([this] { return NewOptionForm(*dialogHost_, this); });
    connect(form, &QObject::destroyed, &saveSoon_, qOverload<>(&QTimer::start), Qt::UniqueConnection);
}

OptionForm* ClockForm::OptionWindow() const { return optionDialog_.Current(); }

void ClockForm::mnuContextAlarm_Click() {
    if (unloaded_) return;
    QDialog* form = alarmDialog_.Open([this] { return AlarmForm::Create(*dialogHost_, this); });
    connect(form, &QObject::destroyed, &saveSoon_, qOverload<>(&QTimer::start), Qt::UniqueConnection);
}

AlarmForm* ClockForm::AlarmWindow() const { return alarmDialog_.Current(); }

void ClockForm::CloseDialogs() {
    for (QWidget* w : OwnedDialogs()) w->close();
}

std::vector<QWidget*> ClockForm::OwnedDialogs() const {
    // Every dialog window this window owns, open or closed and not yet deleted: at the end
    // they must go while the engines their buttons listen to still exist.
    std::vector<QWidget*> owned;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isWindow() && (qobject_cast<QDialog*>(w) || qobject_cast<PlayForm*>(w))) owned.push_back(w);
    return owned;
}

}  // namespace vireo
