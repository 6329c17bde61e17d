#pragma once
// The program's MIDI output and music device, backed by the sound module (FluidSynth and
// SDL2_mixer), which is loaded only when a sound is first wanted: a clock that never sounds
// maps none of the sound libraries. Until then, and for good if the module cannot be loaded,
// the MIDI output counts no device and the music device refuses every file, saying why.
//
// The module is looked for in $VIREO_SOUND_MODULE (a file), else beside the program where
// the build and the installation put it.

#include "platform/MidiOutput.h"
#include "platform/MusicDevice.h"

#include <memory>
#include <string>

namespace vireo {

// Raised when the module's entry points change, so that an old module is not used.
inline constexpr int kSoundModuleInterface = 1;

std::unique_ptr<MidiOutput> NewSoundModuleMidiOutput();
std::unique_ptr<MusicDevice> NewSoundModuleMusicDevice();

// Whether the module has been loaded in this process (for tests and diagnostics).
bool SoundModuleLoaded();
// Why the module could not be loaded; empty when it was, or was not tried yet.
std::string SoundModuleError();

}  // namespace vireo
