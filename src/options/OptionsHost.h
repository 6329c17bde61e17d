#pragma once
// What the Options dialog needs from the clock window. The clock window implements it; the
// dialog and the apply steps see nothing else of the window.

#include "platform/DialogPlacement.h"
#include "timekeeping/ClockState.h"

#include <QRect>

#include <string>

namespace vireo {

class MusicEngine;

class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    // The clock state: read when the dialog opens, written by OK.
    virtual ClockState& State() = 0;

    // Where the clock window is, for placing the dialog beside it: its frame rectangle in
    // logical pixels, its state, and the work area of the screen it is on.
    virtual QRect ClockFrame() const = 0;
    virtual WindowStateIndex WindowState() const = 0;
    virtual QRect WorkArea() const = 0;

    // True when a MIDI output device existed at start-up (the chime kinds are offered).
    virtual bool MidiAvailable() = 0;
    // Silences and closes the chime output a time signal in progress may hold.
    virtual void MidiClose() = 0;
    // The one music engine; null when the program has none.
    virtual MusicEngine* Music() = 0;

    // Adds the notification icon (the window loses its taskbar button).
    virtual void AddTaskTrayIcon() = 0;
    // Removes the notification icon and gives the window its taskbar button back.
    virtual void RemoveTaskTrayIcon() = 0;
    // Takes the notification icon away and puts it back (a panel that restarted may have lost
    // it); the window's taskbar button and visibility stay as they are.
    virtual void RepairTaskTrayIcon() = 0;

    // Rebuilds the window's buttons and window menu for the close-button option and the
    // present round state.
    virtual void SetWindowButtons(bool closeButtonMinimized) = 0;
    // Turns the see-through face on or off; both directions re-apply the colour scheme of
    // State().BackgroundMode and redraw the dial.
    virtual void SetTransparentForm(bool on) = 0;
    // Round (again) or rectangular.
    virtual void SetCircleForm(bool round) = 0;
    virtual bool IsRound() const = 0;
    // A minimised clock window goes back to the normal state and is shown (also when it was
    // hidden in the notification area).
    virtual void RestoreFromMinimized() = 0;
    // The readout's look while music plays (the info-text colour on an opaque background),
    // given again after the scheme was re-applied.
    virtual void ShowReadoutMusicLook() = 0;

    // The help window at a help context number.
    virtual void ShowHelp(int contextId) = 0;
    // A message box with an exclamation icon, an OK button and the product name as title.
    virtual void ShowExclamation(const std::string& text) = 0;
    // The desktop's default alert sound.
    virtual void Beep() = 0;
};

}  // namespace vireo
