// The full-screen run against the fake platform: start-up and shutdown as the recorded sequence
// of seam calls and steps, the exit rules from synthetic events, the mouse-travel rule, bad
// display modes, missing windows and the hosted (xscreensaver) run.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/saver_run.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

namespace {

// Records each part it is asked to do into the fake's call list ("step ..."), so that parts and
// seam calls show in one order. Events "arrive" while frame n is being updated (n from 0); the
// per-frame parts around drawing record only when a test gives them something to do.
class RecordingRun final : public RunParts {
public:
    explicit RecordingRun(FakePlatform& fake) : fake_(fake) {}

    void setUpGl(int32_t gamma, bool defGamma) override {
        record("setUpGl " + std::to_string(gamma) + (defGamma ? " default" : " ramp"));
    }
    void windowSized(int w, int h) override { record("windowSized " + size(w, h)); }
    void showLoadingScreen(int w, int h) override { record("showLoadingScreen " + size(w, h)); }
    void bindSound(WindowHandle window) override { record("bindSound " + std::to_string(window)); }
    void loadFontAndScenes() override { record("loadFontAndScenes"); }
    void loadRaceEarly() override { record("loadRaceEarly"); }
    void loadSkyAndFlare() override { record("loadSkyAndFlare"); }
    void loadRaceLate() override { record("loadRaceLate"); }
    void startSound(bool music, bool effects) override {
        record(std::string("startSound") + (music ? " music" : "") + (effects ? " effects" : ""));
    }
    void startShots() override { record("startShots"); }
    void setVolume(int32_t v) override { record("setVolume " + std::to_string(v)); }
    void beforeFrame(long frame) override {
        if (onBeforeFrame) onBeforeFrame(frame);
    }
    void updateFrame(float dt) override {
        dts.push_back(dt);
        record("updateFrame");
        for (const auto& [frame, event] : arrivals)
            if (frame == frame_) fake_.events.push_back(event);
    }
    void drawFrame(float) override { record("drawFrame"); }
    void afterDraw(long frame, int w, int h) override {
        if (onAfterDraw) onAfterDraw(frame, w, h);
    }
    void presentFrame() override {
        record("presentFrame");
        ++frame_;
    }
    bool afterPresent(long frame) override { return onAfterPresent ? onAfterPresent(frame) : true; }
    void restoreVolume() override { record("restoreVolume"); }
    void unbindSound() override { record("unbindSound"); }

    std::vector<std::pair<long, InputEvent>> arrivals;
    std::vector<float> dts;
    std::function<void(long)> onBeforeFrame;
    std::function<void(long, int, int)> onAfterDraw;
    std::function<bool(long)> onAfterPresent;

private:
    static std::string size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }
    void record(const std::string& what) { fake_.calls.push_back("step " + what); }

    FakePlatform& fake_;
    long frame_ = 0;
};

DisplayAdapter adapter(bool primary, Rect rect, uintptr_t monitor) {
    DisplayAdapter a;
    a.attachedToDesktop = true;
    a.primary = primary;
    a.rect = rect;
    a.monitorHandle = monitor;
    return a;
}

InputEvent event(InputType type, WindowHandle window, int x = 0, int y = 0, bool systemKey = false) {
    InputEvent e;
    e.type = type;
    e.window = window;
    e.x = x;
    e.y = y;
    e.systemKey = systemKey;
    return e;
}

class SaverRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.clientWidth = 1024;
        fake.clientHeight = 768;
        settings.Width = 1024;
        settings.Height = 768;
        settings.Depth = 32;
        settings.Gamma = 70;
        settings.Volume = 80;
        settings.EnableMusic = true;
        settings.EnableSFX = true;
        fake.adapters = {adapter(true, {0, 0, 1920, 1080}, 0x10)};
        buildTable();
    }
    void buildTable() {
        app = ScreensaverApp{};
        buildMonitorTable(app);
    }
    // The key that ends the run after `frames` frames.
    void endAfter(long frames) { parts->arrivals.push_back({frames - 1, event(InputType::KeyDown, 1)}); }
    SaverResult run(SaverOptions options = {}) {
        if (options.maxFrames == 0) options.maxFrames = 1000;  // a failing rule must not hang the test
        return runSaver(app, settings, options, *parts);
    }
    // Another run over the same table: a fresh run and record, handles from 1 again.
    void reset() {
        fake.calls.clear();
        fake.nextWindow = 1;
        parts = std::make_unique<RecordingRun>(fake);
    }
    long count(const std::string& call) const { return std::count(fake.calls.begin(), fake.calls.end(), call); }
    // Whether the calls hold `wanted` in this order, others allowed in between.
    bool inOrder(const std::vector<std::string>& wanted) const {
        auto at = fake.calls.begin();
        for (const std::string& call : wanted) {
            at = std::find(at, fake.calls.end(), call);
            if (at == fake.calls.end()) return false;
            ++at;
        }
        return true;
    }
    // The calls from `first` on, up to (not including) `last`.
    std::vector<std::string> between(const std::string& first, const std::string& last) const {
        auto b = std::find(fake.calls.begin(), fake.calls.end(), first);
        auto e = std::find(b, fake.calls.end(), last);
        return {b, e};
    }

    FakePlatform fake;
    ScreensaverApp app;
    ScreensaverSettings settings;
    std::unique_ptr<RecordingRun> parts = std::make_unique<RecordingRun>(fake);
};

