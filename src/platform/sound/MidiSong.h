#pragma once
// A Standard MIDI File played on FluidSynth into SDL2_mixer's output (through the mixer's
// music hook), on one synthesizer shared by every song: the General MIDI SoundFont is read
// once and kept while songs follow each other, not once per file as SDL2_mixer's own MIDI
// player does. Samples are loaded as instruments are chosen, so the synthesizer holds little
// more than the instruments in use; it is let go once no song has played for kKeepSynthMs.
//
// Load runs on any thread (the device's loader); the rest on the device's, which serialises
// them. Only one song is hooked at a time.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

typedef struct _fluid_player_t fluid_player_t;

namespace vireo {

inline constexpr int kKeepSynthMs = 10 * 60 * 1000;

class MidiSong {
public:
    // The file's bytes checked as a Standard MIDI File and put on the shared synthesizer;
    // null with why when the file is no such file or the synthesizer cannot be made.
    static std::unique_ptr<MidiSong> Load(const std::string& file, std::string& why);
    ~MidiSong();
    MidiSong(const MidiSong&) = delete;
    MidiSong& operator=(const MidiSong&) = delete;

    // From the start, on the mixer's output. False when the output is not one it can feed.
    bool Play();
    void Pause() { paused_ = true; }
    void Resume() { paused_ = false; }
    bool Paused() const { return paused_; }
    // Silences it at once; Play starts it again from the start.
    void Stop();
    // "playing", "paused" or "stopped" (not started, stopped, or played to its end).
    std::string Status() const;

    // How often the SoundFont has been read in this process (tests).
    static int SoundFontLoads();
    // Lets the synthesizer go now if no song uses it (tests; otherwise it goes by itself).
    static void ReleaseIdleSynthNow();

private:
    MidiSong() = default;
    static void Hook(void* song, unsigned char* stream, int length);
    void Unhook();

    std::vector<unsigned char> bytes_;
    fluid_player_t* player_ = nullptr;
    bool acquired_ = false;
    bool hooked_ = false;
    bool started_ = false;
    bool stopped_ = true;
    std::atomic<bool> paused_{false};
};

}  // namespace vireo
