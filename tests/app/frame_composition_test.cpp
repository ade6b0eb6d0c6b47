// Whole frames of the generated world, composed as the run composes them: neither black nor
// uniform, with and without multitexturing. Skips without a display or a generated archive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_composition.h"
#include "app/png_file.h"
#include "assets/asset_file.h"
#include "gl_window.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

void composedFrameIsNeitherBlackNorUniform(bool multitexture) {
    std::vector<uint8_t> archive = testing::generatedArchive();
    if (archive.empty()) GTEST_SKIP() << "no generated archive in " RAVELIN_ASSET_DIR;
    if (!testing::haveDisplay()) GTEST_SKIP() << "no display";
    testing::GlWindow w;
    ASSERT_TRUE(w.ok());
    FakePlatform fake;
    fake.addResource("CustomData", kArchiveResourceId, archive);
    {
        AssetFile land;
        if (!land.openEntry("land.txt")) GTEST_SKIP() << "the generated archive has no land.txt yet";
    }
    setUpGl(GlSetupOptions{!multitexture}, 50, true);
    testing::GlWindow::useMultitexture(multitexture);
    auto world = std::make_unique<RunWorld>();
    world->overlayScene.load("test.txt", world->textures);
    world->landScene.load("land.txt", world->textures);
    world->sky.load(world->textures);
    // No race: the director's trackside camera looks at the circuit's centre from 40 units out.
    CameraDirector& camera = world->director;
    camera.tracksideEye = {39.0f, 8.9f, 6.0f};
    camera.fixedFieldOfView = true;
    camera.baseFieldOfView = 60.0f;
    for (int i = 0; i < 3; ++i) drawFrame(*world, 0.5f);
    auto rgb = w.readAll();
    int lit = testing::litPixels(rgb);
    size_t differing = 0;
    for (size_t i = 3; i < rgb.size(); i += 3)
        differing += rgb[i] != rgb[0] || rgb[i + 1] != rgb[1] || rgb[i + 2] != rgb[2];
    if (const char* out = std::getenv("RAVELIN_TEST_PNG_DIR"))
        writePng(std::string(out) + (multitexture ? "/composed_multi.png" : "/composed_single.png"), rgb.data(), 800, 600);
    EXPECT_GT(lit, 800 * 600 / 2);
    EXPECT_GT(differing, rgb.size() / 3 / 4);
    testing::GlWindow::useMultitexture(false);
}

TEST(ComposedFrame, WithMultitexture) { composedFrameIsNeitherBlackNorUniform(true); }
TEST(ComposedFrame, WithoutMultitexture) { composedFrameIsNeitherBlackNorUniform(false); }

}  // namespace
}  // namespace ravelin
