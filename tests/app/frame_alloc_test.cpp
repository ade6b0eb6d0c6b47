// No heap allocation per frame: counts this thread's operator new calls while whole frames of the
// screensaver's run are animated and drawn from a small world (sky, land and overlay blocks,
// flare, clock and frame rate, eighteen cars on synthetic race lines, the director with its
// shot changes and a scene transition).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "allocation_counter.h"
#include "app/screensaver_run.h"
#include "gl_window.h"
#include "race_test_support.h"
#include "render_test_support.h"

namespace ravelin {
namespace {

using testing::TestArchive;

// A camera track of two keys, sixty track units apart.
const char kTrack[] =
    "KEYFRAMES\nkeyframe\ntime 0\nposition V(0 -30 10)\nquaternion Q(0 0 0 1)\nend\n"
    "keyframe\ntime 60\nposition V(20 0 10)\nquaternion Q(0 0 0.70710678 0.70710678)\nend\nENDKEYS\n";

TEST(FrameAllocations, NoneAfterTheFirstFrames) {
    if (!testing::kCountsAllocations) GTEST_SKIP() << "allocation counting needs a build without AddressSanitizer";
    if (!testing::haveDisplay()) GTEST_SKIP() << "no display (run under scripts/with_display.sh)";
    testing::GlWindow window;
    ASSERT_TRUE(window.ok());
    FakePlatform fake;
    TestArchive archive;
    archive.add("meshes\\skydome.dat", testing::quadSceneMesh(-30, -30, 30, 30, 10))
        .add("meshes\\ground.dat", testing::quadSceneMesh(-50, -50, 50, 50, 0))
        .add("meshes\\post01.dat", testing::quadSceneMesh(-1, -1, 1, 1, 2))
        .add("meshes\\post02.dat", testing::quadSceneMesh(3, 3, 4, 4, 2))
        .add("textures\\skydome.jpg", testing::solidJpeg(16, 16, 90, 140, 220))
        .add("textures\\grass.jpg", testing::solidJpeg(16, 16, 40, 160, 40))
        .add("textures\\c.jpg", testing::solidJpeg(16, 16, 255, 255, 255))
        .add("textures\\sun.jpg", testing::solidJpeg(16, 16, 255, 255, 200))
        .add("textures\\tlens.jpg", testing::solidJpeg(16, 16, 200, 200, 255))
        .add("textures\\rlens.jpg", testing::solidJpeg(16, 16, 255, 200, 200))
        .text("technique\\grass.txt", "texture 0 grass.jpg\r\ntiled 4\r\nlighted\r\npass 0\r\nend\r\n")
        .text("technique\\post.txt", "texture 0 grass.jpg\r\nalphablend\r\npass 1\r\nend\r\n")
        .text("land.txt", "landscape\r\nrender\r\n{\r\ntechnique grass.txt\r\nmesh ground\r\n}\r\nend\r\n")
        .text("test.txt", "test\r\nrender\r\n{\r\ntechnique post.txt\r\ncollect post 2\r\n}\r\nend\r\n");
    for (int i = 0; i < kRaceLineCount; ++i)
        archive.add(std::string(kRaceLineFiles[i]), testing::circleLineFile(20.0f + 2.0f * i));
    for (int i = 0; i < kTrackCount; ++i) archive.text("scene" + std::to_string(i) + ".txt", kTrack);
    archive.install(fake);

    // The saver's run, loaded in its order, silent (no sound bound).
    auto run = std::make_unique<ScreensaverRun>();
    run->setUpGl(50, true);
    testing::GlWindow::useMultitexture(true);
    run->windowSized(window.width(), window.height());
    run->setOverlay(true, true, true);
    run->loadWorld();
    CameraDirector& director = run->world().director;
    bool transition = false;
    auto frame = [&](float dt) {
        run->updateFrame(dt);
        run->drawFrame(dt);
        window.swap();
        transition = transition || director.transitionActive;
    };
    // The counter sees our allocations at all.
    testing::resetAllocationCounts();
    testing::countAllocations(true);
    ::operator delete(::operator new(16));
    testing::countAllocations(false);
    ASSERT_EQ(testing::countedAllocations(), 1);

    // The software rasteriser allocates on this thread too (shader variants, read-backs): only
    // allocations without the driver on the stack are ours.
    testing::setAllocationSorter(testing::allocatedOutsideTheDriver);
    for (int i = 0; i < 30; ++i) frame(1.0f / 30.0f);
    // The shot in progress completes a run of shots: its end starts a transition.
    director.shotsPerTransition = director.shotsSinceTransition;
    transition = false;
    testing::resetAllocationCounts();
    testing::countAllocations(true);
    for (int i = 0; i < 300; ++i) frame(0.1f);
    testing::countAllocations(false);
    EXPECT_EQ(testing::countedAllocations(), 0);
    testing::setAllocationSorter(nullptr);
    EXPECT_TRUE(transition) << "a transition was captured and drawn while counting";
    EXPECT_GT(run->world().landScene.blocks.size(), 0u);
    run.reset();
    testing::GlWindow::useMultitexture(false);
}

}  // namespace
}  // namespace ravelin
