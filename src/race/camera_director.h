// CameraDirector: the endless sequence of shots that film the race — scripted moves from the
// keyframe tracks around the followed car and trackside cameras that pan and zoom — and the
// scene transitions between runs of shots. One for the whole run; the main loop drives it, the
// frame composition applies it and draws its transition (director_draw.cpp holds the GL side).
#pragma once

#include <cstdint>

#include "race/car.h"

namespace ravelin {

constexpr int kTransitionTextureSize = 512;
constexpr int kTransitionViewportOrigin = 20;
constexpr float kTransitionSeconds = 2.0f;

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

    // Draws the 3D scene as the frame does (steps up to the flare) for the capture; set by the
    // frame composition. The director calls apply() itself through it, via the scene drawing.
    void (*renderScene)(void* context) = nullptr;
    void* renderSceneContext = nullptr;
    // What a shot change that completes a run of shots does to capture the old shot. init()
    // points it at captureTransition; logic tests put a counter here or leave it empty.
    void (*capture)(CameraDirector& director) = nullptr;
    // The window's size, for restoring the viewport after a capture.
    int windowWidth = 0;
    int windowHeight = 0;
    // The part of the capture texture the last capture filled (1 unless the window was too small
    // for a 512 × 512 capture at (20, 20)).
    float captureExtent = 1.0f;

    void attach(RaceState& race) { race_ = &race; }

    // Start-up, in the run's order: initCounters and createTransitionTexture, then (after the
    // sound starts) initShots. init() does all three.
    void initCounters();
    void createTransitionTexture();
    void initShots();
    void init();

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
    void captureTransition();
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
};

}  // namespace ravelin
