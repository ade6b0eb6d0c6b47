// Engine-sound band maths and the order of the calls an engine and the volume rules make,
// watched through a recording entry table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "race/car.h"
#include "sound/engine_sound.h"
#include "sound/run_sound.h"
#include "sound/sound_system.h"

namespace ravelin {
namespace {

constexpr int32_t kBase = 44100;

// Band settings of an engine whose three channels started at 44,100 Hz.
struct Bands {
    int32_t volume[3];
    int32_t frequency[3];
};
Bands at(int32_t s) {
    EngineSound e;
    for (int b = 0; b < 3; ++b) e.baseFrequency[b] = kBase;
    Bands r{};
    e.bandSettings(s, r.volume, r.frequency);
    return r;
}

TEST(EngineBands, EngineSpeedIsTruncatedLengthTimes105) {
    EXPECT_EQ(EngineSound::engineSpeed({0, 0, 0}), 0);
    EXPECT_EQ(EngineSound::engineSpeed({3, 4, 0}), 525);
    EXPECT_EQ(EngineSound::engineSpeed({0, 0, -1}), 105);
    EXPECT_EQ(EngineSound::engineSpeed({0.0099f, 0, 0}), 1);  // 1.0395 toward zero
    EXPECT_EQ(EngineSound::engineSpeed({0.0095f, 0, 0}), 0);
    EXPECT_EQ(EngineSound::engineSpeed({NAN, 0, 0}), 0);
    EXPECT_EQ(EngineSound::engineSpeed({1e30f, 0, 0}), 2147483647);
}

TEST(EngineBands, StandingCarPlaysOnlyTheLowBand) {
    Bands b = at(0);
    EXPECT_EQ(b.volume[0], 20);
    EXPECT_EQ(b.volume[1], 0);
    EXPECT_EQ(b.volume[2], 0);
    EXPECT_EQ(b.frequency[0], kBase - 20000 + 70000 * 10 / 410);  // 1707
    EXPECT_EQ(b.frequency[0], kBase - 20000 + 1707);
    EXPECT_EQ(b.frequency[1], kBase - 20000);
    EXPECT_EQ(b.frequency[2], kBase - 10000);
}

TEST(EngineBands, AtThreeHundred) {
    EXPECT_EQ(EngineSound::bandVolume(300, -100, -100, 200, 400), 50);
    EXPECT_EQ(EngineSound::bandVolume(300, 0, 400, 450, 600), 75);
    EXPECT_EQ(EngineSound::bandVolume(300, 250, 600, 1700, 1800), 14);
    Bands b = at(300);
    EXPECT_EQ(b.volume[0], 10);
    EXPECT_EQ(b.volume[1], 15);
    EXPECT_EQ(b.volume[2], 2);
}

TEST(EngineBands, SilentBeyondEachSilentPoint) {
    EXPECT_EQ(at(400).volume[0], 0);  // 100 - 100
    EXPECT_GT(at(399).volume[0] + at(390).volume[0], 0);
    for (int32_t s : {401, 500, 1000, 100000}) EXPECT_EQ(at(s).volume[0], 0) << s;
    EXPECT_EQ(at(600).volume[1], 0);
    for (int32_t s : {601, 800, 5000}) EXPECT_EQ(at(s).volume[1], 0) << s;
    EXPECT_EQ(at(1800).volume[2], 0);
    for (int32_t s : {1801, 2000, 2147483647}) {
        Bands b = at(s);
        EXPECT_EQ(b.volume[0] + b.volume[1] + b.volume[2], 0) << s;
    }
    // Below their rise points the med and high bands are silent; the low band's empty rise
    // interval never matches, so it is full from the start.
    EXPECT_EQ(at(-5).volume[1], 0);
    EXPECT_EQ(at(249).volume[2], 0);
    EXPECT_EQ(at(-100).volume[0], 20);
    EXPECT_EQ(at(-101).volume[0], 0);
}

TEST(EngineBands, VolumeEnvelopeEdges) {
    EXPECT_EQ(EngineSound::bandVolume(400, 0, 400, 450, 600), 100);
    EXPECT_EQ(EngineSound::bandVolume(449, 0, 400, 450, 600), 100);
    EXPECT_EQ(EngineSound::bandVolume(450, 0, 400, 450, 600), 100);  // fade starts at 100
    EXPECT_EQ(EngineSound::bandVolume(525, 0, 400, 450, 600), 50);
    EXPECT_EQ(EngineSound::bandVolume(600, 250, 600, 1700, 1800), 100);
    EXPECT_EQ(EngineSound::bandVolume(1750, 250, 600, 1700, 1800), 50);
    EXPECT_EQ(EngineSound::bandVolume(1799, 250, 600, 1700, 1800), 1);
    EXPECT_EQ(EngineSound::bandVolume(200, -100, -100, 200, 400), 100);
}

TEST(EngineBands, FrequenciesClampedAtBothEnds) {
    Bands low = at(-1000), high = at(100000);
    EXPECT_EQ(low.frequency[0], kBase - 20000);
    EXPECT_EQ(low.frequency[1], kBase - 20000);
    EXPECT_EQ(low.frequency[2], kBase - 10000);
    EXPECT_EQ(high.frequency[0], kBase + 50000);
    EXPECT_EQ(high.frequency[1], kBase + 30000);
    EXPECT_EQ(high.frequency[2], kBase + 50000);
    EXPECT_EQ(at(-10).frequency[0], kBase - 20000);
    EXPECT_EQ(at(400).frequency[0], kBase + 50000);
    EXPECT_EQ(at(600).frequency[1], kBase + 30000);
    EXPECT_EQ(at(800).frequency[2], kBase + 50000);
    EXPECT_EQ(at(250).frequency[2], kBase - 10000);
    // Midway: med at s = 300 is half of 50000 above its start; high at 525 is (275/550) of 60000.
    EXPECT_EQ(at(300).frequency[1], kBase - 20000 + 25000);
    EXPECT_EQ(at(525).frequency[2], kBase - 10000 + 30000);
    EXPECT_EQ(EngineSound::bandFrequency(5, 100, 200, 5, 5), 100);
}

// --- call order through a recording table ---

std::vector<std::string> gCalls;
int32_t gVolume = 63;

AudioEntryPoints recordingTable() {
    AudioEntryPoints e;
    e.setVolume = [](int32_t v) {
        gCalls.push_back("setVolume " + std::to_string(v));
        gVolume = v;
        return true;
    };
    e.getVolume = [] {
        gCalls.push_back("getVolume");
        return gVolume;
    };
    e.samplePlay3D = [](AudioHandle s, const SoundVector* p, const SoundVector* o, const SoundVector* v) {
        gCalls.push_back("play3D " + std::to_string(s) + (p ? " pos" : "") + (o ? " orient" : "") + (v ? " vel" : ""));
        return AudioHandle(s + 100);
    };
    e.channelGetAttributes = [](AudioHandle c, int32_t* f, int32_t* v, int32_t* p) {
        gCalls.push_back("get " + std::to_string(c) + (v || p ? " extra" : ""));
        *f = int32_t(c) * 1000;
        return true;
    };
    e.channelSetAttributes = [](AudioHandle c, int32_t f, int32_t v, int32_t p) {
        gCalls.push_back("set " + std::to_string(c) + " " + std::to_string(f) + " " + std::to_string(v) + " " +
                         std::to_string(p));
        return true;
    };
    e.channelSet3DPosition = [](AudioHandle c, const SoundVector* p, const SoundVector* o, const SoundVector* v) {
        gCalls.push_back("pos " + std::to_string(c) + " " + std::to_string(int(p->x)) + " " +
                         std::to_string(int(v->z)) + (o ? " orient" : ""));
        return true;
    };
    e.apply3D = [] { gCalls.push_back("apply"); };
    return e;
}

class EngineCalls : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        sound.system.entries = recordingTable();
    }
    RunSound sound;  // its table records; it was never bound, so nothing is freed at the end
    const AudioEntryPoints& table = sound.system.entries;
};

