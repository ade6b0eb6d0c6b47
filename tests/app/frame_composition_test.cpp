// Whole frames of the generated world, composed as the run composes them but without the race:
// neither black nor uniform and free of GL errors (with and without multitexturing); the lens flare's streaks and ghosts
// with the sun in view; a fading scene transition blended at its alpha; and the state the overlay
// scene leaves for what follows it (clock digits added, not pasted; the next frame's sky whole).
// Skips without a display or a generated archive. RAVELIN_TEST_PNG_DIR names a folder for the
// pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_composition.h"
#include "app/gl_check.h"
#include "app/png_file.h"
#include "assets/asset_file.h"
#include "gl_window.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

constexpr int kWidth = 800, kHeight = 600;

class ComposedFrame : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> archive = testing::generatedArchive();
        if (archive.empty()) GTEST_SKIP() << "no generated archive in " RAVELIN_ASSET_DIR;
        if (!testing::haveDisplay()) GTEST_SKIP() << "no display";
        window = std::make_unique<testing::GlWindow>(kWidth, kHeight);
        ASSERT_TRUE(window->ok());
        fake.addResource("CustomData", kArchiveResourceId, archive);
        AssetFile land;
        if (!land.openEntry("land.txt")) GTEST_SKIP() << "the generated archive has no land.txt yet";
    }
    void TearDown() override {
        world.reset();
        testing::GlWindow::useMultitexture(false);
    }

    // The scenes, sky, flare, font and transition texture, loaded as the run loads them. The
    // camera is trackside at 40 units from the circuit's centre, looking at it.
    void load(bool multitexture) {
        setUpGl(GlSetupOptions{!multitexture}, 50, true);
        testing::GlWindow::useMultitexture(multitexture);
        world = std::make_unique<RunWorld>();
        world->font.createFont(world->textures);
        world->overlayScene.load("test.txt", world->textures);
        world->landScene.load("land.txt", world->textures);
        world->sky.load(world->textures);
        world->flare.load(world->textures);
        world->director.createTransitionTexture();
        CameraDirector& camera = world->director;
        camera.tracksideEye = {39.0f, 8.9f, 6.0f};
        camera.fixedFieldOfView = true;
        camera.baseFieldOfView = 60.0f;
    }

    // From 15 units above the circuit's centre, looking 17 degrees below the sun: the sun stands
    // in the upper half of the picture and its flare runs down through the centre.
    void lookNearTheSun() {
        const Vec3 sun = normalizeOr(world->flare.sunDirection, Vec3{0, 0, 1});
        world->director.tracksideEye = {36.6f, 0.9f, 15.0f};
        lookAt.frame.position = world->director.tracksideEye + 10.0f * normalizeOr(sun + Vec3{0, 0, -0.3f}, sun);
        world->director.target = &lookAt;
    }

    std::vector<uint8_t> frame(float dt = 0.0f) {
        drawFrame(*world, dt);
        return window->readAll();
    }

    // Frames drawn with the GL error check on: no phase may raise an error.
    std::vector<uint8_t> checkedFrames(int count, float dt) {
        enableGlCheck(true);
        resetGlErrorCounts();
        for (int i = 1; i < count; ++i) frame(dt);
        auto rgb = frame(dt);
        enableGlCheck(false);
        EXPECT_EQ(glErrorTotal(), 0u) << "a phase of the composed frame raised a GL error";
        return rgb;
    }

    void save(const std::vector<uint8_t>& rgb, const char* name) const {
        if (const char* out = std::getenv("RAVELIN_TEST_PNG_DIR"))
            writePng(std::string(out) + "/" + name + ".png", rgb.data(), kWidth, kHeight);
    }

    FakePlatform fake;
    std::unique_ptr<testing::GlWindow> window;
    std::unique_ptr<RunWorld> world;
    Car lookAt;
};

void neitherBlackNorUniform(const std::vector<uint8_t>& rgb) {
    size_t differing = 0;
    for (size_t i = 3; i < rgb.size(); i += 3)
        differing += rgb[i] != rgb[0] || rgb[i + 1] != rgb[1] || rgb[i + 2] != rgb[2];
    EXPECT_GT(testing::litPixels(rgb), kWidth * kHeight / 2);
    EXPECT_GT(differing, rgb.size() / 3 / 4);
}

TEST_F(ComposedFrame, WithMultitexture) {
    load(true);
    const auto rgb = checkedFrames(3, 0.5f);
    save(rgb, "composed_multi");
    neitherBlackNorUniform(rgb);
}

TEST_F(ComposedFrame, WithoutMultitexture) {
    load(false);
    const auto rgb = checkedFrames(2, 0.5f);
    save(rgb, "composed_single");
    neitherBlackNorUniform(rgb);
}

