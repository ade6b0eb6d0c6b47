#include "render/sky.h"

#include <vector>

#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

// The mean colour of the bottom row (t = 0, where the dome's lowest ring samples) of a small
// mipmap level of the bound texture: a few rows of the picture averaged, read once at load.
bool bottomRowColour(float rgb[3]) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) return false;
    int level = 0;
    while ((height >> level) > 32 && (width >> level) > 1) ++level;
    const int w = width >> level > 0 ? width >> level : 1;
    const int h = height >> level > 0 ? height >> level : 1;
    std::vector<unsigned char> texels(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    double sum[3] = {0, 0, 0};
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c) sum[c] += texels[static_cast<size_t>(x) * 3 + c];
    for (int c = 0; c < 3; ++c) rgb[c] = static_cast<float>(sum[c] / w / 255.0);
    return true;
}

}  // namespace

void Sky::load(TextureCache& textures) {
    dome.load("skydome");
    texture.load("skydome.jpg", textures);
    if (texture.name == 0) return;
    texture.bind();
    bottomRowColour(groundColour);
    // Seen from inside at any usual field of view the picture is magnified (a few texels per
    // degree against tens of pixels), so the mipmaps would never be chosen; without them the
    // rasteriser skips the level-of-detail work on every pixel of the dome.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void Sky::clear() const {
    glClearColor(groundColour[0], groundColour[1], groundColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Sky::draw(Vec3 eye) const {
    glPushMatrix();
    // The dome's origin follows the camera; its orientation stays the world's.
    glTranslatef(eye.x, eye.y, eye.z);
    texture.bind();
    // Neither tests nor writes depth: everything later is in front of it, and the flare's
    // occlusion test sees the cleared depth wherever only sky shows.
    glDisable(GL_DEPTH_TEST);
    resetTextureMatrix();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    if (dome.list != 0) glCallList(dome.list);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}

}  // namespace ravelin
