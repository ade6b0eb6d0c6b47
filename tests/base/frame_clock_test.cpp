// The frame clock over a scripted counter, its fallback, and the random generator's sequence.
#include <gtest/gtest.h>

#include "base/frame_clock.h"
#include "base/random.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

TEST(FrameClock, ElapsedIsCountsTimesReciprocalWithoutRestarting) {
    FakePlatform fake;
    fake.frequency = 1000;
    fake.counterValue = 5000;
    fake.counterStep = 250;  // each read advances a quarter second
    FrameClock clock;
    EXPECT_TRUE(clock.hasCounter());
    EXPECT_EQ(clock.frequency(), 1000);
    clock.restart();                         // start = 5000
    EXPECT_DOUBLE_EQ(clock.elapsed(), 0.25);  // 5250
    EXPECT_DOUBLE_EQ(clock.elapsed(), 0.5);   // 5500: still measured from the restart
    EXPECT_DOUBLE_EQ(clock.lastElapsed(), 0.5);
    clock.restart();                         // 5750
    EXPECT_DOUBLE_EQ(clock.elapsed(), 0.25);
}

TEST(FrameClock, LongStallIsNotClamped) {
    FakePlatform fake;
    fake.frequency = 10'000'000;
    FrameClock clock;
    fake.counterValue = 1'000'000'000'000;
    clock.restart();
    fake.counterValue += 3'600LL * 10'000'000;  // an hour
    EXPECT_DOUBLE_EQ(clock.elapsed(), 3600.0);
}

TEST(FrameClock, SeedComesFromTheCounter) {
    FakePlatform fake;
    fake.frequency = 1000;
    FrameClock clock;
    fake.counterValue = 0x1'2345'6789LL;
    EXPECT_EQ(static_cast<uint32_t>(clock.readCounter()), 0x23456789u);
}

TEST(FrameClock, NoCounterFallsBackToTheSteadyClock) {
    FakePlatform fake;
    fake.frequency = 0;
    fake.counterValue = 100;
    fake.counterStep = 1000;
    FrameClock clock;
    EXPECT_FALSE(clock.hasCounter());
    EXPECT_GT(clock.frequency(), 0);
    clock.restart();
    double dt = clock.elapsed();
    EXPECT_GE(dt, 0.0);
    EXPECT_EQ(fake.counterValue, 100);  // the platform's counter was never read
    fake.frequency = 1000;
    FrameClock later;  // a later run with a counter uses it again
    later.readCounter();
    EXPECT_EQ(fake.counterValue, 1100);
}

TEST(RandomGenerator, KnownSequenceOfTheClassicConstants) {
    // The first results of the Microsoft C run-time rand() after srand(1), as published.
    Random r;
    r.seed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) EXPECT_EQ(r.next(), e);
}

TEST(RandomGenerator, HandComputedSteps) {
    Random r;
    r.seed(0);
    // 0 * 214013 + 2531011 = 2531011 = 0x269EC3; >> 16 = 0x26 = 38.
    EXPECT_EQ(r.next(), 38);
    EXPECT_EQ(r.state(), 2531011u);
    // Wrap-around: 0xFFFFFFFF * 214013 + 2531011 = 2531011 - 214013 (mod 2^32) = 2316998 = 0x235AC6.
    r.seed(0xFFFFFFFFu);
    EXPECT_EQ(r.next(), 0x23);
    EXPECT_EQ(r.state(), 2316998u);
}

TEST(RandomGenerator, UnitSpansZeroToOneInclusive) {
    Random r;
    r.seed(0);
    float lo = 1.0f, hi = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        float u = r.unit();
        ASSERT_GE(u, 0.0f);
        ASSERT_LE(u, 1.0f);
        lo = std::min(lo, u);
        hi = std::max(hi, u);
    }
    EXPECT_EQ(lo, 0.0f);
    EXPECT_EQ(hi, 1.0f);
    EXPECT_EQ(&rng(), &rng());
}
