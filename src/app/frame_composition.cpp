#include "app/frame_composition.h"

#include "platform/platform.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

// Depth writes on and only depth cleared (the sky dome covers every pixel, so colour never needs
// clearing); the usual blend function; the front material every lit part starts from.
void beginPicture() {
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const GLfloat diffuse[] = {1, 1, 1, 1};
    const GLfloat ambient[] = {0, 0, 0, 0};
    const GLfloat specular[] = {0.009f, 0.009f, 0.001f, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 56.5f);
}

// The director's projection and view over an identity modelview; the pose it applied places the
// sky and the flare.
CameraPose applyCamera(CameraDirector& director) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    director.apply();
    return director.pose();
}

// The overlay scene starts from plain state, whatever the car passes left: unit 1 without cube
// mapping and modulating again, no lighting or blending, depth writes on, white, units reset.
void leaveCarPasses() {
    if (multitextureAvailable()) {
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_CUBE_MAP);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        selectTextureUnit(0);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glColor4f(1, 1, 1, 1);
    resetTextureUnits();
}

}  // namespace

void drawWorldPicture(RunWorld& world) {
    beginPicture();
    const CameraPose camera = applyCamera(world.director);
    world.sky.draw(camera.eye);
    // The scenes and the cars cull against the view as the camera left it.
    const Frustum frustum = extractFrustum();
    world.landScene.draw(frustum);
    resetTextureMatrix();
    resetTextureUnits();
    drawCars(world.race.cars, world.race.assets, frustum);
    leaveCarPasses();
    world.overlayScene.draw(frustum);
    world.flare.draw(camera);
}

void drawFrame(RunWorld& world, float dt) {
    drawWorldPicture(world);
    if (world.director.transitionActive) world.director.drawTransition(dt);
    glColor4f(1, 1, 1, 1);
    world.font.drawOverlay(dt, world.overlay);
}

void presentFrame() {
    glFlush();
    platform().swapBuffers();
}

}  // namespace ravelin
