// CameraDirector: the endless sequence of shots that film the race — scripted moves from the
// keyframe tracks around the followed car and trackside cameras that pan and zoom — and the
// scene transitions between runs of shots. One in each run's world; the race step drives it, the
// frame composition applies it and draws its transition (director_draw.cpp holds the GL side).
#pragma once

#include <cstdint>

#include "race/car.h"

namespace ravelin {

constexpr int kTransitionTextureSize = 512;
constexpr int kTransitionViewportOrigin = 20;
constexpr float kTransitionSeconds = 2.0f;

class CameraDirector;

// Keeps the picture of the shot that ends when a shot change starts a scene transition: the
// drawing run draws the shot's 3D picture between beginCapture and endCapture. Logic tests
// count; a director without one starts its transitions without a new picture.
class TransitionCapture {
public:
    virtual void captureTransition(CameraDirector& director) = 0;

protected:
    ~TransitionCapture() = default;
};

class CameraDirector {
public:
    // Camera pose. For scripted shots update() leaves car-local values here and apply() turns
    // them into world values; the engine sounds and the flare read the world values.
    Vec3 eye;
    Vec3 direction{1.0f, 0.0f, 0.0f};
    Vec3 up{0.0f, 0.0f, 1.0f};
    Quat rotation;
    float fieldOfView = 60.0f;

    Car* target = nullptr;
    bool scripted = false;
    int track = 0;
    float trackTime = 0.0f;  // six units per second
    bool shotFinished = false;
    uint32_t shotLength = 0;
    uint32_t pointsPassed = 0;
    Vec3 tracksideEye;
    float baseFieldOfView = 0.0f;
    bool fixedFieldOfView = false;
    int shotsSinceTransition = 0;
    int shotsPerTransition = 0;
    int transitionStyle = 0;
    bool transitionActive = false;
    float transitionElapsed = 0.0f;
    uint32_t transitionTexture = 0;

    // Asked by a shot change that completes a run of shots, before the cars are re-placed.
    TransitionCapture* capture = nullptr;
    // The part of the capture texture the last capture filled (1 unless the window was too small
    // for a 512 × 512 capture at (20, 20)).
    float captureExtent = 1.0f;

    void attach(RaceState& race) { race_ = &race; }

    // Start-up, in the run's order: initCounters and createTransitionTexture, then (after the
    // sound starts) initShots.
    void initCounters();
    void createTransitionTexture();
    void initShots();

    void chooseTarget();
    void chooseShot();
    void setUpTrackside();

    void advanceTrackTime(float dt) { trackTime += dt * 6.0f; }
    void update();
    void afterUpdate();

    // World-space eye, direction, up and field of view for this image (no GL).
    void computeView();
    // computeView, then the projection and modelview matrices.
    void apply();
    // The GL side of a transition capture. beginCapture: the 512 × 512 capture viewport at
    // (20, 20) (the largest square from the corner in a smaller window; a size of 0 reads the
    // current viewport) with its depth cleared; the caller then draws the shot's picture;
    // endCapture copies it into the transition texture and gives the window its viewport back.
    void beginCapture(int windowWidth, int windowHeight);
    void endCapture();
    // Ages the transition; returns whether to draw it, with x = 0 … 1 across the two seconds.
    bool ageTransition(float dt, float& x);
    void drawTransition(float dt);

    CameraPose pose() const { return {eye, direction, up}; }

private:
    RaceState* race_ = nullptr;
    // The car-local pose of the scripted shot, kept apart so that applying twice for one
    // update maps the same values again instead of shrinking and re-mapping a world position.
    Vec3 localEye_;
    Vec3 localDirection_{1.0f, 0.0f, 0.0f};
    Vec3 localUp_{0.0f, 0.0f, 1.0f};
    // The capture in progress: its square and the window's size to restore.
    int captureOrigin_ = 0, captureSize_ = 0;
    int restoreWidth_ = 0, restoreHeight_ = 0;
};

}  // namespace ravelin
