#include "render/loading_screen.h"

#include "platform/platform.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

const char* const kCornerNames[4] = {"4loader_rd.tga", "4loader_ld.tga", "4loader_lu.tga", "4loader_ru.tga"};

}  // namespace

void LoadingScreen::load(TextureCache& textures) {
    unitQuad = glGenLists(1);
    glNewList(unitQuad, GL_COMPILE);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glEnd();
    glEndList();
    glFinish();
    title.loadFromResource("load.jpg", kLoadingTitleResource, textures);
    for (int i = 0; i < 4; ++i) corners[i].loadFromResource(kCornerNames[i], kLoadingCornerResources[i], textures);
}

void LoadingScreen::draw(int width, int height) const {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    enterOverlayProjection();
    glColor4f(1, 1, 1, 1);
    title.bind();
    glTranslatef(400, 300, 0);
    glScalef(100, 25, 1);
    glCallList(unitQuad);
    leaveOverlayProjection();

    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Each corner covers 256 × 128 pixels whatever the resolution. A window that reports no
    // size is drawn as if it were the 800 × 600 virtual screen.
    if (width <= 0) width = 800;
    if (height <= 0) height = 600;
    const float w = (256.0f / static_cast<float>(width)) * 800.0f;
    const float h = (128.0f / static_cast<float>(height)) * 600.0f;
    const float x0[4] = {800 - w, 0, 0, 800 - w};
    const float y0[4] = {0, 0, 600 - h, 600 - h};
    for (int i = 0; i < 4; ++i) {
        enterOverlayProjection();
        corners[i].bind();
        glTranslatef(x0[i] + w / 2, y0[i] + h / 2, 0);
        glScalef(w / 2, h / 2, 1);
        glCallList(unitQuad);
        glFinish();
        leaveOverlayProjection();
    }
    glEnable(GL_LIGHTING);
}

void LoadingScreen::show(int width, int height) const {
    draw(width, height);
    platform().swapBuffers();
}

}  // namespace ravelin