TEST_F(SaverRunTest, StartUpAndShutdownInTheirOrder) {
    fake.adapters = {adapter(true, {0, 0, 1920, 1080}, 0x10), adapter(false, {1920, 0, 3200, 1024}, 0x11)};
    buildTable();
    endAfter(1);
    EXPECT_EQ(run(), SaverResult::Finished);
    // Other calls may come between these; these keep their order.
    const std::vector<std::string> expected = {
        "switchDisplayMode 1024x768x32",
        "showCursor 0",
        "createMainWindow 0,0,1024,768",
        "createBlankingWindow 1920,0,3200,1024",
        "showCursor 0",
        "step setUpGl 70 ramp",
        "showWindow 1",
        "showWindow 2",
        "step windowSized 1024x768",
        "step showLoadingScreen 1024x768",
        "step bindSound 1",
        "step loadFontAndScenes",
        "step loadRaceEarly",
        "step loadSkyAndFlare",
        "step loadRaceLate",
        "step startSound music effects",
        "step startShots",
        "step setVolume 80",
        "warpCursor 1 512,384",
        "step updateFrame",
        "step drawFrame",
        "step presentFrame",
        "step restoreVolume",
        "step unbindSound",
        "setGammaRamp",
        "restoreDisplayMode",
        "destroyGlContext",
        "showCursor 1",
        "closeWindow 1",
        "closeWindow 2",
        "showCursor 1",
    };
    EXPECT_TRUE(inOrder(expected)) << ::testing::PrintToString(fake.calls);
    EXPECT_EQ(count("showCursor 0"), 2);  // each hide has its show
    EXPECT_EQ(count("showCursor 1"), 2);
    // The shutdown ramp is the linear one: entry i is 256 × i.
    ASSERT_EQ(fake.lastGammaRamp.size(), 768u);
    EXPECT_EQ(fake.lastGammaRamp[255], 65280);
    EXPECT_EQ(fake.lastGammaRamp[512 + 1], 256);
    EXPECT_EQ(app.monitors[0].window, 1u);
    EXPECT_EQ(app.monitors[1].window, 2u);
}

TEST_F(SaverRunTest, VSyncAsksForIntervalOneAfterTheSetUp) {
    settings.VSync = true;
    endAfter(1);
    run();
    auto part = between("step setUpGl 70 ramp", "showWindow 1");
    EXPECT_EQ(part, (std::vector<std::string>{"step setUpGl 70 ramp", "setSwapInterval 1"}));
    settings.VSync = false;
    reset();
    run();
    EXPECT_EQ(count("setSwapInterval 1"), 0);
}

TEST_F(SaverRunTest, DesktopModeDefaultGammaAndSilenceTouchNothing) {
    settings.UseDesktop = true;
    settings.DefGamma = true;
    settings.EnableMusic = false;
    settings.EnableSFX = false;
    endAfter(1);
    run();
    EXPECT_EQ(count("switchDisplayMode 1024x768x32"), 0);
    EXPECT_EQ(count("setGammaRamp"), 0);
    EXPECT_EQ(count("step setUpGl 70 default"), 1);
    // The volume is still set and restored.
    EXPECT_EQ(count("step startSound"), 1);
    EXPECT_EQ(count("step setVolume 80"), 1);
    EXPECT_EQ(count("step restoreVolume"), 1);
    // No switch: the window takes the primary display whole.
    EXPECT_EQ(count("createMainWindow 0,0,1920,1080"), 1);
    // The display mode is put back in any case.
    EXPECT_EQ(count("restoreDisplayMode"), 1);
}

