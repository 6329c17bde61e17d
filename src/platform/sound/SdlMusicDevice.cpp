#include "platform/sound/SdlMusicDevice.h"

#include "platform/sound/AlsaLog.h"
#include "platform/sound/FluidSynthMidiOutput.h"
#include "platform/sound/MidiSong.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace vireo {

namespace {

using SteadyClock = std::chrono::steady_clock;

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

bool HasMidiName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".mid" || ext == ".midi" || ext == ".rmi" || ext == ".kar" || ext == ".smf";
}

// The checks that need no decoder: empty when the file may be loaded, else why not; midi
// tells whether it is a MIDI file by its header.
std::string RefusalBeforeLoading(const std::string& file, bool& midi) {
    midi = false;
    if (file.empty()) return "ファイルが指定されていません";
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::u8path(file);
    // A folder or a device node is not music, whatever the loader might make of it.
    if (!std::filesystem::is_regular_file(path, ec)) return "ファイルがありません";
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return "ファイルを読めません";
    if (size == 0) return "ファイルが空です";
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    if (!in.read(head, sizeof head) && in.gcount() < 4) return "ファイルを読めません";
    const std::string magic(head, 4);
    const bool smf = magic == "MThd";
    const bool rmid = magic == "RIFF" && in.gcount() >= 12 && std::string(head + 8, 4) == "RMID";
    if (HasMidiName(path) && !smf && !rmid) return "MIDI ファイルではありません";
    if ((smf || rmid) && static_cast<long long>(size) > kMaxMidiBytes)
        return "MIDI ファイルが大きすぎます (" + std::to_string(kMaxMidiBytes / (1024 * 1024)) + " MB まで)";
    midi = smf || rmid;
    return {};
}

}  // namespace

// One file's load, from Open to Close. Guarded by the core's mutex.
struct SdlMusicDevice::Load {
    const SdlMusicDevice* owner = nullptr;
    std::string file;
    SteadyClock::time_point started;
    bool done = false;        // the loader has finished (music or failure)
    bool abandoned = false;   // closed or given up on: the loader frees what it made
    bool playWanted = false;  // start as soon as loaded
    bool pauseWanted = false; // and pause at once (paused while it loaded)
    bool midi = false;        // played by a MidiSong, on the shared synthesizer
    Mix_Music* music = nullptr;
    std::unique_ptr<MidiSong> song;
    bool Ready() const { return music || song; }
    std::string failure;
};

// What the device and its loader threads share; a loader keeps it alive past the device.
struct SdlMusicDevice::Core {
    std::mutex mutex;
    std::shared_ptr<Load> current;
    int loaders = 0;  // loader threads running; the audio output stays open while any runs
    bool audioOpen = false;

    bool OpenAudio();
    void CloseAudioWhenIdle();
    static void RunLoader(std::shared_ptr<Core> core, std::shared_ptr<Load> load, int delayMs);
    // The mixer's output and music slot are the process's: so is their bookkeeping, or a
    // device closing after another opened would close the other's output. Never destroyed,
    // as a loader given up on may still finish during exit.
    static const std::shared_ptr<Core>& Shared() {
        static const auto* core = new std::shared_ptr<Core>(std::make_shared<Core>());
        return *core;
    }
    // The load this device opened, if it is the one open.
    Load* Of(const SdlMusicDevice* device) const {
        return current && current->owner == device ? current.get() : nullptr;
    }
};

bool SdlMusicDevice::Core::OpenAudio() {
    if (audioOpen) return true;
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
    audioOpen = true;
    return true;
}

void SdlMusicDevice::Core::CloseAudioWhenIdle() {
    // A loader still running uses the mixer's output format: the last one out closes.
    if (!audioOpen || current || loaders > 0) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen = false;
}

void SdlMusicDevice::Core::RunLoader(std::shared_ptr<Core> core, std::shared_ptr<Load> load, int delayMs) {
    // SDL keeps its error text per thread; a thread SDL did not start must free it itself.
    struct FreeSdlThreadData {
        ~FreeSdlThreadData() { SDL_TLSCleanup(); }
    } freeOnExit;
    if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    std::string failure;
    std::unique_ptr<MidiSong> song;
    Mix_Music* music = nullptr;
    if (load->midi) {
        song = MidiSong::Load(load->file, failure);
    } else if (!(music = Mix_LoadMUS(load->file.c_str()))) {
        failure = std::string("再生できない形式か、壊れたファイルです (") + Mix_GetError() + ")";
    } else if (!PlayableType(Mix_GetMusicType(music))) {
        Mix_FreeMusic(music);
        music = nullptr;
        failure = "再生できない形式です";
    }
    std::lock_guard lock(core->mutex);
    --core->loaders;
    if (load->abandoned) {
        if (music) Mix_FreeMusic(music);
        song.reset();
        core->CloseAudioWhenIdle();
        return;
    }
    load->done = true;
    load->music = music;
    load->song = std::move(song);
    load->failure = failure;
    if (load->song && load->playWanted) {
        if (!load->song->Play()) load->failure = "MIDI の再生を始められません";
        else if (load->pauseWanted) load->song->Pause();
    } else if (music && load->playWanted) {
        if (Mix_PlayMusic(music, 0) != 0)
            load->failure = std::string("再生を始められません (") + Mix_GetError() + ")";
        else if (load->pauseWanted)
            Mix_PauseMusic();
    }
}

