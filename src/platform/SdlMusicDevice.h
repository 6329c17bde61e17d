#pragma once
// MusicDevice over SDL2_mixer. WAV, MP3, Ogg Vorbis, Opus, FLAC and MIDI play (MIDI through
// FluidSynth with the General MIDI SoundFont); anything else (WMA, video, tracker modules,
// folders) fails at Open. The audio output is opened with the file and closed with it, so
// an idle clock holds no audio stream. SDL2_mixer has one music slot per process: make one
// instance only.

#include "platform/MusicDevice.h"

typedef struct _Mix_Music Mix_Music;

namespace vireo {

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

private:
    bool OpenAudio();
    void CloseAudio();

    Mix_Music* music_ = nullptr;
    bool audioOpen_ = false;
};

}  // namespace vireo
