#include "render/gl_helpers.h"

#include "render/gl.h"

namespace ravelin {

void enterOverlayProjection() {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void leaveOverlayProjection() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
}

void resetTextureMatrix() {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void selectTextureUnit(int unit) {
    if (!multitextureAvailable()) return;
    glExtensions().activeTexture(GL_TEXTURE0_ARB + unit);
    glEnable(GL_TEXTURE_2D);
}

void resetTextureUnits() {
    if (!multitextureAvailable()) return;
    PFNGLACTIVETEXTUREARBPROC active = glExtensions().activeTexture;
    active(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    active(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    active(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
}

void callList(unsigned list) {
    if (list != 0) glCallList(list);
}

void frameMatrix(const TrackFrame& frame) {
    const GLfloat m[16] = {frame.right.x,   frame.right.y,   frame.right.z,   0,
                           frame.forward.x, frame.forward.y, frame.forward.z, 0,
                           frame.up.x,      frame.up.y,      frame.up.z,      0,
                           0,               0,               0,               1};
    glMultMatrixf(m);
}

Frustum extractFrustum() {
    Matrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    Frustum frustum = frustumFromMatrices(projection, modelview);
    GLint viewport[4] = {0, 0, 2, 2};
    glGetIntegerv(GL_VIEWPORT, viewport);
    frustum.screenScale *= 0.5f * static_cast<float>(viewport[3]);
    return frustum;
}

}  // namespace ravelin
