// Race lines, the starting grid, the car update and the lightmap look-ups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "base/random.h"
#include "race_test_support.h"

namespace ravelin {
namespace {

using testing::circleLineFile;
using testing::makeRace;
using testing::straightLineFile;

void expectVec(Vec3 v, float x, float y, float z, float eps = 1e-4f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

TEST(RaceLineLoading, NegatesSteeringAndRepeatsTheFirstEntry) {
    const std::vector<uint8_t> file = circleLineFile(100.0f);
    auto line = std::make_unique<RaceLine>();
    ASSERT_TRUE(parseRaceLine(*line, file.data(), file.size()));
    EXPECT_EQ(line->steering[0], 100.0f);  // stored −100
    EXPECT_EQ(line->steering[150], -50.0f);
    EXPECT_EQ(line->points[233].x, line->points[0].x);
    EXPECT_EQ(line->steering[233], line->steering[0]);
    // Catmull-Rom across the seam: (S1 − S232) / 2 = (99 − (−132)) / 2.
    EXPECT_FLOAT_EQ(line->steeringTangents[0], 115.5f);
    EXPECT_FLOAT_EQ(line->steeringTangents[233], 115.5f);
    EXPECT_FLOAT_EQ(line->steeringTangents[5], -1.0f);  // (94 − 96) / 2
    EXPECT_FLOAT_EQ(line->steeringTangents[232], 115.5f);  // (S233 − S231) / 2 = (100 + 131) / 2
    const Vec3 m0 = (line->points[1] - line->points[232]) * 0.5f;
    expectVec(line->tangents[0], m0.x, m0.y, m0.z);
    expectVec(line->tangents[233], m0.x, m0.y, m0.z);
}

TEST(RaceLineLoading, RefusesShortDataAndIgnoresExtraBytes) {
    std::vector<uint8_t> file = circleLineFile(100.0f);
    auto line = std::make_unique<RaceLine>();
    EXPECT_FALSE(parseRaceLine(*line, file.data(), file.size() - 1));
    EXPECT_FALSE(line->loaded);
    file.resize(file.size() + 7, 0xFF);
    EXPECT_TRUE(parseRaceLine(*line, file.data(), file.size()));
    EXPECT_EQ(line->steering[232], 100.0f - 232.0f);
}

TEST(RaceLineSampling, StraightLineFrame) {
    const std::vector<uint8_t> file = straightLineFile();
    auto line = std::make_unique<RaceLine>();
    ASSERT_TRUE(parseRaceLine(*line, file.data(), file.size()));
    const RaceSample s = sampleRaceLine(*line, 10, 0.5f);
    expectVec(s.position, 52.5f, 0, 0);
    expectVec(s.velocity, 5, 0, 0);
    expectVec(s.forward, 1, 0, 0);
    expectVec(s.right, 0, -1, 0);  // facing +X with Z up, the right hand points to −Y
    expectVec(s.up, 0, 0, 1);
}

TEST(RaceLineSampling, SeamIsContinuous) {
    const std::vector<uint8_t> file = circleLineFile(185.0f);
    auto line = std::make_unique<RaceLine>();
    ASSERT_TRUE(parseRaceLine(*line, file.data(), file.size()));
    const RaceSample end = sampleRaceLine(*line, 232, 1.0f);
    const RaceSample start = sampleRaceLine(*line, 0, 0.0f);
    expectVec(end.position, 185.0f, 0, 0, 1e-3f);
    expectVec(end.position, start.position.x, start.position.y, start.position.z, 1e-3f);
    expectVec(end.velocity, start.velocity.x, start.velocity.y, start.velocity.z, 1e-3f);
    EXPECT_NEAR(end.steer, start.steer, 1e-4f);
    // Halfway through the closing segment the car is between point 232 and point 0.
    const RaceSample mid = sampleRaceLine(*line, 232, 0.5f);
    const double a = 2.0 * 3.14159265358979323846 * 232.5 / 233.0;
    EXPECT_NEAR(mid.position.x, 185.0 * std::cos(a), 0.01);
    EXPECT_NEAR(mid.position.y, 185.0 * std::sin(a), 0.01);
    // Anticlockwise circle: forward is the tangent, right points away from the centre.
    EXPECT_GT(dot(mid.right, mid.position), 0.0f);
}

TEST(RaceLineSampling, DegenerateLineGivesAFiniteFrame) {
    auto line = std::make_unique<RaceLine>();  // never loaded: every point at the origin
    const RaceSample s = sampleRaceLine(*line, 7, 0.5f);
    for (Vec3 v : {s.forward, s.right, s.up}) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        EXPECT_NEAR(length(v), 1.0f, 1e-6f);
    }
    // A vertical step: forward straight up, still a full frame.
    std::vector<uint8_t> file;
    for (int i = 0; i < kRaceLinePoints; ++i) {
        testing::putFloat(file, 0.0f);
        testing::putFloat(file, 0.0f);
        testing::putFloat(file, static_cast<float>(i));
        testing::putFloat(file, 0.0f);
    }
    ASSERT_TRUE(parseRaceLine(*line, file.data(), file.size()));
    const RaceSample v = sampleRaceLine(*line, 20, 0.5f);
    expectVec(v.forward, 0, 0, 1);
    EXPECT_NEAR(length(v.right), 1.0f, 1e-6f);
    EXPECT_NEAR(dot(v.right, v.up), 0.0f, 1e-6f);
}

class Grid : public ::testing::Test {
protected:
    void SetUp() override { race = makeRace(); }
    std::unique_ptr<RaceState> race;
};

TEST_F(Grid, ExactDrawsForOneSeed) {
    // Worked out with an independent model of the generator and the grid rules.
    rng().seed(12345);
    placeCars(race->cars);
    const int segments[18] = {63, 57, 67, 58, 62, 53, 55, 59, 52, 61, 50, 56, 51, 64, 54, 60, 65, 66};
    const int lines[18] = {0, 1, 0, 2, 2, 1, 1, 2, 1, 2, 3, 0, 3, 2, 0, 0, 1, 1};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(race->cars[i].segment, segments[i]) << i;
        EXPECT_EQ(race->cars[i].raceLine, lines[i]) << i;
    }
    EXPECT_FLOAT_EQ(race->cars[0].t, 0.3579973876476288f);
    EXPECT_FLOAT_EQ(race->cars[17].t, 0.3064699172973633f);
    EXPECT_EQ(rng().state(), 2072196560u);  // exactly as many draws as the model made
}

TEST_F(Grid, WrapsToTheStartOfTheLoop) {
    rng().seed(9616);
    placeCars(race->cars);
    const int segments[18] = {220, 225, 219, 223, 222, 218, 231, 211, 226, 0, 229, 214, 212, 213, 215, 230, 228, 216};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(race->cars[i].segment, segments[i]) << i;
}

TEST_F(Grid, ManySeedsNoseToTail) {
    for (uint32_t seed = 1; seed <= 3000; ++seed) {
        for (Car& car : race->cars) car.segment = -1;
        rng().seed(seed * 2654435761u);
        placeCars(race->cars);
        std::vector<int> segments;
        for (const Car& car : race->cars) {
            ASSERT_GE(car.segment, 0) << seed;  // every car placed
            ASSERT_LE(car.segment, 231) << seed;
            ASSERT_GE(car.raceLine, 0);
            ASSERT_LE(car.raceLine, 3);
            ASSERT_GE(car.t, 0.3f);
            ASSERT_LE(car.t, 0.7f + 1e-6f);  // u = 1 rounds up a hair
            segments.push_back(car.segment);
        }
        std::sort(segments.begin(), segments.end());
        ASSERT_EQ(std::set<int>(segments.begin(), segments.end()).size(), 18u) << seed;
        int jumps = 0;
        for (size_t i = 1; i < segments.size(); ++i) {
            const int gap = segments[i] - segments[i - 1];
            if (gap != 1 && gap != 2) ++jumps;
        }
        // Consecutive or next-but-one points; one jump only where the grid wrapped to 0.
        if (jumps > 0) {
            ASSERT_EQ(jumps, 1) << seed;
            ASSERT_EQ(segments.front(), 0) << seed;
        }
    }
}

TEST(CarUpdate, OneSegmentPerUpdateAndTheFollowedCounter) {
    auto race = makeRace();
    Car& car = race->cars[0];
    car.segment = 10;
    car.t = 0.9f;
    car.followed = true;
    uint32_t passed = 0;
    updateCar(car, 1.0f, race->lines[0], CameraPose{}, passed);
    EXPECT_EQ(car.segment, 11);
    EXPECT_NEAR(car.t, 2.863f, 1e-5f);
    EXPECT_EQ(passed, 1u);
    updateCar(car, 0.0f, race->lines[0], CameraPose{}, passed);  // catches up one more
    EXPECT_EQ(car.segment, 12);
    EXPECT_EQ(passed, 2u);
    car.followed = false;
    updateCar(car, 0.0f, race->lines[0], CameraPose{}, passed);
    EXPECT_EQ(car.segment, 13);
    EXPECT_EQ(passed, 2u);
    // t exactly 1 does not advance (the comparison is strict).
    car.t = 1.0f;
    updateCar(car, 0.0f, race->lines[0], CameraPose{}, passed);
    EXPECT_EQ(car.segment, 13);
}

TEST(CarUpdate, SeamFromSegment232ToZero) {
    auto race = makeRace();
    Car& car = race->cars[3];
    car.segment = 232;
    car.t = 0.99f;
    uint32_t passed = 0;
    updateCar(car, 0.0f, race->lines[1], CameraPose{}, passed);
    EXPECT_EQ(car.segment, 232);
    expectVec(car.frame.position, 182.0f * std::cos(2.0 * 3.14159265358979 * 232.99 / 233.0),
              182.0f * std::sin(2.0 * 3.14159265358979 * 232.99 / 233.0), 0, 0.02f);
    updateCar(car, 0.01f, race->lines[1], CameraPose{}, passed);
    EXPECT_EQ(car.segment, 0);
    EXPECT_NEAR(car.t, 0.01963f, 1e-5f);
}

TEST(CarSound, ListenerSpace) {
    // Camera at the origin looking along +Y with Z up: side axis +X, second axis −Z.
    CameraPose camera;
    camera.direction = {0, 1, 0};
    camera.up = {0, 0, 1};
    Vec3 position, velocity;
    listenerSpace(camera, Vec3{3, 4, 0}, Vec3{0, 2, 0}, position, velocity);
    // |o| = 5: (3·5, 0·5, 4·5).
    EXPECT_FLOAT_EQ(position.x, 15.0f);
    EXPECT_FLOAT_EQ(position.y, 0.0f);
    EXPECT_FLOAT_EQ(position.z, 20.0f);
    EXPECT_FLOAT_EQ(velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(velocity.y, 0.0f);
    EXPECT_FLOAT_EQ(velocity.z, 2.0f);
    listenerSpace(camera, Vec3{0, 0, 2}, Vec3{1, 0, 0}, position, velocity);
    EXPECT_FLOAT_EQ(position.y, -4.0f);  // above the camera: −Z axis, times |o| = 2
    EXPECT_FLOAT_EQ(velocity.x, 1.0f);
}

TEST(CarSound, DegenerateCameraAndStandingCarStayFinite) {
    CameraPose camera;
    camera.direction = {0, 0, 0};  // a camera that was never applied
    camera.up = {0, 0, 0};
    Vec3 position, velocity;
    listenerSpace(camera, Vec3{3, 4, 0}, Vec3{0, 0, 0}, position, velocity);
    for (float v : {position.x, position.y, position.z, velocity.x, velocity.y, velocity.z})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_FLOAT_EQ(position.x, 15.0f);
    EXPECT_EQ(velocity.x, 0.0f);
    camera.direction = {0, 0, 1};  // looking straight along up
    camera.up = {0, 0, 1};
    listenerSpace(camera, Vec3{3, 4, 0}, Vec3{1, 0, 0}, position, velocity);
    EXPECT_TRUE(std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z));
}

TEST(Lightmap, IndexIsReplacedByZeroOutsideNotClamped) {
    // Body: trunc(u·1020), valid 0 … 1023.
    EXPECT_EQ(lightmapIndex(0.0f, 1020.0f, 1023), 0);
    EXPECT_EQ(lightmapIndex(0.5f, 1020.0f, 1023), 510);
    EXPECT_EQ(lightmapIndex(1.0f, 1020.0f, 1023), 1020);
    EXPECT_EQ(lightmapIndex(1023.5f / 1020.0f, 1020.0f, 1023), 1023);
    EXPECT_EQ(lightmapIndex(1024.5f / 1020.0f, 1020.0f, 1023), 0);
    EXPECT_EQ(lightmapIndex(-0.0005f, 1020.0f, 1023), 0);  // −0.51 truncates to 0
    EXPECT_EQ(lightmapIndex(-0.5f, 1020.0f, 1023), 0);
    // Wheels: trunc(u·1024), valid 0 … 1019.
    EXPECT_EQ(lightmapIndex(1019.5f / 1024.0f, 1024.0f, 1019), 1019);
    EXPECT_EQ(lightmapIndex(1020.5f / 1024.0f, 1024.0f, 1019), 0);
    EXPECT_EQ(lightmapIndex(1.0f, 1024.0f, 1019), 0);
    EXPECT_EQ(lightmapIndex(std::nanf(""), 1024.0f, 1019), 0);
    EXPECT_EQ(lightmapIndex(INFINITY, 1024.0f, 1019), 0);
    EXPECT_EQ(lightmapIndex(-1e30f, 1020.0f, 1023), 0);
}

TEST(Lightmap, CoordinatesOfTheRectangle) {
    // Corners of the rectangle centred on (36.631, 0.895), 467.673 × 306.049.
    Vec3 c = lightmapCoordinates(Vec3{36.631f - 233.8365f, 0.895f - 153.0245f, 5.0f});
    EXPECT_NEAR(c.x, 0.0f, 1e-6f);
    EXPECT_NEAR(c.y, 0.0f, 1e-6f);
    EXPECT_EQ(c.z, 0.0f);
    c = lightmapCoordinates(Vec3{36.631f + 233.8365f, 0.895f + 153.0245f, 0.0f});
    EXPECT_NEAR(c.x, 1.0f, 1e-6f);
    EXPECT_NEAR(c.y, 1.0f, 1e-6f);
    c = lightmapCoordinates(Vec3{36.631f, 0.895f, 0.0f});
    EXPECT_NEAR(c.x, 0.5f, 1e-6f);
    EXPECT_NEAR(c.y, 0.5f, 1e-6f);
}

uint8_t redAt(int row, int column) { return static_cast<uint8_t>((column * 5 + row * 3) & 0xFF); }

Lightmap patternedLightmap() {
    Lightmap map;
    map.pixels.resize(static_cast<size_t>(Lightmap::kSize) * Lightmap::kRowBytes);
    for (int row = 0; row < Lightmap::kSize; ++row)
        for (int column = 0; column < Lightmap::kSize; ++column) {
            uint8_t* p = &map.pixels[static_cast<size_t>(row) * Lightmap::kRowBytes + column * 3];
            p[0] = redAt(row, column);
            p[1] = 0x11;  // green and blue are never read
            p[2] = 0x22;
        }
    return map;
}

// World position whose body look-up lands in the middle of pixel (row, column).
Vec3 worldForBodyPixel(double row, double column) {
    const double x = 36.631 - 467.673 / 2 + (column + 0.5) / 1020.0 * 467.673;
    const double y = 0.895 - 306.049 / 2 + (row + 0.5) / 1020.0 * 306.049;
    return {static_cast<float>(x), static_cast<float>(y), 0.0f};
}

TEST(Lightmap, BrightnessOfBodyAndWheels) {
    const Lightmap map = patternedLightmap();
    Car car;
    car.frame.forward = {0, 1, 0};
    car.frame.right = {1, 0, 0};
    car.frame.up = {0, 0, 1};
    car.frame.position = worldForBodyPixel(300, 400);
    const Frustum everything = frustumFromMatrices(Matrix4{}, Matrix4{});
    prepareCarForDrawing(car, everything, map);
    EXPECT_FLOAT_EQ(car.brightness[4], redAt(300, 400) / 255.0f);
    // Wheel contacts ±0.13 along X and Y, looked up with the 1024 scale:
    // x: 400.5 / 1020 · 1024 ± 0.13 / 467.673 · 1024 → 402.07 ± 0.28 → 402 right, 401 left;
    // y: 300.5 / 1020 · 1024 ± 0.13 / 306.049 · 1024 → 301.68 ± 0.43 → 302 front, 301 rear.
    EXPECT_FLOAT_EQ(car.brightness[0], redAt(302, 402) / 255.0f);
    EXPECT_FLOAT_EQ(car.brightness[1], redAt(302, 401) / 255.0f);
    EXPECT_FLOAT_EQ(car.brightness[2], redAt(301, 402) / 255.0f);
    EXPECT_FLOAT_EQ(car.brightness[3], redAt(301, 401) / 255.0f);
    EXPECT_NEAR(car.lightmapCoord.x, 400.5f / 1020.0f, 1e-6f);
    EXPECT_FALSE(car.visible);  // the unit cube frustum does not reach (−…, −…)
}

TEST(Lightmap, EdgesReadRowOrColumnZero) {
    const Lightmap map = patternedLightmap();
    Car car;
    car.frame.forward = {0, 1, 0};
    car.frame.right = {1, 0, 0};
    const Frustum everything = frustumFromMatrices(Matrix4{}, Matrix4{});
    // Body at column 1023 (still inside); every wheel beyond 1019 reads column 0 instead.
    car.frame.position = worldForBodyPixel(500, 1023);
    prepareCarForDrawing(car, everything, map);
    EXPECT_FLOAT_EQ(car.brightness[4], redAt(500, 1023) / 255.0f);
    const int wheelRowFront = 502;  // (500.5 / 1020 + 0.13 / 306.049) · 1024 = 502.9
    EXPECT_FLOAT_EQ(car.brightness[0], redAt(wheelRowFront, 0) / 255.0f);
    EXPECT_NE(redAt(wheelRowFront, 0), redAt(wheelRowFront, 1019));  // not a clamp
    // Past the top edge: the body row becomes 0, column kept.
    car.frame.position = worldForBodyPixel(1030, 10);
    prepareCarForDrawing(car, everything, map);
    EXPECT_FLOAT_EQ(car.brightness[4], redAt(0, 10) / 255.0f);
    // Left of the rectangle, but less than one pixel: trunc keeps column 0 anyway.
    car.frame.position = worldForBodyPixel(10, -0.9);
    prepareCarForDrawing(car, everything, map);
    EXPECT_FLOAT_EQ(car.brightness[4], redAt(10, 0) / 255.0f);
    // Far outside on both axes: pixel (0, 0).
    car.frame.position = {-5000.0f, 9000.0f, 0.0f};
    prepareCarForDrawing(car, everything, map);
    for (float b : car.brightness) EXPECT_FLOAT_EQ(b, redAt(0, 0) / 255.0f);
}

TEST(Lightmap, MissingLightmapLeavesCarsLit) {
    Lightmap none;
    Car car;
    car.frame.position = worldForBodyPixel(10, 10);
    prepareCarForDrawing(car, frustumFromMatrices(Matrix4{}, Matrix4{}), none);
    for (float b : car.brightness) EXPECT_EQ(b, 1.0f);
}

TEST(CarLookFile, FourLinesInOrder) {
    const char text[] = "bodymesh 2\r\ntexture green.jpg\r\nhelmet helm6.jpg\r\nshadow shadow.ase\r\n";
    BufferLineSource source(reinterpret_cast<const uint8_t*>(text), sizeof text - 1);
    CarLook look;
    parseCarLook(look, source);
    EXPECT_EQ(look.bodyMesh, 2);
    EXPECT_STREQ(look.texture, "green.jpg");
    EXPECT_STREQ(look.helmet, "helm6.jpg");
    EXPECT_STREQ(look.shadow, "shadow.ase");
}

TEST(CarLookFile, BadLinesKeepDefaultsAndUnknownMeshDrawsNothing) {
    const char text[] = "bodymesh x\ntexture\n";
    BufferLineSource source(reinterpret_cast<const uint8_t*>(text), sizeof text - 1);
    CarLook look;
    parseCarLook(look, source);
    EXPECT_EQ(look.bodyMesh, 0);
    EXPECT_STREQ(look.texture, "");
    CarAssets assets;
    assets.bodyLists[0][kCarFull] = 11;
    assets.bodyLists[1][kCarFull] = 12;
    assets.bodyLists[2][kCarFull] = 13;
    Car car;
    look.bodyMesh = 1;
    applyCarLook(car, look, assets);
    EXPECT_EQ(car.bodyLists[kCarFull], 12u);
    EXPECT_EQ(car.bodyLists[kCarTiny], 12u) << "no lighter body loaded: the full one stands in";
    EXPECT_FLOAT_EQ(car.wheelPositions[0].x, 158.922f);  // set B
    EXPECT_FLOAT_EQ(car.helmetOffset.z, 133.1917f);
    assets.bodyLists[2][kCarFar] = 23;
    look.bodyMesh = 2;
    applyCarLook(car, look, assets);
    EXPECT_EQ(car.bodyLists[kCarFar], 23u);
    EXPECT_EQ(car.bodyLists[kCarTiny], 23u) << "no tiny body: the far one stands in";
    assets.bodyLists[2][kCarTiny] = 33;
    applyCarLook(car, look, assets);
    EXPECT_EQ(car.bodyLists[kCarFull], 13u);
    EXPECT_EQ(car.bodyLists[kCarTiny], 33u);
    EXPECT_EQ(car.bodyLists[kCarSpeck], 0u) << "no speck body: none stands in, the others have no wheels";
    assets.bodyLists[2][kCarSpeck] = 43;
    applyCarLook(car, look, assets);
    EXPECT_EQ(car.bodyLists[kCarSpeck], 43u);
    EXPECT_FLOAT_EQ(car.wheelPositions[3].x, -161.661f);  // set A
    look.bodyMesh = 7;
    applyCarLook(car, look, assets);
    for (uint32_t list : car.bodyLists) EXPECT_EQ(list, 0u);
}

}  // namespace
}  // namespace ravelin
