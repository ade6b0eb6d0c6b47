// GL tests: drawing into a real context (Mesa's software rasteriser under Xvfb) and reading the
// state and the pixels back. Each test builds its own small archive of assets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/png_file.h"
#include "render/digit_font.h"
#include "render/gl_helpers.h"
#include "render/gl_setup.h"
#include "render/lens_flare.h"
#include "render/loading_screen.h"
#include "render/mesh.h"
#include "render/scene.h"
#include "render/technique.h"
#include "render/texture.h"
#include "gl_window.h"
#include "render_test_support.h"

namespace ravelin {
namespace {

using testing::GlWindow;
using testing::TestArchive;

// The pictures the tests load, shared by the whole file and emptied around each test.
TextureCache& textures() {
    static TextureCache cache;
    return cache;
}

class GlTest : public ::testing::Test {
protected:
    void SetUp() override { textures().clear(); }
    void TearDown() override {
        textures().clear();
        GlWindow::useMultitexture(false);
    }
    FakePlatform fake;
};

GLint integer(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// ----- techniques -----

Technique applied(FakePlatform& fake, const std::string& text) {
    TestArchive()
        .text("technique\\t.txt", text)
        .add("textures\\road.jpg", testing::solidJpeg(8, 8, 128, 128, 128))
        .add("textures\\lmap.jpg", testing::solidJpeg(8, 8, 200, 200, 200))
        .install(fake);
    Technique t;
    t.load("t.txt", textures());
    t.apply();
    return t;
}

TEST_F(GlTest, TechniqueOnlyEndGivesTheDefaultState) {
    GlWindow w;
    REQUIRE_GL(w);
    GlWindow::useMultitexture(true);
    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    applied(fake, "end\r\n");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(GlTest, TechniquePassZeroAndPassOne) {
    GlWindow w;
    REQUIRE_GL(w);
    applied(fake, "pass 0\r\nend\r\n");
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    applied(fake, "addblend\r\npass 1\r\nend\r\n");
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
}

TEST_F(GlTest, TechniqueMisspeltDepthwriteKeepsDepthWrites) {
    GlWindow w;
    REQUIRE_GL(w);
    applied(fake, "depthwrite\r\nend\r\n");
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    applied(fake, "depth write\r\nmultblend\r\nend\r\n");
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_DST_COLOR);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ZERO);
}

TEST_F(GlTest, TechniqueTiledScalesTheUnitZeroTextureMatrix) {
    GlWindow w;
    REQUIRE_GL(w);
    GlWindow::useMultitexture(true);
    applied(fake, "texture 0 road.jpg\r\ntiled 5\r\nend\r\n");
    GLfloat m[16];
    GlExtensions& ext = glExtensions();
    ext.activeTexture(GL_TEXTURE0_ARB);
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 5.0f);
    EXPECT_FLOAT_EQ(m[5], 5.0f);
    EXPECT_FLOAT_EQ(m[10], 5.0f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), textures().cachedName("road.jpg"));
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST_F(GlTest, TechniqueAlphaTestOn) {
    GlWindow w;
    REQUIRE_GL(w);
    applied(fake, "alpha test on\r\nend\r\n");
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_NEAR(ref, 0.4f, 1e-6);
}

TEST_F(GlTest, TechniqueSecondTextureWithoutMultitextureIsLoadedButNeverBound) {
    GlWindow w;
    REQUIRE_GL(w);
    GlWindow::useMultitexture(false);
    applied(fake, "texture 0 road.jpg\r\ntexture 1 lmap.jpg\r\nend\r\n");
    EXPECT_NE(textures().cachedName("lmap.jpg"), 0u);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), textures().cachedName("road.jpg"));
    // Look at unit 1 directly: nothing was bound or enabled there.
    GlWindow::useMultitexture(true);
    glExtensions().activeTexture(GL_TEXTURE1_ARB);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(GlTest, TechniqueSecondTextureWithMultitextureModulatesOnUnitOne) {
    GlWindow w;
    REQUIRE_GL(w);
    GlWindow::useMultitexture(true);
    applied(fake, "texture 0 road.jpg\r\ntexture 1 lmap.jpg\r\ntiled 3\r\nend\r\n");
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);  // unit 1 stays active
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), textures().cachedName("lmap.jpg"));
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 1.0f);  // the tile scale is unit 0's only
}

// ----- textures -----

std::vector<uint8_t> greyTga(int w, int h) {
    std::vector<uint8_t> t{0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(w), 0, static_cast<uint8_t>(h),
                           0, 8, 0};
    t.insert(t.end(), static_cast<size_t>(w * h), 200);
    return t;
}

