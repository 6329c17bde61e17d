#pragma once
// What the clock's dialogs see of the clock: one adapter for every dialog's host interface,
// over only what they reach (the window, its state and alarms, the engines, the shell and the
// face), so the dialogs never include the window.

#include "about/AboutForm.h"
#include "music/PlayFormHost.h"
#include "options/OptionsHost.h"
#include "signal/AlarmFormHost.h"

#include <functional>

class QWidget;

namespace vireo {

class ClockEngines;
class ClockFace;
class WindowShell;

class ClockDialogHost final : public AboutHost,
                              public PlayFormHost,
                              public OptionsHost,
                              public AlarmFormHost {
public:
    struct Parts {
        QWidget& window;
        ClockState& state;
        AlarmTables& alarms;
        ClockEngines& engines;
        WindowShell& shell;
        ClockFace& face;
        std::function<bool()> unloaded;            // shutdown has run
        std::function<void()> reapplyColorScheme;  // colours afresh, dial redrawn
    };
    explicit ClockDialogHost(Parts parts);

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
    // Minimised, or hidden in the notification area.
    bool ClockHidden() const;

    Parts p_;
};

}  // namespace vireo
