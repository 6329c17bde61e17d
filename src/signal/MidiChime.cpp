#include "signal/MidiChime.h"

#include <chrono>
#include <thread>

namespace vireo {

namespace {

constexpr int kProgramChange = 0xC0;  // the channel goes in the low nibble
constexpr int kNoteOn = 0x90;
constexpr int kNoteOff = 0x80;
constexpr int kVelocity = 127;
constexpr int kShortPipMilliseconds = 100;

}  // namespace

int ChimeNoteOfStep(int step) {
    if (step < 0 || step >= static_cast<int>(kChimeTable.size())) return 0;
    return kChimeTable[static_cast<std::size_t>(step)];
}

bool SharedMidiOutput::Available() { return holders_ > 0 || output_.DeviceCount() > 0; }

bool SharedMidiOutput::Acquire() {
    if (holders_ == 0 && !output_.Open()) return false;
    ++holders_;
    return true;
}

void SharedMidiOutput::Release() {
    if (holders_ == 0) return;
    if (--holders_ == 0) output_.Close();
}

MidiChime::MidiChime(SharedMidiOutput& output, int channel, SleepFunction sleep)
    : output_(output), channel_(channel & 0x0F), sleep_(std::move(sleep)) {
    if (!sleep_)
        sleep_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

MidiChime::MidiChime(MidiOutput& output, SleepFunction sleep)
    : ownOutput_(std::make_unique<SharedMidiOutput>(output)), output_(*ownOutput_), channel_(0),
      sleep_(std::move(sleep)) {
    if (!sleep_)
        sleep_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

MidiChime::~MidiChime() { MidiClose(); }

bool MidiChime::MidiAvailable() { return output_.Available(); }

void MidiChime::Send(int status, int data1, int data2) {
    output_.Output().ShortMsg(PackMidiMessage(status | channel_, data1, data2));
}

void MidiChime::MidiOpen(std::int16_t program) {
    if (!open_) {
        if (!output_.Acquire()) return;
        open_ = true;
    }
    Send(kProgramChange, program);
}

void MidiChime::MidiChimeNote(std::int16_t step) {
    if (!open_) return;
    output_.Output().Reset(channel_);
    if (int note = ChimeNoteOfStep(step)) Send(kNoteOn, note, kVelocity);
}

void MidiChime::MidiStrike() {
    if (!open_) return;
    output_.Output().Reset(channel_);
    for (int note : {kNoteC4, kNoteF4, kNoteA4}) Send(kNoteOn, note, kVelocity);
}

void MidiChime::MidiShortPip() {
    if (!open_) return;
    output_.Output().Reset(channel_);
    Send(kNoteOn, kNoteA4, kVelocity);
    sleep_(kShortPipMilliseconds);
    Send(kNoteOff, kNoteA4, 0);
}

void MidiChime::MidiLongPip(bool on) {
    if (!open_) return;
    if (on) {
        output_.Output().Reset(channel_);
        Send(kNoteOn, kNoteA5, kVelocity);
    } else {
        Send(kNoteOff, kNoteA5, 0);
    }
}

void MidiChime::MidiClose() {
    if (!open_) return;
    output_.Output().Reset(channel_);
    open_ = false;
    output_.Release();
}

}  // namespace vireo
