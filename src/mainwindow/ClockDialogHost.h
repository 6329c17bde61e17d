#pragma once
// What the clock's dialogs see of the clock window: one adapter over ClockForm for every
// dialog's host interface, so the dialogs never include the window.

#include "about/AboutForm.h"
#include "music/PlayFormHost.h"
#include "options/OptionsHost.h"
#include "signal/AlarmFormHost.h"

namespace vireo {

class ClockForm;

class ClockDialogHost final : public AboutHost,
                              public PlayFormHost,
                              public OptionsHost,
                              public AlarmFormHost {
public:
    explicit ClockDialogHost(ClockForm& form) : form_(form) {}

    // Shared by every dialog.
    QRect ClockFrame() const override;
    bool ClockNormal() const override;
    QRect WorkArea() const override;
    const ClockState& State() const override;
    const AlarmTables& Alarms() const override;
    MusicEngine* Music() const override;
    void ActivateClock() override;
    WindowStateIndex WindowState() const override;
    void Beep() override;
    void ShowHelp(int contextId) override;

    // The Options dialog's.
    ClockState& State() override;
    MusicEngine* Music() override;
    bool MidiAvailable() override;
    void MidiClose() override;
    void AddTaskTrayIcon() override;
    void RemoveTaskTrayIcon() override;
    void RepairTaskTrayIcon() override;
    void SetWindowButtons(bool closeButtonMinimized) override;
    void SetTransparentForm(bool on) override;
    void SetCircleForm(bool round) override;
    bool IsRound() const override;
    void RestoreFromMinimized() override;
    void ShowReadoutMusicLook() override;
    void ShowExclamation(const std::string& text) override;

    // The alarm dialog's.
    AlarmTables& Alarms() override;
    const Clock& ClockSource() const override;

    QIcon ClockIcon() const override;
    void InformationSound() override;
    void OpenUrl(const QUrl& url) override;

private:
    ClockForm& form_;
};

}  // namespace vireo
