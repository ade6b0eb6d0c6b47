// The GL side of the camera director: the capture texture, the camera matrices, the transition
// capture and the transition picture. Called by the run's loading, its transition capture and
// the frame composition.
#include <algorithm>
#include <vector>

#include "race/camera_director.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {

namespace {

void texturedQuad(float left, float bottom, float right, float top, float extent) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, bottom);
    glTexCoord2f(extent, 0.0f);
    glVertex2f(right, bottom);
    glTexCoord2f(extent, extent);
    glVertex2f(right, top);
    glTexCoord2f(0.0f, extent);
    glVertex2f(left, top);
    glEnd();
}

}  // namespace

void CameraDirector::createTransitionTexture() {
    // The picture is undefined until the first capture fills it; zeros keep tools quiet.
    std::vector<uint8_t> blank(static_cast<size_t>(kTransitionTextureSize) * kTransitionTextureSize * 3, 0);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, kTransitionTextureSize, kTransitionTextureSize, GL_RGB,
                      GL_UNSIGNED_BYTE, blank.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    transitionTexture = name;
}

void CameraDirector::apply() {
    computeView();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, 1.3333333333333333, 0.02, 250.0);
    glMatrixMode(GL_MODELVIEW);
    const Vec3 centre = eye + direction;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void CameraDirector::beginCapture(int windowWidth, int windowHeight) {
    int width = windowWidth;
    int height = windowHeight;
    if (width <= 0 || height <= 0) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        width = viewport[2];
        height = viewport[3];
    }
    // The capture square sits at (20, 20) and is 512 wide. A window too small for that captures
    // the largest square from its corner instead, and the transition shows only that part of the
    // texture, so the picture still fills the screen.
    int origin = kTransitionViewportOrigin;
    int size = kTransitionTextureSize;
    if (width < origin + size || height < origin + size) {
        origin = 0;
        size = std::max(1, std::min({kTransitionTextureSize, width, height}));
    }
    captureExtent = static_cast<float>(size) / static_cast<float>(kTransitionTextureSize);
    captureOrigin_ = origin;
    captureSize_ = size;
    restoreWidth_ = width;
    restoreHeight_ = height;

    glViewport(origin, origin, size, size);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void CameraDirector::endCapture() {
    glFlush();
    glBindTexture(GL_TEXTURE_2D, transitionTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, captureOrigin_, captureOrigin_, captureSize_, captureSize_);
    glViewport(0, 0, restoreWidth_, restoreHeight_);
}

void CameraDirector::drawTransition(float dt) {
    float x = 0.0f;
    if (!ageTransition(dt, x)) return;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, transitionTexture);
    switch (transitionStyle) {
        case 0:  // fade
        case 1:  // slide
            glColor4f(1.0f, 1.0f, 1.0f, transitionStyle == 0 ? 1.0f - x : 1.0f);
            enterOverlayProjection();
            if (transitionStyle == 1) glTranslatef(x * 800.0f, 0.0f, 0.0f);
            texturedQuad(0.0f, 0.0f, 800.0f, 600.0f, captureExtent);
            leaveOverlayProjection();
            break;
        default:  // 2 tumble, 3 spin away
            glColor4f(1.0f, 1.0f, 1.0f, transitionStyle == 3 ? 1.0f - x : 1.0f);
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            glFrustum(-4.0, 4.0, -3.0, 3.0, 5.0, 500.0);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            if (transitionStyle == 2) {
                glTranslatef(0.0f, 0.0f, -15.0f);
                glRotatef(x * 90.0f, 1.0f, 1.0f, 0.0f);
            } else {
                glTranslatef(0.0f, 0.0f, -15.0f - 40.0f * x);
                glRotatef(x * 180.0f, 0.0f, 0.0f, 1.0f);
            }
            texturedQuad(-12.0f, -9.0f, 12.0f, 9.0f, captureExtent);
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            break;
    }
    glEnable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace ravelin
