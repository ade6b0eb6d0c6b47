// The settings record through the registry store, on a scratch key of the current user's hive:
// what saving leaves in the key (eighteen REG_DWORD values, read back with the registry calls
// themselves), loading it again, values of other types, and a failed write that says where and why.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/registry_settings_store.h"
#include "platform/win32/win32_platform.h"
#include "settings/settings.h"
#include "windows_test_support.h"

namespace ravelin {
namespace {

const wchar_t* const kNames[] = {L"EnableMusic", L"EnableSFX", L"ShowClock", L"ShowFlame", L"ShowFPS",
                                 L"VSync",       L"UseDesktop", L"MouseExit", L"DefGamma",  L"Random",
                                 L"TimeFormat",  L"English",   L"Detail",    L"Volume",    L"Gamma",
                                 L"Width",       L"Height",    L"Depth"};

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = std::wstring(L"Software\\BRIMLOW Studio\\Ravelin tests\\store-") + std::to_wstring(GetCurrentProcessId());
        deleteKey(key_);
        store_ = std::make_unique<RegistrySettingsStore>(key_);
        win32_.setSettingsStore(store_.get());  // the platform installed itself when it was made
        liveSettings() = {};
    }
    void TearDown() override {
        liveSettings() = {};
        deleteKey(key_);
    }

    std::wstring key_;
    Win32Platform win32_;
    std::unique_ptr<RegistrySettingsStore> store_;
};

// Every field distinct from its neighbours and from zero, so a value under the wrong name shows.
ScreensaverSettings unusualSettings() {
    ScreensaverSettings s;
    s.EnableMusic = true;
    s.ShowClock = true;
    s.ShowFPS = true;
    s.UseDesktop = false;
    s.DefGamma = false;
    s.Random = true;
    s.English = true;
    s.Detail = -7;
    s.Volume = 33;
    s.Gamma = 81;
    s.Width = 1280;
    s.Height = 1024;
    s.Depth = 16;
    return s;
}

TEST_F(RegistryStore, FirstOpenCreatesTheKeyWithNoValues) {
    ASSERT_FALSE(keyExists(key_));
    ScreensaverSettings before = unusualSettings();
    liveSettings() = before;
    loadSettings();
    EXPECT_EQ(liveSettings(), before);
    ASSERT_TRUE(keyExists(key_));
    EXPECT_EQ(valueCount(key_), 0u);
}

TEST_F(RegistryStore, SavingWritesEighteenDwordsThatLoadBack) {
    const ScreensaverSettings saved = unusualSettings();
    liveSettings() = saved;
    saveSettings();
    EXPECT_EQ(store_->lastFailure(), "");
    EXPECT_EQ(valueCount(key_), 18u);
    for (const wchar_t* name : kNames) {
        DWORD value = 0;
        EXPECT_TRUE(readDword(key_, name, value)) << "missing or not a REG_DWORD";
    }
    DWORD value = 0;
    ASSERT_TRUE(readDword(key_, L"Detail", value));
    EXPECT_EQ(value, 0xFFFFFFF9u);  // -7 as its 32-bit pattern
    ASSERT_TRUE(readDword(key_, L"Width", value));
    EXPECT_EQ(value, 1280u);
    ASSERT_TRUE(readDword(key_, L"Gamma", value));
    EXPECT_EQ(value, 81u);
    ASSERT_TRUE(readDword(key_, L"EnableSFX", value));
    EXPECT_EQ(value, 0u);
    ASSERT_TRUE(readDword(key_, L"ShowFPS", value));
    EXPECT_EQ(value, 1u);

    liveSettings() = {};
    loadSettings();
    EXPECT_EQ(liveSettings(), saved);
}

TEST_F(RegistryStore, ValuesOfOtherTypesAndTheMarkerAreNotSettings) {
    // Four bytes each, so only their type tells them from a number.
    writeString(key_, L"Width", L"7");
    writeBinary(key_, L"Height", "\x00\x04\x00\x00", 4);
    writeDword(key_, L"Depth", 10000);
    writeDword(key_, L"EnableMusic", 5);
    writeDword(key_, L"Volume", 250);  // loading applies no range
    ScreensaverSettings before = unusualSettings();
    before.EnableMusic = false;
    liveSettings() = before;
    loadSettings();
    ScreensaverSettings expected = before;
    expected.EnableMusic = true;
    expected.Volume = 250;
    EXPECT_EQ(liveSettings(), expected);

    // Saving puts every name back as a REG_DWORD; a bool stored as 5 goes back as 1.
    saveSettings();
    DWORD value = 0;
    ASSERT_TRUE(readDword(key_, L"Width", value));
    EXPECT_EQ(value, DWORD(before.Width));
    ASSERT_TRUE(readDword(key_, L"EnableMusic", value));
    EXPECT_EQ(value, 1u);
}

TEST_F(RegistryStore, AWriteThatFailsSaysWhichKeyAndWhyAndLeavesNothing) {
    // A key kept only in memory cannot hold a key that is kept on disk: opening fails.
    std::wstring volatileKey = key_ + L"\\in memory";
    ASSERT_TRUE(createVolatileKey(volatileKey));
    RegistrySettingsStore store(volatileKey + L"\\Ravelin");
    win32_.setSettingsStore(&store);
    liveSettings() = unusualSettings();
    saveSettings();
    const std::string failure = store.lastFailure();
    EXPECT_NE(failure.find("HKEY_CURRENT_USER\\Software\\BRIMLOW Studio\\Ravelin tests\\"), std::string::npos) << failure;
    EXPECT_NE(failure.find("in memory\\Ravelin"), std::string::npos) << failure;
    EXPECT_GT(failure.size(), failure.find("Ravelin: ") + 12) << "no reason given: " << failure;
    EXPECT_FALSE(keyExists(volatileKey + L"\\Ravelin"));

    // A later session that succeeds clears it.
    RegistrySettingsStore good(key_);
    win32_.setSettingsStore(&good);
    saveSettings();
    EXPECT_EQ(good.lastFailure(), "");
    win32_.setSettingsStore(store_.get());
}

}  // namespace
}  // namespace ravelin