TEST_F(SaverRunTest, NonsenseModesKeepTheDesktopAndTheRealSizeIsUsed) {
    for (auto [w, h, d] : {std::tuple{0, 768, 32}, {1024, -5, 32}, {1024, 768, 0}, {100000, 768, 32}, {1024, 768, 7}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(d));
        settings.Width = w;
        settings.Height = h;
        settings.Depth = d;
        reset();
        fake.clientWidth = 1920;
        fake.clientHeight = 1080;
        endAfter(1);
        run();
        EXPECT_EQ(std::count_if(fake.calls.begin(), fake.calls.end(),
                                [](const std::string& c) { return c.rfind("switchDisplayMode", 0) == 0; }),
                  0);
        EXPECT_EQ(count("createMainWindow 0,0,1920,1080"), 1);
        EXPECT_EQ(count("step showLoadingScreen 1920x1080"), 1);
    }
    EXPECT_FALSE(plausibleDisplayMode(640, 480, 24 + 1));
    EXPECT_TRUE(plausibleDisplayMode(640, 480, 16));
}

TEST_F(SaverRunTest, RefusedModeSwitchGivesADesktopSizedWindow) {
    fake.switchOk = false;
    endAfter(1);
    run();
    EXPECT_EQ(count("switchDisplayMode 1024x768x32"), 1);
    EXPECT_EQ(count("createMainWindow 0,0,1920,1080"), 1);
}

TEST_F(SaverRunTest, PrimaryAwayFromTheOriginKeepsItsRealPlace) {
    // An X11 desktop whose primary sits right of a secondary display.
    fake.adapters = {adapter(true, {1280, 0, 3200, 1080}, 0x20), adapter(false, {0, 0, 1280, 1024}, 0x21)};
    buildTable();
    settings.UseDesktop = true;
    endAfter(1);
    run();
    EXPECT_EQ(count("createMainWindow 1280,0,3200,1080"), 1);
    EXPECT_EQ(count("createBlankingWindow 0,0,1280,1024"), 1);
}

TEST_F(SaverRunTest, NoWindowRestoresTheDesktopAndReportsFailure) {
    fake.failWindows = true;
    EXPECT_EQ(run(), SaverResult::NoWindow);
    const std::vector<std::string> expected = {"switchDisplayMode 1024x768x32", "showCursor 0",
                                               "createMainWindow 0,0,1024,768", "restoreDisplayMode",
                                               "showCursor 1"};
    EXPECT_EQ(fake.calls, expected);
}

TEST_F(SaverRunTest, NoMonitorAtAllIsAFailureToo) {
    fake.adapters.clear();
    buildTable();
    EXPECT_EQ(run(), SaverResult::NoWindow);
    EXPECT_EQ(count("step showLoadingScreen 1024x768"), 0);
    EXPECT_EQ(count("restoreDisplayMode"), 1);
}

TEST_F(SaverRunTest, QueuedEventsAreDispatchedBeforeAnyFrameAndQuitEndsWithoutOne) {
    fake.events = {event(InputType::MiddleButton, 1), event(InputType::Wheel, 1), event(InputType::LeftButton, 1),
                   event(InputType::Wheel, 1)};
    run();
    EXPECT_EQ(count("step updateFrame"), 0);
    EXPECT_EQ(count("step drawFrame"), 0);
    EXPECT_TRUE(fake.events.empty());
    EXPECT_EQ(count("destroyGlContext"), 1);
}

TEST_F(SaverRunTest, FixedSeedDtAndFrameLimitForUnattendedRuns) {
    SaverOptions options;
    options.fixedSeed = true;
    options.fixedDt = 0.04f;
    options.maxFrames = 5;
    std::vector<long> frames;
    int w = 0, h = 0;
    parts->onAfterDraw = [&](long frame, int width, int height) {
        frames.push_back(frame);
        w = width;
        h = height;
        fake.calls.push_back("afterDraw");
    };
    run(options);
    EXPECT_EQ(frames, (std::vector<long>{0, 1, 2, 3, 4}));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(parts->dts, std::vector<float>(5, 0.04f));
    auto part = between("step drawFrame", "step updateFrame");
    EXPECT_EQ(part, (std::vector<std::string>{"step drawFrame", "afterDraw", "step presentFrame"}));
}

