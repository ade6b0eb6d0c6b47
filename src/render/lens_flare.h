// LensFlare: the sun sprite, three streaks and twenty-three ghosts drawn in the 800 × 600
// overlay space, faded in and out by a one-pixel depth read-back occlusion test. One object for
// each run's world; updated every frame, drawn after all 3D geometry.
#pragma once

#include "base/math.h"
#include "render/texture.h"

namespace ravelin {

struct LensFlare {
    float intensity = 0;
    float sunHalfSize = 400;
    float ghostScale = 200;
    float fadeInRate = 6;
    float fadeOutRate = 6;
    float spin = 0;
    float spinRate = 0;
    float sunAspect = 1;
    float directionFadeThreshold = 0;
    float alphaScale = 1;
    bool sunVisible = false;
    bool ghostsEnabled = false;
    bool directional = true;
    bool directionFade = false;
    bool rotateWithPosition = true;
    Vec3 sunDirection{5.924f, 7.162f, 3.681f};
    Vec3 sunPosition{5.924f, 7.162f, 3.681f};
    Vec3 rotationReference{0, 0, 0};
    Texture sunTexture;
    Texture flareTextures[3];

    // Where the sun projected in the last drawFlare, overlay units and window depth (tests).
    float lastSunX = 0, lastSunY = 0, lastSunDepth = 0;

    void load(TextureCache& textures);
    void update(float dt);
    // The occlusion test for the next update, then the sun and (facing it) streaks and ghosts.
    void draw(const CameraPose& camera);

private:
    struct SunSpot {
        Vec3 position;  // overlay units
        float facing;   // cosine between the view and the sun's direction
    };
    // Projects the sun into the 800 × 600 overlay space and reads the depth where it lands:
    // sunVisible and the last* fields.
    SunSpot locateSun(const CameraPose& camera);
    void drawSun(Vec3 s, const CameraPose& camera) const;
    // Along the line from the sun through the screen's centre.
    void drawStreaksAndGhosts(Vec3 s) const;
    void drawStreaks(Vec3 s, Vec3 line, float c) const;
    void drawGhosts(Vec3 s, Vec3 line, float c) const;
};

}  // namespace ravelin
