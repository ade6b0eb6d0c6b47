// Texture: a GL texture name loaded by picture name through the run's texture cache (one decode
// and upload per distinct name), and the sky-box cube map. The cache belongs to the run's world;
// GL objects live until the context goes and nothing here deletes them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace ravelin {

// The GL texture name each picture name was given, so that every later request for the same
// picture shares it.
class TextureCache {
public:
    // The name cached for a picture (0 when never requested or not loaded).
    uint32_t cachedName(std::string_view pictureName) const;
    // Forgets every entry without deleting GL textures (their context is gone).
    void clear() { entries_.clear(); }

private:
    friend class Texture;
    // Compared byte for byte: "Road.JPG" and "road.jpg" are two entries.
    std::map<std::string, uint32_t, std::less<>> entries_;
};

class Texture {
public:
    // "grass.jpg", "wheel.tga": the picture "textures\" + name from the archive.
    void load(std::string_view pictureName, TextureCache& cache);
    // The picture is the blob "CustomData"/resourceId; pictureName is only its cache key.
    void loadFromResource(std::string_view pictureName, uint16_t resourceId, TextureCache& cache);
    void bind() const;
    void loadSkyBox(std::string_view baseName);  // "skybox" → six "textures\skybox_*.jpg" faces
    void bindCube() const;
    uint32_t name = 0;

private:
    void load(std::string_view pictureName, bool fromResource, uint16_t resourceId, TextureCache& cache);
};

}  // namespace ravelin