TEST_F(SaverRunTest, DtComesFromTheFrameClockAfterLoading) {
    fake.counterStep = 1000;  // 1 ms per counter read
    endAfter(3);
    run();
    ASSERT_EQ(parts->dts.size(), 3u);
    // The clock is restarted right before the loop, so no loading time leaks into dt.
    for (float dt : parts->dts) {
        EXPECT_GT(dt, 0.0f);
        EXPECT_LT(dt, 0.01f);
    }
}

TEST_F(SaverRunTest, MouseTravelIsSignedAndEndsTheRunOnlyWhenAsked) {
    settings.MouseExit = true;
    // Back and forth around the centre (512, 384): +5 then −5 half pixels, twice.
    parts->arrivals = {{0, event(InputType::MouseMove, 1, 522, 384)}, {1, event(InputType::MouseMove, 1, 502, 384)},
                 {2, event(InputType::MouseMove, 1, 512, 394)}, {3, event(InputType::MouseMove, 1, 512, 374)}};
    endAfter(6);
    run();
    EXPECT_EQ(count("step drawFrame"), 6);  // only the key ended it
    EXPECT_EQ(count("warpCursor 1 512,384"), 1 + 4);

    // A long move ends it, and that frame is still drawn.
    reset();
    parts->arrivals = {{1, event(InputType::MouseMove, 1, 530, 384)}};
    endAfter(10);
    run();
    EXPECT_EQ(count("step drawFrame"), 3);
}

TEST_F(SaverRunTest, MouseTravelWithoutMouseExitOnlyRecentres) {
    settings.MouseExit = false;
    parts->arrivals = {{0, event(InputType::MouseMove, 1, 900, 700)}};
    endAfter(4);
    run();
    EXPECT_EQ(count("step drawFrame"), 4);
    EXPECT_EQ(count("warpCursor 1 512,384"), 1 + 2);  // start-up, then x and y
}

TEST_F(SaverRunTest, HostedRunIgnoresInputAndFollowsResizes) {
    SaverOptions options;
    options.hosted = true;
    settings.MouseExit = true;
    parts->arrivals = {{0, event(InputType::KeyDown, 1)},
                       {0, event(InputType::LeftButton, 1)},
                       {0, event(InputType::MouseMove, 1, 1000, 700)},
                       {3, event(InputType::Close, 1)}};
    parts->onAfterDraw = [&](long frame, int, int) {
        if (frame == 1) {
            fake.clientWidth = 640;
            fake.clientHeight = 480;
        }
    };
    run(options);
    EXPECT_EQ(count("step drawFrame"), 4);
    const std::vector<std::string> forbidden = {"switchDisplayMode", "showCursor", "warpCursor", "setGammaRamp",
                                                "createBlankingWindow", "restoreDisplayMode", "closeWindow"};
    for (const std::string& call : fake.calls)
        for (const std::string& f : forbidden) EXPECT_NE(call.rfind(f, 0), 0u) << call;
    EXPECT_EQ(count("step setUpGl 70 default"), 1);
    EXPECT_EQ(count("step windowSized 1024x768"), 1);
    EXPECT_EQ(count("step windowSized 640x480"), 1);
    EXPECT_EQ(count("destroyGlContext"), 1);
}

TEST_F(SaverRunTest, HostedRunUsesOneWindowWhateverTheMonitors) {
    fake.adapters = {adapter(true, {0, 0, 1920, 1080}, 0x10), adapter(false, {1920, 0, 3200, 1024}, 0x11)};
    buildTable();
    SaverOptions options;
    options.hosted = true;
    options.maxFrames = 1;
    run(options);
    EXPECT_EQ(count("createBlankingWindow 1920,0,3200,1024"), 0);
    EXPECT_EQ(count("showWindow 1"), 1);
}

