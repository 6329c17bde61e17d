// The clock window's dialogs: opening them from the menu, the adapter they talk to the clock
// through, and closing them at shutdown.

#include "mainwindow/ClockDialogHost.h"
#include "mainwindow/ClockForm.h"

#include "about/AboutForm.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace vireo {

// ---- The adapter ----------------------------------------------------------------------------

QRect ClockDialogHost::ClockFrame() const { return form_.frameGeometry(); }

bool ClockDialogHost::ClockNormal() const {
    return !form_.IsMinimized() && !form_.isMaximized() && !form_.isFullScreen();
}

QRect ClockDialogHost::WorkArea() const {
    const QScreen* s = form_.screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QIcon ClockDialogHost::ClockIcon() const { return form_.windowIcon(); }

void ClockDialogHost::InformationSound() { QApplication::beep(); }

void ClockDialogHost::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

// ---- Opening and closing --------------------------------------------------------------------

void ClockForm::ShowOwnedDialog(QDialog* dialog, bool modalUnlessMinimized) {
    // Shown without a nested event loop: the tick, the alarms and shutdown go on as usual.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(modalUnlessMinimized && !IsMinimized() ? Qt::ApplicationModal
                                                                      : Qt::NonModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool ClockForm::RaiseIfOpen(QDialog* dialog) {
    if (!dialog) return false;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

void ClockForm::mnuContextAbout_Click() {
    if (unloaded_ || RaiseIfOpen(aboutForm_)) return;
    aboutForm_ = new AboutForm(*dialogHost_, this);
    aboutForm_->Form_Load();
    ShowOwnedDialog(aboutForm_, true);
}

AboutForm* ClockForm::AboutWindow() const { return aboutForm_; }

void ClockForm::CloseDialogs() {
    for (QDialog* d : OpenDialogs()) d->close();
}

std::vector<QDialog*> ClockForm::OpenDialogs() const {
    std::vector<QDialog*> open;
    for (QDialog* d : {static_cast<QDialog*>(aboutForm_.data())})
        if (d) open.push_back(d);
    return open;
}

}  // namespace vireo