TEST_F(EngineCalls, StartPlaysThreeBandsThenReadsTheirRates) {
    EngineSound e;
    e.sample[0] = 1;
    e.sample[1] = 2;
    e.sample[2] = 3;
    e.startChannels(table);
    std::vector<std::string> want = {"play3D 1 pos", "play3D 2 pos", "play3D 3 pos", "get 101", "get 102", "get 103"};
    EXPECT_EQ(gCalls, want);
    EXPECT_EQ(e.channel[2], 103u);
    EXPECT_EQ(e.baseFrequency[0], 101000);
    EXPECT_EQ(e.baseFrequency[2], 103000);
}

TEST_F(EngineCalls, UpdateSetsRatesAndVolumesThenPositionsThenApplies) {
    EngineSound e;
    e.channel[0] = 7;
    e.channel[1] = 8;
    e.channel[2] = 9;
    for (int b = 0; b < 3; ++b) e.baseFrequency[b] = kBase;
    // Speed 300 / 105 gives s = 299 or 300 depending on rounding; use a length that lands on 300.
    SoundVector velocity{0.0f, 0.0f, 300.0f / 105.0f + 0.0001f};
    ASSERT_EQ(EngineSound::engineSpeed(velocity), 300);
    e.update(table, {12.0f, 0.0f, 0.0f}, velocity);
    Bands b = at(300);
    std::vector<std::string> want = {
        "set 7 " + std::to_string(b.frequency[0]) + " 10 -101",
        "set 8 " + std::to_string(b.frequency[1]) + " 15 -101",
        "set 9 " + std::to_string(b.frequency[2]) + " 2 -101",
        "pos 7 12 2",
        "pos 8 12 2",
        "pos 9 12 2",
        "apply",
    };
    EXPECT_EQ(gCalls, want);
    EXPECT_EQ(e.position.x, 12.0f);
}

