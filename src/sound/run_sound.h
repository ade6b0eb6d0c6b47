// The full-screen run's sound steps in start-up and shutdown order, for the run loop: bind after
// the loading screen, start once the cars and their samples are loaded, the user's volume once
// the first shot is chosen, and at shutdown restore the volume and unbind. The offline mix uses
// the same steps.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace ravelin {

// Binds the audio library; false when no device opened (the run goes on silently).
bool bindRunSound(WindowHandle mainWindow);
// Remembers the output volume, sets it to 0, starts the music when asked, then the engines of
// every car of the race (car 0 first) when asked.
void startRunSound(bool music, bool engines);
// The user's volume (the settings' Volume, 0–100; out-of-range values are clamped by the library).
void setRunVolume(int32_t volume);
// Restores the output volume found at the start, then stops, frees and unbinds the library.
void stopRunSound();

}  // namespace ravelin
