#pragma once
// The MIDI chime engine: every sound that is not a music file (the four-phrase chime, the
// strike chord, the short and long pips) as short messages on one shared MIDI output. It has
// no timer of its own; the time signal and the alarms step it once a second, each through a
// chime of its own on its own channel.
//
// Only MidiShortPip waits (100 ms, through the injected sleep). Every operation except
// MidiOpen does nothing while the chime holds no device. MIDI failures are never reported: a
// sequence whose device would not open simply runs silently.

#include "platform/MidiOutput.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace vireo {

// General MIDI programs, counted from 0.
inline constexpr std::int16_t kProgramTubularBells = 14;  // chime, strike count, chime alarm
inline constexpr std::int16_t kProgramRecorder = 74;      // pips

// MIDI notes.
inline constexpr int kNoteC4 = 60;
inline constexpr int kNoteF4 = 65;
inline constexpr int kNoteG4 = 67;
inline constexpr int kNoteA4 = 69;
inline constexpr int kNoteA5 = 81;

// Note of each of the 19 chime steps; 0 is a rest (the gaps between the four phrases).
inline constexpr std::array<int, 19> kChimeTable = {
    kNoteF4, kNoteA4, kNoteG4, kNoteC4, 0,        // F-A-G-C
    kNoteF4, kNoteG4, kNoteA4, kNoteF4, 0,        // F-G-A-F
    kNoteA4, kNoteF4, kNoteG4, kNoteC4, 0,        // A-F-G-C
    kNoteC4, kNoteG4, kNoteA4, kNoteF4};          // C-G-A-F

// The chime note of a step, or 0 for a rest (steps 4, 9, 14 and anything outside 0..18).
int ChimeNoteOfStep(int step);

// The one MIDI output of the program, shared by the time signal and the alarms, each on a
// channel of its own: the output is open while any chime holds it, and only the last one to
// let go closes it. Whether a device can sound is asked of the output whenever none is open,
// so a sound server that comes up after log-in is found.
class SharedMidiOutput {
public:
    explicit SharedMidiOutput(MidiOutput& output) : output_(output) {}
    SharedMidiOutput(const SharedMidiOutput&) = delete;
    SharedMidiOutput& operator=(const SharedMidiOutput&) = delete;

    bool Available();
    // Opens the output for the first holder; false (and no hold) when it cannot be opened.
    bool Acquire();
    void Release();
    bool IsOpen() const { return holders_ > 0; }
    MidiOutput& Output() { return output_; }

private:
    MidiOutput& output_;
    int holders_ = 0;
};

// Channels of the two sounds (counted from 0): the time signal on the first, as every short
// message used to go; a chime alarm on the second, so the two never cut or close each other.
inline constexpr int kTimeSignalChannel = 0;
inline constexpr int kAlarmChannel = 1;

class MidiChime {
public:
    using SleepFunction = std::function<void(int milliseconds)>;

    // A chime on channel of the shared output. sleep blocks for the short pip; by default the
    // calling thread sleeps.
    MidiChime(SharedMidiOutput& output, int channel, SleepFunction sleep = {});
    // A chime alone on an output of its own, on the first channel.
    explicit MidiChime(MidiOutput& output, SleepFunction sleep = {});
    ~MidiChime();
    MidiChime(const MidiChime&) = delete;
    MidiChime& operator=(const MidiChime&) = delete;

    // Whether a device can sound now (asked of the output while none is open).
    bool MidiAvailable();
    // True while this chime holds the device open.
    bool IsOpen() const { return open_; }
    int Channel() const { return channel_; }

    // Opens the device (a failed open leaves the chime silent) and selects the program on this
    // chime's channel. A second open while this chime holds the device only selects the new
    // program, so a single close always releases it.
    void MidiOpen(std::int16_t program);
    // Silences this chime's channel, then starts the chime note of the step (nothing on a rest).
    void MidiChimeNote(std::int16_t step);
    // Silences the channel, then starts the chord C4-F4-A4.
    void MidiStrike();
    // One A4 pip of 100 ms; returns after it ends. No wait while the device is closed.
    void MidiShortPip();
    // on: silence, then start the long A5 pip. off: only end it (no reset).
    void MidiLongPip(bool on);
    // Silences the channel and lets go of the device (closed when no other chime holds it).
    void MidiClose();

private:
    void Send(int status, int data1, int data2 = 0);

    std::unique_ptr<SharedMidiOutput> ownOutput_;
    SharedMidiOutput& output_;
    int channel_;
    SleepFunction sleep_;
    bool open_ = false;
};

}  // namespace vireo
