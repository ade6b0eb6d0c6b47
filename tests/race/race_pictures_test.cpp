// The race filmed in the generated world: a trackside shot, a scripted shot and each transition
// style half-way, drawn through the real frame composition. With RAVELIN_RACE_PICTURES set to a
// folder the pictures are written there to be looked at. Skips without a display or an archive.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/png_file.h"
#include "app/screensaver_run.h"
#include "assets/asset_file.h"
#include "base/random.h"
#include "platform/fake/fake_platform.h"
#include "race/race_run.h"
#include "render/gl.h"

namespace ravelin {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr float kDt = 1.0f / 30.0f;

std::vector<uint8_t> readArchive() {
    std::ifstream in(std::string(RAVELIN_ASSET_DIR) + "/archive.rar", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RacePictures : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display (run under scripts/with_display.sh)";
        std::vector<uint8_t> archive = readArchive();
        if (archive.empty()) GTEST_SKIP() << "no generated archive in " RAVELIN_ASSET_DIR;
        fake.addResource(kCustomDataType, kArchiveResourceId, std::move(archive));
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("race", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
        SDL_GL_MakeCurrent(window, context);
        GlExtensions& ext = glExtensions();
        ext.activeTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glActiveTextureARB"));
        ext.clientActiveTexture =
            reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glClientActiveTextureARB"));
        ext.multiTexCoord2f = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fARB"));
        ext.multiTexCoord2fv =
            reinterpret_cast<PFNGLMULTITEXCOORD2FVARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fvARB"));
        ext.multitextureAvailable = ext.activeTexture && ext.multiTexCoord2f && ext.multiTexCoord2fv;
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override {
        run.reset();
        glExtensions() = GlExtensions{};
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        // The video subsystem stays up: unloading the GL driver would leave its allocations
        // unattributable for the leak checker, which knows the driver only while it is loaded.
    }

    void save(const std::string& name) {
        const char* folder = std::getenv("RAVELIN_RACE_PICTURES");
        if (folder == nullptr || *folder == '\0') return;
        std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        writePng(std::string(folder) + "/" + name + ".png", rgb.data(), kWidth, kHeight);
    }

    FakePlatform fake;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::unique_ptr<ScreensaverRun> run = std::make_unique<ScreensaverRun>();
};

TEST_F(RacePictures, ShotsAndTransitions) {
    rng().seed(7);
    run->windowSized(kWidth, kHeight);
    run->loadFontAndScenes();
    run->loadRaceEarly();
    run->loadSkyAndFlare();
    run->loadRaceLate();
    run->startShots();
    run->setOverlay(false, false, false);
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

}  // namespace
}  // namespace ravelin
