#include "render/sky.h"

#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {

void Sky::load(TextureCache& textures) {
    dome.load("skydome");
    texture.load("skydome.jpg", textures);
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
