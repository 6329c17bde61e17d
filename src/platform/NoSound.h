#pragma once
// Stand-ins for sound that is not there: every open fails, so the clock keeps time silently.

#include <cstdint>
#include <string>

#include "platform/MidiOutput.h"
#include "platform/MusicDevice.h"

namespace vireo {

class NoMidiOutput final : public MidiOutput {
public:
    int DeviceCount() override { return 0; }
    bool Open() override { return false; }
    void ShortMsg(std::uint32_t) override {}
    void Reset(int) override {}
    void Close() override {}
    bool IsOpen() const override { return false; }
};

class NoMusicDevice final : public MusicDevice {
public:
    bool Open(const std::string&) override { return false; }
    bool Play() override { return false; }
    bool Pause() override { return false; }
    bool Resume() override { return false; }
    void Stop() override {}
    void Close() override {}
    std::string Status() override { return {}; }
};

}  // namespace vireo
