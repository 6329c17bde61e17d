#pragma once
// What the once-a-second clock tick (ClockTick::Timer1_Timer) calls on the rest of the program.
//
// The tick owns the order and the gating; the steps themselves belong to the clock window and
// to the sound engines, which implement the interfaces below. All calls come from the one
// user-interface thread, at most once per new whole second of the system clock, in exactly
// this order:
//
//   1. TickDisplay::ShowReadouts(v)              always, also while minimised
//   2. TickDisplay::IsMinimized()                asked once; if it returns false:
//        TickDisplay::SetClockColor()            then, only if that returned true,
//        TickDisplay::DrawClockScale()           and then always
//        TickDisplay::DrawHands(v)
//   3. TickSignal::AlarmControl(s)               always
//   4. TickSignal::TimeSignal(v)                 only when ClockState::TimeSignalMode != 0
//   5. TickMusic::MusicStatus()                  only when ClockState::MusicPlayMode > 0; if it
//      TickMusic::StopMusic()                   returns exactly "stopped" the tick closes the
//                                                music and sets ClockState::AlarmIndex = kNoAlarm
//
// Units:
//   v  scale time: fiftieths of a second since midnight on the scale on show (ClockMode),
//      0 .. 4'319'999. Hands and readouts take only this value.
//   s  whole seconds since midnight on the scale on show, 0 .. 86'399 (the converted time with
//      its fraction dropped), so alarms follow the scale on show.
//
// None of these calls may throw for ordinary failures (a missing sound device, a file that will
// not open): absorb them and do nothing, as the tick has no error path. Implementations must not
// call back into ClockTick::Timer1_Timer. The tick passes the same v to every step of one second.
//
// Who implements what: the clock window implements TickDisplay; the alarm scheduler and the time
// signal implement TickSignal; the music engine implements TickMusic. One object may implement
// several (TickSink bundles all three for a window that forwards to its engines).

#include <cstdint>
#include <string>

namespace vireo {

class TickDisplay {
public:
    virtual ~TickDisplay() = default;
    // The digital readout and the notification-icon tip for scale time v.
    virtual void ShowReadouts(std::int32_t v) = 0;
    // True while the clock window is minimised (or hidden to the notification area); then the
    // colours and hands are left alone for this second.
    virtual bool IsMinimized() const = 0;
    // Works out the colours of the present scheme and applies them; true when they changed.
    virtual bool SetClockColor() = 0;
    // Redraws the whole dial; called by the tick only after SetClockColor returned true.
    virtual void DrawClockScale() = 0;
    // Places the hands for scale time v.
    virtual void DrawHands(std::int32_t v) = 0;
};

class TickSignal {
public:
    virtual ~TickSignal() = default;
    // Fires, steps and ends alarms; seconds is the converted time of day in whole seconds on
    // the scale on show (0 .. 86'399).
    virtual void AlarmControl(std::int32_t seconds) = 0;
    // The hourly time signal on the scale on show; v as above. Not called while
    // ClockState::TimeSignalMode is 0.
    virtual void TimeSignal(std::int32_t v) = 0;
};

class TickMusic {
public:
    virtual ~TickMusic() = default;
    // The music device's mode word ("playing", "paused", "stopped", ...), empty with no music
    // open. The tick compares it with "stopped" exactly.
    virtual std::string MusicStatus() = 0;
    // The music engine's play request. The tick only ever asks it to stop (StopMusic): close the
    // music that has played to its end (the engine resets ClockState::MusicPlayMode).
    virtual void PlayMusic(const std::string& fileName, std::int32_t playMode) = 0;
    // Stops and closes whatever music plays (a play request with no file).
    void StopMusic() { PlayMusic(std::string(), 0); }
};

// All three in one, for an object (typically the clock window) that answers every step.
class TickSink : public TickDisplay, public TickSignal, public TickMusic {};

}  // namespace vireo
