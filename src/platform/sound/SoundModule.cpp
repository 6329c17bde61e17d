// The entry points of the sound module, the one place the program meets FluidSynth and
// SDL2_mixer. The module is loaded on the first sound (platform/SoundBackends) and stays
// loaded: the GLib types its libraries register cannot be unloaded.

#include "platform/SoundBackends.h"
#include "platform/sound/FluidSynthMidiOutput.h"
#include "platform/sound/SdlMusicDevice.h"

#if defined(_WIN32)
#define VIREO_SOUND_EXPORT extern "C" __declspec(dllexport)
#else
#define VIREO_SOUND_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VIREO_SOUND_EXPORT vireo::MidiOutput* VireoSoundNewMidiOutput() { return new vireo::FluidSynthMidiOutput(); }

VIREO_SOUND_EXPORT vireo::MusicDevice* VireoSoundNewMusicDevice() { return new vireo::SdlMusicDevice(); }

VIREO_SOUND_EXPORT int VireoSoundInterfaceVersion() { return vireo::kSoundModuleInterface; }
