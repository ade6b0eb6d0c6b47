// The settings record over an in-memory store: value names, orders, the missing-value and
// 10000 rules and the display-gamma rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "settings/settings.h"
#include "test_support.h"

using namespace ravelin;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        liveSettings() = {};
        defaultSettings() = {};
    }
    void TearDown() override {
        liveSettings() = {};
        defaultSettings() = {};
    }
    FakePlatform fake;
};

}  // namespace

TEST_F(SettingsStoreTest, EmptyStoreLeavesEveryFieldAndQueriesAllEighteenInOrder) {
    liveSettings() = ravelin::testing::factorySettings();
    loadSettings();
    EXPECT_EQ(liveSettings(), ravelin::testing::factorySettings());
    const std::vector<std::string> expected = {
        "open r",          "query ShowClock", "query TimeFormat", "query English", "query Random",
        "query EnableMusic", "query EnableSFX", "query UseDesktop", "query ShowFlame", "query DefGamma",
        "query Width",     "query Height",    "query Depth",      "query Volume",  "query Gamma",
        "query Detail",    "query ShowFPS",   "query VSync",      "query MouseExit", "close"};
    EXPECT_EQ(fake.store.log, expected);
    EXPECT_TRUE(fake.store.values.empty());  // loading writes nothing
}

TEST_F(SettingsStoreTest, SaveWritesAllEighteenInItsOwnOrder) {
    liveSettings() = ravelin::testing::factorySettings();
    saveSettings();
    const std::vector<std::string> expected = {
        "open w",        "set ShowClock=1", "set TimeFormat=1", "set English=0",    "set Random=0",
        "set EnableMusic=1", "set EnableSFX=1", "set UseDesktop=1", "set ShowFlame=0", "set DefGamma=1",
        "set Width=800", "set Height=600",  "set Depth=32",     "set Volume=75",    "set Gamma=50",
        "set Detail=0",  "set VSync=0",     "set MouseExit=0",  "set ShowFPS=0",    "close"};
    EXPECT_EQ(fake.store.log, expected);
    EXPECT_EQ(fake.store.values.size(), 18u);
}

TEST_F(SettingsStoreTest, AllFieldsRoundTrip) {
    ScreensaverSettings s;
    s.EnableMusic = true;
    s.ShowFlame = true;
    s.VSync = true;
    s.MouseExit = true;
    s.Random = true;
    s.English = true;
    s.Detail = -7;
    s.Volume = 250;
    s.Gamma = -50;
    s.Width = 1920;
    s.Height = 1080;
    s.Depth = 16;
    liveSettings() = s;
    saveSettings();
    liveSettings() = {};
    loadSettings();
    EXPECT_EQ(liveSettings(), s);

    // The mirror image: every flag flipped.
    ScreensaverSettings t;
    t.EnableSFX = t.ShowClock = t.ShowFPS = t.UseDesktop = t.TimeFormat = true;
    t.Detail = 3;
    t.Volume = 0;
    t.Gamma = 80;
    t.Width = 640;
    t.Height = 480;
    t.Depth = 32;
    liveSettings() = t;
    saveSettings();
    liveSettings() = s;
    loadSettings();
    EXPECT_EQ(liveSettings(), t);
}

TEST_F(SettingsStoreTest, StoredTenThousandCountsAsMissing) {
    liveSettings() = ravelin::testing::factorySettings();
    fake.store.values["Width"] = 10000;
    fake.store.values["Height"] = 10001;
    loadSettings();
    EXPECT_EQ(liveSettings().Width, 800);
    EXPECT_EQ(liveSettings().Height, 10001);
}

TEST_F(SettingsStoreTest, DefGammaForcesNeutralGamma) {
    fake.store.values["DefGamma"] = 1;
    fake.store.values["Gamma"] = 80;
    loadSettings();
    EXPECT_TRUE(liveSettings().DefGamma);
    EXPECT_EQ(liveSettings().Gamma, 50);

    fake.store.values["DefGamma"] = 0;
    loadSettings();
    EXPECT_FALSE(liveSettings().DefGamma);
    EXPECT_EQ(liveSettings().Gamma, 80);
}

TEST_F(SettingsStoreTest, DefGammaFromDefaultsAppliesEvenWithoutStoredValues) {
    liveSettings().DefGamma = true;
    liveSettings().Gamma = 12;
    loadSettings();
    EXPECT_EQ(liveSettings().Gamma, 50);
}

TEST_F(SettingsStoreTest, BoolStoredAsFiveLoadsTrueAndSavesOne) {
    fake.store.values["MouseExit"] = 5;
    loadSettings();
    EXPECT_TRUE(liveSettings().MouseExit);
    saveSettings();
    EXPECT_EQ(fake.store.values["MouseExit"], 1u);
}

TEST_F(SettingsStoreTest, IntegersAreSignedAndUnlimited) {
    fake.store.values["Gamma"] = 0xFFFFFFCEu;  // -50
    fake.store.values["Volume"] = 250;
    fake.store.values["Detail"] = 0x80000000u;
    loadSettings();
    EXPECT_EQ(liveSettings().Gamma, -50);
    EXPECT_EQ(liveSettings().Volume, 250);
    EXPECT_EQ(liveSettings().Detail, INT32_MIN);
    saveSettings();
    EXPECT_EQ(fake.store.values["Gamma"], 0xFFFFFFCEu);
}

TEST_F(SettingsStoreTest, StoredTimeFormatZeroMeansTwentyFourHours) {
    liveSettings() = ravelin::testing::factorySettings();
    fake.store.values["TimeFormat"] = 0;
    loadSettings();
    EXPECT_FALSE(liveSettings().TimeFormat);
}

TEST_F(SettingsStoreTest, UnopenableStoreKeepsValuesAndSavesNothing) {
    fake.store.failOpen = true;
    fake.store.values["Width"] = 1024;
    liveSettings() = ravelin::testing::factorySettings();
    loadSettings();
    EXPECT_EQ(liveSettings(), ravelin::testing::factorySettings());
    saveSettings();
    EXPECT_EQ(fake.store.values.size(), 1u);
    EXPECT_EQ(fake.store.values["Width"], 1024u);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(SettingsStoreTest, LiveAndDefaultsAreDistinctProcessWideRecords) {
    EXPECT_NE(&liveSettings(), &defaultSettings());
    EXPECT_EQ(&liveSettings(), &liveSettings());
    liveSettings().Width = 5;
    EXPECT_EQ(defaultSettings().Width, 0);
}
