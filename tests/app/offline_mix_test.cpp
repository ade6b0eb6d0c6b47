// The offline mix over the generated archive: it writes a well-formed WAV, is the same for the
// same seed, carries the music and the engines, and stays inside full scale.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"
#include "test_support.h"
#include "app/offline_mix.h"

namespace ravelin {
namespace {

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

class CaptureAudio : public ::testing::Test {
protected:
    void SetUp() override {
        archive_ = testing::generatedArchive();
        if (archive_.empty()) GTEST_SKIP() << "no generated archive in " << RAVELIN_ASSET_DIR;
        fake_.addResource("CustomData", kArchiveResourceId, archive_);
        AssetFile probe;
        if (!probe.openEntry("music.ogg")) GTEST_SKIP() << "the generated archive has no sounds";
    }
    bool raceInArchive() {
        AssetFile probe;
        return probe.openEntry("corr.ase");
    }
    // Names of this process's own: suites running side by side share the temporary folder.
    static std::string path(const std::string& name) {
        static const std::string prefix =
            ::testing::TempDir() + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_";
        return prefix + name;
    }
    AudioCaptureResult capture(AudioCaptureOptions options, const std::string& name) {
        options.path = path(name);
        written_.push_back(options.path);
        AudioCaptureResult result;
        std::string error;
        EXPECT_TRUE(captureAudio(options, result, error)) << error;
        return result;
    }
    void TearDown() override {
        for (const std::string& file : written_) std::remove(file.c_str());
    }
    FakePlatform fake_;
    std::vector<uint8_t> archive_;
    std::vector<std::string> written_;
};

TEST_F(CaptureAudio, WritesAStereoWavOfTheAskedLength) {
    AudioCaptureOptions options;
    options.seconds = 3.0;
    AudioCaptureResult result = capture(options, "ravelin_mix_a.wav");
    EXPECT_EQ(result.frames, 3u * 44100u);
    std::vector<uint8_t> wav = testing::readFile(path("ravelin_mix_a.wav"));
    ASSERT_EQ(wav.size(), 44u + 3u * 44100u * 4u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(le32(&wav[4]), wav.size() - 8);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le16(&wav[20]), 1);
    EXPECT_EQ(le16(&wav[22]), 2);
    EXPECT_EQ(le32(&wav[24]), 44100u);
    EXPECT_EQ(le16(&wav[34]), 16);
    EXPECT_EQ(le32(&wav[40]), 3u * 44100u * 4u);
    EXPECT_GT(result.rms, 0.01);
    EXPECT_LE(result.peak, 1.0);
    EXPECT_EQ(result.clippedFraction, 0.0);
}

TEST_F(CaptureAudio, SameSeedSameBytes) {
    AudioCaptureOptions options;
    options.seconds = 2.0;
    options.seed = 77;
    capture(options, "ravelin_mix_b1.wav");
    capture(options, "ravelin_mix_b2.wav");
    EXPECT_EQ(testing::readFile(path("ravelin_mix_b1.wav")),
              testing::readFile(path("ravelin_mix_b2.wav")));
}

TEST_F(CaptureAudio, MusicAndEnginesEachReachTheMixAndVolumeZeroIsSilent) {
    AudioCaptureOptions options;
    options.seconds = 2.0;
    options.engines = false;
    AudioCaptureResult music = capture(options, "ravelin_mix_c1.wav");
    EXPECT_GT(music.rms, 0.01);
    options.engines = true;
    options.music = false;
    AudioCaptureResult engines = capture(options, "ravelin_mix_c2.wav");
    EXPECT_GT(engines.rms, 0.001);
    options.engines = false;
    EXPECT_LT(capture(options, "ravelin_mix_c3.wav").rms, 1e-5);
    options.engines = true;
    options.music = true;
    options.volume = 0;
    EXPECT_LT(capture(options, "ravelin_mix_c4.wav").rms, 1e-5);
}

TEST_F(CaptureAudio, EnginesRiseAndFallAsCarsPass) {
    if (!raceInArchive()) GTEST_SKIP() << "the generated archive has no race lines yet";
    AudioCaptureOptions options;
    options.seconds = 30.0;
    options.music = false;
    AudioCaptureResult result = capture(options, "ravelin_mix_d.wav");
    EXPECT_LE(result.peak, 1.0);
    std::vector<uint8_t> wav = testing::readFile(path("ravelin_mix_d.wav"));
    ASSERT_GT(wav.size(), 44u);
    // Level in quarter seconds: passing cars lift it well above its quietest.
    const size_t block = 44100 / 4;
    double loudest = 0, quietest = 1e9;
    for (size_t start = 44; start + block * 4 <= wav.size(); start += block * 4) {
        double sum = 0;
        for (size_t i = 0; i < block * 2; ++i) {
            double v = int16_t(le16(&wav[start + i * 2])) / 32768.0;
            sum += v * v;
        }
        double level = std::sqrt(sum / double(block * 2));
        loudest = std::max(loudest, level);
        quietest = std::min(quietest, level);
    }
    EXPECT_GT(loudest, 0.02);
    EXPECT_GT(loudest, 1.5 * quietest);
}

}  // namespace
}  // namespace ravelin
