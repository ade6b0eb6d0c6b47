// Command-line parsing of the capture and benchmark modes, and the gamma ramp values.
#include <gtest/gtest.h>

#include <cmath>

#include "app/capture_run.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

bool parse(std::initializer_list<const char*> args, RunOptions& options, std::string& error) {
    std::vector<const char*> argv{"ravelin"};
    argv.insert(argv.end(), args.begin(), args.end());
    return parseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(RunOptions, CaptureWithEverything) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--capture", "out", "--frames", "12", "--every", "4", "--seed", "99", "--dt", "0.05", "--size",
                       "1024x768", "--time", "13:04:59"},
                      o, error))
        << error;
    EXPECT_EQ(o.mode, RunMode::Capture);
    EXPECT_EQ(o.captureDir, "out");
    EXPECT_EQ(o.frames, 12);
    EXPECT_EQ(o.every, 4);
    EXPECT_EQ(o.seed, 99u);
    EXPECT_FLOAT_EQ(o.dt, 0.05f);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 768);
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.time.hour, 13);
    EXPECT_EQ(o.time.minute, 4);
    EXPECT_EQ(o.time.second, 59);
}

TEST(RunOptions, BenchmarkDefaults) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--benchmark", "--seconds", "3"}, o, error));
    EXPECT_EQ(o.mode, RunMode::Benchmark);
    EXPECT_DOUBLE_EQ(o.seconds, 3.0);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_FALSE(o.sizeGiven);
}

TEST(RunOptions, RefusesBadValues) {
    std::string error;
    for (auto args : std::vector<std::vector<const char*>>{{"--capture"},
                                                          {"--frames", "0"},
                                                          {"--every", "x"},
                                                          {"--size", "800"},
                                                          {"--size", "800x600x"},
                                                          {"--time", "24:00:00"},
                                                          {"--dt", "-1"},
                                                          {"--seed", "5000000000"},
                                                          {"--whatever"}}) {
        RunOptions o;
        std::vector<const char*> argv{"ravelin"};
        argv.insert(argv.end(), args.begin(), args.end());
        error.clear();
        EXPECT_FALSE(parseRunOptions(static_cast<int>(argv.size()), argv.data(), o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(Gamma, ExponentFromStoredValue) {
    EXPECT_FLOAT_EQ(gammaExponent(50), 1.0f);
    EXPECT_FLOAT_EQ(gammaExponent(100), 0.5f);
    EXPECT_FLOAT_EQ(gammaExponent(0), 1.5f);
    EXPECT_FLOAT_EQ(gammaExponent(75), 0.75f);
}

TEST(Gamma, StoredValuesOutsideTheDialogRangeAreClamped) {
    // A damaged store: read as unsigned these would give exponents far below -1000.
    EXPECT_FLOAT_EQ(gammaExponent(-1), 1.5f);
    EXPECT_FLOAT_EQ(gammaExponent(INT32_MIN), 1.5f);
    EXPECT_FLOAT_EQ(gammaExponent(101), 0.5f);
    EXPECT_FLOAT_EQ(gammaExponent(INT32_MAX), 0.5f);
}

TEST(Gamma, LinearRamp) {
    uint16_t ramp[kGammaRampEntries];
    computeGammaRamp(1.0f, 1.0f, 1.0f, ramp);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(ramp[c * 256 + 0], 0);
        EXPECT_EQ(ramp[c * 256 + 1], 256);
        EXPECT_EQ(ramp[c * 256 + 128], 32768);
        EXPECT_EQ(ramp[c * 256 + 255], 65280);
    }
}

TEST(Gamma, PerChannelExponents) {
    uint16_t ramp[kGammaRampEntries];
    computeGammaRamp(0.5f, 1.0f, 1.5f, ramp);
    // Integer part of (i / 256)^x * 65536, computed here independently.
    EXPECT_EQ(ramp[64], static_cast<uint16_t>(std::sqrt(0.25) * 65536.0));  // 32768
    EXPECT_EQ(ramp[255], 65407);
    EXPECT_EQ(ramp[256 + 64], 16384);
    EXPECT_EQ(ramp[512 + 64], 8192);
    EXPECT_EQ(ramp[512 + 0], 0);
}

TEST(Gamma, EntriesNeverOverflow) {
    uint16_t ramp[kGammaRampEntries];
    computeGammaRamp(0.0f, -2.0f, NAN, ramp);
    for (int i = 1; i < 256; ++i) {
        EXPECT_EQ(ramp[i], 65535);        // (i/256)^0 * 65536 does not fit: held at the top
        EXPECT_EQ(ramp[256 + i], 65535);  // a negative exponent grows past 1
        EXPECT_EQ(ramp[512 + i], 0);      // not a number: nothing
    }
}

TEST(Gamma, ApplyHandsTheRampToThePlatform) {
    FakePlatform fake;
    EXPECT_TRUE(applyGamma(1.0f, 1.0f, 1.0f));
    ASSERT_EQ(fake.lastGammaRamp.size(), 768u);
    EXPECT_EQ(fake.lastGammaRamp[255], 65280);
    EXPECT_EQ(fake.lastGammaRamp[767], 65280);
    fake.gammaOk = false;
    EXPECT_FALSE(applyGamma(0.5f, 0.5f, 0.5f));
}

}  // namespace
}  // namespace ravelin
