// The whole binding on a machine without a sound device: binding reports no device, the run's
// sound calls all go through harmlessly, and unbinding leaves nothing behind. OpenAL Soft is
// told to use no output driver before its first call, so this holds even where a card exists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ogg_fixture.h"
#include "platform/fake/fake_platform.h"
#include "sound/run_sound.h"

namespace ravelin {
namespace {

class NoDeviceEnvironment : public ::testing::Environment {
public:
    // putenv keeps the string itself, so it lives as long as the process.
    void SetUp() override {
        static char setting[] = "ALSOFT_DRIVERS=no-such-driver";
        putenv(setting);
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new NoDeviceEnvironment);

TEST(SoundBindingWithoutDevice, RunGoesOnSilently) {
    RunSound sound;
    EXPECT_FALSE(sound.bind(0));
    EXPECT_TRUE(sound.system.bound());
    EXPECT_FALSE(sound.system.deviceOpen());
    ASSERT_NE(sound.system.entries.init, nullptr);
    ASSERT_NE(sound.system.entries.apply3D, nullptr);

    // The run's sound steps, in their order, with car 0's engine fed real sample bytes.
    std::vector<uint8_t> ogg = test::encodeOgg(test::sine(441.0f, 4410, 44100, 0.5f), 1, 44100);
    EngineSound& engine = sound.engines[0];
    for (int b = 0; b < 3; ++b)
        engine.sample[b] = sound.system.entries.sampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, 12);
    sound.start(true, true);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(engine.sample[b], 0u);
        EXPECT_EQ(engine.channel[b], 0u);
        EXPECT_EQ(engine.baseFrequency[b], 0);
    }
    sound.setVolume(80);
    std::array<Car, kCarCount> cars;
    cars[0].soundPosition = {1.0f, 2.0f, 3.0f};
    cars[0].soundVelocity = {4.0f, 5.0f, 6.0f};
    for (int frame = 0; frame < 10; ++frame) sound.updateEngines(cars);
    EXPECT_EQ(engine.position.z, 3.0f);
    EXPECT_EQ(engine.velocity.x, 4.0f);
    sound.restoreVolume();
    sound.unbind();
    EXPECT_FALSE(sound.system.bound());
    EXPECT_EQ(sound.system.entries.init, nullptr);

    // Calls after unbinding are as harmless (every call guards against an empty table).
    sound.updateEngines(cars);
    sound.setVolume(50);
    sound.unbind();
}

TEST(SoundBindingWithoutDevice, LoopbackStillWorksAndBindsAgain) {
    SoundSystem sound;
    ASSERT_TRUE(sound.bindLoopback());
    EXPECT_TRUE(sound.deviceOpen());
    EXPECT_EQ(sound.entries.getVolume(), 100);
    sound.unbind();
    EXPECT_FALSE(sound.bind(0));
    sound.unbind();
}

// A library carried as a resource (the Windows build's way), here a table of the linked
// library's functions: every entry point is asked for by name in the binding's order, a name the
// library lacks stays null, and the library is unloaded only after Audio_Stop and Audio_Free.
FakePlatform* gFake = nullptr;
bool recordedStop() {
    gFake->calls.push_back("Audio_Stop");
    return Audio_Stop();
}
bool recordedFree() {
    gFake->calls.push_back("Audio_Free");
    return Audio_Free();
}

TEST(SoundBindingFromResource, EntryPointsByNameAndUnloadAfterFree) {
    FakePlatform fake;
    gFake = &fake;
    fake.libraryExports = {
        {"Audio_Start", reinterpret_cast<void*>(&Audio_Start)},
        {"Audio_Stop", reinterpret_cast<void*>(&recordedStop)},
        {"Audio_Free", reinterpret_cast<void*>(&recordedFree)},
        {"Audio_GetVolume", reinterpret_cast<void*>(&Audio_GetVolume)},
        {"Audio_Set3DFactors", reinterpret_cast<void*>(&Audio_Set3DFactors)},
        {"audioInitLoopback", reinterpret_cast<void*>(&audioInitLoopback)},
        {"audioRenderLoopback", reinterpret_cast<void*>(&audioRenderLoopback)},
    };
    RunSound run;
    SoundSystem& sound = run.system;
    ASSERT_TRUE(sound.bindLoopback());
    EXPECT_TRUE(sound.loadedFromResource());
    const std::vector<std::string> order = {
        "Audio_ErrorGetCode", "Audio_Init", "Audio_Free", "Audio_SetVolume", "Audio_Start", "Audio_Stop",
        "Audio_GetVolume", "Audio_SampleLoad", "Audio_SamplePlay3D", "Audio_SamplePlay",
        "Audio_ChannelGetAttributes", "Audio_ChannelSetAttributes", "Audio_ChannelSet3DPosition", "Audio_Apply3D",
        "Audio_Set3DFactors", "audioInitLoopback", "audioRenderLoopback", "audioSampleFree"};
    EXPECT_EQ(fake.librarySymbolsAsked, order);
    EXPECT_EQ(sound.entries.getVolume(), 100);
    EXPECT_EQ(sound.entries.setVolume, nullptr);
    run.setVolume(50);  // a missing entry point is skipped, not called

    fake.calls.clear();
    sound.unbind();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"Audio_Stop", "Audio_Free", "unloadLibrary 1"}));
    EXPECT_FALSE(sound.loadedFromResource());

    // A library without Audio_Init: bound, silent, and unloaded again at the end.
    fake.libraryExports.erase("audioInitLoopback");
    EXPECT_FALSE(sound.bind(0));
    EXPECT_TRUE(sound.bound());
    EXPECT_FALSE(sound.deviceOpen());
    fake.calls.clear();
    sound.unbind();
    EXPECT_EQ(fake.calls.back(), "unloadLibrary 1");
    gFake = nullptr;
}

}  // namespace
}  // namespace ravelin
