#pragma once
// ClockForm, the clock window: start-up and shutdown in their order, the tick's display steps,
// the caption, the colour schemes, the window's place and size, its events, the menu and the
// dialogs. The settings are ClockSettings', the engines and Timer1 ClockEngines'.

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ephemeris/Ephemeris.h"
#include "mainwindow/ClockEngines.h"
#include "mainwindow/ClockSettings.h"
#include "mainwindow/ColorScheme.h"
#include "mainwindow/SecondTimer.h"
#include "mainwindow/WindowGeometry.h"
#include "platform/SingleDialog.h"
#include "timekeeping/AlarmValue.h"
#include "timekeeping/Clock.h"
#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"

class QTimer;

namespace vireo {

class AboutForm;
class AlarmForm;
class OptionForm;
class PlayForm;
class ClockDialogHost;
class ClockFace;
class ClockMenu;
class WindowShell;
class SettingsStore;

class ClockForm : public QWidget, public TickDisplay {
    Q_OBJECT
public:
    explicit ClockForm(ClockFormParts parts, QWidget* parent = nullptr);
    ~ClockForm() override;

    // Start-up: reads every setting, creates the components, places the window, computes the
    // first temporal period and the colours, and enables Timer1 as its last step. Call once,
    // before the window is shown.
    void Form_Load();
    // Shows the window as start-up left it: minimised with the notification icon shown, only
    // the icon shows (the window is not mapped at all, so no minimise is left on its way to
    // the window manager when a second start asks for the clock).
    void ShowAsStarted();
    // Shutdown: disables Timer1, stops the sound, writes every setting the window owns and
    // releases the components. Runs once; later calls do nothing.
    void Form_Unload();
    bool IsLoaded() const { return loaded_; }
    bool IsUnloaded() const { return unloaded_; }

    // Writes every setting the window owns, as shutdown does, without stopping anything
    // (the session manager may end the program without a further word).
    void SaveSettings();

    // Ends the program through the exit command: no close-button rule, shutdown runs.
    void EndProgram();

    // The tick's display steps (TickDisplay).
    void ShowReadouts(std::int32_t v) override;
    bool IsMinimized() const override;
    bool SetClockColor() override;
    void DrawClockScale() override;
    void DrawHands(std::int32_t v) override;

    void SetFormScale();
    void SetDialLabels();

    // One event of Timer1 (public so tests can step the clock without waiting).
    void Timer1_Timer();
    bool Timer1Enabled() const { return Timer1->Enabled(); }
    std::int32_t Timer1Interval() const { return timer1Interval_; }
    // Milliseconds until the timer's next event, or -1 while it is disabled.
    int Timer1RemainingTime() const { return Timer1->RemainingTime(); }
    // Timer events so far, and how many of them found a new second to handle.
    long Timer1EventCount() const { return Timer1->EventCount(); }
    long Timer1WorkCount() const { return Timer1->WorkCount(); }

    // Switches the scale on show: caption, numerals, chime output closed, dial and hands
    // redrawn at once.
    void mnuContextMode_Click(int index);
    // Chooses the readout: 0 the time, 1 the date.
    void mnuContextLabel_Click(int index);
    // The observer command: the component's own dialog with Timer1 stopped; on a change the
    // horizon correction and the temporal period follow.
    void mnuContextLocation_Click();
    // A click on the readout (not the right button): silences music that plays.
    void Label1_Click();
    // The dialogs: one of each at a time, owned by this window; modal while it is not
    // minimised (the player never), shown without a nested event loop. The accessors give
    // the one open now, or null.
    void mnuContextAbout_Click();
    void mnuContextPlay_Click();
    void mnuContextOption_Click();
    void mnuContextAlarm_Click();
    AlarmForm* AlarmWindow() const;
    AboutForm* AboutWindow() const;
    OptionForm* OptionWindow() const;
    PlayForm* PlayWindow() const;
    std::vector<QWidget*> OwnedDialogs() const;

