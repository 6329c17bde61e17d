#include "platform/FluidSynthMidiOutput.h"

#include <fluidsynth.h>

namespace vireo {

namespace {

// MIDI and audio failures are not reported to the user, and FluidSynth would otherwise
// print every failed driver probe to the terminal.
void SilenceFluidSynthLog() {
    static const bool done = [] {
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)done;
}

}  // namespace

FluidSynthMidiOutput::FluidSynthMidiOutput(FluidSynthOptions options) : options_(std::move(options)) {
    SilenceFluidSynthLog();
}

FluidSynthMidiOutput::~FluidSynthMidiOutput() { Close(); }

fluid_settings_t* FluidSynthMidiOutput::NewSettings() const {
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) return nullptr;
    fluid_settings_setnum(settings, "synth.sample-rate", options_.SampleRate);
    // Load only the samples of the instruments actually chosen: the GM SoundFont is large
    // and an open happens every hour.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    if (!options_.AudioDriver.empty())
        fluid_settings_setstr(settings, "audio.driver", options_.AudioDriver.c_str());
    if (!options_.AudioFile.empty())
        fluid_settings_setstr(settings, "audio.file.name", options_.AudioFile.c_str());
    return settings;
}

int FluidSynthMidiOutput::DeviceCount() {
    if (!fluid_is_soundfont(options_.SoundFont.c_str())) return 0;
    if (options_.Offline) return 1;
    if (IsOpen()) return 1;
    // An audio output counts only if a driver can really be started on it.
    fluid_settings_t* settings = NewSettings();
    if (!settings) return 0;
    int count = 0;
    if (fluid_synth_t* synth = new_fluid_synth(settings)) {
        if (fluid_audio_driver_t* driver = new_fluid_audio_driver(settings, synth)) {
            count = 1;
            delete_fluid_audio_driver(driver);
        }
        delete_fluid_synth(synth);
    }
    delete_fluid_settings(settings);
    return count;
}

bool FluidSynthMidiOutput::Open() {
    if (IsOpen()) return true;
    settings_ = NewSettings();
    if (!settings_) return false;
    synth_ = new_fluid_synth(settings_);
    bool ok = synth_ && fluid_synth_sfload(synth_, options_.SoundFont.c_str(), 1) != FLUID_FAILED;
    if (ok && !options_.Offline) {
        driver_ = new_fluid_audio_driver(settings_, synth_);
        ok = driver_ != nullptr;
    }
    if (!ok) Close();
    return ok;
}

void FluidSynthMidiOutput::ShortMsg(std::uint32_t message) {
    if (!synth_) return;
    const int status = static_cast<int>(message & 0xFF);
    const int channel = status & 0x0F;
    const int data1 = static_cast<int>((message >> 8) & 0x7F);
    const int data2 = static_cast<int>((message >> 16) & 0x7F);
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
    case 0x90:
        if (data2 == 0)
            fluid_synth_noteoff(synth_, channel, data1);
        else
            fluid_synth_noteon(synth_, channel, data1, data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth_, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, channel, data1 | (data2 << 7)); break;
    default: break;  // system messages are not short channel messages
    }
}

void FluidSynthMidiOutput::Reset() {
    // Note-offs on every channel: notes end with their natural release, as on a hardware port.
    if (synth_) fluid_synth_all_notes_off(synth_, -1);
}

void FluidSynthMidiOutput::Close() {
    // The driver pulls from the synth on its own thread, so it goes first.
    if (driver_) delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
    if (synth_) delete_fluid_synth(synth_);
    synth_ = nullptr;
    if (settings_) delete_fluid_settings(settings_);
    settings_ = nullptr;
}

bool FluidSynthMidiOutput::Render(int frames, float* left, float* right) {
    if (!synth_ || driver_ || frames <= 0) return false;
    return fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1) == FLUID_OK;
}

}  // namespace vireo