TEST_F(GlTest, TextureCacheRules) {
    GlWindow w;
    REQUIRE_GL(w);
    TestArchive()
        .add("textures\\grass.jpg", testing::solidJpeg(4, 4, 0, 200, 0))
        .add("textures\\helmet.JPG", testing::solidJpeg(4, 4, 200, 0, 0))
        .add("textures\\wheel.tga", testing::solidTga(4, 4, 1, 2, 3, 255))
        .add("textures\\grey.tga", greyTga(4, 4))
        .add("textures\\broken.jpg", {0xFF, 0xD8, 0x00, 0x01})
        .install(fake);
    Texture a, b;
    a.load("grass.jpg", textures());
    b.load("grass.jpg", textures());
    EXPECT_NE(a.name, 0u);
    EXPECT_EQ(a.name, b.name);
    Texture other;
    other.load("Grass.jpg", textures());  // a different key: a fresh (failed) JPEG name
    EXPECT_NE(other.name, a.name);

    Texture helmet;
    helmet.load("helmet.JPG", textures());
    EXPECT_NE(helmet.name, 0u);
    EXPECT_TRUE(glIsTexture(helmet.name));

    Texture wheel;
    wheel.load("wheel.tga", textures());
    EXPECT_NE(wheel.name, 0u);

    size_t messagesBefore = fake.messages.size();
    Texture png, mixed;
    png.load("thing.png", textures());
    mixed.load("grass.Jpg", textures());
    EXPECT_EQ(png.name, 0u);
    EXPECT_EQ(mixed.name, 0u);
    EXPECT_EQ(fake.messages.size(), messagesBefore);
}

TEST_F(GlTest, FailedJpegKeepsAFreshNameAndComplainsOnce) {
    GlWindow w;
    REQUIRE_GL(w);
    TestArchive().add("textures\\broken.jpg", {0xFF, 0xD8, 0x00, 0x01}).install(fake);
    Texture broken;
    broken.load("broken.jpg", textures());  // found but not decodable: a fresh name, no message
    EXPECT_NE(broken.name, 0u);
    EXPECT_TRUE(fake.messages.empty());
    Texture first, second;
    first.load("absent.jpg", textures());
    size_t messages = fake.messages.size();
    EXPECT_GE(messages, 1u);
    EXPECT_NE(first.name, 0u);
    ASSERT_FALSE(fake.messages.empty());
    EXPECT_EQ(fake.messages[0].text, "ARCH:Can't load JPG file: textures\\absent.jpg");
    second.load("absent.jpg", textures());
    EXPECT_EQ(second.name, first.name);
    EXPECT_EQ(fake.messages.size(), messages);
}

TEST_F(GlTest, TgaFailureAndWrongDepthLeaveNoNameAndRetry) {
    GlWindow w;
    REQUIRE_GL(w);
    TestArchive().add("textures\\grey.tga", greyTga(4, 4)).install(fake);
    Texture missing, grey;
    missing.load("absent.tga", textures());
    EXPECT_EQ(missing.name, 0u);
    // Decodes to 1 byte per pixel: never uploaded as if it had 4.
    grey.load("grey.tga", textures());
    EXPECT_EQ(grey.name, 0u);
    EXPECT_EQ(textures().cachedName("grey.tga"), 0u);
}

// ----- meshes and culling -----

void orthoCamera(double halfWidth) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-halfWidth, halfWidth, -halfWidth * 0.75, halfWidth * 0.75, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void plainDrawingState() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST_F(GlTest, CompiledMeshIsDrawnWhereItsVerticesAre) {
    GlWindow w;
    REQUIRE_GL(w);
    TestArchive().add("meshes\\quad.dat", testing::quadSceneMesh(-1, -0.5f, 0, 0.5f)).install(fake);
    Mesh mesh;
    ASSERT_TRUE(mesh.load("quad"));
    EXPECT_NE(mesh.list, 0u);
    EXPECT_FLOAT_EQ(mesh.centre.x, -0.5f);
    EXPECT_FLOAT_EQ(mesh.halfExtent.x, 0.5f);
    plainDrawingState();
    orthoCamera(2.0);
    glColor3f(1, 0, 0);
    glCallList(mesh.list);
    uint8_t inside[3], outside[3];
    GlWindow::pixel(300, 300, inside);    // x = -0.5
    GlWindow::pixel(500, 300, outside);   // x = +0.5
    EXPECT_EQ(inside[0], 255);
    EXPECT_EQ(inside[1], 0);
    EXPECT_EQ(outside[0], 0);
}

