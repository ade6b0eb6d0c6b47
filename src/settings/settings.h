// The settings record: every user preference, a live instance read by everyone (edited only by
// the configuration dialog) and a defaults instance for Restore Defaults. Persisted as eighteen
// named 32-bit values through the platform's settings store.
#pragma once

#include <cstdint>
#include <string>

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
// All eighteen fields of the live record to the store. False when they could not be written,
// with the store's reason (where and why) in failure when it is given.
bool saveSettings(std::string* failure = nullptr);

// Whether Width × Height × Depth is a mode worth asking the display for; anything else (zero,
// negative, absurd) stands for the desktop's own mode.
bool plausibleDisplayMode(int32_t width, int32_t height, int32_t depth);

}  // namespace ravelin
