// car_gallery DIR: renders the car content through the real renderer and race code, so a person
// can look at it: four frames of each of the seventeen scripted moves (start, a third, two
// thirds, end) and three trackside frames of each of the six looks as the car passes.
// Writes move_NN_K.png and look_L_K.png (800 × 600) into DIR. Needs a display (with_display.sh).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/png_file.h"
#include "app/screensaver_run.h"
#include "base/random.h"
#include "platform/sdl/sdl_platform.h"
#include "race/race_run.h"
#include "render/gl.h"

namespace {

using namespace ravelin;

void follow(CameraDirector& director, Car& car) {
    if (director.target) director.target->followed = false;
    director.target = &car;
    car.followed = true;
}

bool snapshot(ScreensaverRun& run, const std::string& path, int width, int height, std::vector<uint8_t>& pixels) {
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    bool ok = writePng(path, pixels.data(), width, height);
    run.presentFrame();
    return ok;
}

// The race moves on, but the gallery keeps the shot it chose: no shot change, no transition.
// Only the race: the flare keeps its look from picture to picture.
void advance(RunWorld& world, int frames) {
    CameraDirector& director = world.director;
    for (int i = 0; i < frames; ++i) {
        director.shotsSinceTransition = 0;
        director.shotsPerTransition = 1000;
        stepRace(world.race, director, 1.0f / 30.0f);
    }
    director.transitionActive = false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: car_gallery DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    SdlPlatform sdl;
    if (!sdl.videoAvailable()) {
        std::fprintf(stderr, "car_gallery: no display available\n");
        return 1;
    }
    sdl.setNonBlocking(true);
    sdl.setFullScreen(false);
    LocalTime noon{12, 0, 0};
    sdl.setFixedLocalTime(&noon);
    rng().seed(7);
    int width = 800, height = 600;
    WindowHandle window = platform().createMainWindow({0, 0, width, height});
    if (!window) {
        std::fprintf(stderr, "car_gallery: cannot create the window\n");
        return 1;
    }
    platform().clientSize(window, width, height);
    // The saver's own run, silent, driven by hand.
    auto run = std::make_unique<ScreensaverRun>();
    run->setUpGl(50, true);
    platform().showWindow(window);
    run->windowSized(width, height);
    run->showLoadingScreen(width, height);
    run->loadWorld();

    RunWorld& world = run->world();
    CameraDirector& director = world.director;
    RaceState& race = world.race;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    char name[512];
    int written = 0;
    for (int move = 0; move < 17; ++move) {
        const auto& keys = race.tracks[static_cast<size_t>(move)].keys();
        const float end = keys.empty() ? 0.0f : keys.back().time;
        for (int k = 0; k < 4; ++k) {
            advance(world, 12);
            follow(director, race.cars[static_cast<size_t>(move % 6)]);
            director.scripted = true;
            director.track = move;
            director.trackTime = k < 3 ? end * static_cast<float>(k) / 3.0f : end - 0.5f;
            director.shotFinished = false;
            director.update();
            director.computeView();
            run->drawFrame(0.0f);
            std::snprintf(name, sizeof name, "%s/move_%02d_%d.png", dir.c_str(), move, k);
            written += snapshot(*run, name, width, height, pixels);
        }
    }
    for (int look = 0; look < 6; ++look) {
        Car& car = race.cars[static_cast<size_t>(look)];
        follow(director, car);
        director.scripted = false;
        director.pointsPassed = 0;
        director.setUpTrackside();
        for (int k = 0; k < 3; ++k) {
            advance(world, k == 0 ? 40 : 15);
            follow(director, car);
            director.computeView();
            run->drawFrame(0.0f);
            std::snprintf(name, sizeof name, "%s/look_%d_%d.png", dir.c_str(), look, k);
            written += snapshot(*run, name, width, height, pixels);
        }
    }
    std::printf("car_gallery: %d pictures written to %s\n", written, dir.c_str());
    run.reset();
    platform().destroyGlContext();
    return 0;
}
