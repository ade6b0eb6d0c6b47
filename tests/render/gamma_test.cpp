// The gamma ramp: the exponent from the stored value, the ramp's entries and its hand-over to the
// platform.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "platform/fake/fake_platform.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

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