    // Brings the last active window of this program forward (a second start asked for it).
    void BringLastActiveWindowForward();

    // Colour functions of the schemes, with the system colours of this window's palette.
    OleColor ContrastColor(OleColor c) const;
    OleColor InvertColor(OleColor c) const;
    OleColor GetSysColor(int index) const;
    FaceColors ShownColors() const { return colors_; }

    ClockState& State() { return state_; }
    const ClockState& State() const { return state_; }
    AlarmTables& Alarms() { return alarms_; }
    Ephemeris* Component() const { return engines_->Component(); }
    ClockFace* Face() const { return face_; }
    ClockMenu* Menu() const { return menu_; }
    WindowShell* Shell() const { return shell_; }
    MusicEngine* Music() const { return engines_->Music(); }
    // The time signal's chime and the alarms' chime, on their own channels of one output.
    MidiChime* SignalChime() const { return engines_->SignalChime(); }
    MidiChime* AlarmChime() const { return engines_->AlarmChime(); }
    bool MidiAvailable() { return engines_->MidiAvailable(); }
    const Clock& ClockSource() const { return engines_->ClockSource(); }
    // The window state as persisted and as the menu numbers it.
    WindowStateIndex WindowStateIndexNow() const { return StateIndexOf(windowState()); }
    // The client rectangle the window restores to, in logical pixels: what the settings keep.
    WindowRect NormalClientRect() const;
    // The minimum outer height, and the caption height it counts for the frame.
    int MinimumHeight() const;
    int CaptionHeight() const;
    // What the frame adds to the height: as the window manager reports it, or before it does,
    // the caption.
    int FrameHeight() const;
    TwipScale Twips() const;
    QString Caption() const;

signals:
    // Shutdown has run; the application may quit.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The colour scheme applied afresh and the dial redrawn (the Options dialog's OK).
    void ReapplyColorScheme();
    SignalControl* Signal() const { return engines_->Signal(); }
    void Form_Resize();
    // The stored client rectangle, resolved and kept on a present screen.
    void PlaceWindow(const StoredPlacement& stored);
    void WriteSettings(SettingsStore& store, bool stopSound);
    // Writes every setting; a failure is told to the user, once a session.
    void SaveOrReport(bool stopSound);
    void ReportSaveFailure(const std::string& what);
    void ReportMusicFailure(const std::string& file, const std::string& why);
    void SetCaption();
    void SetTimer1Enabled(bool on);
    std::int32_t ScaleTimeNow();
    void ApplyColors();
    void RememberActiveWindow();
    void ConnectMenu();
    void RefreshAfterRestore();
    void CloseDialogs();

    ClockFormParts parts_;
    ClockState state_;
    AlarmTables alarms_;
    std::unique_ptr<ClockEngines> engines_;

    ClockFace* face_ = nullptr;
    ClockMenu* menu_ = nullptr;
    WindowShell* shell_ = nullptr;
    SecondTimer* Timer1 = nullptr;
    std::int32_t timer1Interval_ = 100;

    FaceColors colors_{};
    bool colorsApplied_ = false;
    bool saveFailureReported_ = false;
    // Every change is written once it has settled (a move, a resize, a dialog closed), so a
    // kill or a power cut loses nothing; the context of its connections is the timer itself.
    QTimer saveSoon_;
    SunBandWatch sunBand_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool exitRequested_ = false;
    QPointer<QWidget> lastActiveWindow_;
    QMetaObject::Connection focusWatch_;

    std::unique_ptr<ClockDialogHost> dialogHost_;
    // One of each dialog at a time.
    SingleDialog<AboutForm> aboutDialog_;
    SingleDialog<PlayForm> playDialog_;
    SingleDialog<OptionForm> optionDialog_;
    SingleDialog<AlarmForm> alarmDialog_;
};

}  // namespace vireo