TEST_F(EngineCalls, UpdateWithoutChannelsStillMakesItsCalls) {
    EngineSound e;
    e.update(table, {}, {});
    ASSERT_EQ(gCalls.size(), 7u);
    EXPECT_EQ(gCalls[0], "set 0 -18293 20 -101");
    EXPECT_EQ(gCalls[6], "apply");
}

TEST_F(EngineCalls, VolumeIsSavedZeroedSetAndRestored) {
    gVolume = 63;
    sound.start(false, false);
    sound.setVolume(250);
    sound.restoreVolume();
    std::vector<std::string> want = {"getVolume", "setVolume 0", "setVolume 250", "setVolume 63"};
    EXPECT_EQ(gCalls, want);
}

TEST_F(EngineCalls, RunStartSavesZeroesThenStartsEnginesCarZeroFirst) {
    for (int k = 0; k < kCarCount; ++k)
        for (int b = 0; b < 3; ++b) sound.engines[size_t(k)].sample[b] = uintptr_t(1 + k * 3 + b);
    gVolume = 42;
    sound.start(false, true);
    ASSERT_EQ(gCalls.size(), 2u + size_t(kCarCount) * 6u);
    EXPECT_EQ(gCalls[0], "getVolume");
    EXPECT_EQ(gCalls[1], "setVolume 0");
    for (int k = 0; k < kCarCount; ++k) {
        size_t at = 2 + size_t(k) * 6;
        EXPECT_EQ(gCalls[at], "play3D " + std::to_string(1 + k * 3) + " pos") << k;
        EXPECT_EQ(gCalls[at + 2], "play3D " + std::to_string(3 + k * 3) + " pos") << k;
        EXPECT_EQ(gCalls[at + 3], "get " + std::to_string(101 + k * 3)) << k;
    }
    sound.setVolume(75);
    EXPECT_EQ(gCalls.back(), "setVolume 75");
    gCalls.clear();
    sound.start(false, false);  // engine sounds off: only the volume steps
    std::vector<std::string> want = {"getVolume", "setVolume 0"};
    EXPECT_EQ(gCalls, want);
}

}  // namespace
}  // namespace ravelin
