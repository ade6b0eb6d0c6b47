// The camera director's shot rules over a long simulated run, the trackside set-up, the view it
// computes for both kinds of shot, and the transition's ageing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/random.h"
#include "race/race_run.h"
#include "race_test_support.h"

namespace ravelin {
namespace {

using testing::makeRace;

struct CountCaptures final : TransitionCapture {
    int count = 0;
    void captureTransition(CameraDirector&) override { ++count; }
};

struct SimulatedRun {
    std::unique_ptr<RaceState> race = makeRace();
    CameraDirector director;
    CountCaptures captures;

    SimulatedRun(uint32_t seed) {
        rng().seed(seed);
        placeCars(race->cars);
        director.attach(*race);
        director.capture = &captures;
        director.initCounters();
        startFirstShot(director);
    }

    // The run's race step, without drawing: returns whether the shot changed.
    bool frame(float dt) { return stepRace(*race, director, dt); }
};

TEST(Director, InitDrawsCountersThenTargetAndShot) {
    SimulatedRun run(777);
    EXPECT_EQ(run.director.shotsSinceTransition, 0);
    EXPECT_GE(run.director.shotsPerTransition, 5);
    EXPECT_LE(run.director.shotsPerTransition, 10);
    EXPECT_GE(run.director.transitionStyle, 0);
    EXPECT_LE(run.director.transitionStyle, 3);
    ASSERT_NE(run.director.target, nullptr);
    int followed = 0;
    for (const Car& car : run.race->cars) followed += car.followed ? 1 : 0;
    EXPECT_EQ(followed, 1);
    EXPECT_TRUE(run.director.target->followed);
}

TEST(Director, LongRunKeepsTheShotRules) {
    SimulatedRun run(20261208);
    const float dt = 1.0f / 30.0f;
    bool previousScripted = run.director.scripted;
    int shots = 1;  // the shot init chose
    int shotsAtLastCapture = 0;
    int captures = 0;
    int scriptedShots = 0, tracksideShots = 0;
    Car* target = run.director.target;
    uint32_t entered = 0;  // segments the followed car entered during this shot
    int lastSegment = target->segment;
    bool scriptedNow = run.director.scripted;
    for (int f = 0; f < 30 * 60 * 40; ++f) {  // forty simulated minutes
        const bool changed = run.frame(dt);
        if (target->segment != lastSegment) ++entered;
        if (!changed) {
            lastSegment = target->segment;
            continue;
        }
        // The shot that just ended.
        if (scriptedNow) {
            ++scriptedShots;
        } else {
            ++tracksideShots;
            ASSERT_GE(entered, 9u) << f;
            ASSERT_LE(entered, 11u) << f;
        }
        if (run.captures.count != captures) {
            ASSERT_EQ(run.captures.count, captures + 1);
            const int run_ = shots - shotsAtLastCapture;
            if (captures == 0) {
                EXPECT_GE(run_, 6) << f;
                EXPECT_LE(run_, 11) << f;
            } else {
                EXPECT_GE(run_, 7) << f;
                EXPECT_LE(run_, 10) << f;
            }
            EXPECT_TRUE(run.director.transitionActive);
            shotsAtLastCapture = shots;
            captures = run.captures.count;
            // The transition lasts two seconds; age it like the frame would.
            float x = 0;
            while (run.director.ageTransition(dt, x)) {
            }
        }
        // The new shot.
        ++shots;
        scriptedNow = run.director.scripted;
        if (previousScripted) {
            ASSERT_FALSE(scriptedNow) << "two scripted shots in a row at frame " << f;
        }
        previousScripted = scriptedNow;
        target = run.director.target;
        entered = 0;
        lastSegment = target->segment;
        int followed = 0;
        for (const Car& car : run.race->cars) followed += car.followed ? 1 : 0;
        ASSERT_EQ(followed, 1);
    }
    EXPECT_GT(captures, 10);
    EXPECT_GT(scriptedShots, 20);
    EXPECT_GT(tracksideShots, 2 * scriptedShots);  // 0.3 of trackside shots lead to a scripted one
    for (Vec3 v : {run.director.eye, run.director.direction, run.director.up})
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST(Director, ScriptedShotEndsWhenTheTrackRunsOut) {
    SimulatedRun run(5);
    CameraDirector& d = run.director;
    d.scripted = true;
    d.track = 3;
    d.trackTime = 59.0f;
    d.shotFinished = false;
    d.update();
    EXPECT_FALSE(d.shotFinished);
    d.trackTime = 60.0f;  // the last key's time: ended
    d.update();
    EXPECT_TRUE(d.shotFinished);
    EXPECT_EQ(d.trackTime, 0.0f);
    // Posed at the last key: (20, 0, 10) car-local, rotated 90° about Z, so the view direction
    // (column 0) is +Y and up (column 2) is +Z.
    EXPECT_NEAR(d.eye.x, 20.0f, 1e-5f);
    EXPECT_NEAR(d.direction.y, 1.0f, 1e-5f);
    EXPECT_NEAR(d.up.z, 1.0f, 1e-5f);
}

TEST(Director, UnpreparedTrackEndsAtOnce) {
    SimulatedRun run(6);
    run.race->tracks[4].clear();
    CameraDirector& d = run.director;
    d.scripted = true;
    d.track = 4;
    d.trackTime = 0.0f;
    d.shotFinished = false;
    d.update();
    EXPECT_TRUE(d.shotFinished);
    d.computeView();
    for (Vec3 v : {d.eye, d.direction, d.up}) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST(Director, TracksideShotEndsAfterItsPoints) {
    SimulatedRun run(8);
    CameraDirector& d = run.director;
    d.scripted = false;
    d.shotLength = 10;
    d.pointsPassed = 9;
    d.shotFinished = false;
    d.update();
    EXPECT_FALSE(d.shotFinished);
    d.pointsPassed = 10;
    d.update();
    EXPECT_TRUE(d.shotFinished);
    EXPECT_EQ(d.pointsPassed, 0u);
}

TEST(Director, TracksideNearTheSeamWrapsTo3To5) {
    SimulatedRun run(9);
    CameraDirector& d = run.director;
    const RaceLine& line = run.race->lines[0];
    for (uint32_t seed = 1; seed < 400; ++seed) {
        Car& car = run.race->cars[0];
        car.segment = 230;
        car.raceLine = 0;
        d.target = &car;
        rng().seed(seed);
        d.setUpTrackside();
        // Points 3 … 5 (a t of 0.2 … 0.6 past point 3 or 4), lifted 0.1 … 1.6 and moved up to 2
        // on each ground axis.
        float best = 1e9f;
        for (int p = 3; p <= 5; ++p) {
            const Vec3 q = line.points[p];
            best = std::min(best, std::hypot(d.tracksideEye.x - q.x, d.tracksideEye.y - q.y));
        }
        ASSERT_LT(best, 2.0f * std::sqrt(2.0f) + 4.0f) << seed;
        ASSERT_GT(std::hypot(d.tracksideEye.x - line.points[230].x, d.tracksideEye.y - line.points[230].y), 20.0f);
        ASSERT_GE(d.tracksideEye.z, 0.1f - 1e-6f);
        ASSERT_LE(d.tracksideEye.z, 1.6f + 1e-6f);
        ASSERT_GE(d.shotLength, 9u);
        ASSERT_LE(d.shotLength, 10u);
        if (d.fixedFieldOfView) {
            ASSERT_GE(d.baseFieldOfView, 20.0f);
            ASSERT_LE(d.baseFieldOfView, 60.0f);
        } else {
            ASSERT_GE(d.baseFieldOfView, 30.0f);
            ASSERT_LE(d.baseFieldOfView, 50.0f);
        }
    }
}

TEST(Director, TracksideDrawOrder) {
    // With a straight line every draw shows in the eye: seed the generator, replay its draws
    // here and compare each use (y offset drawn before x offset).
    auto race = makeRace();
    const std::vector<uint8_t> file = testing::straightLineFile();
    parseRaceLine(race->lines[2], file.data(), file.size());
    CameraDirector d;
    d.attach(*race);
    Car& car = race->cars[0];
    car.raceLine = 2;
    car.segment = 40;
    d.target = &car;
    rng().seed(4242);
    Random copy;
    copy.seed(4242);
    d.setUpTrackside();
    const int point = 40 + static_cast<int>(copy.unit() * 2.0f) + 6;
    const uint32_t length = static_cast<uint32_t>(static_cast<int>(copy.unit() * 2.0f) + 9);
    const float t = copy.unit() * 0.4f + 0.2f;
    const float height = copy.unit() * 1.5f + 0.1f;
    const float dy = copy.unit() * 4.0f - 2.0f;
    const float dx = copy.unit() * 4.0f - 2.0f;
    EXPECT_EQ(d.shotLength, length);
    EXPECT_NEAR(d.tracksideEye.x, 5.0f * (point + t) + dx, 1e-3f);  // straight line: x = 5·(point + t)
    EXPECT_NEAR(d.tracksideEye.y, dy, 1e-5f);
    EXPECT_NEAR(d.tracksideEye.z, height, 1e-5f);
    const bool fixed = copy.unit() < 0.2f;
    EXPECT_EQ(d.fixedFieldOfView, fixed);
    EXPECT_NEAR(d.baseFieldOfView, fixed ? copy.unit() * 40.0f + 20.0f : copy.unit() * 20.0f + 30.0f, 1e-4f);
    EXPECT_EQ(rng().state(), copy.state());
}

TEST(Director, NeverTwoScriptedShotsInARow) {
    SimulatedRun run(10);
    CameraDirector& d = run.director;
    for (uint32_t seed = 1; seed < 2000; ++seed) {
        rng().seed(seed);
        d.scripted = true;
        d.chooseShot();
        ASSERT_FALSE(d.scripted);
    }
    int scripted = 0;
    for (uint32_t seed = 1; seed < 2000; ++seed) {
        rng().seed(seed * 2654435761u);  // spread: small seeds all start with a small draw
        d.scripted = false;
        d.chooseShot();
        if (d.scripted) {
            ++scripted;
            ASSERT_GE(d.track, 0);
            ASSERT_LE(d.track, 16);
            ASSERT_EQ(d.trackTime, 0.0f);
        }
    }
    EXPECT_GT(scripted, 450);  // about 30 %
    EXPECT_LT(scripted, 750);
}

RaceSample straightFrame(Vec3 position) {
    RaceSample f;
    f.position = position;
    f.forward = {1, 0, 0};
    f.right = {0, -1, 0};
    f.up = {0, 0, 1};
    return f;
}

TEST(DirectorView, ScriptedShotInTheCarsFrame) {
    auto race = makeRace();
    CameraDirector d;
    d.attach(*race);
    Car& car = race->cars[0];
    car.frame = straightFrame({100, 50, 0});
    d.target = &car;
    d.scripted = true;
    d.track = 0;
    d.trackTime = 0.0f;
    d.update();  // local eye (0, −30, 10), direction +X, up +Z
    d.computeView();
    // eye = P + right·0 + forward·(−3) + up·1
    EXPECT_NEAR(d.eye.x, 97.0f, 1e-4f);
    EXPECT_NEAR(d.eye.y, 50.0f, 1e-4f);
    EXPECT_NEAR(d.eye.z, 1.0f, 1e-4f);
    // direction: local +X is the car's right, (0, −1, 0).
    EXPECT_NEAR(d.direction.y, -1.0f, 1e-5f);
    EXPECT_NEAR(d.up.z, 1.0f, 1e-5f);
    EXPECT_EQ(d.fieldOfView, 60.0f);
    // Applying again for the same update maps the same values (no second shrink).
    d.computeView();
    EXPECT_NEAR(d.eye.x, 97.0f, 1e-4f);
    EXPECT_NEAR(d.eye.z, 1.0f, 1e-4f);
}

TEST(DirectorView, TracksideZoom) {
    auto race = makeRace();
    CameraDirector d;
    d.attach(*race);
    Car& car = race->cars[0];
    car.frame = straightFrame({6, 0, 0});
    d.target = &car;
    d.scripted = false;
    d.tracksideEye = {0, 0, 0};
    d.baseFieldOfView = 40.0f;
    d.fixedFieldOfView = false;
    d.computeView();
    // side = normalize(cross((−6, 0, 0), (1, 1, 0))) = (0, 0, −1); m = (6, 0, −8);
    // eye − m = (−6, 0, 8) → (−0.6, 0, 0.8); eye − P → (−1, 0, 0); c = 0.6.
    EXPECT_NEAR(d.fieldOfView, 0.4f * 40.0f, 1e-4f);
    EXPECT_NEAR(d.direction.x, 1.0f, 1e-6f);
    EXPECT_EQ(d.up.z, 1.0f);
    d.fixedFieldOfView = true;
    d.computeView();
    EXPECT_EQ(d.fieldOfView, 40.0f);
}

TEST(DirectorView, EyeStraightAboveTheCar) {
    auto race = makeRace();
    CameraDirector d;
    d.attach(*race);
    Car& car = race->cars[0];
    car.frame = straightFrame({6, 2, 0});
    d.target = &car;
    d.scripted = false;
    d.tracksideEye = {6, 2, 6};
    d.baseFieldOfView = 50.0f;
    d.computeView();
    // side = normalize((−6, 6, 0)); eye − m = (8/√2, −8/√2, 6) → c = 6 / 10.
    EXPECT_NEAR(d.fieldOfView, 0.4f * 50.0f, 1e-4f);
    EXPECT_NEAR(d.direction.z, -1.0f, 1e-6f);
    // Looking straight down along the up axis: up becomes the car's forward.
    EXPECT_NEAR(d.up.x, 1.0f, 1e-6f);
    EXPECT_NEAR(length(cross(d.direction, d.up)), 1.0f, 1e-5f);
}

TEST(DirectorView, EyeOnTheDiagonalOrOnTheCarStaysFinite) {
    auto race = makeRace();
    CameraDirector d;
    d.attach(*race);
    Car& car = race->cars[0];
    car.frame = straightFrame({6, 2, 0});
    d.target = &car;
    d.scripted = false;
    d.baseFieldOfView = 50.0f;
    d.tracksideEye = {9, 5, 0};  // eye − P = (3, 3, 0): parallel to (1, 1, 0)
    d.computeView();
    EXPECT_TRUE(std::isfinite(d.fieldOfView));
    EXPECT_GT(d.fieldOfView, 0.0f);
    d.tracksideEye = {6, 2, 0};  // on the car
    d.direction = {0, 1, 0};
    d.computeView();
    EXPECT_TRUE(std::isfinite(d.fieldOfView));
    EXPECT_NEAR(d.direction.y, 1.0f, 1e-6f);  // the previous direction is kept
}

TEST(DirectorTransition, ClearsAfterTwoSeconds) {
    CameraDirector d;
    d.transitionActive = true;
    float x = -1;
    EXPECT_TRUE(d.ageTransition(0.5f, x));
    EXPECT_FLOAT_EQ(x, 0.25f);
    EXPECT_TRUE(d.ageTransition(0.5f, x));
    EXPECT_TRUE(d.ageTransition(0.5f, x));
    EXPECT_FLOAT_EQ(x, 0.75f);
    EXPECT_FALSE(d.ageTransition(0.5f, x));  // reaches 2: over, nothing drawn
    EXPECT_FALSE(d.transitionActive);
    EXPECT_EQ(d.transitionElapsed, 0.0f);
    EXPECT_FALSE(d.ageTransition(0.1f, x));  // inactive stays inactive
}

TEST(DirectorTransition, OneLongFrameDrawsNothing) {
    CameraDirector d;
    d.transitionActive = true;
    float x = 0;
    EXPECT_FALSE(d.ageTransition(2.5f, x));
    EXPECT_FALSE(d.transitionActive);
    EXPECT_EQ(d.transitionElapsed, 0.0f);
}

TEST(DirectorTransition, ShotChangeThatCompletesARunCapturesAndRegrids) {
    SimulatedRun run(11);
    CameraDirector& d = run.director;
    d.shotsSinceTransition = d.shotsPerTransition;
    d.shotFinished = true;
    const int before = run.captures.count;
    d.afterUpdate();
    EXPECT_EQ(run.captures.count, before + 1);
    EXPECT_TRUE(d.transitionActive);
    EXPECT_EQ(d.shotsSinceTransition, 1);
    EXPECT_GE(d.shotsPerTransition, 7);
    EXPECT_LE(d.shotsPerTransition, 10);
    // Not finished: nothing happens.
    d.shotFinished = false;
    const int shots = d.shotsSinceTransition;
    d.afterUpdate();
    EXPECT_EQ(d.shotsSinceTransition, shots);
}

}  // namespace
}  // namespace ravelin
