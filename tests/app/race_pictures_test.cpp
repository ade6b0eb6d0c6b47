// The race filmed in the generated world: a trackside shot, a scripted shot and each transition
// style half-way, drawn through the real frame composition. With RAVELIN_RACE_PICTURES set to a
// folder the pictures are written there to be looked at. Skips without a display or an archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/png_file.h"
#include "app/screensaver_run.h"
#include "assets/asset_file.h"
#include "base/random.h"
#include "gl_window.h"
#include "platform/fake/fake_platform.h"
#include "race/race_run.h"
#include "render/gl.h"

namespace ravelin {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr float kDt = 1.0f / 30.0f;

class RacePictures : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::haveDisplay()) GTEST_SKIP() << "no display (run under scripts/with_display.sh)";
        std::vector<uint8_t> archive = testing::generatedArchive();
        if (archive.empty()) GTEST_SKIP() << "no generated archive in " RAVELIN_ASSET_DIR;
        fake.addResource(kCustomDataType, kArchiveResourceId, std::move(archive));
        window = std::make_unique<testing::GlWindow>(kWidth, kHeight);
        ASSERT_TRUE(window->ok()) << SDL_GetError();
        testing::GlWindow::useMultitexture(true);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override {
        run.reset();
        testing::GlWindow::useMultitexture(false);
        window.reset();
    }

    void save(const std::string& name) {
        const char* folder = std::getenv("RAVELIN_RACE_PICTURES");
        if (folder == nullptr || *folder == '\0') return;
        const std::vector<uint8_t> rgb = window->readAll();
        writePng(std::string(folder) + "/" + name + ".png", rgb.data(), kWidth, kHeight);
    }

    FakePlatform fake;
    std::unique_ptr<testing::GlWindow> window;
    std::unique_ptr<ScreensaverRun> run = std::make_unique<ScreensaverRun>();
};

TEST_F(RacePictures, ShotsAndTransitions) {
    rng().seed(7);
    run->windowSized(kWidth, kHeight);
    run->loadWorld();
    RunWorld& world = run->world();
    CameraDirector& d = world.director;
    // Between pictures only the race moves (the flare keeps its look).
    auto updateRace = [&](float dt) { stepRace(world.race, d, dt); };

    // Only the frames that are looked at are drawn; the animation runs without drawing between.
    bool trackside = false, scripted = false;
    // Scripted shots need the camera tracks; without them each one ends at once.
    const bool haveTracks = world.race.tracks[0].ready();
    if (!haveTracks) scripted = true;
    int frames = 0;
    float shotAge = 0.0f;
    while ((!trackside || !scripted) && frames < 30 * 60 * 10) {
        const bool wasScripted = d.scripted;
        const Car* wasTarget = d.target;
        updateRace(kDt);
        ++frames;
        shotAge = (d.scripted == wasScripted && d.target == wasTarget && !d.shotFinished) ? shotAge + kDt : 0.0f;
        if (shotAge > 1.5f && shotAge < 1.5f + kDt) {
            run->drawFrame(kDt);
            ASSERT_TRUE(d.target->visible) << "the followed car is in view";
            if (d.scripted && !scripted) {
                save("scripted_shot");
                scripted = true;
            } else if (!d.scripted && !trackside) {
                save("trackside_shot");
                trackside = true;
            }
        }
    }
    EXPECT_TRUE(trackside);
    EXPECT_TRUE(scripted);
    if (!haveTracks) std::printf("no camera tracks in the archive yet: no scripted picture\n");

    for (int style = 0; style < 4; ++style) {
        // Make the current shot the last of its run, then wait for its end.
        d.shotsPerTransition = d.shotsSinceTransition;
        while (!d.transitionActive) updateRace(kDt);
        d.transitionStyle = style;
        while (d.transitionElapsed + kDt < 1.0f) {
            updateRace(kDt);
            float x = 0.0f;
            d.ageTransition(kDt, x);
        }
        updateRace(kDt);
        run->drawFrame(kDt);  // ages to x ≈ 0.5 and draws
        EXPECT_TRUE(d.transitionActive);
        save("transition_style" + std::to_string(style));
        while (d.transitionActive) {
            float x = 0.0f;
            d.ageTransition(kDt, x);
        }
    }
}

// The dome stops a little under the horizon and the frame clears to the ground colour below it:
// the ground drawn over it must leave nothing of the clear showing, from any camera.
TEST_F(RacePictures, TheDomeAndTheGroundLeaveNoGap) {
    rng().seed(11);
    run->windowSized(kWidth, kHeight);
    run->loadWorld();
    RunWorld& world = run->world();
    const float magenta[3] = {1.0f, 0.0f, 1.0f};
    std::copy(magenta, magenta + 3, world.sky.groundColour);
    for (int picture = 0; picture < 40; ++picture) {
        for (int i = 0; i < 45; ++i) stepRace(world.race, world.director, kDt);
        run->drawFrame(kDt);
        const std::vector<uint8_t> rgb = window->readAll();
        int gaps = 0;
        for (size_t p = 0; p + 2 < rgb.size(); p += 3) gaps += rgb[p] == 255 && rgb[p + 1] == 0 && rgb[p + 2] == 255;
        EXPECT_EQ(gaps, 0) << "picture " << picture;
    }
}

}  // namespace
}  // namespace ravelin
