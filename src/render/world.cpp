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

TextureCache& textureCache() {
    static TextureCache cache;
    return cache;
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
    textureCache().clear();
}

void showLoadingScreen(int width, int height) {
    loadingScreen().load(textureCache());
    loadingScreen().show(width, height);
}

void loadFontAndScenes() {
    digitFont().createFont(textureCache());
    overlayScene().load("test.txt", textureCache());
    landScene().load("land.txt", textureCache());
}

void loadSkyAndFlare() {
    sky().load(textureCache());
    lensFlare().load(textureCache());
}

}  // namespace ravelin
