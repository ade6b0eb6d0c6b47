// ScreensaverRun: the screensaver's own run — its world, and every part of a run (GL set-up,
// loading, sound, the frame's animation and drawing, shutdown) done with the real subsystems.
// runSaver drives it; the capture, benchmark and window runs override a few parts (GL set-up,
// sound, what happens around each frame); the offline mix calls its parts without a window.
#pragma once

#include "app/run_world.h"
#include "app/saver_run.h"

namespace ravelin {

class ScreensaverRun : public RunParts, private TransitionCapture {
public:
    // drawn: false for a run without a GL context (the offline mix): its loading then skips
    // the pictures, meshes and capture texture, and transitions start without a capture.
    explicit ScreensaverRun(bool drawn = true);
    // The unattended runs and the offline mix derive from it and are deleted through it.
    virtual ~ScreensaverRun() = default;

    RunWorld& world() { return world_; }
    const RunWorld& world() const { return world_; }

    // Everything the run loads, in the run's order, then the first shot: for tools and tests that
    // drive the run by hand without sound (runSaver puts the sound's parts in between).
    void loadWorld();

    void setUpGl(int32_t storedGamma, bool defGamma) override;
    void setOverlay(bool showFps, bool showClock, bool twelveHour) override;
    void windowSized(int width, int height) override;
    void showLoadingScreen(int width, int height) override;
    void bindSound(WindowHandle mainWindow) override;
    void loadFontAndScenes() override;
    void loadRaceEarly() override;
    void loadSkyAndFlare() override;
    void loadRaceLate() override;
    void startSound(bool music, bool effects) override;
    void startShots() override;
    void setVolume(int32_t volume) override;
    void updateFrame(float dt) override;
    void drawFrame(float dt) override;
    void presentFrame() override;
    void restoreVolume() override;
    void unbindSound() override;

private:
    // The director's transition capture: the world picture into the capture texture.
    void captureTransition(CameraDirector& director) override;

    RunWorld world_;
    bool drawn_;
    int width_ = 0, height_ = 0;  // the window, for the viewport a capture gives back
};

}  // namespace ravelin
