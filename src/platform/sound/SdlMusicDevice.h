#pragma once
// MusicDevice over SDL2_mixer. WAV, MP3, Ogg Vorbis, Opus, FLAC and MIDI play (MIDI on one
// FluidSynth synthesizer shared by every song, see MidiSong); anything else (WMA, video, tracker modules,
// folders, bytes that only carry a MIDI name) fails. The audio output is opened with the
// file and closed with it, so an idle clock holds no audio stream. SDL2_mixer has one music
// slot per process: while one device has a file open, another's Open fails.
//
// Loading runs on a thread of its own, so that a huge or slow file never stops the caller:
// Open checks what it can at once (a regular file; a MIDI file's header and size) and starts
// the load; Play while loading starts the music as soon as it is loaded. Status says
// "playing" while a load that is to play goes on (a pause meanwhile is kept for the start). A load that fails, or does not finish
// within kLoadGiveUpMs, ends as "stopped" with Failure() saying why; a load given up on runs
// out in the background and its music is freed there.

#include "platform/MusicDevice.h"

#include <memory>

namespace vireo {

// Beyond this a file named or headed as MIDI is refused before it is read: real songs are
// far smaller, and the synthesizer holds the whole file and its events in memory.
inline constexpr long long kMaxMidiBytes = 8LL * 1024 * 1024;
inline constexpr int kLoadGiveUpMs = 5000;

class SdlMusicDevice final : public MusicDevice {
public:
    SdlMusicDevice();
    ~SdlMusicDevice() override;
    SdlMusicDevice(const SdlMusicDevice&) = delete;
    SdlMusicDevice& operator=(const SdlMusicDevice&) = delete;

    bool Open(const std::string& file) override;
    bool Play() override;
    bool Pause() override;
    bool Resume() override;
    void Stop() override;
    void Close() override;
    std::string Status() override;
    std::string Failure() override;

    // Holds every load this long before it starts (tests of a slow file).
    void SetLoadDelayForTest(int ms);

    struct Core;
    struct Load;

private:
    std::shared_ptr<Core> core_;
    std::string lastRefusal_;
    int loadDelayMs_ = 0;  // why the last Open refused, while nothing is open
};

}  // namespace vireo
