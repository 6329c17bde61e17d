#pragma once
// What the alarm dialog needs from the clock window that owns it. The clock window implements
// this; tests use a fake.

#include "platform/DialogPlacement.h"
#include "timekeeping/AlarmValue.h"

#include <QRect>

#include <string>

namespace vireo {

class Clock;
class MusicEngine;

class AlarmFormHost {
public:
    virtual ~AlarmFormHost() = default;

    // The program's alarm tables: read when the dialog opens, written by its OK.
    virtual AlarmTables& Alarms() = 0;
    // The music engine for the preview, or null when there is none. Must outlive the dialog.
    virtual MusicEngine* Music() const = 0;
    // The computer's present local time, for "&Now" (not the scale on show).
    virtual const Clock& ClockSource() const = 0;

    // Placement, in logical pixels: the clock window's frame rectangle where it is now, its
    // state, and the desktop's work area on the clock's screen. A minimised clock also makes
    // the dialog modeless.
    virtual QRect ClockFrame() const = 0;
    virtual WindowStateIndex WindowState() const = 0;
    virtual QRect WorkArea() const = 0;

    // The system beep of a refused time.
    virtual void Beep() = 0;
    // A message box with the exclamation icon, over the dialog.
    virtual void ShowExclamation(const std::string& text) = 0;
    // F1: the help window at a context number.
    virtual void ShowHelp(int contextId) = 0;
};

}  // namespace vireo
