// The full-screen run: start-up in its fixed order (mode switch, windows, GL, loading screen,
// sound, assets, first shot), the single-threaded frame loop with the exit rules, and shutdown
// in its fixed order. Portable over the platform seam; the shell calls runSaver once, tests run
// it against the fake platform with recording steps. The run state lives in runSaver's frame.
#pragma once

#include <cstdint>

#include "app/screensaver_app.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace ravelin {

// The subsystems' parts of the run, called in the run's order. A null step is skipped. The
// default table (defaultSaverSteps) calls the renderer, the race and the sound code; tests put
// their own in to watch the order without a GL context or an audio device.
struct SaverSteps {
    // Initial GL state, extension table and swap interval 0; the gamma ramp unless defGamma.
    void (*setUpGl)(int32_t storedGamma, bool defGamma) = nullptr;
    // The clock and frame-rate switches of the overlay.
    void (*overlay)(bool showFps, bool showClock, bool twelveHour) = nullptr;
    // The window's real size, before the loading screen and again whenever a hosted window is
    // resized (the transition capture restores the viewport to it).
    void (*windowSized)(int width, int height) = nullptr;
    void (*showLoadingScreen)(int width, int height) = nullptr;
    void (*bindSound)(WindowHandle mainWindow) = nullptr;
    // Overlay font, "test.txt" then "land.txt".
    void (*loadFontAndScenes)() = nullptr;
    // Race lines and the shared car assets.
    void (*loadRaceEarly)() = nullptr;
    void (*loadSkyAndFlare)() = nullptr;
    // Car looks with their engine samples, grid, camera tracks, the director's counters and
    // transition texture.
    void (*loadRaceLate)() = nullptr;
    // Remember the output volume, silence it, start music and engine channels as enabled.
    void (*startSound)(bool music, bool effects) = nullptr;
    // The director's first target and shot.
    void (*startShots)() = nullptr;
    void (*setVolume)(int32_t volume) = nullptr;
    // One frame's animation: track time, flare, cars 0 … 17, the director and its shot change.
    void (*updateFrame)(float dt) = nullptr;
    // Compose the frame (everything but the swap), then present it.
    void (*drawFrame)(float dt) = nullptr;
    void (*presentFrame)() = nullptr;
    void (*restoreVolume)() = nullptr;
    void (*unbindSound)() = nullptr;
};

const SaverSteps& defaultSaverSteps();

struct SaverOptions {
    // Rendering into a window the host owns (xscreensaver): no mode switch, no cursor hiding or
    // warping, no gamma, no blanking windows, input never ends the run (the host sends SIGTERM,
    // which arrives as a close request), resizes followed.
    bool hosted = false;
    // An unattended run in an ordinary window of windowWidth × windowHeight (capture, benchmark):
    // like a hosted run it leaves the desktop alone (no mode switch, cursor, gamma or blanking
    // windows) and input never ends it; only a close request, the frame limit or afterPresent.
    bool windowed = false;
    int windowWidth = 800, windowHeight = 600;
    // Unattended runs: a fixed seed instead of the counter, and a fixed dt when fixedDt >= 0
    // (0 freezes the picture).
    bool fixedSeed = false;
    uint32_t seed = 1;
    float fixedDt = -1.0f;
    // Ends the run after this many frames (0: no limit).
    long maxFrames = 0;
    // Per-frame hooks of the unattended runs, each given hookContext. beforeFrame runs before
    // the frame's update (the benchmark's CPU clock starts there); afterDraw between drawing and
    // presenting, with the window size (the capture reads the finished back buffer there);
    // afterPresent after the swap, and false from it ends the run (time is up, a write failed).
    void (*beforeFrame)(long frame, void* context) = nullptr;
    void (*afterDraw)(long frame, int width, int height, void* context) = nullptr;
    bool (*afterPresent)(long frame, void* context) = nullptr;
    void* hookContext = nullptr;
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

// The whole run over the live settings and the app's monitor table.
SaverResult runSaver(ScreensaverApp& app, const ScreensaverSettings& settings, const SaverOptions& options,
                     const SaverSteps& steps);
SaverResult runSaver(ScreensaverApp& app, const SaverOptions& options = {});

}  // namespace ravelin
