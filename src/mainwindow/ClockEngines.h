#pragma once
// What the clock runs on, apart from its window: the ephemeris component, the time scales and
// the tick, the chime output with its two chimes, the music device and player, the time
// signal and alarms, and Timer1. Made in start-up order from the window's parts; the tick,
// the scales and the component go at shutdown, the rest with the window.

#include <functional>
#include <memory>
#include <string>

#include "ephemeris/Ephemeris.h"
#include "timekeeping/AlarmValue.h"
#include "timekeeping/Clock.h"
#include "timekeeping/ClockState.h"
#include "timekeeping/TickSink.h"

namespace vireo {

struct ObserverSettings;
class ClockTick;
class MidiChime;
class MidiOutput;
class MusicDevice;
class MusicEngine;
class SecondTimer;
class SharedMidiOutput;
class SignalControl;
class TimeScales;

// What the window is built from. Factories run during start-up, in its order, so that nothing
// outside the window exists before the settings say how to make it.
struct ClockFormParts {
    // The present local date-time; the computer's clock when null. Must outlive the window.
    const Clock* clock = nullptr;
    // The ephemeris component, created at start-up and released at shutdown. Required.
    std::function<std::unique_ptr<Ephemeris>()> createEphemeris;
    // The chime output and the music device; when a factory is missing or returns null, that
    // sound is simply absent (the clock runs silently).
    std::function<std::unique_ptr<MidiOutput>()> createMidiOutput;
    std::function<std::unique_ptr<MusicDevice>()> createMusicDevice;
    // Tells the user of a problem they must know of (settings that could not be saved); a
    // warning box when null.
    std::function<void(const std::string&)> reportProblem;
};

class ClockEngines {
public:
    // The state and the alarms are the window's; they outlive the engines.
    ClockEngines(const ClockFormParts& parts, ClockState& state, AlarmTables& alarms);
    ~ClockEngines();
    ClockEngines(const ClockEngines&) = delete;
    ClockEngines& operator=(const ClockEngines&) = delete;

    // The ephemeris component; throws EphemerisError when the parts make none.
    Ephemeris& CreateEphemeris();
    // The stored observer, applied at once, and the component set to the present moment.
    void ApplyObserver(const ObserverSettings& observer);
    // The chime output, its two chimes, the music device and the player. Whether MIDI can
    // sound is asked when it matters: a clock started at log-in may come up before the sound
    // server.
    void CreateSound(std::function<void(bool playing)> readoutListener,
                     std::function<void(const std::string& file, const std::string& why)> failureListener);
    // The time signal and the alarms, over the chimes and the player.
    void CreateSignal();
    // The time scales and the tick, which shows itself through display.
    void CreateTick(TickDisplay& display);
    // Shutdown: the tick, the scales and the component go; the sound stays with the window.
    void ReleaseAtShutdown();
    // Everything but the devices and Timer1, users before what they use (a window destroyed
    // without a shutdown); the devices go with the object.
    void ReleaseAll();

    const Clock& ClockSource() const { return *clock_; }
    SecondTimer& Timer1() const { return *timer1_; }
    Ephemeris* Component() const { return ephemeris_.get(); }
    TimeScales* Scales() const { return scales_.get(); }
    ClockTick* Tick() const { return tick_.get(); }
    MusicEngine* Music() const { return music_.get(); }
    MidiChime* SignalChime() const { return signalChime_.get(); }
    MidiChime* AlarmChime() const { return alarmChime_.get(); }
    SignalControl* Signal() const { return signal_.get(); }
    // Asks the output afresh while no chime holds it: a sound server may have come up since.
    bool MidiAvailable();

private:
    ClockFormParts parts_;
    ClockState& state_;
    AlarmTables& alarms_;
    std::unique_ptr<Clock> ownClock_;
    const Clock* clock_ = nullptr;
    std::unique_ptr<SecondTimer> timer1_;

    std::unique_ptr<Ephemeris> ephemeris_;
    std::unique_ptr<TimeScales> scales_;
    std::unique_ptr<ClockTick> tick_;

    std::unique_ptr<MidiOutput> midiOutput_;
    std::unique_ptr<SharedMidiOutput> sharedMidi_;
    std::unique_ptr<MidiChime> signalChime_;
    std::unique_ptr<MidiChime> alarmChime_;
    std::unique_ptr<MusicDevice> musicDevice_;
    std::unique_ptr<MusicEngine> music_;
    std::unique_ptr<SignalControl> signal_;
};

}  // namespace vireo
