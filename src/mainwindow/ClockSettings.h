#pragma once
// The clock's own settings: what start-up reads into the clock's state, its alarms, the
// observer and the window's placement, and what shutdown writes back. Plain logic over a
// settings store; the window and the engines apply what is read.

#include <cstdint>

#include "mainwindow/WindowGeometry.h"
#include "platform/WindowStateIndex.h"
#include "timekeeping/AlarmValue.h"
#include "timekeeping/ClockState.h"

namespace vireo {

class SettingsStore;

struct ObserverSettings {
    double Longitude = 0.0;
    double Latitude = 0.0;
    double Height = 0.0;
    float TimeZone = 0.0f;
};

// What the settings keep besides the state and the alarms.
struct ClockSettingsRecord {
    ObserverSettings Observer;
    // The tick's interval in milliseconds.
    std::int32_t Interval = 100;
    // The client rectangle the window restores to, in twips; missing values are empty.
    StoredPlacement Client;
    // Read only: the Options dialog writes these two.
    bool CircleForm = false;
    bool StartMinimized = false;
    // Read only while StartMinimized is off (that wins).
    WindowStateIndex WindowState = WindowStateIndex::Normal;
};

// Start-up's reads, in its order, into state (the scale, readout, time signal, colours, icon
// and window buttons) and alarms. A stored value the clock cannot use reads as its default,
// and the default is written back at once, so the file says what the clock runs with.
ClockSettingsRecord ReadClockSettings(SettingsStore& store, ClockState& state, AlarmTables& alarms);

// Shutdown's writes: every setting the window owns. The client rectangle is given in twips;
// a minimised window is kept as normal.
void WriteClockSettings(SettingsStore& store, const ClockState& state, const AlarmTables& alarms,
                        const ObserverSettings& observer, std::int32_t interval, const TwipRect& client,
                        WindowStateIndex windowState);

}  // namespace vireo