TEST_F(ComposedFrame, SunInViewShowsTheFlareStreaksAndGhosts) {
    load(true);
    lookNearTheSun();
    world->flare.intensity = 1.0f;
    frame();
    ASSERT_TRUE(world->flare.sunVisible) << "nothing but sky covers the sun from up here";
    world->flare.ghostsEnabled = false;
    const auto without = frame();
    world->flare.ghostsEnabled = true;
    const auto with = frame();
    save(with, "flare");
    // The streaks and ghosts add light; the blue-violet ones (the first ghosts, the third streak)
    // are those that fade below the alpha a leftover alpha test would cut.
    int brighter = 0, bluish = 0;
    for (size_t i = 0; i < with.size(); i += 3) {
        const int dr = with[i] - without[i], dg = with[i + 1] - without[i + 1], db = with[i + 2] - without[i + 2];
        EXPECT_GE(std::min({dr, dg, db}), -1) << "the flare only adds light";
        if (dr + dg + db > 24) ++brighter;
        if (db > 8 && db > dg + 4 && db >= dr) ++bluish;
    }
    std::printf("flare: %d pixels brighter, %d of them blue-violet\n", brighter, bluish);
    EXPECT_GT(brighter, kWidth * kHeight / 20);
    EXPECT_GT(bluish, 2000);
}

TEST_F(ComposedFrame, FadingTransitionBlendsAtItsAlphaAllTheWay) {
    load(true);
    const auto scene = frame();
    // A uniform picture in the transition texture, faded over the scene.
    const uint8_t picture[3] = {240, 30, 200};
    std::vector<uint8_t> texels(kTransitionTextureSize * kTransitionTextureSize * 3);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = picture[i % 3];
    glBindTexture(GL_TEXTURE_2D, world->director.transitionTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kTransitionTextureSize, kTransitionTextureSize, GL_RGB, GL_UNSIGNED_BYTE,
                    texels.data());
    CameraDirector& d = world->director;
    for (float x : {0.25f, 0.5f, 0.75f, 0.9f}) {
        d.transitionActive = true;
        d.transitionStyle = 0;
        d.transitionElapsed = 2.0f * x;  // a frame of dt 0 draws it at exactly x
        const auto blended = frame();
        if (x == 0.75f) save(blended, "transition_fade_075");
        const float alpha = 1.0f - x;
        double worst = 0;
        for (size_t i = 0; i < blended.size(); i += 97) {
            const double expect = alpha * picture[i % 3] + (1.0f - alpha) * scene[i];
            worst = std::max(worst, std::fabs(blended[i] - expect));
        }
        EXPECT_LT(worst, 4.0) << "fade at x = " << x;
    }
}

TEST_F(ComposedFrame, ClockDigitsAddLightAndTheNextSkyIsWhole) {
    load(true);
    const auto plain = frame();
    world->overlay.showClock = true;
    const auto clock = frame();
    save(clock, "clock");
    // The clock line: 520 … 760 across, 10 … 50 up (overlay units, here pixels).
    int lit = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 520; x < 760; ++x)
            for (int c = 0; c < 3; ++c) {
                const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3 + c;
                ASSERT_GE(clock[i] + 1, plain[i]) << "glyph cells pasted instead of added at " << x << ", " << y;
                lit += clock[i] > plain[i] + 40;
            }
    EXPECT_GT(lit, 500);
    // The next frame's clear and sky, drawn with what the clock left, must cover everything; the
    // clear shows the dome picture's own ground colour (green) where the dome ends.
    const float* ground = world->sky.groundColour;
    EXPECT_GT(ground[1], 0.3f);
    EXPECT_GT(ground[1], ground[0]);
    EXPECT_GT(ground[1], ground[2]);
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto next = frame();
    int magenta = 0;
    for (size_t i = 0; i < next.size(); i += 3) magenta += next[i] == 255 && next[i + 1] == 0 && next[i + 2] == 255;
    EXPECT_EQ(magenta, 0);
}

// An error counts once, against the phase it followed; the check off leaves it pending.
TEST(GlCheck, CountsAnErrorAgainstThePhaseItFollowed) {
    if (!testing::haveDisplay()) GTEST_SKIP() << "no display";
    testing::GlWindow w;
    ASSERT_TRUE(w.ok());
    while (glGetError() != GL_NO_ERROR) {
    }
    enableGlCheck(true);
    resetGlErrorCounts();
    glEnable(GL_TEXTURE_ENV);  // not a capability: GL_INVALID_ENUM
    glCheck(FramePhase::Cars);
    glCheck(FramePhase::Overlay);
    EXPECT_EQ(glErrorCount(FramePhase::Cars), 1u);
    EXPECT_EQ(glErrorTotal(), 1u);
    enableGlCheck(false);
    glEnable(GL_TEXTURE_ENV);
    glCheck(FramePhase::Sky);
    EXPECT_EQ(glErrorTotal(), 1u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
    resetGlErrorCounts();
    // Messages and figures tell the phases apart by name.
    for (size_t i = 0; i < kFramePhaseCount; ++i)
        for (size_t j = i + 1; j < kFramePhaseCount; ++j)
            EXPECT_STRNE(kFramePhaseNames[i], kFramePhaseNames[j]);
}

}  // namespace
}  // namespace ravelin
