// The settings record: every user preference, a live instance read by everyone (edited only by
// the configuration dialog) and a defaults instance for Restore Defaults. Persisted as eighteen
// named 32-bit values through the platform's settings store.
#pragma once

#include <cstdint>

namespace ravelin {

struct ScreensaverSettings {
    bool EnableMusic = false;
    bool EnableSFX = false;
    bool ShowClock = false;
    bool ShowFlame = false;
    bool ShowFPS = false;
    bool VSync = false;
    bool UseDesktop = false;
    bool MouseExit = false;
    bool DefGamma = false;
    bool Random = false;
    bool TimeFormat = false;  // true: 12-hour clock
    bool English = false;
    int32_t Detail = 0;
    int32_t Volume = 0;
    int32_t Gamma = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Depth = 0;

    bool operator==(const ScreensaverSettings&) const = default;
};

ScreensaverSettings& liveSettings();
ScreensaverSettings& defaultSettings();

void loadSettings();  // the store's values over the live record
void saveSettings();  // all eighteen fields of the live record to the store

}  // namespace ravelin
