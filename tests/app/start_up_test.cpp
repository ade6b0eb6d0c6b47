// The start-up sequence in its order, the monitor table and the dispatch to one activity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/start_up.h"
#include "platform/fake/fake_platform.h"
#include "settings/default_settings_file.h"
#include "settings/settings.h"
#include "settings/ui_text.h"
#include "test_support.h"

using namespace ravelin;
using Mode = ScreensaverApp::RunMode;

namespace {

DisplayAdapter adapter(bool attached, bool primary, Rect rect, uintptr_t monitor, bool mirroring = false) {
    DisplayAdapter a;
    a.attachedToDesktop = attached;
    a.primary = primary;
    a.rect = rect;
    a.monitorHandle = monitor;
    a.mirroring = mirroring;
    return a;
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        liveSettings() = {};
        defaultSettings() = {};
        fake.addResource("CustomData", kDefaultSettingsResource, ravelin::testing::readSourceFile("resources/def_settings.txt"));
        fake.addResource("CustomData", kUiTextResource, ravelin::testing::readSourceFile("resources/ui_text.txt"));
        fake.adapters.push_back(adapter(true, true, {0, 0, 1280, 1024}, 0x10));
    }
    void TearDown() override {
        liveSettings() = {};
        defaultSettings() = {};
        mainWebSiteUrl().clear();
    }
    FakePlatform fake;
};

}  // namespace

TEST_F(StartUpTest, FirstRunGivesBuiltInDefaultsWithTheDesktopMode) {
    ScreensaverApp app;
    EXPECT_TRUE(startUp(app, "ravelin /s"));
    ScreensaverSettings expected = ravelin::testing::factorySettings();
    expected.Width = 1280;
    expected.Height = 1024;
    expected.Depth = 32;
    EXPECT_EQ(liveSettings(), expected);
    EXPECT_EQ(defaultSettings(), ravelin::testing::factorySettings());  // the factory mode, not the desktop's
    EXPECT_EQ(app.runMode, Mode::Saver);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(fake.store.values.size(), 0u);  // loading writes nothing
    EXPECT_EQ(mainWebSiteUrl().rfind("http", 0), 0u);
    EXPECT_EQ(uiText(u"ok"), u"OK");
    EXPECT_EQ(aboutLines()[0], u"Ravelin");
}

TEST_F(StartUpTest, StoreWinsOverDefaultsAndDesktopModeWinsOverStore) {
    fake.store.values["Width"] = 1024;
    fake.store.values["Height"] = 768;
    fake.store.values["Depth"] = 16;
    fake.store.values["Volume"] = 30;
    fake.store.values["ShowFlame"] = 1;
    fake.store.values["Detail"] = 4;
    ScreensaverApp app;
    startUp(app, "ravelin /c:77");
    EXPECT_EQ(liveSettings().Width, 1280);
    EXPECT_EQ(liveSettings().Height, 1024);
    EXPECT_EQ(liveSettings().Depth, 32);
    EXPECT_EQ(liveSettings().Volume, 30);
    EXPECT_EQ(app.runMode, Mode::Configure);
    EXPECT_EQ(app.parentWindow, 77u);
    // The defaults record: file values, with the four unnamed fields taken from the live record.
    ScreensaverSettings expected = ravelin::testing::factorySettings();
    expected.ShowFlame = true;
    expected.Detail = 4;
    EXPECT_EQ(defaultSettings(), expected);
}

TEST_F(StartUpTest, WithoutUseDesktopTheStoredModeStays) {
    fake.store.values["UseDesktop"] = 0;
    fake.store.values["Width"] = 1024;
    fake.store.values["Height"] = 768;
    ScreensaverApp app;
    startUp(app, "ravelin /p 5");
    EXPECT_EQ(liveSettings().Width, 1024);
    EXPECT_EQ(liveSettings().Height, 768);
    EXPECT_EQ(liveSettings().Depth, 32);
    EXPECT_EQ(app.runMode, Mode::Preview);
    EXPECT_EQ(app.parentWindow, 5u);
    for (const std::string& call : fake.calls) EXPECT_NE(call, "currentDisplayMode");
}

TEST_F(StartUpTest, FailedDesktopQueryKeepsTheMode) {
    fake.hasCurrentMode = false;
    fake.store.values["Width"] = 10000;  // counts as missing
    ScreensaverApp app;
    startUp(app, "ravelin");
    EXPECT_EQ(liveSettings().Width, 800);
    EXPECT_EQ(liveSettings().Height, 600);
    EXPECT_EQ(app.runMode, Mode::Configure);
}

TEST_F(StartUpTest, StepsRunInTheirOrder) {
    // The store log shows loading happens once; the default file is applied before it (the
    // store's DefGamma wins) and again afterwards on the copy (the copy has the file's gamma).
    fake.store.values["DefGamma"] = 0;
    fake.store.values["Gamma"] = 80;
    ScreensaverApp app;
    startUp(app, "ravelin /s");
    EXPECT_FALSE(liveSettings().DefGamma);
    EXPECT_EQ(liveSettings().Gamma, 80);
    EXPECT_TRUE(defaultSettings().DefGamma);
    EXPECT_EQ(defaultSettings().Gamma, 50);
    EXPECT_EQ(fake.store.log.front(), "open r");
    EXPECT_EQ(fake.store.log.back(), "close");
    EXPECT_EQ(fake.store.log.size(), 20u);
    // The desktop mode is asked after the monitor table is built (adapters are not logged, but
    // the table is there when the mode query comes).
    EXPECT_EQ(app.monitorCount, 1u);
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0], "currentDisplayMode");
}

