#pragma once
// What the music player window needs from the clock window that owns it. The clock window
// implements this; tests use a fake.

#include "timekeeping/AlarmValue.h"
#include "timekeeping/ClockState.h"

#include <QRect>

namespace vireo {

class MusicEngine;

class PlayFormHost {
public:
    virtual ~PlayFormHost() = default;

    // The clock's state; the player reads TimeSignalFile when it opens and again when it plays.
    virtual const ClockState& State() const = 0;
    // The alarm tables; the player reads AlarmFile when it opens and again when it plays.
    virtual const AlarmTables& Alarms() const = 0;
    // The music engine, or null when there is none (the player's buttons then stay idle).
    // Must outlive the player window.
    virtual MusicEngine* Music() const = 0;

    // Placement, in logical pixels: the clock window's frame rectangle (what it restores to
    // is not wanted here: where it is now), whether it is neither minimised nor maximised,
    // and the desktop's work area on the clock's screen.
    virtual QRect ClockFrame() const = 0;
    virtual bool ClockNormal() const = 0;
    virtual QRect WorkArea() const = 0;

    // The player has closed: the clock window takes the focus back.
    virtual void ActivateClock() = 0;
};

}  // namespace vireo
