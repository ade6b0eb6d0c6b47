// The whole binding on a machine without a sound device: binding reports no device, the run's
// sound calls all go through harmlessly, and unbinding leaves nothing behind. OpenAL Soft is
// told to use no output driver before its first call, so this holds even where a card exists.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ogg_fixture.h"
#include "sound/engine_sound.h"
#include "sound/sound_system.h"

namespace ravelin {
namespace {

class NoDeviceEnvironment : public ::testing::Environment {
public:
    void SetUp() override { setenv("ALSOFT_DRIVERS", "no-such-driver", 1); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new NoDeviceEnvironment);

TEST(SoundBindingWithoutDevice, RunGoesOnSilently) {
    SoundSystem& sound = soundSystem();
    EXPECT_FALSE(sound.bind(0));
    EXPECT_TRUE(sound.bound());
    EXPECT_FALSE(sound.deviceOpen());
    ASSERT_NE(sound.entries.init, nullptr);
    ASSERT_NE(sound.entries.apply3D, nullptr);

    // The run's sound steps, in their order, with an engine fed real sample bytes.
    saveOutputVolume();
    setOutputVolume(0);
    std::vector<uint8_t> ogg = test::encodeOgg(test::sine(441.0f, 4410, 44100, 0.5f), 1, 44100);
    EngineSound engine;
    for (int b = 0; b < 3; ++b)
        engine.sample[b] = sound.entries.sampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, 12);
    engine.startChannels();
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(engine.sample[b], 0u);
        EXPECT_EQ(engine.channel[b], 0u);
        EXPECT_EQ(engine.baseFrequency[b], 0);
    }
    setOutputVolume(80);
    for (int frame = 0; frame < 10; ++frame) engine.update({1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f});
    EXPECT_EQ(engine.position.z, 3.0f);
    EXPECT_EQ(engine.velocity.x, 4.0f);
    restoreOutputVolume();
    sound.unbind();
    EXPECT_FALSE(sound.bound());
    EXPECT_EQ(sound.entries.init, nullptr);

    // Calls after unbinding are as harmless (the engine guards against an empty table).
    engine.update({1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
    setOutputVolume(50);
    sound.unbind();
}

TEST(SoundBindingWithoutDevice, LoopbackStillWorksAndBindsAgain) {
    SoundSystem& sound = soundSystem();
    ASSERT_TRUE(sound.bindLoopback());
    EXPECT_TRUE(sound.deviceOpen());
    EXPECT_EQ(sound.entries.getVolume(), 100);
    sound.unbind();
    EXPECT_FALSE(sound.bind(0));
    sound.unbind();
}

}  // namespace
}  // namespace ravelin
