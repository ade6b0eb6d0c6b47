// The generated sound files: they decode, have the channel layout and rate the engine and music
// code expect, are long enough, and join their end to their start without a jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "assetgen.h"
#include "ogg_fixture.h"
#include "sound/audio/audio.h"

namespace ravelin {
namespace {

const assetgen::AssetSink& generated() {
    static const assetgen::AssetSink sink = [] {
        assetgen::AssetSink s;
        assetgen::generateSounds(s);
        return s;
    }();
    return sink;
}

const std::vector<uint8_t>* fileNamed(const std::string& name) {
    for (const auto& f : generated().archiveFiles())
        if (f.name == name) return &f.bytes;
    return nullptr;
}

// Across the loop point the signal must carry on as it does everywhere else: the second
// difference (how far the first frame lands from the line through the last two) is no larger
// than the signal's own (its 99.9th percentile), and the plain step no larger than its largest.
void expectSeamless(const std::vector<float>& samples, int channels, const std::string& name) {
    size_t frames = samples.size() / size_t(channels);
    auto at = [&](size_t i, int c) { return samples[(i % frames) * size_t(channels) + size_t(c)]; };
    for (int c = 0; c < channels; ++c) {
        std::vector<float> curve;
        float largestStep = 0;
        curve.reserve(frames);
        for (size_t i = 2; i < frames; ++i) {
            curve.push_back(std::fabs(at(i, c) - 2.0f * at(i - 1, c) + at(i - 2, c)));
            largestStep = std::max(largestStep, std::fabs(at(i, c) - at(i - 1, c)));
        }
        std::sort(curve.begin(), curve.end());
        float typical = curve[curve.size() * 999 / 1000];
        for (size_t i = frames; i < frames + 2; ++i) {  // the first two frames after the loop point
            float seamCurve = std::fabs(at(i, c) - 2.0f * at(i - 1, c) + at(i - 2, c));
            EXPECT_LE(seamCurve, typical) << name << " channel " << c << " frame " << i - frames;
        }
        EXPECT_LE(std::fabs(at(0, c) - at(frames - 1, c)), largestStep) << name << " channel " << c;
    }
}

struct Expect {
    const char* name;
    int channels;
    double minSeconds, maxSeconds;
};

class SoundFiles : public ::testing::TestWithParam<Expect> {};

TEST_P(SoundFiles, DecodeWithTheirLayoutAndLoopCleanly) {
    const Expect& e = GetParam();
    const std::vector<uint8_t>* bytes = fileNamed(e.name);
    ASSERT_NE(bytes, nullptr) << e.name;
    std::vector<float> samples;
    int channels = 0, rate = 0;
    ASSERT_TRUE(test::decodeOgg(*bytes, samples, channels, rate));
    EXPECT_EQ(channels, e.channels);
    EXPECT_EQ(rate, 44100);
    double seconds = double(samples.size()) / channels / rate;
    EXPECT_GE(seconds, e.minSeconds);
    EXPECT_LE(seconds, e.maxSeconds);
    float peak = 0;
    double sum = 0;
    for (float v : samples) {
        peak = std::max(peak, std::fabs(v));
        sum += double(v) * v;
    }
    double rms = std::sqrt(sum / double(samples.size()));
    EXPECT_LT(peak, 1.0f) << "clipped";
    EXPECT_GT(rms, 0.05) << "too quiet";
    expectSeamless(samples, channels, e.name);
}

INSTANTIATE_TEST_SUITE_P(Generated, SoundFiles,
                         ::testing::Values(Expect{"low.ogg", 1, 0.5, 10}, Expect{"med.ogg", 1, 0.5, 10},
                                           Expect{"max.ogg", 1, 0.5, 10}, Expect{"music.ogg", 2, 60, 180}));

TEST(SoundFilesInTheLibrary, EveryFileLoadsAndPlaysAtItsOwnRate) {
    ASSERT_TRUE(audioInitLoopback(44100));
    for (const char* name : {"low.ogg", "med.ogg", "max.ogg"}) {
        const std::vector<uint8_t>* bytes = fileNamed(name);
        ASSERT_NE(bytes, nullptr);
        AudioHandle sample = Audio_SampleLoad(true, bytes->data(), 0, uint32_t(bytes->size()), 1, 12);
        ASSERT_NE(sample, 0u) << name;
        AudioHandle channel = Audio_SamplePlay3D(sample, nullptr, nullptr, nullptr);
        int32_t frequency = 0;
        ASSERT_TRUE(Audio_ChannelGetAttributes(channel, &frequency, nullptr, nullptr));
        EXPECT_EQ(frequency, 44100);
    }
    const std::vector<uint8_t>* music = fileNamed("music.ogg");
    AudioHandle sample = Audio_SampleLoad(true, music->data(), 0, uint32_t(music->size()), 1, 4);
    ASSERT_NE(sample, 0u);
    EXPECT_NE(Audio_SamplePlay(sample), 0u);
    std::vector<float> out(44100 * 2);
    ASSERT_TRUE(audioRenderLoopback(out.data(), 44100));
    EXPECT_GT(test::rms(out, 0, 0, 44100), 0.05);
    Audio_Free();
}

}  // namespace
}  // namespace ravelin
