// A run's sound: the binding to the audio library, one engine per car (engine i is car i's), the
// music and the output volume found at the start. Part of the run's world (app/run_world.h),
// made and gone with it. The run calls it in start-up and shutdown order: bind after the loading
// screen, the engine samples with the car looks, start once everything is loaded, the user's
// volume once the first shot is chosen, the engines every frame, and at shutdown the volume back
// and the library unbound. The offline mix makes the same calls on the loopback device.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"
#include "race/car.h"
#include "sound/engine_sound.h"
#include "sound/sound_system.h"

namespace ravelin {

class RunSound {
public:
    // Binds the library on the default output; false when no device opened (the run goes on
    // silently).
    bool bind(WindowHandle mainWindow) { return system.bind(mainWindow); }
    // The same on the in-memory loopback device (the offline mix).
    bool bindLoopback() { return system.bindLoopback(); }
    // Every engine's three band samples, car 0 first, whether or not engines will play.
    void loadEngineSamples();
    // Remembers the output volume, sets it to 0, starts the music when asked, then every engine
    // (car 0 first) when asked.
    void start(bool music, bool engines);
    // The user's volume (the settings' Volume, 0–100; out-of-range values are clamped by the
    // library).
    void setVolume(int32_t volume);
    // Tells each engine where its car is heard (the listener-space vectors of the car's last
    // update), car 0 first. Every frame, whether or not the engines were started.
    void updateEngines(const std::array<Car, kCarCount>& cars);
    // The output volume found by start().
    void restoreVolume();
    // Stops, frees and unbinds the library.
    void unbind() { system.unbind(); }

    SoundSystem system;
    std::array<EngineSound, kCarCount> engines;
    AudioHandle musicSample = 0;
    int32_t savedVolume = 0;

private:
    void startMusic();  // "music.ogg", a plain looping sample
};

}  // namespace ravelin
