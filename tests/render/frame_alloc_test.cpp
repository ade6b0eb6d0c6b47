// No heap allocation per frame: counts this thread's operator new calls while whole frames are
// composed from a small scene (sky, land and overlay blocks, flare, clock and frame rate).
#include <gtest/gtest.h>

// The replacements below pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <new>

#include <memory>

#include "app/frame_composition.h"
#include "app/screensaver_run.h"
#include "render_test_support.h"

// AddressSanitizer brings its own operator new; counting replacements would fight it there, so
// the count is taken in ordinary builds only.
#if defined(__SANITIZE_ADDRESS__)
#define RAVELIN_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RAVELIN_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef RAVELIN_COUNT_ALLOCATIONS
#define RAVELIN_COUNT_ALLOCATIONS 1
#endif

namespace {
thread_local bool tCounting = false;
std::atomic<long> gAllocations{0};
}  // namespace

#if RAVELIN_COUNT_ALLOCATIONS
void* operator new(std::size_t size) {
    if (tCounting) gAllocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (tCounting) gAllocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace ravelin {
namespace {

using testing::TestArchive;

TEST(FrameAllocations, NoneAfterTheFirstFrames) {
    if (!RAVELIN_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocation counting needs a build without AddressSanitizer";
    const char* d = std::getenv("DISPLAY");
    if (!d || !*d) GTEST_SKIP() << "no display (run under scripts/with_display.sh)";
    testing::GlWindow window;
    ASSERT_TRUE(window.ok());
    FakePlatform fake;
    TestArchive()
        .add("meshes\\skydome.dat", testing::quadSceneMesh(-30, -30, 30, 30, 10))
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
        .text("test.txt", "test\r\nrender\r\n{\r\ntechnique post.txt\r\ncollect post 2\r\n}\r\nend\r\n")
        .install(fake);
    auto run = std::make_unique<ScreensaverRun>();
    run->setUpGl(50, true);
    testing::GlWindow::useMultitexture(true);
    run->windowSized(window.width(), window.height());
    run->loadFontAndScenes();
    run->loadSkyAndFlare();
    run->setOverlay(true, true, true);
    RunWorld& world = run->world();
    // No race: the director's trackside camera looks at the origin from 40 units out.
    world.director.tracksideEye = {40.0f, 0.0f, 6.0f};
    world.director.fixedFieldOfView = true;
    world.director.baseFieldOfView = 60.0f;
    auto frame = [&] {
        world.flare.update(1.0f / 30.0f);
        drawFrame(world, 1.0f / 30.0f);
        window.swap();
    };
    // The counter sees our allocations at all.
    tCounting = true;
    ::operator delete(::operator new(16));
    tCounting = false;
    ASSERT_EQ(gAllocations.exchange(0), 1);

    for (int i = 0; i < 30; ++i) frame();
    tCounting = true;
    for (int i = 0; i < 300; ++i) frame();
    tCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_GT(world.landScene.blocks.size(), 0u);
    testing::GlWindow::useMultitexture(false);
}

}  // namespace
}  // namespace ravelin
