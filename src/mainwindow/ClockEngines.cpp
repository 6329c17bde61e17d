#include "mainwindow/ClockEngines.h"

#include "mainwindow/ClockSettings.h"
#include "mainwindow/SecondTimer.h"
#include "music/MusicEngine.h"
#include "platform/MidiOutput.h"
#include "platform/MusicDevice.h"
#include "platform/NoSound.h"
#include "signal/MidiChime.h"
#include "signal/SignalControl.h"
#include "timekeeping/ClockTick.h"
#include "timekeeping/TimeScales.h"

namespace vireo {

ClockEngines::ClockEngines(const ClockFormParts& parts, ClockState& state, AlarmTables& alarms)
    : parts_(parts), state_(state), alarms_(alarms) {
    if (parts_.clock) {
        clock_ = parts_.clock;
    } else {
        ownClock_ = std::make_unique<SystemClock>();
        clock_ = ownClock_.get();
    }
    timer1_ = std::make_unique<SecondTimer>(*clock_);
}

ClockEngines::~ClockEngines() { ReleaseAll(); }

void ClockEngines::ReleaseAll() {
    // Users before what they use: the tick and the signal first, the output and the component
    // last.
    timer1_->SetEnabled(false);
    tick_.reset();
    signal_.reset();
    music_.reset();
    alarmChime_.reset();
    signalChime_.reset();
    sharedMidi_.reset();
    scales_.reset();
    ephemeris_.reset();
}

Ephemeris& ClockEngines::CreateEphemeris() {
    ephemeris_ = parts_.createEphemeris();
    if (!ephemeris_) throw EphemerisError("the ephemeris component could not be created");
    return *ephemeris_;
}

void ClockEngines::ApplyObserver(const ObserverSettings& observer) {
    ephemeris_->SetHoldUpdate(true);
    ephemeris_->SetObserverLongitude(observer.Longitude);
    ephemeris_->SetObserverLatitude(observer.Latitude);
    ephemeris_->SetObserverHeight(observer.Height);
    ephemeris_->SetObserverTimeZone(observer.TimeZone);
    ephemeris_->SetHoldUpdate(false);
    ephemeris_->SetCurrentDate(clock_->Now().OleDate());
}

void ClockEngines::CreateSound(std::function<void(bool)> readoutListener,
                               std::function<void(const std::string&, const std::string&)> failureListener) {
    midiOutput_ = parts_.createMidiOutput ? parts_.createMidiOutput() : nullptr;
    if (!midiOutput_) midiOutput_ = std::make_unique<NoMidiOutput>();
    sharedMidi_ = std::make_unique<SharedMidiOutput>(*midiOutput_);
    signalChime_ = std::make_unique<MidiChime>(*sharedMidi_, kTimeSignalChannel);
    alarmChime_ = std::make_unique<MidiChime>(*sharedMidi_, kAlarmChannel);
    musicDevice_ = parts_.createMusicDevice ? parts_.createMusicDevice() : nullptr;
    if (!musicDevice_) musicDevice_ = std::make_unique<NoMusicDevice>();
    music_ = std::make_unique<MusicEngine>(*musicDevice_, state_);
    music_->SetReadoutListener(std::move(readoutListener));
    music_->SetFailureListener(std::move(failureListener));
}

void ClockEngines::CreateSignal() {
    signal_ = std::make_unique<SignalControl>(state_, alarms_, *signalChime_, *alarmChime_, *music_,
                                              [this] { return clock_->Now(); });
}

void ClockEngines::CreateTick(TickDisplay& display) {
    scales_ = std::make_unique<TimeScales>(state_, *ephemeris_, *clock_);
    tick_ = std::make_unique<ClockTick>(state_, *scales_, *clock_, display, *signal_, *music_);
}

void ClockEngines::ReleaseAtShutdown() {
    tick_.reset();
    scales_.reset();
    ephemeris_.reset();
}

bool ClockEngines::MidiAvailable() { return sharedMidi_ && sharedMidi_->Available(); }

}  // namespace vireo
