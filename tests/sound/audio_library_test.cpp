// The audio library rendered through the loopback device and measured.
#include <gtest/gtest.h>

#include <cmath>

#include "ogg_fixture.h"
#include "sound/audio/audio.h"

namespace ravelin {
namespace {

using test::decodeOgg;
using test::encodeOgg;
using test::rms;
using test::sine;
using test::zeroCrossingFrequency;

constexpr int kRate = 44100;

class AudioLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(audioInitLoopback(kRate)) << "no loopback device, error " << Audio_ErrorGetCode();
        ASSERT_TRUE(Audio_Set3DFactors(0.0035f, 1.0f, 1.0f));
    }
    void TearDown() override { Audio_Free(); }

    // A looping mono sine of a whole number of periods (seamless by construction).
    AudioHandle loadSine(float frequency, int frames, uint32_t flags, float amplitude = 0.5f) {
        std::vector<uint8_t> ogg = encodeOgg(sine(frequency, frames, kRate, amplitude), 1, kRate);
        return Audio_SampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, flags);
    }
    std::vector<float> render(uint32_t frames) {
        std::vector<float> out(size_t(frames) * 2);
        EXPECT_TRUE(audioRenderLoopback(out.data(), frames));
        return out;
    }
};

constexpr uint32_t kLoop3D = kAudioSampleLoop | kAudioSample3D;

TEST_F(AudioLibrary, SourceOnTheRightIsLouderOnTheRight) {
    AudioHandle sample = loadSine(441.0f, kRate, kLoop3D);
    ASSERT_NE(sample, 0u);
    SoundVector right{100.0f, 0.0f, 0.0f};
    AudioHandle channel = Audio_SamplePlay3D(sample, &right, nullptr, nullptr);
    ASSERT_NE(channel, 0u);
    std::vector<float> out = render(8820);
    double left = rms(out, 0, 2000, 8820), rightLevel = rms(out, 1, 2000, 8820);
    EXPECT_GT(rightLevel, 0.05);
    EXPECT_GT(rightLevel, 2.0 * left);

    // Moved to the left, takes effect only once applied.
    SoundVector leftPos{-100.0f, 0.0f, 0.0f};
    ASSERT_TRUE(Audio_ChannelSet3DPosition(channel, &leftPos, nullptr, nullptr));
    out = render(4410);
    EXPECT_GT(rms(out, 1, 1000, 4410), 2.0 * rms(out, 0, 1000, 4410));
    Audio_Apply3D();
    out = render(8820);
    EXPECT_GT(rms(out, 0, 2000, 8820), 2.0 * rms(out, 1, 2000, 8820));
}

TEST_F(AudioLibrary, AheadAndBehindAreCentred) {
    // The listener faces +z with +y down: a source straight ahead or behind is balanced.
    AudioHandle sample = loadSine(441.0f, kRate, kLoop3D);
    SoundVector ahead{0.0f, 0.0f, 100.0f};
    Audio_SamplePlay3D(sample, &ahead, nullptr, nullptr);
    std::vector<float> out = render(8820);
    EXPECT_NEAR(rms(out, 0, 2000, 8820), rms(out, 1, 2000, 8820), 0.01);
}

TEST_F(AudioLibrary, DistanceIsThePositionLengthScaledToMetres) {
    // Within one metre (1 / 0.0035 position units) full level; four metres away a quarter.
    AudioHandle sample = loadSine(441.0f, kRate, kLoop3D);
    SoundVector nearPos{0.0f, 0.0f, 200.0f};
    AudioHandle channel = Audio_SamplePlay3D(sample, &nearPos, nullptr, nullptr);
    std::vector<float> out = render(8820);
    double nearLevel = rms(out, 0, 4000, 8820);
    SoundVector farPos{0.0f, 0.0f, 4.0f / 0.0035f};
    Audio_ChannelSet3DPosition(channel, &farPos, nullptr, nullptr);
    Audio_Apply3D();
    out = render(8820);
    double farLevel = rms(out, 0, 4000, 8820);
    ASSERT_GT(nearLevel, 0.05);
    EXPECT_NEAR(farLevel / nearLevel, 0.25, 0.02);
}

