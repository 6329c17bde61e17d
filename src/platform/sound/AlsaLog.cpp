#include "platform/sound/AlsaLog.h"

#if defined(__linux__)
#include <dlfcn.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#endif

namespace vireo {

#if defined(__linux__)
namespace {

std::atomic<bool> told{false};

// snd_lib_error_handler_t. Called on whatever thread opens the device.
void OneLine(const char* file, int line, const char* function, int err, const char* fmt, ...) {
    (void)file, (void)line, (void)function, (void)err;
    if (told.exchange(true)) return;
    char text[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    std::fprintf(stderr, "vireo: ALSA: %s (further ALSA messages are not shown)\n", text);
}

}  // namespace

void QuietAlsaLog() {
    static const bool done = [] {
        // The library SDL opens at run time and FluidSynth links: one copy per process, so the
        // handler set here is theirs. Kept loaded for the program's life.
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (!alsa) return false;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(&OneLine);
        return true;
    }();
    (void)done;
}

#else

void QuietAlsaLog() {}

#endif

}  // namespace vireo
