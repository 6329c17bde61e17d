#include "signal/MidiChime.h"

#include <chrono>
#include <thread>

namespace vireo {

namespace {

constexpr int kProgramChange = 0xC0;  // channel 1
constexpr int kNoteOn = 0x90;
constexpr int kNoteOff = 0x80;
constexpr int kVelocity = 127;
constexpr int kShortPipMilliseconds = 100;

}  // namespace

int ChimeNoteOfStep(int step) {
    if (step < 0 || step >= static_cast<int>(kChimeTable.size())) return 0;
    return kChimeTable[static_cast<std::size_t>(step)];
}

MidiChime::MidiChime(MidiOutput& output, SleepFunction sleep)
    : output_(output), sleep_(std::move(sleep)) {
    if (!sleep_)
        sleep_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    available_ = output_.DeviceCount() > 0;
}

void MidiChime::MidiOpen(std::int16_t program) {
    if (!available_) return;
    if (!open_) {
        if (!output_.Open()) return;
        open_ = true;
    }
    output_.ShortMsg(PackMidiMessage(kProgramChange, program));
}

void MidiChime::MidiChimeNote(std::int16_t step) {
    if (!open_) return;
    output_.Reset();
    if (int note = ChimeNoteOfStep(step)) output_.ShortMsg(PackMidiMessage(kNoteOn, note, kVelocity));
}

void MidiChime::MidiStrike() {
    if (!open_) return;
    output_.Reset();
    for (int note : {kNoteC4, kNoteF4, kNoteA4}) output_.ShortMsg(PackMidiMessage(kNoteOn, note, kVelocity));
}

void MidiChime::MidiShortPip() {
    if (!open_) return;
    output_.Reset();
    output_.ShortMsg(PackMidiMessage(kNoteOn, kNoteA4, kVelocity));
    sleep_(kShortPipMilliseconds);
    output_.ShortMsg(PackMidiMessage(kNoteOff, kNoteA4, 0));
}

void MidiChime::MidiLongPip(bool on) {
    if (!open_) return;
    if (on) {
        output_.Reset();
        output_.ShortMsg(PackMidiMessage(kNoteOn, kNoteA5, kVelocity));
    } else {
        output_.ShortMsg(PackMidiMessage(kNoteOff, kNoteA5, 0));
    }
}

void MidiChime::MidiClose() {
    if (!open_) return;
    output_.Reset();
    output_.Close();
    open_ = false;
}

}  // namespace vireo
