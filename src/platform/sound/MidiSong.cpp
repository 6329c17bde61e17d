#include "platform/sound/MidiSong.h"

#include "platform/sound/FluidSynthMidiOutput.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace vireo {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The one synthesizer of the songs, made at the first song and let go after kKeepSynthMs
// without one. Never destroyed itself: its reaper thread may outlive static destruction.
struct SharedSynth {
    std::mutex mutex;
    std::condition_variable changed;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int rate = 0;
    int users = 0;
    unsigned generation = 0;  // bumped by every acquire, so a waiting reaper knows it is late
    int loads = 0;

    static SharedSynth& Get() {
        static auto* shared = new SharedSynth;
        return *shared;
    }

    void FreeLocked() {
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
        synth = nullptr;
        settings = nullptr;
        rate = 0;
    }

    // The synthesizer at the output's rate, or null with why.
    fluid_synth_t* Acquire(int outputRate, std::string& why) {
        std::lock_guard lock(mutex);
        ++generation;
        if (synth && rate != outputRate && users == 0) FreeLocked();
        if (!synth) {
            settings = new_fluid_settings();
            fluid_settings_setnum(settings, "synth.sample-rate", outputRate);
            // Only the instruments chosen are read from the SoundFont.
            fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
            synth = new_fluid_synth(settings);
            const char* font = SDL_getenv("SDL_SOUNDFONTS") ? SDL_getenv("SDL_SOUNDFONTS") : kDefaultSoundFont;
            if (!synth || fluid_synth_sfload(synth, font, 1) == FLUID_FAILED) {
                FreeLocked();
                why = std::string("SoundFont を読めません (") + font + ")";
                return nullptr;
            }
            ++loads;
            rate = outputRate;
        }
        if (rate != outputRate) {
            why = "出力の周波数が合いません";
            return nullptr;
        }
        ++users;
        return synth;
    }

    void Release() {
        std::lock_guard lock(mutex);
        if (--users > 0) return;
        const unsigned mine = generation;
        std::thread([this, mine] {
            std::unique_lock lock(mutex);
            const bool late = changed.wait_for(lock, std::chrono::milliseconds(kKeepSynthMs),
                                               [&] { return generation != mine; });
            if (!late && users == 0) FreeLocked();
        }).detach();
    }

    void ReleaseIdle() {
        std::lock_guard lock(mutex);
        ++generation;  // any waiting reaper stands down
        changed.notify_all();
        if (users == 0) FreeLocked();
    }
};

// A variable-length quantity of a MIDI file; false past the end.
bool ReadVarLen(const unsigned char*& p, const unsigned char* end, unsigned long& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        const unsigned char c = *p++;
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80)) return true;
    }
    return false;
}

unsigned long Big(const unsigned char* p, int n) {
    unsigned long v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

// Whether the bytes are a Standard MIDI File whose chunks and events all lie inside it, with
// at least one note; a RIFF-wrapped one (RMID) is unwrapped first.
bool IsPlayableSmf(std::vector<unsigned char>& bytes) {
    if (bytes.size() >= 20 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "RMID", 4) == 0) {
        for (std::size_t at = 12; at + 8 <= bytes.size();) {
            const unsigned long size = bytes[at + 4] | (bytes[at + 5] << 8) | (bytes[at + 6] << 16) | (bytes[at + 7] << 24);
            if (std::memcmp(bytes.data() + at, "data", 4) == 0 && at + 8 + size <= bytes.size()) {
                bytes = std::vector<unsigned char>(bytes.begin() + static_cast<long>(at) + 8,
                                                   bytes.begin() + static_cast<long>(at + 8 + size));
                break;
            }
            at += 8 + size + (size & 1);
        }
    }
    const unsigned char* p = bytes.data();
    const unsigned char* end = p + bytes.size();
    if (bytes.size() < 14 || std::memcmp(p, "MThd", 4) != 0 || Big(p + 4, 4) < 6) return false;
    const unsigned long tracks = Big(p + 10, 2);
    p += 8 + Big(p + 4, 4);
    bool notes = false;
    for (unsigned long t = 0; t < tracks; ++t) {
        if (end - p < 8 || std::memcmp(p, "MTrk", 4) != 0) return false;
        const unsigned long length = Big(p + 4, 4);
        const unsigned char* q = p + 8;
        if (static_cast<unsigned long>(end - q) < length) return false;
        const unsigned char* trackEnd = q + length;
        unsigned char status = 0;
        while (q < trackEnd) {
            unsigned long delta = 0;
            if (!ReadVarLen(q, trackEnd, delta) || q >= trackEnd) return false;
            unsigned char c = *q;
            if (c == 0xFF) {
                if (trackEnd - q < 2) return false;
                q += 2;
                unsigned long n = 0;
                if (!ReadVarLen(q, trackEnd, n) || static_cast<unsigned long>(trackEnd - q) < n) return false;
                q += n;
                continue;
            }
            if (c == 0xF0 || c == 0xF7) {
                ++q;
                unsigned long n = 0;
                if (!ReadVarLen(q, trackEnd, n) || static_cast<unsigned long>(trackEnd - q) < n) return false;
                q += n;
                continue;
            }
            if (c & 0x80) {
                status = c;
                ++q;
            } else if (!status) {
                return false;  // data with no status to run on
            }
            const int kind = status & 0xF0;
            const int data = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (trackEnd - q < data) return false;
            if (kind == 0x90 && q[1] != 0) notes = true;
            q += data;
        }
        p = trackEnd;
    }
    return notes;
}

}  // namespace

