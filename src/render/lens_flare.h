// LensFlare: the sun sprite, three streaks and twenty-three ghosts drawn in the 800 × 600
// overlay space, faded in and out by a one-pixel occlusion test: an occlusion query whose result
// the next update collects, or where the driver has none, a depth read-back. One object for each
// run's world; updated every frame, drawn after all 3D geometry.
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

    // Where the sun projected in the last drawFlare, overlay units and window depth (tests; the
    // depth only where it was read back).
    float lastSunX = 0, lastSunY = 0, lastSunDepth = 0;

    void load(TextureCache& textures);
    // Takes the last occlusion query's result into sunVisible when it is ready, then fades.
    void update(float dt);
    // The occlusion test for the next update, then the sun and (facing it) streaks and ghosts.
    void draw(const CameraPose& camera);

private:
    struct SunSpot {
        Vec3 position;  // overlay units
        float facing;   // cosine between the view and the sun's direction
    };
    // Projects the sun into the 800 × 600 overlay space and tests the depth where it lands: with
    // an occlusion query where the driver has them (the frame does not wait for the drawing
    // before it; sunVisible follows at the next update or draw), else by reading the depth back
    // at once. Sets sunVisible and the last* fields.
    SunSpot locateSun(const CameraPose& camera);
    void collectOcclusion();
    // Counts whether a point at window (x, y) and depth z passes the depth test.
    void queryOcclusion(double x, double y, float z, const int viewport[4]);
    unsigned occlusionQuery_ = 0;
    bool queryPending_ = false;
    void drawSun(Vec3 s, const CameraPose& camera) const;
    // Along the line from the sun through the screen's centre.
    void drawStreaksAndGhosts(Vec3 s) const;
    void drawStreaks(Vec3 s, Vec3 line, float c) const;
    void drawGhosts(Vec3 s, Vec3 line, float c) const;
};

}  // namespace ravelin
