#include "app/frame_composition.h"

#include <cmath>

#include "platform/platform.h"
#include "render/gl.h"
#include "render/gl_helpers.h"
#include "render/world.h"

namespace ravelin {
namespace {

FrameHooks gHooks;
CameraPose gView;
float gTestCameraAngle = 0.0f;

void applyTestCamera(CameraPose& view) {
    const float radius = 40.0f;
    view.eye = {radius * std::cos(gTestCameraAngle), radius * std::sin(gTestCameraAngle), 6.0f};
    view.direction = normalize(Vec3{0, 0, 1.0f} - view.eye);
    view.up = {0, 0, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 4.0 / 3.0, 0.02, 250.0);
    glMatrixMode(GL_MODELVIEW);
    Vec3 at = view.eye + view.direction;
    gluLookAt(view.eye.x, view.eye.y, view.eye.z, at.x, at.y, at.z, view.up.x, view.up.y, view.up.z);
}

}  // namespace

void setFrameHooks(const FrameHooks& hooks) { gHooks = hooks; }
const FrameHooks& frameHooks() { return gHooks; }
const CameraPose& lastCameraPose() { return gView; }

void advanceTestCamera(float dt) {
    gTestCameraAngle += dt * 0.15f;
    if (gTestCameraAngle > 6.2831853f) gTestCameraAngle -= 6.2831853f;
}

void drawWorldForCapture() {
    // 1. Only depth is cleared: the sky dome covers every pixel.
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    // 2.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // 3.
    const GLfloat diffuse[] = {1, 1, 1, 1};
    const GLfloat ambient[] = {0, 0, 0, 0};
    const GLfloat specular[] = {0.009f, 0.009f, 0.001f, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 56.5f);
    // 4.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (gHooks.applyCamera)
        gHooks.applyCamera(gView);
    else
        applyTestCamera(gView);
    // 5.
    sky().draw(gView.eye);
    // 6.
    Frustum frustum = extractFrustum();
    // 7.
    landScene().draw(frustum);
    // 8.
    resetTextureMatrix();
    resetTextureUnits();
    // 9.
    if (gHooks.drawCars) gHooks.drawCars(frustum);
    // 10.
    if (multitextureAvailable()) {
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_CUBE_MAP);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        selectTextureUnit(0);
    }
    // 11.
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glColor4f(1, 1, 1, 1);
    resetTextureUnits();
    // 12.
    overlayScene().draw(frustum);
    // 13.
    lensFlare().draw(gView);
}

void drawFrame(float dt) {
    drawWorldForCapture();
    // 14.
    if (gHooks.drawTransition) gHooks.drawTransition(dt);
    // 15.
    glColor4f(1, 1, 1, 1);
    // 16.
    const OverlaySwitches& overlay = overlaySwitches();
    digitFont().drawOverlay(dt, overlay.showFps, overlay.showClock, overlay.twelveHour);
}

void presentFrame() {
    glFlush();
    platform().swapBuffers();
}

void composeFrame(float dt) {
    drawFrame(dt);
    presentFrame();
}

}  // namespace ravelin
