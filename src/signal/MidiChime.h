#pragma once
// The MIDI chime engine: every sound that is not a music file (the four-phrase chime, the
// strike chord, the short and long pips) as short messages on channel 1 of one shared MIDI
// output. It has no timer of its own; the time signal and the alarms step it once a second.
//
// Only MidiShortPip waits (100 ms, through the injected sleep). Every operation except
// MidiOpen does nothing while the device is closed. MIDI failures are never reported: a
// sequence whose device would not open simply runs silently.

#include "platform/MidiOutput.h"

#include <array>
#include <cstdint>
#include <functional>

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

class MidiChime {
public:
    using SleepFunction = std::function<void(int milliseconds)>;

    // Decides MidiAvailable once, from the output's device count; it is not asked again.
    // sleep blocks for the short pip; by default the calling thread sleeps.
    explicit MidiChime(MidiOutput& output, SleepFunction sleep = {});
    MidiChime(const MidiChime&) = delete;
    MidiChime& operator=(const MidiChime&) = delete;

    bool MidiAvailable() const { return available_; }
    // True while the device is open (the shared handle is not empty).
    bool IsOpen() const { return open_; }

    // Opens the device (unless MidiAvailable is false) and selects the program. A second
    // open while the device is open reuses that device and only selects the new program, so
    // there is never a second device that a single close would miss.
    void MidiOpen(std::int16_t program);
    // Silences what sounds, then starts the chime note of the step (nothing on a rest).
    void MidiChimeNote(std::int16_t step);
    // Silences what sounds, then starts the chord C4-F4-A4.
    void MidiStrike();
    // One A4 pip of 100 ms; returns after it ends. No wait while the device is closed.
    void MidiShortPip();
    // on: silence, then start the long A5 pip. off: only end it (no reset).
    void MidiLongPip(bool on);
    // Silences and closes the device.
    void MidiClose();

private:
    MidiOutput& output_;
    SleepFunction sleep_;
    bool available_ = false;
    bool open_ = false;
};

}  // namespace vireo
