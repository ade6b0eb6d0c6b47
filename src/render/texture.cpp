#include "render/texture.h"

#include <string>

#include "assets/image.h"
#include "render/gl.h"

namespace ravelin {
namespace {

enum class PictureKind { Other, Jpeg, Tga };

PictureKind kindOf(std::string_view name) {
    if (name.size() < 3) return PictureKind::Other;
    std::string_view ext = name.substr(name.size() - 3);
    if (ext == "jpg" || ext == "JPG") return PictureKind::Jpeg;
    if (ext == "tga" || ext == "TGA") return PictureKind::Tga;
    return PictureKind::Other;  // "Jpg", "png", … are not loaded
}

// The upload declares the bytes per pixel; anything else would be read past its end.
bool fitsUpload(const Image& image, int bytesPerPixel) {
    return image.valid() && image.width > 0 && image.height > 0 && image.bytesPerPixel == bytesPerPixel &&
           image.pixels.size() >= static_cast<size_t>(image.width) * image.height * bytesPerPixel;
}

void setMipmapFilters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

}  // namespace

uint32_t TextureCache::cachedName(std::string_view pictureName) const {
    auto it = entries_.find(pictureName);
    return it == entries_.end() ? 0 : it->second;
}

void Texture::load(std::string_view pictureName, TextureCache& cache) { load(pictureName, false, 0, cache); }

void Texture::loadFromResource(std::string_view pictureName, uint16_t resourceId, TextureCache& cache) {
    load(pictureName, true, resourceId, cache);
}

void Texture::load(std::string_view pictureName, bool fromResource, uint16_t resourceId, TextureCache& cache) {
    auto it = cache.entries_.find(pictureName);
    if (it == cache.entries_.end()) it = cache.entries_.emplace(std::string(pictureName), 0u).first;
    if (it->second != 0) {
        name = it->second;
        return;
    }
    PictureKind kind = kindOf(pictureName);
    if (kind == PictureKind::Other) return;
    std::string path = "textures\\";
    path += pictureName;
    Image image;
    if (kind == PictureKind::Jpeg) {
        bool decoded = loadJpeg(path, image, fromResource, resourceId);
        // A failed JPEG still gets a name of its own (cached, so the message shows only once).
        GLuint id = 0;
        glGenTextures(1, &id);
        name = id;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, id);
        if (decoded && fitsUpload(image, 3))
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                              image.pixels.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        setMipmapFilters();
        it->second = id;
        return;
    }
    // TGA: a failure leaves no name, and the next request tries again.
    if (!loadTga(path, image, fromResource, resourceId) || !fitsUpload(image, 4)) {
        name = 0;
        it->second = 0;
        return;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    name = id;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, id);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    setMipmapFilters();
    it->second = id;
}

void Texture::bind() const { glBindTexture(GL_TEXTURE_2D, name); }

void Texture::bindCube() const { glBindTexture(GL_TEXTURE_CUBE_MAP, name); }

void Texture::loadSkyBox(std::string_view baseName) {
    struct Face {
        const char* suffix;
        GLenum target;
    };
    // The bottom picture goes to +Y and the top one to −Y: the reflections expect it so.
    static const Face kFaces[6] = {
        {"_right.jpg", GL_TEXTURE_CUBE_MAP_POSITIVE_X}, {"_left.jpg", GL_TEXTURE_CUBE_MAP_NEGATIVE_X},
        {"_bottom.jpg", GL_TEXTURE_CUBE_MAP_POSITIVE_Y}, {"_top.jpg", GL_TEXTURE_CUBE_MAP_NEGATIVE_Y},
        {"_front.jpg", GL_TEXTURE_CUBE_MAP_POSITIVE_Z}, {"_back.jpg", GL_TEXTURE_CUBE_MAP_NEGATIVE_Z},
    };
    glEnable(GL_TEXTURE_CUBE_MAP);
    GLuint id = 0;
    glGenTextures(1, &id);
    name = id;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, id);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_REPEAT);
    // The sky it holds is soft, and mirrored in a body's flanks it is seen magnified: without
    // mipmaps it looks the same and the rasteriser skips their level-of-detail work per pixel.
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    for (const Face& face : kFaces) {
        std::string path = "textures\\";
        path += baseName;
        path += face.suffix;
        Image image;
        if (loadJpeg(path, image, false, 0) && fitsUpload(image, 3))
            glTexImage2D(face.target, 0, GL_RGB, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         image.pixels.data());
    }
    glDisable(GL_TEXTURE_CUBE_MAP);
}

}  // namespace ravelin
