// The clock window's dialogs: opening them from the menu, one of each at a time, and closing
// them at shutdown.

#include "mainwindow/ClockDialogHost.h"
#include "mainwindow/ClockForm.h"

#include "about/AboutForm.h"
#include "mainwindow/shell/HelpWindow.h"
#include "music/PlayForm.h"
#include "platform/DialogPlacement.h"
#include "options/OptionForm.h"
#include "signal/AlarmForm.h"

#include <QDialog>

namespace vireo {

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
