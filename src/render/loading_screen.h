// The loading screen: a title picture and four corner pieces from embedded resources, drawn
// once and presented before any archive asset is read. One in each run's world.
#pragma once

#include <cstdint>

#include "render/texture.h"

namespace ravelin {

struct LoadingScreen {
    uint32_t unitQuad = 0;
    Texture title;
    Texture corners[4];  // bottom right, bottom left, top left, top right

    void load(TextureCache& textures);
    // width, height: the window's size in pixels. Draws and swaps.
    void show(int width, int height) const;
    // Everything but the swap (tests read the back buffer).
    void draw(int width, int height) const;
};

// Resource ids of the pictures.
constexpr uint16_t kLoadingTitleResource = 127;
constexpr uint16_t kLoadingCornerResources[4] = {120, 121, 122, 123};

}  // namespace ravelin