TEST_F(SaverRunTest, WindowedUnattendedRunLeavesTheDesktopAloneAndStopsWhenAHookSays) {
    fake.adapters = {adapter(true, {0, 0, 1920, 1080}, 0x10), adapter(false, {1920, 0, 3200, 1024}, 0x11)};
    buildTable();
    settings.MouseExit = true;
    SaverOptions options;
    options.windowed = true;
    options.windowWidth = 320;
    options.windowHeight = 240;
    options.fixedSeed = true;
    options.fixedDt = 0.0f;  // a frozen picture, not the clock's dt
    parts->arrivals = {{0, event(InputType::KeyDown, 1)},
                       {0, event(InputType::RightButton, 1)},
                       {1, event(InputType::MouseMove, 1, 1000, 700)}};
    parts->onBeforeFrame = [&](long frame) { fake.calls.push_back("beforeFrame " + std::to_string(frame)); };
    parts->onAfterPresent = [&](long frame) {
        fake.calls.push_back("afterPresent " + std::to_string(frame));
        return frame < 2;
    };
    run(options);
    EXPECT_EQ(count("step drawFrame"), 3);
    EXPECT_EQ(parts->dts, std::vector<float>(3, 0.0f));
    EXPECT_EQ(count("createMainWindow 0,0,320,240"), 1);
    const std::vector<std::string> forbidden = {"switchDisplayMode", "showCursor", "warpCursor", "setGammaRamp",
                                                "createBlankingWindow", "restoreDisplayMode", "closeWindow"};
    for (const std::string& call : fake.calls)
        for (const std::string& f : forbidden) EXPECT_NE(call.rfind(f, 0), 0u) << call;
    EXPECT_EQ(count("step setUpGl 70 default"), 1);
    EXPECT_EQ(between("beforeFrame 1", "step drawFrame"), (std::vector<std::string>{"beforeFrame 1", "step updateFrame"}));
    EXPECT_EQ(between("step presentFrame", "beforeFrame 1"),
              (std::vector<std::string>{"step presentFrame", "afterPresent 0"}));
    // The run's own shutdown still follows the last frame.
    EXPECT_EQ(between("afterPresent 2", "destroyGlContext"),
              (std::vector<std::string>{"afterPresent 2", "step restoreVolume", "step unbindSound"}));
}

// The window procedure's rules, event by event.
TEST(SaverInputTest, WhatEndsTheRun) {
    FakePlatform fake;
    struct Case {
        InputEvent event;
        bool quits;
    };
    const WindowHandle main = 7, blank = 8;
    const Case cases[] = {
        {event(InputType::KeyDown, main), true},
        {event(InputType::KeyDown, main, 0, 0, true), false},  // Alt+key, F10, Alt+F4
        {event(InputType::LeftButton, main), true},
        {event(InputType::RightButton, main), true},
        {event(InputType::MiddleButton, main), false},
        {event(InputType::Wheel, main), false},
        {event(InputType::Close, main), true},
        {event(InputType::MouseMove, main, 0, 0), false},
        {event(InputType::KeyDown, blank), false},
        {event(InputType::LeftButton, blank), false},
        {event(InputType::RightButton, blank), false},
        {event(InputType::Close, blank), false},
        {event(InputType::None, main), false},
    };
    for (const Case& c : cases) {
        SaverInput input(main, 800, 600, false);
        input.handle(c.event);
        EXPECT_EQ(input.quitPosted(), c.quits) << static_cast<int>(c.event.type) << " in " << c.event.window;
    }
    // Hosted: only the close request (the host's SIGTERM) ends it.
    for (const Case& c : cases) {
        SaverInput input(main, 800, 600, true);
        input.handle(c.event);
        EXPECT_EQ(input.quitPosted(), c.event.type == InputType::Close && c.event.window == main);
    }
}

TEST(SaverInputTest, DisplacementIsOverwrittenInHalfPixelsAndMovesOnBlankingWindowsDoNotCount) {
    FakePlatform fake;
    SaverInput input(7, 801, 601, false);  // centre (400, 300): integer halves
    input.handle(event(InputType::MouseMove, 7, 410, 290));
    input.handle(event(InputType::MouseMove, 7, 404, 301));
    EXPECT_FLOAT_EQ(input.pendingDx(), 2.0f);
    EXPECT_FLOAT_EQ(input.pendingDy(), 0.5f);
    input.handle(event(InputType::MouseMove, 8, 0, 0));
    EXPECT_FLOAT_EQ(input.pendingDx(), 2.0f);
    EXPECT_FALSE(input.applyMouse(true));
    EXPECT_FLOAT_EQ(input.mouseTravel(), 2.5f);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"warpCursor 7 400,300", "warpCursor 7 400,300"}));
    // Exactly 7.0 is not above the threshold; a little more is.
    input.handle(event(InputType::MouseMove, 7, 409, 300));
    EXPECT_FALSE(input.applyMouse(true));
    EXPECT_FLOAT_EQ(input.mouseTravel(), 7.0f);
    input.handle(event(InputType::MouseMove, 7, 400, 301));
    EXPECT_TRUE(input.applyMouse(true));
    // Up and left subtract.
    input.handle(event(InputType::MouseMove, 7, 380, 280));
    EXPECT_FALSE(input.applyMouse(true));
    EXPECT_FLOAT_EQ(input.mouseTravel(), -12.5f);
}

}  // namespace
