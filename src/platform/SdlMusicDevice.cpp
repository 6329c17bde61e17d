#include "platform/SdlMusicDevice.h"

#include "platform/FluidSynthMidiOutput.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <filesystem>
#include <system_error>

namespace vireo {

namespace {

bool PlayableType(Mix_MusicType type) {
    switch (type) {
    case MUS_WAV:
    case MUS_MID:
    case MUS_OGG:
    case MUS_MP3:
    case MUS_FLAC:
    case MUS_OPUS:
        return true;
    default:
        // Tracker modules are refused too: the module loaders accept almost any bytes,
        // and a WMA or video file must fail, not play as noise.
        return false;
    }
}

}  // namespace

SdlMusicDevice::SdlMusicDevice() = default;

SdlMusicDevice::~SdlMusicDevice() { Close(); }

bool SdlMusicDevice::OpenAudio() {
    if (audioOpen_) return true;
    // The program handles SIGINT and SIGTERM itself (orderly shutdown); SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID | MIX_INIT_OPUS);
    // MIDI files use the same General MIDI SoundFont as the chime unless the user set one.
    if (!SDL_getenv("SDL_SOUNDFONTS")) Mix_SetSoundFonts(kDefaultSoundFont);
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audioOpen_ = true;
    return true;
}

void SdlMusicDevice::CloseAudio() {
    if (!audioOpen_) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen_ = false;
}

bool SdlMusicDevice::Open(const std::string& file) {
    if (music_ || file.empty()) return false;
    std::error_code ec;
    // A folder or a device node is not music, whatever the loader might make of it.
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(file), ec)) return false;
    if (!OpenAudio()) return false;
    music_ = Mix_LoadMUS(file.c_str());
    if (music_ && !PlayableType(Mix_GetMusicType(music_))) {
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    if (!music_) {
        CloseAudio();
        return false;
    }
    return true;
}

bool SdlMusicDevice::Play() {
    if (!music_) return false;
    Mix_HaltMusic();
    return Mix_PlayMusic(music_, 0) == 0;  // once
}

bool SdlMusicDevice::Pause() {
    if (!music_ || !Mix_PlayingMusic() || Mix_PausedMusic()) return false;
    Mix_PauseMusic();
    return true;
}

bool SdlMusicDevice::Resume() {
    if (!music_ || !Mix_PlayingMusic() || !Mix_PausedMusic()) return false;
    Mix_ResumeMusic();
    return true;
}

void SdlMusicDevice::Stop() {
    if (music_) Mix_HaltMusic();
}

void SdlMusicDevice::Close() {
    if (music_) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    CloseAudio();
}

std::string SdlMusicDevice::Status() {
    if (!music_) return {};
    if (Mix_PausedMusic() && Mix_PlayingMusic()) return "paused";
    if (Mix_PlayingMusic()) return "playing";
    return "stopped";
}

}  // namespace vireo
