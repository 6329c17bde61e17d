#include "platform/sound/FluidSynthMidiOutput.h"

#include "platform/sound/AlsaLog.h"

#include <fluidsynth.h>

#include <vector>

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
    QuietAlsaLog();
}

FluidSynthMidiOutput::~FluidSynthMidiOutput() { Close(); }

// Drivers tried when none is named. The sound server first: ALSA's "default" device may be
// held exclusively or not route to the desktop's output.
static const std::vector<std::string>& DesktopDrivers() {
    static const std::vector<std::string> drivers = {"pulseaudio", "alsa", "oss"};
    return drivers;
}

fluid_settings_t* FluidSynthMidiOutput::NewSettings(const std::string& driver) const {
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) return nullptr;
    fluid_settings_setnum(settings, "synth.sample-rate", options_.SampleRate);
    // Load only the samples of the instruments actually chosen: the GM SoundFont is large
    // and an open happens every hour.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    if (!driver.empty()) fluid_settings_setstr(settings, "audio.driver", driver.c_str());
    if (!options_.AudioFile.empty())
        fluid_settings_setstr(settings, "audio.file.name", options_.AudioFile.c_str());
    return settings;
}

bool FluidSynthMidiOutput::DriverWorks(const std::string& driver) const {
    fluid_settings_t* settings = NewSettings(driver);
    if (!settings) return false;
    bool works = false;
    if (fluid_synth_t* synth = new_fluid_synth(settings)) {
        if (fluid_audio_driver_t* audio = new_fluid_audio_driver(settings, synth)) {
            works = true;
            delete_fluid_audio_driver(audio);
        }
        delete_fluid_synth(synth);
    }
    delete_fluid_settings(settings);
    return works;
}

int FluidSynthMidiOutput::DeviceCount() {
    if (!fluid_is_soundfont(options_.SoundFont.c_str())) return 0;
    if (options_.Offline || IsOpen()) return 1;
    // An audio output counts only if a driver can really be started on it.
    const std::vector<std::string> candidates =
        options_.AudioDriver.empty() ? DesktopDrivers() : std::vector<std::string>{options_.AudioDriver};
    for (const std::string& driver : candidates) {
        if (DriverWorks(driver)) {
            workingDriver_ = driver;
            return 1;
        }
    }
    return 0;
}

bool FluidSynthMidiOutput::OpenWith(const std::string& driver) {
    settings_ = NewSettings(driver);
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

bool FluidSynthMidiOutput::Open() {
    if (IsOpen()) return true;
    if (options_.Offline) return OpenWith({});
    std::vector<std::string> candidates;
    if (!options_.AudioDriver.empty()) {
        candidates = {options_.AudioDriver};
    } else {
        // The driver found at start-up first; the others should the output have moved.
        if (!workingDriver_.empty()) candidates.push_back(workingDriver_);
        for (const std::string& d : DesktopDrivers())
            if (d != workingDriver_) candidates.push_back(d);
    }
    for (const std::string& driver : candidates) {
        if (OpenWith(driver)) {
            workingDriver_ = driver;
            return true;
        }
    }
    return false;
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

void FluidSynthMidiOutput::Reset(int channel) {
    // Note-offs: notes end with their natural release, as on a hardware port.
    if (synth_ && channel >= 0 && channel < 16) fluid_synth_all_notes_off(synth_, channel);
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