SdlMusicDevice::SdlMusicDevice() : core_(Core::Shared()) { QuietAlsaLog(); }

SdlMusicDevice::~SdlMusicDevice() { Close(); }

void SdlMusicDevice::SetLoadDelayForTest(int ms) {
    std::lock_guard lock(core_->mutex);
    loadDelayMs_ = ms;
}

bool SdlMusicDevice::Open(const std::string& file) {
    std::lock_guard lock(core_->mutex);
    Core& core = *core_;
    if (core.current) return false;  // one file at a time
    auto load = std::make_shared<Load>();
    load->owner = this;
    load->file = file;
    load->done = true;
    load->failure = RefusalBeforeLoading(file, load->midi);
    if (load->failure.empty() && !core.OpenAudio()) load->failure = "音声出力を開けません";
    if (!load->failure.empty()) {
        // Nothing is open; the refusal is kept for Failure() only.
        lastRefusal_ = load->failure;
        core.CloseAudioWhenIdle();
        return false;
    }
    lastRefusal_.clear();
    load->done = false;
    load->started = SteadyClock::now();
    core.current = load;
    ++core.loaders;
    try {
        std::thread(&Core::RunLoader, core_, load, loadDelayMs_).detach();
    } catch (const std::system_error&) {
        --core.loaders;
        core.current = nullptr;
        lastRefusal_ = "読み込みを始められません";
        core.CloseAudioWhenIdle();
        return false;
    }
    return true;
}

bool SdlMusicDevice::Play() {
    std::lock_guard lock(core_->mutex);
    Load* load = core_->Of(this);
    if (!load) return false;
    if (!load->done) {
        load->playWanted = true;
        load->pauseWanted = false;
        return true;
    }
    if (load->song) return load->song->Play();
    if (!load->music) return false;
    Mix_HaltMusic();
    return Mix_PlayMusic(load->music, 0) == 0;  // once
}

bool SdlMusicDevice::Pause() {
    std::lock_guard lock(core_->mutex);
    Load* load = core_->Of(this);
    if (load && !load->done) {
        if (!load->playWanted || load->pauseWanted) return false;
        load->pauseWanted = true;
        return true;
    }
    if (load && load->song) {
        if (load->song->Status() != "playing") return false;
        load->song->Pause();
        return true;
    }
    if (!load || !load->music || !Mix_PlayingMusic() || Mix_PausedMusic()) return false;
    Mix_PauseMusic();
    return true;
}

bool SdlMusicDevice::Resume() {
    std::lock_guard lock(core_->mutex);
    Load* load = core_->Of(this);
    if (load && !load->done) {
        if (!load->pauseWanted) return false;
        load->pauseWanted = false;
        return true;
    }
    if (load && load->song) {
        if (!load->song->Paused()) return false;
        load->song->Resume();
        return true;
    }
    if (!load || !load->music || !Mix_PlayingMusic() || !Mix_PausedMusic()) return false;
    Mix_ResumeMusic();
    return true;
}

void SdlMusicDevice::Stop() {
    std::lock_guard lock(core_->mutex);
    Load* load = core_->Of(this);
    if (!load) return;
    load->playWanted = false;
    load->pauseWanted = false;
    if (load->song) load->song->Stop();
    if (load->music) Mix_HaltMusic();
}

void SdlMusicDevice::Close() {
    std::lock_guard lock(core_->mutex);
    Core& core = *core_;
    if (!core.Of(this)) return;
    if (const std::shared_ptr<Load> load = std::exchange(core.current, nullptr)) {
        if (!load->done) {
            load->abandoned = true;  // its loader frees the music
        } else {
            load->song.reset();
            if (load->music) {
                Mix_HaltMusic();
                Mix_FreeMusic(load->music);
                load->music = nullptr;
            }
        }
    }
    core.CloseAudioWhenIdle();
}

std::string SdlMusicDevice::Status() {
    std::lock_guard lock(core_->mutex);
    Load* load = core_->Of(this);
    if (!load) return {};
    if (!load->done) {
        if (SteadyClock::now() - load->started < std::chrono::milliseconds(kLoadGiveUpMs))
            return !load->playWanted ? "stopped" : load->pauseWanted ? "paused" : "playing";
        // Given up on: the load runs out in the background and frees its music there.
        load->abandoned = true;
        load->done = true;
        load->failure = "ファイルの読み込みが " + std::to_string(kLoadGiveUpMs / 1000) + " 秒で終わりません";
    }
    if (load->song) return load->song->Status();
    if (!load->music) return "stopped";
    if (Mix_PausedMusic() && Mix_PlayingMusic()) return "paused";
    if (Mix_PlayingMusic()) return "playing";
    return "stopped";
}

std::string SdlMusicDevice::Failure() {
    std::lock_guard lock(core_->mutex);
    if (const Load* load = core_->Of(this)) return load->failure;
    return lastRefusal_;
}

}  // namespace vireo
