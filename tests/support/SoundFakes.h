#pragma once
// Recording stand-ins for the MIDI output and the music device, shared by the signal and
// music tests. Both write one line per call into a log, so tests compare exact sequences.

#include "platform/MidiOutput.h"
#include "platform/MusicDevice.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace vireo::testing {

// "msg 7F4190" for a packed short message (status in the low byte, as sent).
inline std::string MsgLine(std::uint32_t packed) {
    char text[24];
    std::snprintf(text, sizeof text, "msg %06X", static_cast<unsigned>(packed));
    return text;
}
// Expected lines, spelled out byte by byte rather than through the code under test.
// channel counts from 0: the time signal's is 0, the alarms' 1.
inline std::string ProgramLine(int program, unsigned channel = 0) {
    return MsgLine(0xC0u | channel | (unsigned(program) << 8));
}
inline std::string NoteOnLine(int note, unsigned channel = 0) {
    return MsgLine(0x90u | channel | (unsigned(note) << 8) | (127u << 16));
}
inline std::string NoteOffLine(int note, unsigned channel = 0) { return MsgLine(0x80u | channel | (unsigned(note) << 8)); }

class RecordingMidiOutput final : public MidiOutput {
public:
    int devices = 1;          // what DeviceCount reports
    bool failOpen = false;    // Open fails
    int deviceCountCalls = 0;
    int devicesCreated = 0;   // real opens (a reused device is not counted)
    std::vector<std::string> log;

    int DeviceCount() override {
        ++deviceCountCalls;
        return devices;
    }
    bool Open() override {
        log.push_back("open");
        if (failOpen || devices == 0) return false;
        if (!open_) ++devicesCreated;
        open_ = true;
        return true;
    }
    void ShortMsg(std::uint32_t message) override {
        if (open_) log.push_back(MsgLine(message));
        else log.push_back("msg while closed");
    }
    // "reset" on the first channel (the time signal's), "reset ch2" and so on for the others.
    void Reset(int channel) override {
        const std::string line = channel == 0 ? "reset" : "reset ch" + std::to_string(channel + 1);
        log.push_back(open_ ? line : line + " while closed");
    }
    void Close() override {
        log.push_back("close");
        open_ = false;
    }
    bool IsOpen() const override { return open_; }

private:
    bool open_ = false;
};

// A music device whose files "exist" when listed in playable; playback ends when the test
// says so (Finish).
class FakeMusicDevice final : public MusicDevice {
public:
    std::set<std::string> playable;
    std::vector<std::string> log;

    bool Open(const std::string& file) override {
        log.push_back("open " + file);
        if (!file_.empty() || !playable.count(file)) return false;
        file_ = file;
        mode_ = "stopped";
        return true;
    }
    bool Play() override {
        log.push_back("play");
        if (file_.empty()) return false;
        mode_ = "playing";
        return true;
    }
    bool Pause() override {
        log.push_back("pause");
        if (mode_ != "playing") return false;
        mode_ = "paused";
        return true;
    }
    bool Resume() override {
        log.push_back("resume");
        if (mode_ != "paused" || refuseResume) return false;
        mode_ = "playing";
        return true;
    }
    void Stop() override {
        log.push_back("stop");
        if (!file_.empty()) mode_ = "stopped";
    }
    void Close() override {
        log.push_back("close");
        file_.clear();
        mode_.clear();
    }
    std::string Status() override { return mode_; }

    void Finish() { mode_ = "stopped"; }
    const std::string& OpenFile() const { return file_; }
    bool refuseResume = false;

private:
    std::string file_;
    std::string mode_;
};

}  // namespace vireo::testing
