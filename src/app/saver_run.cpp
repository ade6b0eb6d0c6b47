#include "app/saver_run.h"

#include <cstdio>
#include <memory>

#include "app/screensaver_run.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

// A platform that never stops listing adapters must not hang the run.
constexpr int kMaxAdapterIndex = 256;

// The primary display's real desktop rectangle. On X11 the primary need not sit at the desktop
// origin, so the main window goes where the primary really is rather than to (0, 0).
bool primaryDisplay(DisplayAdapter& primary) {
    for (int i = 0; i < kMaxAdapterIndex; ++i) {
        DisplayAdapter adapter;
        if (!platform().enumDisplayAdapter(i, adapter)) break;
        if (adapter.primary && adapter.attachedToDesktop && !adapter.mirroring) {
            primary = adapter;
            return true;
        }
    }
    return false;
}

}  // namespace

bool plausibleDisplayMode(int32_t width, int32_t height, int32_t depth) {
    constexpr int32_t kLargest = 16384;
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) return false;
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

void SaverInput::handle(const InputEvent& event) {
    // Input on the blanking windows (or on none) is the default procedure's: nothing happens.
    if (event.window != mainWindow_) return;
    switch (event.type) {
    case InputType::Close:
        quitPosted_ = true;
        break;
    case InputType::KeyDown:
        // Alt combinations and F10 are the system's keys; their commands (Alt+F4 included) are
        // swallowed rather than ending the run.
        if (!hosted_ && !event.systemKey) quitPosted_ = true;
        break;
    case InputType::LeftButton:
    case InputType::RightButton:
        if (!hosted_) quitPosted_ = true;
        break;
    case InputType::MouseMove:
        if (hosted_) break;
        // Overwritten, not added: the loop takes the latest displacement once per frame.
        pendingDx_ = static_cast<float>(event.x - width_ / 2) * 0.5f;
        pendingDy_ = static_cast<float>(event.y - height_ / 2) * 0.5f;
        break;
    default:
        break;  // middle button, wheel: nothing
    }
}

void SaverInput::centreCursor() {
    if (!hosted_) platform().warpCursor(mainWindow_, width_ / 2, height_ / 2);
}

bool SaverInput::applyMouse(bool mouseExit) {
    if (pendingDx_ != 0.0f) {
        mouseTravel_ += pendingDx_;
        pendingDx_ = 0.0f;
        centreCursor();
    }
    if (pendingDy_ != 0.0f) {
        mouseTravel_ += pendingDy_;
        pendingDy_ = 0.0f;
        centreCursor();
    }
    return mouseExit && mouseTravel_ > kExitTravel;
}

SaverResult runSaver(ScreensaverApp& app, const SaverOptions& options) {
    // On the heap: the world holds the race's lines and tracks.
    auto run = std::make_unique<ScreensaverRun>();
    return runSaver(app, liveSettings(), options, *run);
}

