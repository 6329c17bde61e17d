#pragma once
// MidiOutput over the FluidSynth software synthesizer with a General MIDI SoundFont.
// Opening creates the synthesizer, loads the SoundFont and starts the audio driver;
// closing releases all three. Offline mode starts no driver: the caller pulls samples
// with Render (used by tests and benchmarks).

#include "platform/MidiOutput.h"

#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace vireo {

inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

struct FluidSynthOptions {
    std::string SoundFont = kDefaultSoundFont;
    // FluidSynth audio driver name ("pulseaudio", "alsa", "file", ...); empty tries the
    // desktop's sound server first, then ALSA, then OSS, and keeps the first that opens.
    std::string AudioDriver;
    // Output file of the "file" driver; ignored by the others.
    std::string AudioFile;
    // No audio driver at all; samples come only from Render.
    bool Offline = false;
    double SampleRate = 44100.0;
};

class FluidSynthMidiOutput final : public MidiOutput {
public:
    explicit FluidSynthMidiOutput(FluidSynthOptions options = {});
    ~FluidSynthMidiOutput() override;
    FluidSynthMidiOutput(const FluidSynthMidiOutput&) = delete;
    FluidSynthMidiOutput& operator=(const FluidSynthMidiOutput&) = delete;

    // 1 when the SoundFont is present and (unless offline) an audio output can be opened
    // now, else 0. Probes each time it is called (callers decide once at start-up) and
    // remembers the driver that worked for the opens that follow.
    int DeviceCount() override;
    bool Open() override;
    void ShortMsg(std::uint32_t message) override;
    void Reset(int channel) override;
    void Close() override;
    bool IsOpen() const override { return synth_ != nullptr; }

    // Offline mode: renders frames of stereo float samples into left and right.
    // False (and nothing written) when the port is closed or a driver owns the synth.
    bool Render(int frames, float* left, float* right);
    double SampleRate() const { return options_.SampleRate; }

private:
    fluid_settings_t* NewSettings(const std::string& driver) const;
    bool DriverWorks(const std::string& driver) const;
    bool OpenWith(const std::string& driver);


    FluidSynthOptions options_;
    std::string workingDriver_;  // the driver the last probe or open found working
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
};

}  // namespace vireo