TEST_F(GlTest, MissingOrTruncatedMeshGivesNoList) {
    GlWindow w;
    REQUIRE_GL(w);
    auto bytes = testing::quadSceneMesh(0, 0, 1, 1);
    bytes.resize(bytes.size() - 5);
    TestArchive().add("meshes\\cut.dat", bytes).install(fake);
    Mesh cut, absent;
    EXPECT_FALSE(cut.load("cut"));
    EXPECT_FALSE(absent.load("absent"));
    EXPECT_EQ(cut.list, 0u);
    EXPECT_EQ(absent.list, 0u);
    EXPECT_EQ(compileObjectMesh("absent.ase", false), 0u);
}

TEST_F(GlTest, BoxStraddlingAPlaneIsDrawnAndOneOutsideIsNot) {
    GlWindow w;
    REQUIRE_GL(w);
    // The culling frustum is x in -1 … 1; the picture shows -4 … 4, so a mesh that was drawn
    // outside the frustum would still show up.
    TestArchive()
        .add("meshes\\straddle.dat", testing::quadSceneMesh(0.5f, -0.5f, 1.5f, 0.5f))
        .add("meshes\\outside.dat", testing::quadSceneMesh(1.5f, -0.5f, 2.5f, 0.5f))
        .install(fake);
    Mesh straddle, outside;
    ASSERT_TRUE(straddle.load("straddle"));
    ASSERT_TRUE(outside.load("outside"));
    orthoCamera(1.0);
    Frustum frustum = extractFrustum();
    plainDrawingState();
    orthoCamera(4.0);
    glColor3f(0, 1, 0);
    straddle.drawIfVisible(frustum);
    outside.drawIfVisible(frustum);
    uint8_t a[3], b[3];
    GlWindow::pixel(400 + 125, 300, a);  // x = 1.0, inside the straddling box
    GlWindow::pixel(400 + 200, 300, b);  // x = 2.0, the outside box
    EXPECT_EQ(a[1], 255);
    EXPECT_EQ(b[1], 0);
}

// ----- sun and lens flare -----

struct FlareScene {
    CameraPose view;
    void apply() const {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 4.0 / 3.0, 0.02, 250.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Vec3 at = view.eye + view.direction;
        gluLookAt(view.eye.x, view.eye.y, view.eye.z, at.x, at.y, at.z, view.up.x, view.up.y, view.up.z);
    }
};

void installFlarePictures(FakePlatform& fake) {
    TestArchive()
        .add("textures\\sun.jpg", testing::solidJpeg(8, 8, 255, 255, 255))
        .add("textures\\tlens.jpg", testing::solidJpeg(8, 8, 255, 255, 255))
        .add("textures\\rlens.jpg", testing::solidJpeg(8, 8, 255, 255, 255))
        .install(fake);
}

// Draws a quad just in front of the camera that covers the whole view.
void occluder(const CameraPose& view) {
    Vec3 c = view.eye + 0.5f * normalize(view.direction);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor3f(0.2f, 0.2f, 0.2f);
    glPushMatrix();
    glTranslatef(c.x, c.y, c.z);
    glBegin(GL_QUADS);
    // A large square perpendicular enough to the view: the sun direction has no zero part.
    glVertex3f(-5, -5, -5);
    glVertex3f(5, -5, 5);
    glVertex3f(5, 5, 5);
    glVertex3f(-5, 5, -5);
    glEnd();
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
}

