#pragma once
// The hourly time signal and the alarm scheduler, stepped once a second by the clock tick
// (TickSignal): AlarmControl first, then TimeSignal. Both drive the shared MIDI chime engine
// and the music engine and keep their memory in the clock state (SignalStepLimit,
// AlarmIndex, AlarmChimeStep).
//
// A sounding alarm: a chime alarm steps once a call and ends by itself twenty seconds after
// its time; a music alarm lasts while any music plays (also the user's music that refused
// it, or a preview that replaced it) and ends at the first call that finds none playing, so
// music that did not start or was stopped from a dialog never holds off later alarms.
//
// Beyond the plain step rules, no MIDI device is left open by a sequence that never reaches
// its close step (a scale that skips seconds, a clock change, a chime alarm whose AlarmIndex
// the music poll cleared): the time signal closes the device at any later step of its hour
// while it still holds it, and an alarm's device is closed once its sequence is over. Neither
// extra close touches the device while the other sequence is using it.

#include "music/MusicEngine.h"
#include "signal/AlarmValue.h"
#include "signal/MidiChime.h"
#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"

#include <cstdint>
#include <functional>

namespace vireo {

// The signal's period in scaled seconds: 7200 on the two traditional scales (6, 7), else 3600.
std::int32_t SignalPeriod(std::int32_t clockMode);
// Strikes of the strike-count signal at the top of hour index hourIndex (scaled seconds /
// period): the 12-hour count on the ordinary scales, 9 - (i mod 6) bells on the traditional.
int StrikeCount(std::int32_t clockMode, int hourIndex);

class SignalControl final : public TickSignal {
public:
    // Today's weekday from the computer's calendar, Sunday = 1 .. Saturday = 7.
    using WeekdayFunction = std::function<int()>;

    // today defaults to the system's local date.
    SignalControl(ClockState& state, AlarmTables& tables, MidiChime& midi, MusicEngine& music,
                  WeekdayFunction today = {});

    // seconds: the time of day on the scale on show, whole seconds 0..86399. Alarms are
    // examined at seconds 0 and 50 of a minute while none sounds; a chime alarm is opened ten
    // seconds early (an alarm at 00:00 at 23:59:50, tested against tomorrow's weekday).
    void AlarmControl(std::int32_t seconds) override;
    // scaleTime: fiftieths of a second since the scale's midnight, 0..4'319'999.
    void TimeSignal(std::int32_t scaleTime) override;

    // Esc on the clock window, and a click on the readout while music plays: stops any music,
    // ends a sounding alarm (a chime alarm also closes the MIDI device, and a once alarm cut
    // short this way stays on).
    void StopAlarmAndMusic();
    // Silences and closes the chime output: on a change of clock mode, of the observer or of
    // the time-signal kind, and at shutdown. SignalStepLimit is kept; its close step clears it.
    void MidiClose();

private:
    void FireAlarm(int index);
    void EndMusicAlarmIfSilent();
    void CloseMidi();

    ClockState& state_;
    AlarmTables& tables_;
    MidiChime& midi_;
    MusicEngine& music_;
    WeekdayFunction today_;

    // Who asked for the open device, for the extra closes only.
    bool signalHoldsMidi_ = false;
    bool alarmHoldsMidi_ = false;
    std::int32_t alarmEarlyOpenFor_ = -1;  // alarm time whose early open holds the device
};

}  // namespace vireo
