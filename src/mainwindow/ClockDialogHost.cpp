#include "mainwindow/ClockDialogHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "face/ClockFace.h"
#include "mainwindow/ClockEngines.h"
#include "mainwindow/shell/HelpWindow.h"
#include "mainwindow/shell/WindowShell.h"
#include "platform/WindowStateIndex.h"
#include "signal/SignalControl.h"

namespace vireo {

ClockDialogHost::ClockDialogHost(Parts parts) : p_(std::move(parts)) {}

bool ClockDialogHost::ClockHidden() const { return p_.window.isMinimized() || !p_.window.isVisible(); }

QRect ClockDialogHost::ClockFrame() const { return p_.window.frameGeometry(); }

bool ClockDialogHost::ClockNormal() const { return WindowState() == WindowStateIndex::Normal; }

QRect ClockDialogHost::WorkArea() const {
    const QScreen* s = p_.window.screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

const ClockState& ClockDialogHost::State() const { return p_.state; }

const AlarmTables& ClockDialogHost::Alarms() const { return p_.alarms; }

MusicEngine* ClockDialogHost::Music() const { return p_.engines.Music(); }

void ClockDialogHost::ActivateClock() {
    if (p_.unloaded() || ClockHidden()) return;
    p_.window.raise();
    p_.window.activateWindow();
}

WindowStateIndex ClockDialogHost::WindowState() const {
    // A window hidden in the notification area counts as minimised.
    if (ClockHidden()) return WindowStateIndex::Minimized;
    return StateIndexOf(p_.window.windowState());
}

void ClockDialogHost::Beep() { QApplication::beep(); }

void ClockDialogHost::ShowHelp(int contextId) { vireo::ShowHelp(contextId); }

ClockState& ClockDialogHost::State() { return p_.state; }

MusicEngine* ClockDialogHost::Music() { return p_.engines.Music(); }

bool ClockDialogHost::MidiAvailable() { return p_.engines.MidiAvailable(); }

void ClockDialogHost::MidiClose() {
    // A change of the time-signal kind silences the signal; a chime alarm rings on.
    if (p_.engines.Signal()) p_.engines.Signal()->CloseTimeSignal();
}

void ClockDialogHost::AddTaskTrayIcon() { p_.shell.AddTaskTrayIcon(); }

void ClockDialogHost::RemoveTaskTrayIcon() { p_.shell.RemoveTaskTrayIcon(); }

void ClockDialogHost::RepairTaskTrayIcon() { p_.shell.RepairTaskTrayIcon(); }

void ClockDialogHost::SetWindowButtons(bool closeButtonMinimized) {
    p_.shell.SetWindowButtons(closeButtonMinimized);
}

void ClockDialogHost::SetTransparentForm(bool on) {
    p_.shell.SetTransparentForm(on);
    p_.reapplyColorScheme();
}

void ClockDialogHost::SetCircleForm(bool round) { p_.shell.SetCircleForm(round); }

bool ClockDialogHost::IsRound() const { return p_.shell.IsRound(); }

void ClockDialogHost::RestoreFromMinimized() {
    if (!ClockHidden()) return;
    p_.shell.SetWindowState(WindowStateIndex::Normal);  // shown again, also from the tray
}

void ClockDialogHost::ShowReadoutMusicLook() { p_.face.SetMusicPlaying(true); }

void ClockDialogHost::ShowExclamation(const std::string& text) {
    QWidget* parent = QApplication::activeModalWidget();
    QMessageBox::warning(parent ? parent : &p_.window, QStringLiteral("Vireo"), QString::fromStdString(text));
}

AlarmTables& ClockDialogHost::Alarms() { return p_.alarms; }

const Clock& ClockDialogHost::ClockSource() const { return p_.engines.ClockSource(); }

QIcon ClockDialogHost::ClockIcon() const { return p_.window.windowIcon(); }

void ClockDialogHost::InformationSound() { QApplication::beep(); }

void ClockDialogHost::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace vireo