// With an occlusion query (the result taken by the next update) and with the depth read back.
TEST_F(GlTest, FlareFadesInOverOneSixthSecondAndHidesBehindAQuad) {
    GlWindow w;
    REQUIRE_GL(w);
    installFlarePictures(fake);
    setUpGl(GlSetupOptions{}, 50, true);
    for (bool queries : {true, false}) {
        SCOPED_TRACE(queries ? "occlusion query" : "depth read back");
        GlWindow::useOcclusionQueries(queries);
        if (queries) {
            ASSERT_TRUE(glExtensions().occlusionQueryAvailable);
        }
        LensFlare flare;
        flare.load(textures());
        FlareScene scene;
        scene.view.eye = {0, 0, 1};
        scene.view.direction = normalize(flare.sunDirection);
        scene.view.up = {0, 0, 1};

        auto frame = [&](bool hidden) {
            glDepthMask(GL_TRUE);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene.apply();
            if (hidden) occluder(scene.view);
            flare.draw(scene.view);
            glFinish();  // as the swap that ends a frame does
        };
        frame(false);
        EXPECT_NEAR(flare.lastSunX, 400.0f, 1.0f);  // looking straight at it
        EXPECT_NEAR(flare.lastSunY, 300.0f, 1.0f);
        flare.update(1.0f / 12.0f);
        EXPECT_TRUE(flare.sunVisible);
        EXPECT_NEAR(flare.intensity, 0.5f, 1e-5);
        frame(false);
        flare.update(1.0f / 12.0f);
        EXPECT_NEAR(flare.intensity, 1.0f, 1e-5);
        flare.update(1.0f / 12.0f);
        EXPECT_FLOAT_EQ(flare.intensity, 1.0f);  // held at 1

        frame(true);
        if (!queries) {
            EXPECT_LT(flare.lastSunDepth, 1.0f);
        }
        flare.update(1.0f / 12.0f);
        EXPECT_FALSE(flare.sunVisible);
        EXPECT_NEAR(flare.intensity, 0.5f, 1e-5);
        frame(true);
        flare.update(1.0f / 12.0f);
        EXPECT_NEAR(flare.intensity, 0.0f, 1e-5);
        flare.update(1.0f);
        EXPECT_FLOAT_EQ(flare.intensity, 0.0f);
    }
    GlWindow::useOcclusionQueries(false);
}

TEST_F(GlTest, SunBehindTheCameraIsNeverVisible) {
    GlWindow w;
    REQUIRE_GL(w);
    installFlarePictures(fake);
    setUpGl(GlSetupOptions{}, 50, true);
    LensFlare flare;
    flare.load(textures());
    FlareScene scene;
    scene.view.eye = {0, 0, 1};
    scene.view.direction = -1.0f * normalize(flare.sunDirection);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.apply();
    flare.draw(scene.view);
    EXPECT_FALSE(flare.sunVisible);
}

// A sun hidden on screen has intensity 0, so its streaks and ghosts would get alpha 0: they are
// not drawn, whatever blending the overlay scene left (the flare only sets the function).
TEST_F(GlTest, HiddenOnScreenSunAndTheInheritedBlending) {
    GlWindow w;
    REQUIRE_GL(w);
    installFlarePictures(fake);
    setUpGl(GlSetupOptions{}, 50, true);
    LensFlare flare;
    flare.load(textures());
    FlareScene scene;
    scene.view.eye = {0, 0, 1};
    // Off centre but on screen, so the ghosts spread along a line.
    scene.view.direction = normalize(flare.sunDirection + Vec3{0.3f, -0.25f, 0.1f});
    auto hiddenFrame = [&](bool blendingLeftOn) {
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.apply();
        occluder(scene.view);
        glClear(GL_COLOR_BUFFER_BIT);  // keep the depth, drop the occluder's colour
        // As an alpha-blended last block of the overlay scene leaves it.
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (blendingLeftOn)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        flare.draw(scene.view);
        return w.readAll();
    };
    hiddenFrame(true);
    ASSERT_FALSE(flare.sunVisible);
    ASSERT_GT(flare.lastSunX, 0.0f);
    ASSERT_LT(flare.lastSunX, 800.0f);
    ASSERT_FLOAT_EQ(flare.intensity, 0.0f);
    auto on = hiddenFrame(true);
    if (const char* dir = std::getenv("RAVELIN_TEST_PNG_DIR")) writePng(std::string(dir) + "/hidden_sun_blend_on.png", on.data(), 800, 600);
    EXPECT_EQ(testing::litPixels(on), 0);
    // A flare of no strength is not drawn at all, so even blending left off shows nothing.
    auto off = hiddenFrame(false);
    if (const char* dir = std::getenv("RAVELIN_TEST_PNG_DIR")) writePng(std::string(dir) + "/hidden_sun_blend_off.png", off.data(), 800, 600);
    EXPECT_EQ(testing::litPixels(off), 0);
}

// ----- overlay -----

