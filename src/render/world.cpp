#include "render/world.h"

namespace ravelin {

SceneDescription& landScene() {
    static SceneDescription scene;
    return scene;
}

SceneDescription& overlayScene() {
    static SceneDescription scene;
    return scene;
}

Sky& sky() {
    static Sky instance;
    return instance;
}

LensFlare& lensFlare() {
    static LensFlare instance;
    return instance;
}

DigitFont& digitFont() {
    static DigitFont instance;
    return instance;
}

LoadingScreen& loadingScreen() {
    static LoadingScreen instance;
    return instance;
}

OverlaySwitches& overlaySwitches() {
    static OverlaySwitches switches;
    return switches;
}

void resetRenderWorld() {
    landScene() = SceneDescription{};
    overlayScene() = SceneDescription{};
    sky() = Sky{};
    lensFlare() = LensFlare{};
    digitFont() = DigitFont{};
    loadingScreen() = LoadingScreen{};
    clearTextureCache();
}

void showLoadingScreen(int width, int height) {
    loadingScreen().load();
    loadingScreen().show(width, height);
}

void loadFontAndScenes() {
    digitFont().createFont();
    overlayScene().load("test.txt");
    landScene().load("land.txt");
}

void loadSkyAndFlare() {
    sky().load();
    lensFlare().load();
}

}  // namespace ravelin
