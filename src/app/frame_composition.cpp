#include "app/frame_composition.h"

#include "app/gl_check.h"
#include "platform/platform.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

// Depth writes on, colour and depth cleared (colour to the sky's ground colour, which shows where
// the dome ends below the horizon and nothing else is drawn); the usual blend function; the front
// material every lit part starts from.
void beginPicture(const Sky& sky) {
    glDepthMask(GL_TRUE);
    sky.clear();
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

void drawWorldPicture(RunWorld& world, FramePhaseObserver* phases) {
    CameraPose camera;
    Frustum frustum;
    runPhase(phases, FramePhase::Sky, [&] {
        beginPicture(world.sky);
        camera = applyCamera(world.director);
        world.sky.draw(camera.eye);
        // The scenes and the cars cull against the view as the camera left it.
        frustum = extractFrustum();
    });
    runPhase(phases, FramePhase::Land, [&] { world.landScene.draw(frustum); });
    runPhase(phases, FramePhase::Cars, [&] {
        resetTextureMatrix();
        resetTextureUnits();
        drawCars(world.race.cars, world.race.assets, frustum);
        leaveCarPasses();
    });
    runPhase(phases, FramePhase::Overlay, [&] { world.overlayScene.draw(frustum); });
    runPhase(phases, FramePhase::Flare, [&] { world.flare.draw(camera); });
}

void drawFrame(RunWorld& world, float dt, FramePhaseObserver* phases) {
    drawWorldPicture(world, phases);
    runPhase(phases, FramePhase::Transition, [&] {
        if (world.director.transitionActive) world.director.drawTransition(dt);
    });
    runPhase(phases, FramePhase::Texts, [&] {
        glColor4f(1, 1, 1, 1);
        world.font.drawOverlay(dt, world.overlay);
    });
}

void presentFrame(FramePhaseObserver* phases) {
    runPhase(phases, FramePhase::Present, [] {
        glFlush();
        platform().swapBuffers();
    });
}

}  // namespace ravelin
