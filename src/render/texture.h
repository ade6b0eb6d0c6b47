// Texture: a GL texture name loaded by picture name through the process-wide cache (one decode
// and upload per distinct name), and the sky-box cube map. GL objects live until the context
// goes; nothing here deletes them.
#pragma once

#include <cstdint>
#include <string_view>

namespace ravelin {

class Texture {
public:
    // name: "grass.jpg", "wheel.tga"; with fromResource the blob "CustomData"/resourceId is the
    // picture and name only the cache key.
    void load(std::string_view name, bool fromResource = false, uint16_t resourceId = 0);
    void bind() const;
    void loadSkyBox(std::string_view baseName);  // "skybox" → six "textures\skybox_*.jpg" faces
    void bindCube() const;
    uint32_t name = 0;
};

// The cache's value for a picture name (0 when never requested or not loaded).
uint32_t cachedTextureName(std::string_view name);
// Forgets every entry without deleting GL textures: for tests that destroy their context.
void clearTextureCache();

}  // namespace ravelin