TEST_F(AudioLibrary, FrequencySetsThePitchRelativeToTheSampleRate) {
    AudioHandle sample = loadSine(441.0f, kRate, kAudioSampleLoop);
    AudioHandle channel = Audio_SamplePlay(sample);
    ASSERT_NE(channel, 0u);
    int32_t frequency = 0, volume = -5, pan = -5;
    ASSERT_TRUE(Audio_ChannelGetAttributes(channel, &frequency, &volume, &pan));
    EXPECT_EQ(frequency, kRate);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 0);
    std::vector<float> out = render(22050);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, 1000, 22050, kRate), 441.0, 2.0);

    ASSERT_TRUE(Audio_ChannelSetAttributes(channel, 66150, -1, kAudioPanUnchanged));
    out = render(22050);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, 1000, 22050, kRate), 661.5, 3.0);
    ASSERT_TRUE(Audio_ChannelGetAttributes(channel, &frequency, &volume, nullptr));
    EXPECT_EQ(frequency, 66150);
    EXPECT_EQ(volume, 100);
}

TEST_F(AudioLibrary, OutOfRangeValuesAreClampedOrIgnored) {
    AudioHandle sample = loadSine(441.0f, 4410, kLoop3D);
    AudioHandle channel = Audio_SamplePlay3D(sample, nullptr, nullptr, nullptr);
    ASSERT_NE(channel, 0u);
    int32_t frequency = 0, volume = 0, pan = 0;
    EXPECT_TRUE(Audio_ChannelSetAttributes(channel, 0, 250, 400));
    EXPECT_TRUE(Audio_ChannelSetAttributes(channel, -20000, -1, kAudioPanUnchanged));
    Audio_ChannelGetAttributes(channel, &frequency, &volume, &pan);
    EXPECT_EQ(frequency, kRate);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 100);
    Audio_ChannelSetAttributes(channel, 5, -1, kAudioPanUnchanged);
    Audio_ChannelGetAttributes(channel, &frequency, nullptr, nullptr);
    EXPECT_EQ(frequency, 100);

    EXPECT_TRUE(Audio_SetVolume(250));
    EXPECT_EQ(Audio_GetVolume(), 100);
    EXPECT_TRUE(Audio_SetVolume(-3));
    EXPECT_EQ(Audio_GetVolume(), 0);

    // Non-finite positions and velocities are ignored: the output stays finite.
    Audio_SetVolume(100);
    SoundVector bad{NAN, INFINITY, 1.0f};
    EXPECT_TRUE(Audio_ChannelSet3DPosition(channel, &bad, nullptr, &bad));
    Audio_Apply3D();
    EXPECT_TRUE(Audio_Set3DFactors(NAN, -1.0f, INFINITY));
    std::vector<float> out = render(4410);
    for (float v : out) ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(rms(out, 0, 1000, 4410), 0.01);
}

TEST_F(AudioLibrary, ChannelVolumeZeroIsSilent) {
    AudioHandle sample = loadSine(441.0f, kRate, kAudioSampleLoop);
    AudioHandle channel = Audio_SamplePlay(sample);
    render(2000);
    Audio_ChannelSetAttributes(channel, -1, 0, kAudioPanUnchanged);
    std::vector<float> out = render(8820);
    // OpenAL ramps gain changes over one mixing update; after it, nothing.
    EXPECT_LT(rms(out, 0, 4410, 8820), 1e-5);
    EXPECT_LT(rms(out, 1, 4410, 8820), 1e-5);
}

TEST_F(AudioLibrary, MasterVolumeScalesEverything) {
    AudioHandle a = loadSine(441.0f, kRate, kAudioSampleLoop);
    AudioHandle b = loadSine(300.0f, kRate, kLoop3D);
    Audio_SamplePlay(a);
    SoundVector pos{50.0f, 0.0f, 50.0f};
    Audio_SamplePlay3D(b, &pos, nullptr, nullptr);
    std::vector<float> full = render(kRate);
    ASSERT_TRUE(Audio_SetVolume(50));
    EXPECT_EQ(Audio_GetVolume(), 50);
    std::vector<float> half = render(kRate);
    ASSERT_TRUE(Audio_SetVolume(0));
    std::vector<float> none = render(kRate);
    for (int c = 0; c < 2; ++c) {
        double f = rms(full, c, 8000, kRate), h = rms(half, c, 8000, kRate);
        ASSERT_GT(f, 0.05);
        EXPECT_NEAR(h / f, 0.5, 0.03);
        EXPECT_LT(rms(none, c, 8000, kRate), 1e-4);
    }
}