SaverResult runSaver(ScreensaverApp& app, const ScreensaverSettings& settings, const SaverOptions& options,
                     RunParts& run) {
    Platform& p = platform();
    // A windowed unattended run keeps its hands off the desktop exactly as a hosted one does.
    const bool hosted = options.hosted || options.windowed;

    // One seed per run, first: the counter makes every run differ; unattended runs repeat.
    FrameClock clock;
    rng().seed(options.fixedSeed ? options.seed : static_cast<uint32_t>(clock.readCounter()));

    // The mode the user chose, unless the desktop's is wanted or the stored one is nonsense;
    // then the desktop stays and the window takes the display's own size.
    bool switched = false;
    if (!hosted) {
        if (!settings.UseDesktop && plausibleDisplayMode(settings.Width, settings.Height, settings.Depth)) {
            DisplayMode mode;
            mode.width = settings.Width;
            mode.height = settings.Height;
            mode.bitsPerPixel = settings.Depth;
            switched = p.switchDisplayMode(mode);
        }
        p.showCursor(false);
    }

    // The windows: the main window for the first monitor, black ones for the others.
    DisplayAdapter primary;
    const bool havePrimary = primaryDisplay(primary);
    WindowHandle mainWindow = 0;
    bool failed = false;
    bool anyMonitor = false;
    for (uint32_t i = 0; i < app.monitorCount && i < ScreensaverApp::kMaxMonitors && !failed; ++i) {
        MonitorSlot& slot = app.monitors[i];
        if (!slot.monitor) continue;
        anyMonitor = true;
        if (!mainWindow) {
            Rect rect = havePrimary ? primary.rect : slot.rect;
            if (options.windowed) {
                rect.right = rect.left + options.windowWidth;
                rect.bottom = rect.top + options.windowHeight;
            } else if (switched) {
                rect.right = rect.left + settings.Width;
                rect.bottom = rect.top + settings.Height;
            }
            mainWindow = p.createMainWindow(rect);
            slot.window = mainWindow;
            failed = mainWindow == 0;
        } else if (!hosted) {
            // The primary's slot is kept at the desktop origin by the table; its black window
            // belongs where the display really is.
            Rect rect = havePrimary && slot.monitor == primary.monitorHandle ? primary.rect : slot.rect;
            slot.window = p.createBlankingWindow(rect);
            failed = slot.window == 0;
        }
    }
    if (failed || !anyMonitor) {
        // Nothing was loaded yet: put the desktop back and report the failure.
        if (!hosted) {
            p.restoreDisplayMode();
            p.showCursor(true);
        }
        std::fprintf(stderr, "ravelin: %s\n",
                     anyMonitor ? "cannot create the window or its OpenGL context" : "no display to run on");
        return SaverResult::NoWindow;
    }

    // Hidden again now that the windows exist, and shown twice at shutdown: where the system
    // counts hides (Win32's ShowCursor keeps a display count) every hide needs its show, so the
    // two pairs leave the count where the run found it; where hiding is a plain switch (SDL) the
    // repeats change nothing.
    if (!hosted) p.showCursor(false);
    // GL state, extensions, swap interval and gamma. A user who asks for vsync gets it: the
    // frames need not outrun the display.
    run.setUpGl(settings.Gamma, settings.DefGamma || hosted);
    if (settings.VSync) p.setSwapInterval(1);
    run.setOverlay(settings.ShowFPS, settings.ShowClock, settings.TimeFormat);

    // Show every window.
    for (uint32_t i = 0; i < app.monitorCount && i < ScreensaverApp::kMaxMonitors; ++i)
        if (app.monitors[i].window) p.showWindow(app.monitors[i].window);

    // The loading screen, laid out for the size the window really got.
    int width = 0, height = 0;
    if (!p.clientSize(mainWindow, width, height) || width <= 0 || height <= 0) {
        width = settings.Width > 0 ? settings.Width : 800;
        height = settings.Height > 0 ? settings.Height : 600;
    }
    run.windowSized(width, height);
    run.showLoadingScreen(width, height);

    // The window procedure's state: exit rules and mouse travel.
    SaverInput input(mainWindow, width, height, hosted);

    // The sound library, then every asset in its order.
    run.bindSound(mainWindow);
    run.loadFontAndScenes();
    run.loadRaceEarly();
    run.loadSkyAndFlare();
    run.loadRaceLate();
    // Sound starts silent, the first shot is chosen, then the volume comes up.
    run.startSound(settings.EnableMusic, settings.EnableSFX);
    run.startShots();
    run.setVolume(settings.Volume);

    // The clock starts once the cursor is centred: neither the loading nor the warp counts
    // toward the first frame's dt.
    input.centreCursor();
    clock.restart();

    // The frame loop: one queued event per iteration; frames only when the queue is empty.
    long frame = 0;
    bool running = true;
    while (running) {
        InputEvent event;
        if (p.pollEvent(event)) {
            input.handle(event);
            continue;
        }
        if (input.quitPosted()) break;

        float dt = options.fixedDt >= 0.0f ? options.fixedDt : static_cast<float>(clock.elapsed());
        clock.restart();

        if (hosted) {
            // The host may resize its window at any time; the picture follows from this frame on.
            int w = 0, h = 0;
            if (p.clientSize(mainWindow, w, h) && w > 0 && h > 0 && (w != width || h != height)) {
                width = w;
                height = h;
                input.resize(w, h);
                run.windowSized(w, h);
            }
        }

        run.beforeFrame(frame);
        run.updateFrame(dt);
        if (input.applyMouse(settings.MouseExit)) running = false;
        // The frame that ended the run is still drawn.
        run.drawFrame(dt);
        run.afterDraw(frame, width, height);
        run.presentFrame();
        if (!run.afterPresent(frame)) running = false;
        ++frame;
        if (options.maxFrames > 0 && frame >= options.maxFrames) running = false;
    }

    // Shutdown, in its order: the desktop is always given back its volume, gamma and mode.
    run.restoreVolume();
    run.unbindSound();
    if (!settings.DefGamma && !hosted) applyGamma(1.0f, 1.0f, 1.0f);
    if (!hosted) p.restoreDisplayMode();
    p.destroyGlContext();
    if (!hosted) p.showCursor(true);
    for (uint32_t i = 0; i < app.monitorCount && i < ScreensaverApp::kMaxMonitors; ++i)
        if (app.monitors[i].window && !hosted) p.closeWindow(app.monitors[i].window);
    if (!hosted) p.showCursor(true);
    return SaverResult::Finished;
}

}  // namespace ravelin