std::unique_ptr<MidiSong> MidiSong::Load(const std::string& file, std::string& why) {
    std::unique_ptr<MidiSong> song(new MidiSong);
    {
        std::ifstream in(file, std::ios::binary);
        song->bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            why = "ファイルを読めません";
            return nullptr;
        }
    }
    if (!IsPlayableSmf(song->bytes_)) {
        why = "壊れた MIDI ファイルか、音符がありません";
        return nullptr;
    }
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&rate, &format, &channels) || format != AUDIO_S16SYS || channels != 2) {
        why = "音声出力の形式が合いません";
        return nullptr;
    }
    fluid_synth_t* synth = SharedSynth::Get().Acquire(rate, why);
    if (!synth) return nullptr;
    song->acquired_ = true;
    song->player_ = new_fluid_player(synth);
    if (!song->player_ || fluid_player_add_mem(song->player_, song->bytes_.data(), song->bytes_.size()) != FLUID_OK) {
        why = "MIDI ファイルを開けません";
        return nullptr;  // the destructor gives the synthesizer back
    }
    return song;
}

MidiSong::~MidiSong() {
    Unhook();
    if (player_) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    if (!acquired_) return;
    SharedSynth& shared = SharedSynth::Get();
    if (shared.synth) {
        // The next song starts from a quiet synthesizer; its instruments' samples may go.
        fluid_synth_all_sounds_off(shared.synth, -1);
        fluid_synth_system_reset(shared.synth);
    }
    shared.Release();
}

void MidiSong::Hook(void* song, unsigned char* stream, int length) {
    auto* self = static_cast<MidiSong*>(song);
    fluid_synth_t* synth = SharedSynth::Get().synth;
    if (self->paused_ || !synth) {
        std::memset(stream, 0, static_cast<std::size_t>(length));
        return;
    }
    auto* samples = reinterpret_cast<Sint16*>(stream);
    fluid_synth_write_s16(synth, length / 4, samples, 0, 2, samples, 1, 2);
}

void MidiSong::Unhook() {
    if (!hooked_) return;
    Mix_HookMusic(nullptr, nullptr);  // under the mixer's lock: no render runs after it
    hooked_ = false;
}

bool MidiSong::Play() {
    if (!player_) return false;
    Unhook();
    if (started_) {
        // A player that ran is made anew, so the song starts from its beginning.
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        fluid_synth_t* synth = SharedSynth::Get().synth;
        fluid_synth_all_sounds_off(synth, -1);
        player_ = new_fluid_player(synth);
        if (!player_ || fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK) return false;
    }
    paused_ = false;
    stopped_ = false;
    started_ = true;
    if (fluid_player_play(player_) != FLUID_OK) return false;
    Mix_HookMusic(&MidiSong::Hook, this);
    hooked_ = true;
    return true;
}

void MidiSong::Stop() {
    stopped_ = true;
    paused_ = false;
    Unhook();
    if (player_) fluid_player_stop(player_);
    if (fluid_synth_t* synth = SharedSynth::Get().synth) fluid_synth_all_sounds_off(synth, -1);
}

std::string MidiSong::Status() const {
    if (stopped_) return "stopped";
    if (paused_) return "paused";
    return player_ && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING ? "playing" : "stopped";
}

int MidiSong::SoundFontLoads() {
    SharedSynth& shared = SharedSynth::Get();
    std::lock_guard lock(shared.mutex);
    return shared.loads;
}

void MidiSong::ReleaseIdleSynthNow() { SharedSynth::Get().ReleaseIdle(); }

}  // namespace vireo
