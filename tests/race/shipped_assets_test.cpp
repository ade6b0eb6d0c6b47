// The race's files as the content generator ships them in the archive: four closed race lines,
// six car looks, seventeen camera tracks and the ground lightmap, read through the same code
// the run uses. Skips when this build has no generated archive, or an asset is not made yet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/random.h"
#include "assets/asset_file.h"
#include "assets/image.h"
#include "race/camera_director.h"

namespace ravelin {
namespace {

const std::vector<uint8_t>& archiveBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream in(std::string(RAVELIN_ASSET_DIR) + "/archive.rar", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

ByteRange archive() { return {archiveBytes().data(), archiveBytes().size()}; }

#define REQUIRE_ARCHIVE()              \
    if (archiveBytes().empty()) GTEST_SKIP() << "no generated archive in " RAVELIN_ASSET_DIR

bool openShipped(AssetFile& file, const std::string& name) { return file.openEntry(archive(), name); }

class AssetLines final : public LineSource {
public:
    explicit AssetLines(AssetFile& file) : file_(file) {}
    bool readLine(char* buffer, size_t capacity) override { return file_.readLine(buffer, capacity); }

private:
    AssetFile& file_;
};

TEST(ShippedRace, RaceLinesAreClosedLoops) {
    REQUIRE_ARCHIVE();
    for (std::string_view name : kRaceLineFiles) {
        AssetFile file;
        if (!openShipped(file, std::string(name))) GTEST_SKIP() << name << " not in the archive yet";
        ASSERT_EQ(file.size(), kRaceLineFileSize) << name;
        auto line = std::make_unique<RaceLine>();
        ASSERT_TRUE(parseRaceLine(*line, file.data(), file.size()));
        double loop = 0.0;
        float minStep = 1e9f, maxStep = 0.0f, minSteer = 1e9f, maxSteer = -1e9f;
        for (int i = 0; i < kRaceLinePoints; ++i) {
            const float step = length(line->points[i + 1] - line->points[i]);
            loop += step;
            minStep = std::min(minStep, step);
            maxStep = std::max(maxStep, step);
            minSteer = std::min(minSteer, line->steering[i]);
            maxSteer = std::max(maxSteer, line->steering[i]);
        }
        std::printf("%s: loop %.1f, steps %.2f … %.2f, steering %.1f … %.1f\n", std::string(name).c_str(), loop,
                    minStep, maxStep, minSteer, maxSteer);
        EXPECT_GT(loop, 900.0);
        EXPECT_LT(loop, 1500.0);
        EXPECT_GT(minStep, 1.0f);  // no degenerate samples
        EXPECT_LT(maxStep, 10.0f);
        EXPECT_GT(minSteer, -45.0f);
        EXPECT_LT(maxSteer, 45.0f);
        // The cars' frames stay upright and finite all the way round.
        for (int s = 0; s < kRaceLinePoints; ++s)
            for (float t : {0.0f, 0.5f}) {
                const RaceSample sample = sampleRaceLine(*line, s, t);
                ASSERT_TRUE(std::isfinite(sample.position.x) && std::isfinite(sample.forward.x));
                ASSERT_GT(sample.up.z, 0.5f) << name << " segment " << s;
            }
    }
}

TEST(ShippedRace, LightmapIsAMegapixelPicture) {
    REQUIRE_ARCHIVE();
    AssetFile file;
    if (!openShipped(file, "textures\\lmap.jpg")) GTEST_SKIP() << "lmap.jpg not in the archive yet";
    Image image;
    ASSERT_TRUE(decodeJpeg(file.data(), file.size(), image));
    EXPECT_EQ(image.width, 1024);
    EXPECT_EQ(image.height, 1024);
    EXPECT_EQ(image.bytesPerPixel, 3);
}

TEST(ShippedRace, CarLooks) {
    REQUIRE_ARCHIVE();
    const int meshes[kLookCount] = {0, 1, 2, 2, 1, 1};
    const char* helmets[kLookCount] = {"helmet.jpg", "helmet2.jpg", "helm6.jpg", "helm8.jpg", "helm3.jpg", "helm4.jpg"};
    for (int i = 0; i < kLookCount; ++i) {
        AssetFile file;
        if (!openShipped(file, std::string(kLookFiles[i]))) GTEST_SKIP() << kLookFiles[i] << " not in the archive yet";
        AssetLines lines(file);
        CarLook look;
        look.bodyMesh = -1;
        parseCarLook(look, lines);
        EXPECT_EQ(look.bodyMesh, meshes[i]) << kLookFiles[i];
        EXPECT_STREQ(look.helmet, helmets[i]);
        EXPECT_STREQ(look.shadow, "shadow.ase");
        EXPECT_NE(look.texture[0], '\0');
    }
}

TEST(ShippedRace, CameraTracks) {
    REQUIRE_ARCHIVE();
    for (int i = 0; i < kTrackCount; ++i) {
        AssetFile file;
        const std::string name = "scene" + std::to_string(i) + ".txt";
        if (!openShipped(file, name)) GTEST_SKIP() << name << " not in the archive yet";
        AssetLines lines(file);
        KeyframeTrack track;
        track.load(lines);
        ASSERT_TRUE(track.prepare()) << name;
        const auto& keys = track.keys();
        EXPECT_GE(keys.size(), 2u);
        EXPECT_LE(keys.size(), 32u);
        EXPECT_EQ(keys.front().time, 0.0f) << name;
        EXPECT_GE(keys.back().time, 60.0f) << name;
        EXPECT_LE(keys.back().time, 310.0f) << name;
        for (size_t k = 1; k < keys.size(); ++k) EXPECT_GT(keys[k].time, keys[k - 1].time) << name;
        // Played back, the camera stays near its car (car-local units are tenths) and its
        // rotation stays close to unit length.
        for (float t = 0.0f; t < keys.back().time; t += 0.5f) {
            const TrackPose pose = track.evaluate(t);
            ASSERT_FALSE(pose.ended);
            ASSERT_LT(length(pose.position) * 0.1f, 60.0f) << name << " at " << t;
            const Quat q = pose.rotation;
            ASSERT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 0.05f) << name << " at " << t;
        }
    }
}

}  // namespace
}  // namespace ravelin
