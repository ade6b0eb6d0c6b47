// The full-screen run: start-up in its fixed order (mode switch, windows, GL, loading screen,
// sound, assets, first shot), the single-threaded frame loop with the exit rules, and shutdown
// in its fixed order. Portable over the platform seam; the shell calls runSaver once, tests run
// it against the fake platform with a recording run. The loop's own state (clock, input, frame
// count) lives in runSaver's frame; what the run loads and animates belongs to its RunParts.
#pragma once

#include <cstdint>

#include "app/screensaver_app.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace ravelin {

// The parts of a run, each called by runSaver at its place in start-up, the frame loop and
// shutdown. Every part has a harmless default (nothing happens), so a run implements only what
// it has. ScreensaverRun (app/screensaver_run.h) is the screensaver's own; the unattended runs
// override a few of its parts; tests record the calls to watch the order.
class RunParts {
public:
    // Start-up, in this order. Initial GL state, extension table and swap interval 0; the gamma
    // ramp unless defGamma.
    virtual void setUpGl(int32_t storedGamma, bool defGamma) {}
    // The clock and frame-rate switches of the overlay.
    virtual void setOverlay(bool showFps, bool showClock, bool twelveHour) {}
    // The window's real size, before the loading screen and again whenever a hosted window is
    // resized (the transition capture restores the viewport to it).
    virtual void windowSized(int width, int height) {}
    virtual void showLoadingScreen(int width, int height) {}
    virtual void bindSound(WindowHandle mainWindow) {}
    // Overlay font, "test.txt" then "land.txt".
    virtual void loadFontAndScenes() {}
    // Race lines and the shared car assets.
    virtual void loadRaceEarly() {}
    virtual void loadSkyAndFlare() {}
    // Car looks with their engine samples, grid, camera tracks, the director's counters and
    // transition texture.
    virtual void loadRaceLate() {}
    // Remember the output volume, silence it, start music and engine channels as enabled.
    virtual void startSound(bool music, bool effects) {}
    // The director's first target and shot.
    virtual void startShots() {}
    virtual void setVolume(int32_t volume) {}

    // Each frame, in this order; frame counts from 0. beforeFrame comes before the animation,
    // afterDraw between drawing and presenting with the window's size (the back buffer holds
    // the finished frame), afterPresent after the swap: false from it ends the run.
    virtual void beforeFrame(long frame) {}
    // One frame's animation: flare, track time, cars 0 … 17, the director and its shot change.
    virtual void updateFrame(float dt) {}
    // Compose the frame (everything but the swap), then present it.
    virtual void drawFrame(float dt) {}
    virtual void afterDraw(long frame, int width, int height) {}
    virtual void presentFrame() {}
    virtual bool afterPresent(long frame) { return true; }

    // Shutdown, in this order.
    virtual void restoreVolume() {}
    // Stop, free and unbind the audio library.
    virtual void unbindSound() {}

protected:
    ~RunParts() = default;
};

struct SaverOptions {
    // Rendering into a window the host owns (xscreensaver): no mode switch, no cursor hiding or
    // warping, no gamma, no blanking windows, input never ends the run (the host sends SIGTERM,
    // which arrives as a close request), resizes followed.
    bool hosted = false;
    // An unattended run in an ordinary window of windowWidth × windowHeight (capture, benchmark):
    // like a hosted run it leaves the desktop alone (no mode switch, cursor, gamma or blanking
    // windows) and input never ends it; only a close request, the frame limit or the run's
    // afterPresent.
    bool windowed = false;
    int windowWidth = 800, windowHeight = 600;
    // Unattended runs: a fixed seed instead of the counter, and a fixed dt when fixedDt >= 0
    // (0 freezes the picture).
    bool fixedSeed = false;
    uint32_t seed = 1;
    float fixedDt = -1.0f;
    // Ends the run after this many frames (0: no limit).
    long maxFrames = 0;
};

enum class SaverResult {
    Finished = 0,     // ran and shut down normally
    NoWindow = 1,     // no monitor, or the main window or its GL context could not be made
};

// The exit rules of the main window and the mouse travel, shared by the loop and tests.
class SaverInput {
public:
    SaverInput(WindowHandle mainWindow, int width, int height, bool hosted)
        : mainWindow_(mainWindow), width_(width), height_(height), hosted_(hosted) {}

    // One event from the queue: a key (not a system key), the left or right button or a close
    // request in the main window posts the quit; a move in it sets the pending displacement.
    // Events of other windows change nothing.
    void handle(const InputEvent& event);
    // Once per frame: pending displacement into the signed travel, the cursor back to the
    // centre for each non-zero part. True when the travel ends the run (mouseExit set).
    bool applyMouse(bool mouseExit);
    void resize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    // The centre of the client area that the cursor is pulled back to.
    void centreCursor();

    bool quitPosted() const { return quitPosted_; }
    float mouseTravel() const { return mouseTravel_; }
    float pendingDx() const { return pendingDx_; }
    float pendingDy() const { return pendingDy_; }

    // Signed travel (half pixels) above which a move ends the run when MouseExit is set.
    static constexpr float kExitTravel = 7.0f;

private:
    WindowHandle mainWindow_;
    int width_, height_;
    bool hosted_;
    bool quitPosted_ = false;
    float mouseTravel_ = 0.0f;
    float pendingDx_ = 0.0f;
    float pendingDy_ = 0.0f;
};

// Whether Width × Height × Depth is a mode worth asking the display for; anything else (zero,
// negative, absurd) keeps the desktop's mode.
bool plausibleDisplayMode(int32_t width, int32_t height, int32_t depth);

// The whole run: the platform's side (display mode, windows, cursor, input, gamma) here, the
// run's parts called at their places, over the settings and the app's monitor table.
SaverResult runSaver(ScreensaverApp& app, const ScreensaverSettings& settings, const SaverOptions& options,
                     RunParts& run);
// The screensaver's own run (a ScreensaverRun) over the live settings.
SaverResult runSaver(ScreensaverApp& app, const SaverOptions& options = {});

}  // namespace ravelin
