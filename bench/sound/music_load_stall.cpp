// How long a music request holds the caller (the clock's user-interface thread) and what
// the process grows to while files load: a large file of noise named .flac, a MIDI file at
// the size limit and just above it, and a small MIDI song. Run by hand:
//   build/bench/music_load_stall [MB of the noise file, default 2048]
// Prints, per file: the time PlayMusic took, whether it played (or when it failed and why),
// and the peak resident size so far.

#include "music/MusicEngine.h"
#include "platform/sound/SdlMusicDevice.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

long PeakRssMb() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void WriteNoise(const std::string& path, long long bytes, const std::string& head = {}) {
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block(1 << 17);
    for (long long written = static_cast<long long>(head.size()); written < bytes;) {
        for (auto& word : block) word = random();
        const long long n = std::min<long long>(bytes - written, static_cast<long long>(block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), n);
        written += n;
    }
}

// A format-0 MIDI file whose one track is bytes long of notes.
void WriteMidi(const std::string& path, long long bytes) {
    std::string track;
    while (static_cast<long long>(track.size()) + 30 < bytes) track += std::string("\x00\x90\x45\x40\x10\x80\x45\x00", 8);
    track += std::string("\x00\xFF\x2F\x00", 4);
    std::string file("MThd\0\0\0\6\0\0\0\1\0\x60MTrk", 18);
    const auto n = static_cast<std::uint32_t>(track.size());
    file += static_cast<char>(n >> 24), file += static_cast<char>(n >> 16), file += static_cast<char>(n >> 8),
        file += static_cast<char>(n);
    std::ofstream(path, std::ios::binary) << file << track;
}

void Measure(vireo::MusicEngine& music, vireo::ClockState& state, const std::string& label, const std::string& file) {
    std::string why;
    music.SetFailureListener([&](const std::string&, const std::string& reason) { why = reason; });
    const auto start = Clock::now();
    music.PlayMusic(file, vireo::kPlayModeUser);
    const double call = Ms(Clock::now() - start);
    // The tick's poll, here every 20 ms; "settled" once it plays for real or has failed.
    std::string status;
    while (state.MusicPlayMode > 0) {
        status = music.MusicStatus();
        if (status == "stopped") {
            music.PlayMusic("", 0);
            break;
        }
        if (Ms(Clock::now() - start) > 8000) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const double settled = Ms(Clock::now() - start);
    if (why.empty())
        std::printf("%-28s PlayMusic %8.2f ms  played (still sounding or ended after %.0f ms)  peak RSS %5ld MB\n",
                    label.c_str(), call, settled, PeakRssMb());
    else
        std::printf("%-28s PlayMusic %8.2f ms  failed after %.0f ms  peak RSS %5ld MB  %s\n", label.c_str(), call,
                    settled, PeakRssMb(), why.c_str());
    music.PlayMusic("", 0);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const long long noiseMb = argc > 1 ? std::atoll(argv[1]) : 2048;
    const std::string dir = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/vireo-load-stall";
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string noise = dir + "/noise.flac", atLimit = dir + "/limit.mid", over = dir + "/over.mid",
                      song = dir + "/song.mid";
    WriteNoise(noise, noiseMb << 20);
    WriteMidi(atLimit, vireo::kMaxMidiBytes - 64);
    WriteNoise(over, vireo::kMaxMidiBytes + 1, std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14));
    WriteMidi(song, 4000);

    vireo::SdlMusicDevice device;
    vireo::ClockState state;
    vireo::MusicEngine music(device, state);
    std::printf("start: peak RSS %ld MB\n", PeakRssMb());
    Measure(music, state, "small MIDI song", song);
    Measure(music, state, "MIDI at the size limit", atLimit);
    Measure(music, state, "MIDI above the limit", over);
    Measure(music, state, std::to_string(noiseMb) + " MB of noise as .flac", noise);
    Measure(music, state, "small MIDI song again", song);
    for (const std::string& f : {noise, atLimit, over, song}) std::remove(f.c_str());
    return 0;
}
