#include "platform/linux/audio_diagnostics.h"

#include <dlfcn.h>

#include <cstdlib>

namespace ravelin {
namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietAudioBackends() {
    // Read by OpenAL Soft when it first starts; a value of the user's own wins.
    ::setenv("ALSOFT_LOGLEVEL", "0", 0);
    // ALSA's printer is a setting of the library itself, which OpenAL Soft loads later: load it
    // here first (it stays loaded) and give it one that prints nothing. No ALSA, nothing to say.
    if (void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) {
        using Printer = void (*)(const char*, int, const char*, int, const char*, ...);
        if (auto setPrinter = reinterpret_cast<int (*)(Printer)>(::dlsym(alsa, "snd_lib_error_set_handler")))
            setPrinter(ignoreAlsaError);
    }
}

}  // namespace ravelin