TEST_F(GlTest, ClockGlyphsLightThePixelsWhereTheClockIs) {
    GlWindow w;
    REQUIRE_GL(w);
    TestArchive().add("textures\\c.jpg", testing::solidJpeg(64, 64, 255, 255, 255)).install(fake);
    fake.time = {13, 4, 59};
    DigitFont font;
    font.createFont(textures());
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    font.drawOverlay(0.0f, {false, true, false});
    EXPECT_STREQ(font.text, "13:04:59");
    auto rgb = w.readAll();
    auto lit = [&](int x, int y) { return rgb[(static_cast<size_t>(y) * 800 + x) * 3] > 100; };
    // Eight glyphs from x = 520: 7 advances of 28 plus a 40-wide cell end at 756; y 10 … 50.
    EXPECT_TRUE(lit(521, 11));
    EXPECT_TRUE(lit(755, 49));
    EXPECT_TRUE(lit(640, 30));
    EXPECT_FALSE(lit(518, 30));
    EXPECT_FALSE(lit(758, 30));
    EXPECT_FALSE(lit(640, 52));
    EXPECT_FALSE(lit(20, 580));  // the frame rate is off
    int count = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) count += lit(x, y);
    EXPECT_EQ(count, 236 * 40);
}

TEST(DigitText, TimeFormats) {
    char t[32];
    formatTime(9, 5, 7, false, t, sizeof t);
    EXPECT_STREQ(t, "09:05:07");
    formatTime(0, 30, 0, true, t, sizeof t);
    EXPECT_STREQ(t, "12:30:00;");
    formatTime(13, 4, 59, true, t, sizeof t);
    EXPECT_STREQ(t, "01:04:59<");
    formatTime(12, 0, 0, true, t, sizeof t);
    EXPECT_STREQ(t, "12:00:00<");
    formatTime(23, 59, 59, false, t, sizeof t);
    EXPECT_STREQ(t, "23:59:59");
}

TEST(DigitText, FrameRateWindowsKeepTheirRemainder) {
    DigitFont font;  // no GL: nothing is drawn without a list base
    for (int i = 0; i < 3; ++i) font.drawOverlay(0.4f, {});
    EXPECT_EQ(font.shownFps, 3);
    EXPECT_NEAR(font.secondAccumulator, 0.2f, 1e-5);
    EXPECT_EQ(font.framesThisSecond, 0);
    font.drawOverlay(0.0f, {});  // dt 0 still counts
    EXPECT_EQ(font.framesThisSecond, 1);
}

// ----- loading screen -----

void installLoadingPictures(FakePlatform& fake) {
    fake.addResource("CustomData", 127, testing::solidJpeg(16, 16, 40, 40, 40));
    fake.addResource("CustomData", 120, testing::solidTga(16, 16, 255, 0, 0, 255));
    fake.addResource("CustomData", 121, testing::solidTga(16, 16, 0, 255, 0, 255));
    fake.addResource("CustomData", 122, testing::solidTga(16, 16, 0, 0, 255, 255));
    fake.addResource("CustomData", 123, testing::solidTga(16, 16, 255, 255, 0, 255));
}

void checkCorners(int width, int height) {
    GlWindow w(width, height);
    if (!testing::haveDisplay()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(w.ok());
    FakePlatform fake;
    textures().clear();
    installLoadingPictures(fake);
    setUpGl(GlSetupOptions{}, 50, true);
    LoadingScreen screen;
    screen.load(textures());
    screen.draw(width, height);
    auto rgb = w.readAll();
    int red = 0, green = 0, blue = 0, yellow = 0, rx0 = width, ry1 = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            bool r = p[0] > 200, g = p[1] > 200, b = p[2] > 200;
            if (r && !g && !b) {
                ++red;
                if (x < rx0) rx0 = x;
                if (y > ry1) ry1 = y;
            }
            green += !r && g && !b;
            blue += !r && !g && b;
            yellow += r && g && !b;
        }
    EXPECT_EQ(red, 256 * 128);
    EXPECT_EQ(green, 256 * 128);
    EXPECT_EQ(blue, 256 * 128);
    EXPECT_EQ(yellow, 256 * 128);
    EXPECT_EQ(rx0, width - 256);  // bottom right
    EXPECT_EQ(ry1, 127);
    // The title: a quarter of the width and a twelfth of the height, centred.
    const uint8_t* centre = &rgb[(static_cast<size_t>(height / 2) * width + width / 2) * 3];
    EXPECT_NEAR(centre[0], 40, 6);
    textures().clear();
}