TEST_F(AudioLibrary, LoopingSampleHasNoDiscontinuityAtTheLoopPoint) {
    // 4410 frames of a 100 Hz sine: ten loops a second. The largest step between neighbouring
    // output frames must stay that of the sample itself played round its loop (its last frame
    // followed by its first, as the encoder left them): a gap or a jump at the loop point
    // would be far larger.
    const std::vector<uint8_t> ogg = encodeOgg(sine(100.0f, 4410, kRate, 0.8f), 1, kRate);
    std::vector<float> decoded;
    int channels = 0, rate = 0;
    ASSERT_TRUE(decodeOgg(ogg, decoded, channels, rate));
    ASSERT_EQ(channels, 1);
    ASSERT_FALSE(decoded.empty());
    double samplePeak = 0, sampleStep = 0;
    for (size_t i = 0; i < decoded.size(); ++i) {
        samplePeak = std::max(samplePeak, double(std::fabs(decoded[i])));
        const float previous = decoded[(i + decoded.size() - 1) % decoded.size()];
        sampleStep = std::max(sampleStep, double(std::fabs(decoded[i] - previous)));
    }
    AudioHandle sample = Audio_SampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, kAudioSampleLoop);
    Audio_SamplePlay(sample);
    std::vector<float> out = render(kRate);
    double peak = 0, step = 0;
    for (size_t i = 2000; i < size_t(kRate); ++i) {
        peak = std::max(peak, double(std::fabs(out[i * 2])));
        step = std::max(step, double(std::fabs(out[i * 2] - out[(i - 1) * 2])));
    }
    ASSERT_GT(peak, 0.2);
    // The sample's own step at the output's level (the channel's gain and pan).
    EXPECT_LT(step, sampleStep * (peak / samplePeak) * 1.25);
}

TEST_F(AudioLibrary, DopplerRaisesThePitchOfAnApproachingSource) {
    AudioHandle sample = loadSine(441.0f, kRate, kLoop3D);
    SoundVector ahead{0.0f, 0.0f, 100.0f};
    SoundVector approaching{0.0f, 0.0f, -20.0f};
    AudioHandle channel = Audio_SamplePlay3D(sample, &ahead, nullptr, &approaching);
    std::vector<float> out = render(22050);
    double expected = 441.0 * kAudioSpeedOfSound / (kAudioSpeedOfSound - 20.0);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, 2000, 22050, kRate), expected, expected * 0.02);
    SoundVector receding{0.0f, 0.0f, 20.0f};
    Audio_ChannelSet3DPosition(channel, nullptr, nullptr, &receding);
    Audio_Apply3D();
    out = render(22050);
    expected = 441.0 * kAudioSpeedOfSound / (kAudioSpeedOfSound + 20.0);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, 2000, 22050, kRate), expected, expected * 0.02);
}