TEST_F(StartUpTest, MissingResourcesShowTheMessagesAndStillStart) {
    FakePlatform bare;  // no resources at all
    ScreensaverApp app;
    EXPECT_TRUE(startUp(app, "ravelin /s"));
    // The web address, the about text, and fourteen keys twice.
    ASSERT_EQ(bare.messages.size(), 1u + 1u + 14u + 14u);
    EXPECT_EQ(bare.messages[0].caption, "main_web_site_url");
    EXPECT_EQ(bare.messages[1].text, "about_window_text");
    EXPECT_EQ(bare.messages[2].caption, "mw");
}

TEST(MonitorTable, MirroringSkippedUnattachedCountedPrimaryAtOrigin) {
    FakePlatform fake;
    fake.adapters = {
        adapter(true, false, {-1024, 100, 0, 868}, 0x21),  // left of and below the primary's top
        adapter(true, false, {0, 0, 800, 600}, 0x22, true),  // mirroring: no slot
        adapter(false, false, {5, 5, 10, 10}, 0x23),        // not attached: an empty slot
        adapter(true, true, {300, 200, 2220, 1280}, 0x24),  // primary: moved to the origin
    };
    ScreensaverApp app;
    buildMonitorTable(app);
    ASSERT_EQ(app.monitorCount, 3u);
    EXPECT_EQ(app.monitors[0].monitor, 0x21u);
    EXPECT_EQ(app.monitors[0].rect.left, -1024);
    EXPECT_EQ(app.monitors[0].rect.top, 100);
    EXPECT_EQ(app.monitors[0].rect.right, 0);
    EXPECT_EQ(app.monitors[0].rect.bottom, 868);
    EXPECT_EQ(app.monitors[1].monitor, 0u);
    EXPECT_EQ(app.monitors[1].rect.left, 0);
    EXPECT_EQ(app.monitors[1].rect.right, 0);
    EXPECT_EQ(app.monitors[2].monitor, 0x24u);
    EXPECT_EQ(app.monitors[2].rect.left, 0);
    EXPECT_EQ(app.monitors[2].rect.top, 0);
    EXPECT_EQ(app.monitors[2].rect.right, 1920);
    EXPECT_EQ(app.monitors[2].rect.bottom, 1080);
    EXPECT_EQ(app.monitors[2].window, 0u);
}

TEST(MonitorTable, TenthAdapterIgnoredAndRebuildClearsOldSlots) {
    FakePlatform fake;
    for (int i = 0; i < 12; ++i) fake.adapters.push_back(adapter(true, i == 0, {i * 100, 0, i * 100 + 100, 50}, 100u + i));
    ScreensaverApp app;
    app.monitors[3].window = 99;
    buildMonitorTable(app);
    EXPECT_EQ(app.monitorCount, 9u);
    EXPECT_EQ(app.monitors[8].monitor, 108u);
    EXPECT_EQ(app.monitors[3].window, 0u);

    fake.adapters.clear();
    buildMonitorTable(app);
    EXPECT_EQ(app.monitorCount, 0u);
}

TEST(MonitorTable, MirroringAdaptersDoNotCountTowardNine) {
    FakePlatform fake;
    for (int i = 0; i < 20; ++i) fake.adapters.push_back(adapter(true, false, {0, 0, 1, 1}, 1, i % 2 == 0));
    ScreensaverApp app;
    buildMonitorTable(app);
    EXPECT_EQ(app.monitorCount, 9u);
}

namespace {

std::vector<std::string> gRan;
int ranSaver(ScreensaverApp& app) {
    gRan.push_back("saver " + std::to_string(static_cast<int>(app.runMode)));
    return 5;
}
int ranConfigure(ScreensaverApp& app) {
    gRan.push_back("configure " + std::to_string(app.parentWindow));
    return 6;
}
int ranPreview(ScreensaverApp& app) {
    gRan.push_back("preview " + std::to_string(app.parentWindow));
    return 7;
}

}  // namespace

TEST_F(StartUpTest, ExactlyOneActivityRunsAndTheResultIsIgnored) {
    const Activities activities{ranSaver, ranConfigure, ranPreview};
    const std::pair<const char*, const char*> cases[] = {
        {"ravelin /s", "saver 2"},   {"ravelin /t", "saver 3"},       {"ravelin", "configure 0"},
        {"ravelin /c:9", "configure 9"}, {"ravelin /p 12", "preview 12"}, {"ravelin -x", "saver 2"},
    };
    for (const auto& [line, expected] : cases) {
        gRan.clear();
        EXPECT_EQ(runApplication(line, activities), 0) << line;
        ASSERT_EQ(gRan.size(), 1u) << line;
        EXPECT_EQ(gRan[0], expected) << line;
    }
    // Settings were prepared before the activity ran.
    gRan.clear();
    ScreensaverApp app;
    Activities check;
    check.runSaver = [](ScreensaverApp& a) {
        gRan.push_back(liveSettings().Width == 1280 && a.monitorCount == 1 ? "ready" : "not ready");
        return 0;
    };
    runApplication(app, "ravelin /s", check);
    ASSERT_EQ(gRan.size(), 1u);
    EXPECT_EQ(gRan[0], "ready");
}

TEST_F(StartUpTest, DispatchReturnsTheActivityResultAndToleratesMissingOnes) {
    ScreensaverApp app;
    app.runMode = Mode::Preview;
    EXPECT_EQ(dispatchActivity(app, Activities{ranSaver, ranConfigure, ranPreview}), 7);
    EXPECT_EQ(dispatchActivity(app, Activities{}), 0);
    app.runMode = static_cast<Mode>(42);
    gRan.clear();
    EXPECT_EQ(dispatchActivity(app, Activities{ranSaver, ranConfigure, ranPreview}), 0);
    EXPECT_TRUE(gRan.empty());
}
