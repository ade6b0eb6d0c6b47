// DigitFont: the texture font of the clock and frame-rate overlay (13 glyph display lists over
// one picture) and the per-frame overlay drawing. One in each run's world, created while
// loading; drawOverlay is the frame composition's last drawing step.
#pragma once

#include <cstdint>

#include "render/texture.h"

namespace ravelin {

// Whether the clock and frame-rate texts are drawn (the settings' switches, unless a run
// overrides them).
struct OverlaySwitches {
    bool showFps = false;
    bool showClock = false;
    bool twelveHour = false;
};

struct DigitFont {
    Texture texture;
    uint32_t listBase = 0;
    char text[32] = "";

    int framesThisSecond = 0;
    float secondAccumulator = 0;
    int shownFps = 0;

    void createFont(TextureCache& textures);
    void setNumber(int n);
    // From the platform's local time; twelveHour appends ';' (am) or '<' (pm).
    void setTime(bool twelveHour);
    void drawText(float x, float y) const;
    // Counts the frame, formats both texts and draws those the switches ask for.
    void drawOverlay(float dt, const OverlaySwitches& switches);
};

// The time text for hour, minute, second (the 12-hour rules included) into out (at least 16
// bytes). Pure, for tests.
void formatTime(int hour, int minute, int second, bool twelveHour, char* out, int capacity);

}  // namespace ravelin
