// The director's GL side in a real context (Mesa under Xvfb): the camera matrices, the capture
// into the transition texture (also from a window too small for the 512 × 512 square at
// (20, 20)), and each transition style half-way, read back as pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/png_file.h"
#include "gl_window.h"
#include "race/camera_director.h"
#include "render/gl.h"

namespace ravelin {
namespace {

using testing::GlWindow;

// With RAVELIN_RACE_PICTURES set to a folder, the screen is saved there for a look.
void dump(const GlWindow& w, const std::string& name) {
    const char* folder = std::getenv("RAVELIN_RACE_PICTURES");
    if (folder == nullptr || *folder == '\0') return;
    std::vector<uint8_t> rgb(static_cast<size_t>(w.width()) * w.height() * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w.width(), w.height(), GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    writePng(std::string(folder) + "/" + name + ".png", rgb.data(), w.width(), w.height());
}

struct Rgb {
    int r, g, b;
};

Rgb pixel(int x, int y) {
    uint8_t rgb[3] = {0, 0, 0};
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

void expectColour(Rgb c, int r, int g, int b, int tolerance = 3) {
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}

void fillScreen(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The "scene" of the capture: the whole viewport red, with a green square in its lower-left
// quarter so that a picture's orientation shows.
void redScene() {
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    glEnable(GL_SCISSOR_TEST);
    glScissor(v[0], v[1], v[2], v[3]);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(v[0], v[1], v[2] / 2, v[3] / 2);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void captureRed(CameraDirector& d, const GlWindow& w) {
    d.createTransitionTexture();
    d.beginCapture(w.width(), w.height());
    redScene();
    d.endCapture();
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[2], w.width());
    EXPECT_EQ(v[3], w.height());
    glEnable(GL_TEXTURE_2D);
}

TEST(DirectorGl, ApplySetsTheFourThirdsProjectionAndTheView) {
    GlWindow w(800, 600);
    REQUIRE_GL(w);
    Car car;
    car.frame.position = {1, 10, 3};
    car.frame.forward = {0, 1, 0};
    car.frame.right = {1, 0, 0};
    car.frame.up = {0, 0, 1};
    CameraDirector d;
    d.target = &car;
    d.scripted = false;
    d.tracksideEye = {1, 2, 3};
    d.fixedFieldOfView = true;
    d.baseFieldOfView = 60.0f;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    d.apply();
    GLfloat p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // gluPerspective(60, 4/3, 0.02, 250): f = cot 30° = 1.7320508.
    EXPECT_NEAR(p[0], 1.2990381f, 1e-5f);
    EXPECT_NEAR(p[5], 1.7320508f, 1e-5f);
    EXPECT_NEAR(p[10], -250.02f / 249.98f, 1e-5f);
    EXPECT_NEAR(p[11], -1.0f, 1e-6f);
    EXPECT_NEAR(p[14], -10.0f / 249.98f, 1e-6f);
    // Looking along +Y from (1, 2, 3) with Z up: rows (1,0,0), (0,0,1), (0,−1,0); translation
    // −R·eye = (−1, −3, 2).
    const float expected[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, -1, -3, 2, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-5f) << i;
}

TEST(DirectorGl, FadeHalfWayMixesWithTheScene) {
    GlWindow w(800, 600);
    REQUIRE_GL(w);
    CameraDirector d;
    captureRed(d, w);
    EXPECT_EQ(d.captureExtent, 1.0f);
    fillScreen(0, 0, 1);
    d.transitionActive = true;
    d.transitionStyle = 0;
    d.drawTransition(1.0f);  // x = 0.5, alpha 0.5
    expectColour(pixel(600, 450), 128, 0, 127, 4);  // red half over blue
    expectColour(pixel(100, 100), 0, 128, 127, 4);  // the green corner
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
}

TEST(DirectorGl, SlideHalfWayShowsTheSceneOnTheLeft) {
    GlWindow w(800, 600);
    REQUIRE_GL(w);
    CameraDirector d;
    captureRed(d, w);
    fillScreen(0, 0, 1);
    d.transitionActive = true;
    d.transitionStyle = 1;
    d.drawTransition(1.0f);  // moved right by 400 of 800
    expectColour(pixel(200, 450), 0, 0, 255);
    expectColour(pixel(700, 450), 255, 0, 0);
    expectColour(pixel(450, 100), 0, 255, 0);  // the green corner now starts at x = 400
}

TEST(DirectorGl, TumbleAndSpinHalfWay) {
    GlWindow w(800, 600);
    REQUIRE_GL(w);
    CameraDirector d;
    captureRed(d, w);
    for (int style : {2, 3}) {
        fillScreen(0, 0, 1);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        d.transitionActive = true;
        d.transitionElapsed = 0.0f;
        d.transitionStyle = style;
        d.drawTransition(1.0f);
        dump(w, "transition_style" + std::to_string(style));
        // The centre is still covered; the scene shows behind the tipped or shrunken picture.
        const Rgb centre = pixel(400, 300);
        if (style == 2) {
            expectColour(centre, 255, 0, 0, 4);
        } else {
            EXPECT_GT(centre.b, 100);  // half transparent
            EXPECT_GT(centre.r + centre.g, 100);
        }
        expectColour(pixel(795, 5), 0, 0, 255);
        expectColour(pixel(795, 300), 0, 0, 255);  // the right edge has tipped away
        if (style == 3) expectColour(pixel(5, 595), 0, 0, 255);
        // The projection was pushed and popped: the identity loaded above is back.
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        EXPECT_EQ(p[0], 1.0f);
        EXPECT_EQ(p[14], 0.0f);
        glDisable(GL_LIGHTING);
    }
}

TEST(DirectorGl, AfterTwoSecondsNothingIsDrawn) {
    GlWindow w(800, 600);
    REQUIRE_GL(w);
    CameraDirector d;
    captureRed(d, w);
    fillScreen(0, 0, 1);
    d.transitionActive = true;
    d.transitionStyle = 1;
    d.drawTransition(2.5f);
    EXPECT_FALSE(d.transitionActive);
    expectColour(pixel(700, 450), 0, 0, 255);
    expectColour(pixel(100, 450), 0, 0, 255);
}

TEST(DirectorGl, SmallWindowCapturesItsLargestSquare) {
    GlWindow w(400, 300);
    REQUIRE_GL(w);
    CameraDirector d;
    captureRed(d, w);
    EXPECT_NEAR(d.captureExtent, 300.0f / 512.0f, 1e-6f);
    fillScreen(0, 0, 1);
    d.transitionActive = true;
    d.transitionStyle = 1;
    d.drawTransition(0.0001f);  // barely moved: the picture covers the screen
    expectColour(pixel(390, 290), 255, 0, 0);
    expectColour(pixel(10, 10), 0, 255, 0);
    expectColour(pixel(190, 140), 0, 255, 0);  // the green quarter ends half-way
    expectColour(pixel(210, 160), 255, 0, 0);
}

}  // namespace
}  // namespace ravelin
