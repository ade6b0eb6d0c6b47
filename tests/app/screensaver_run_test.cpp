// The screensaver's run as an object: a second run in the same process starts from the same
// state as the first (its world is its own; nothing is carried over), shown on the part of the
// run that needs no GL context (race loading, first shot, race step, as the offline mix does).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/screensaver_run.h"
#include "base/random.h"
#include "race_test_support.h"
#include "render_test_support.h"

namespace ravelin {
namespace {

TEST(ScreensaverRun, ASecondRunInTheProcessStartsAlike) {
    FakePlatform fake;
    testing::TestArchive archive;
    for (int i = 0; i < kRaceLineCount; ++i)
        archive.add(std::string(kRaceLineFiles[i]), testing::circleLineFile(180.0f + 2.0f * i));
    const char track[] =
        "KEYFRAMES\nkeyframe\ntime 0\nposition V(0 -30 10)\nquaternion Q(0 0 0 1)\nend\n"
        "keyframe\ntime 60\nposition V(20 0 10)\nquaternion Q(0 0 0.70710678 0.70710678)\nend\nENDKEYS\n";
    for (int i = 0; i < kTrackCount; ++i) archive.text("scene" + std::to_string(i) + ".txt", track);
    archive.install(fake);

    // What the camera and the cars did, frame by frame.
    auto film = [] {
        auto run = std::make_unique<ScreensaverRun>(false);
        rng().seed(99);
        run->loadRaceEarly();
        run->loadRaceLate();
        run->startShots();
        const RunWorld& world = run->world();
        EXPECT_EQ(world.race.tracks[5].keys().size(), 2u);  // loaded once, not on top of a last run
        std::vector<float> trace;
        for (int frame = 0; frame < 900; ++frame) {
            run->updateFrame(0.1f);
            trace.push_back(world.director.eye.x);
            trace.push_back(world.director.direction.y);
            trace.push_back(world.race.cars[frame % kCarCount].soundPosition.z);
        }
        return trace;
    };
    const std::vector<float> first = film();
    EXPECT_EQ(film(), first);
}

}  // namespace
}  // namespace ravelin