TEST(LoadingScreenGl, GeneratedPicturesShowATitleOnBlack) {
    const std::string dir = RAVELIN_ASSET_DIR;
    std::vector<uint8_t> title = testing::readFile(dir + "/load.jpg");
    if (title.empty()) GTEST_SKIP() << "no generated loading pictures in " RAVELIN_ASSET_DIR;
    if (!testing::haveDisplay()) GTEST_SKIP() << "no display";
    GlWindow w;
    ASSERT_TRUE(w.ok());
    FakePlatform fake;
    textures().clear();
    fake.addResource("CustomData", 127, title);
    const char* corners[4] = {"4loader_rd.tga", "4loader_ld.tga", "4loader_lu.tga", "4loader_ru.tga"};
    for (int i = 0; i < 4; ++i) fake.addResource("CustomData", kLoadingCornerResources[i], testing::readFile(dir + "/" + corners[i]));
    setUpGl(GlSetupOptions{}, 50, true);
    LoadingScreen screen;
    screen.load(textures());
    for (const Texture& t : screen.corners) EXPECT_NE(t.name, 0u);
    screen.draw(800, 600);
    auto rgb = w.readAll();
    if (const char* out = std::getenv("RAVELIN_TEST_PNG_DIR")) writePng(std::string(out) + "/loading.png", rgb.data(), 800, 600);
    // Black between the pieces, something in the title's rectangle.
    const uint8_t* between = &rgb[(static_cast<size_t>(300) * 800 + 100) * 3];
    EXPECT_LT(between[0] + between[1] + between[2], 30);
    int titleLit = 0;
    for (int y = 276; y < 324; ++y)
        for (int x = 302; x < 498; ++x) titleLit += rgb[(static_cast<size_t>(y) * 800 + x) * 3 + 1] > 60;
    EXPECT_GT(titleLit, 100);
    EXPECT_TRUE(fake.messages.empty());
    textures().clear();
}

TEST(LoadingScreenGl, CornersCover256By128PixelsAt800x600) { checkCorners(800, 600); }
TEST(LoadingScreenGl, CornersCover256By128PixelsAt1600x1200) { checkCorners(1600, 1200); }

// ----- set-up -----

TEST_F(GlTest, SetUpLeavesTheStateTable) {
    GlWindow w;
    REQUIRE_GL(w);
    setUpGl(GlSetupOptions{}, 50, true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(integer(GL_LIGHT_MODEL_COLOR_CONTROL), GL_SEPARATE_SPECULAR_COLOR);
    GLfloat spot[4] = {};
    glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, spot);
    EXPECT_FLOAT_EQ(spot[2], -1.0f);
    // The fake platform offers no entry points: the single-texture branch.
    EXPECT_FALSE(multitextureAvailable());
    EXPECT_TRUE(fake.lastGammaRamp.empty());  // DefGamma: the ramp is left alone
}

// A platform whose only services are the real driver's entry points, the swap interval and the
// gamma ramp, both recorded.
class DriverPlatform final : public NullPlatform {
public:
    DriverPlatform() : previous_(&platform()) { setPlatform(this); }
    ~DriverPlatform() override { setPlatform(previous_); }
    void* glProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }
    bool setSwapInterval(int interval) override {
        swapIntervals.push_back(interval);
        return true;
    }
    bool setGammaRamp(const uint16_t* ramp) override {
        gamma.assign(ramp, ramp + 768);
        return true;
    }

    std::vector<int> swapIntervals;
    std::vector<uint16_t> gamma;

private:
    Platform* previous_;
};

TEST_F(GlTest, MultitextureFromTheDriverAndForcedOff) {
    GlWindow w;
    REQUIRE_GL(w);
    DriverPlatform driver;
    setUpGl(GlSetupOptions{false}, 100, false);
    EXPECT_TRUE(multitextureAvailable());  // Mesa offers ARB multitexture
    EXPECT_NE(glExtensions().activeTexture, nullptr);
    EXPECT_EQ(driver.swapIntervals, std::vector<int>{0});
    ASSERT_EQ(driver.gamma.size(), 768u);
    EXPECT_EQ(driver.gamma[64], 32768);  // Gamma 100: exponent 0.5, (64/256)^0.5 × 65536
    setUpGl(GlSetupOptions{true}, 50, false);
    EXPECT_FALSE(multitextureAvailable());
    EXPECT_EQ(driver.gamma[64], 16384);  // Gamma 50: linear
}

TEST_F(GlTest, ResetUnitsWithoutMultitextureMakesNoUnitCalls) {
    GlWindow w;
    REQUIRE_GL(w);
    GlWindow::useMultitexture(true);
    glExtensions().activeTexture(GL_TEXTURE1_ARB);
    GlWindow::useMultitexture(false);
    resetTextureUnits();
    selectTextureUnit(0);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);  // untouched
    GlWindow::useMultitexture(true);
    resetTextureUnits();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

}  // namespace
}  // namespace ravelin