TEST_F(AudioLibrary, OnePlaybackAtATimeAndBadHandlesRefused) {
    AudioHandle sample = loadSine(441.0f, 4410, kLoop3D);
    AudioHandle first = Audio_SamplePlay3D(sample, nullptr, nullptr, nullptr);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(Audio_SamplePlay3D(sample, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(Audio_ErrorGetCode(), kAudioErrorNoChannel);
    EXPECT_EQ(Audio_SamplePlay3D(0, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(Audio_SamplePlay3D(sample + 1, nullptr, nullptr, nullptr), 0u);
    EXPECT_FALSE(Audio_ChannelSetAttributes(0, 44100, 50, 0));
    EXPECT_FALSE(Audio_ChannelSetAttributes(first + 7, 44100, 50, 0));
    EXPECT_FALSE(Audio_ChannelSet3DPosition(0, nullptr, nullptr, nullptr));
    int32_t frequency = 7;
    EXPECT_FALSE(Audio_ChannelGetAttributes(0, &frequency, nullptr, nullptr));
    EXPECT_EQ(frequency, 7);

    // Garbage and truncated files are refused.
    const uint8_t junk[64] = {'O', 'g', 'g', 'S'};
    EXPECT_EQ(Audio_SampleLoad(true, junk, 0, sizeof junk, 1, 0), 0u);
    EXPECT_EQ(Audio_SampleLoad(true, nullptr, 0, 100, 1, 0), 0u);
    std::vector<uint8_t> ogg = encodeOgg(sine(441.0f, 4410, kRate, 0.5f), 1, kRate);
    EXPECT_EQ(Audio_SampleLoad(true, ogg.data(), 0, 200, 1, 0), 0u);
    // A plain sample cannot be played in 3D.
    AudioHandle plain = Audio_SampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, 0);
    ASSERT_NE(plain, 0u);
    EXPECT_EQ(Audio_SamplePlay3D(plain, nullptr, nullptr, nullptr), 0u);
    EXPECT_NE(Audio_SamplePlay(plain), 0u);
}

TEST_F(AudioLibrary, StopSilencesAndStartResumes) {
    AudioHandle sample = loadSine(441.0f, kRate, kAudioSampleLoop);
    Audio_SamplePlay(sample);
    EXPECT_GT(rms(render(4410), 0, 1000, 4410), 0.05);
    ASSERT_TRUE(Audio_Stop());
    EXPECT_LT(rms(render(4410), 0, 1000, 4410), 1e-4);
    ASSERT_TRUE(Audio_Start());
    EXPECT_GT(rms(render(4410), 0, 1000, 4410), 0.05);
}

TEST_F(AudioLibrary, StereoSamplePlaysItsOwnChannels) {
    std::vector<float> left = sine(441.0f, kRate, kRate, 0.5f);
    std::vector<float> stereo(left.size() * 2, 0.0f);
    for (size_t i = 0; i < left.size(); ++i) stereo[i * 2] = left[i];
    std::vector<uint8_t> ogg = encodeOgg(stereo, 2, kRate);
    AudioHandle sample = Audio_SampleLoad(true, ogg.data(), 0, uint32_t(ogg.size()), 1, kAudioSampleLoop);
    ASSERT_NE(sample, 0u);
    Audio_SamplePlay(sample);
    std::vector<float> out = render(8820);
    EXPECT_GT(rms(out, 0, 2000, 8820), 0.2);
    EXPECT_LT(rms(out, 1, 2000, 8820), 0.02);
}

TEST_F(AudioLibrary, FreeingASampleStopsItsChannels) {
    AudioHandle sample = loadSine(441.0f, kRate, kAudioSampleLoop);
    AudioHandle channel = Audio_SamplePlay(sample);
    EXPECT_GT(rms(render(4410), 0, 1000, 4410), 0.05);
    ASSERT_TRUE(audioSampleFree(sample));
    EXPECT_LT(rms(render(4410), 0, 1000, 4410), 1e-6);  // after the stop's short fade
    EXPECT_FALSE(Audio_ChannelSetAttributes(channel, 44100, 100, 0));
    EXPECT_EQ(Audio_SamplePlay(sample), 0u);
    EXPECT_FALSE(audioSampleFree(sample));
    // The slots are used again and the new handles differ from the old.
    AudioHandle again = loadSine(441.0f, kRate, kAudioSampleLoop);
    ASSERT_NE(again, 0u);
    EXPECT_NE(again, sample);
    AudioHandle newChannel = Audio_SamplePlay(again);
    EXPECT_NE(newChannel, 0u);
    EXPECT_NE(newChannel, channel);
}

TEST(AudioLibraryWithoutDevice, EveryCallIsHarmless) {
    SoundVector v{1, 2, 3};
    int32_t f = 0;
    EXPECT_FALSE(Audio_Free());
    EXPECT_EQ(Audio_ErrorGetCode(), kAudioErrorNotInitialised);
    EXPECT_FALSE(Audio_SetVolume(50));
    EXPECT_EQ(Audio_GetVolume(), -1);
    EXPECT_FALSE(Audio_Start());
    EXPECT_FALSE(Audio_Stop());
    const uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(Audio_SampleLoad(true, bytes, 0, 4, 1, 12), 0u);
    EXPECT_EQ(Audio_SamplePlay3D(1, &v, nullptr, &v), 0u);
    EXPECT_EQ(Audio_SamplePlay(1), 0u);
    EXPECT_FALSE(Audio_ChannelGetAttributes(1, &f, nullptr, nullptr));
    EXPECT_FALSE(Audio_ChannelSetAttributes(1, 44100, 100, -101));
    EXPECT_FALSE(Audio_ChannelSet3DPosition(1, &v, nullptr, &v));
    Audio_Apply3D();
    EXPECT_FALSE(Audio_Set3DFactors(0.0035f, 1.0f, 1.0f));
    std::vector<float> out(200, 1.0f);
    EXPECT_FALSE(audioRenderLoopback(out.data(), 100));
    for (float x : out) EXPECT_EQ(x, 0.0f);
    EXPECT_FALSE(Audio_Init(7, 44100, 4, 0, nullptr));
    EXPECT_EQ(Audio_ErrorGetCode(), kAudioErrorDevice);
}

}  // namespace
}  // namespace ravelin
