// The whole binding on a machine without a sound device: binding reports no device, the run's
// sound calls all go through harmlessly, and unbinding leaves nothing behind. OpenAL Soft is
// told to use no output driver before its first call, so this holds even where a card exists.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ogg_fixture.h"
#include "sound/run_sound.h"

namespace ravelin {
namespace {

class NoDeviceEnvironment : public ::testing::Environment {
public:
    void SetUp() override { setenv("ALSOFT_DRIVERS", "no-such-driver", 1); }
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

}  // namespace
}  // namespace ravelin
