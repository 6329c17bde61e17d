#pragma once
// One MIDI output port, shaped like the system MIDI-out calls the chime engine was written
// against: a device count, open, one packed short message, reset, close.

#include <cstdint>

namespace vireo {

class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    // How many output devices could sound; 0 when none. Only "above 0" matters to callers.
    virtual int DeviceCount() = 0;
    // Opens the port. False when it cannot be opened. Opening a port that is already open
    // reuses it (returns true, no second device), so a port is never left open unseen.
    virtual bool Open() = 0;
    // Sends one packed message: status in bits 0-7, data 1 in bits 8-15, data 2 in 16-23.
    // Does nothing while the port is closed.
    virtual void ShortMsg(std::uint32_t message) = 0;
    // Ends every sounding note on one channel (0..15), with the notes' own release, so that
    // two sounds on their own channels never cut each other. Does nothing while closed.
    virtual void Reset(int channel) = 0;
    // Releases the port; harmless when already closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

// Packs a short message the way the output expects it.
constexpr std::uint32_t PackMidiMessage(int status, int data1, int data2 = 0) {
    return static_cast<std::uint32_t>(status & 0xFF) |
           (static_cast<std::uint32_t>(data1 & 0x7F) << 8) |
           (static_cast<std::uint32_t>(data2 & 0x7F) << 16);
}

}  // namespace vireo
