// The two mesh layouts without GL: what a compiled list would record, and refusal of damaged
// files at every truncation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/mesh_format.h"
#include "render_test_support.h"

namespace ravelin {
namespace {

using testing::Bytes;

struct Recorder final : MeshEmitter {
    std::vector<std::string> calls;
    std::vector<float> normals;
    void texCoord(float u, float v) override { calls.push_back("t " + fmt(u) + " " + fmt(v)); }
    void multiTexCoord(int unit, float u, float v) override {
        calls.push_back("m" + std::to_string(unit) + " " + fmt(u) + " " + fmt(v));
    }
    void colour(float r, float g, float b) override { calls.push_back("c " + fmt(r) + " " + fmt(g) + " " + fmt(b)); }
    void normal(float x, float y, float z) override {
        calls.push_back("n");
        normals.insert(normals.end(), {x, y, z});
    }
    void vertex(float x, float y, float z) override { calls.push_back("v " + fmt(x) + " " + fmt(y) + " " + fmt(z)); }
    static std::string fmt(float f) {
        char b[32];
        std::snprintf(b, sizeof b, "%g", f);
        return b;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
        return n;
    }
};

// One triangle with the given sets, colours and normals.
std::vector<uint8_t> triangleMesh(int sets, bool colours, int colourCount, bool normals, float angle = 0,
                                  float ax = 0, float ay = 0, float az = 1) {
    Bytes m;
    m.v3(9, 9, 9).v3(ax, ay, az).f32(angle);
    m.u32(3).u32(1).u32(sets).u32(normals).u32(colours);
    m.v3(0, 0, 0).v3(1, 0, 0).v3(0, 1, 0);
    m.tri(0, 1, 2);
    for (int s = 0; s < sets; ++s) m.u32(3).v2(s, 0).v2(s, 1).v2(s, 2).tri(2, 1, 0);
    if (colours) {
        m.u32(colourCount);
        if (colourCount > 0) {
            for (int k = 0; k < colourCount; ++k) m.v3(k * 0.25f, 0.5f, 1);
            m.tri(0, 0, 0);
        }
    }
    if (normals)
        for (int i = 0; i < 3; ++i) m.v3(1, 0, 0);
    m.v3(0, 0, 0).v3(1, 1, 0);
    return m.b;
}

TEST(SceneMesh, GroundQuadHasCoordinatesAndNormalsButNoColours) {
    auto bytes = testing::quadSceneMesh(-1, -1, 1, 1);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    EXPECT_EQ(data.faceCount, 2u);
    Recorder r;
    emitSceneMesh(data, true, r);
    EXPECT_EQ(r.count("v "), 6);
    EXPECT_EQ(r.count("t "), 6);
    EXPECT_EQ(r.count("n"), 6);
    EXPECT_EQ(r.count("c "), 0);  // K = 0 despite the flag
    EXPECT_EQ(r.calls[0], "t 0 0");
    EXPECT_EQ(r.calls[1], "n");
    EXPECT_EQ(r.calls[2], "v -1 -1 0");
    EXPECT_FLOAT_EQ(data.bbMax[0], 1.0f);
}

TEST(SceneMesh, TwoSetsWithMultitextureFeedBothUnits) {
    auto bytes = triangleMesh(2, false, 0, false);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, true, r);
    ASSERT_EQ(r.calls.size(), 9u);
    EXPECT_EQ(r.calls[0], "m0 0 2");  // corner a uses coordinate index 2
    EXPECT_EQ(r.calls[1], "m1 1 2");
    EXPECT_EQ(r.calls[2], "v 0 0 0");
}

TEST(SceneMesh, TwoSetsWithoutMultitextureEmitOnlySetZero) {
    auto bytes = triangleMesh(2, false, 0, false);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, false, r);
    EXPECT_EQ(r.count("m"), 0);
    EXPECT_EQ(r.count("t "), 3);
    EXPECT_EQ(r.calls[0], "t 0 2");
}

TEST(SceneMesh, ColoursComeBeforeNormalAndVertex) {
    auto bytes = triangleMesh(1, true, 2, true);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, false, r);
    ASSERT_EQ(r.calls.size(), 12u);
    EXPECT_EQ(r.calls[0], "t 0 2");
    EXPECT_EQ(r.calls[1], "c 0 0.5 1");
    EXPECT_EQ(r.calls[2], "n");
    EXPECT_EQ(r.calls[3], "v 0 0 0");
}

TEST(SceneMesh, NoSetsMeansNoCoordinates) {
    auto bytes = triangleMesh(0, false, 0, true);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, true, r);
    EXPECT_EQ(r.count("t "), 0);
    EXPECT_EQ(r.count("m"), 0);
    EXPECT_EQ(r.count("v "), 3);
}

TEST(SceneMesh, NormalsTurnByMinusTheAngleAboutTheAxis) {
    // Axis (0, 0, -1), angle pi/2: -90 degrees about -Z is +90 degrees about +Z, so x → y.
    auto bytes = triangleMesh(1, false, 0, true, static_cast<float>(M_PI / 2), 0, 0, -1);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, false, r);
    ASSERT_EQ(r.normals.size(), 9u);
    EXPECT_NEAR(r.normals[0], 0.0f, 1e-5);
    EXPECT_NEAR(r.normals[1], 1.0f, 1e-5);
    EXPECT_NEAR(r.normals[2], 0.0f, 1e-5);
}

TEST(SceneMesh, AngleUsesTheFiveDigitPi) {
    // 3.14159 rad is read as exactly 180 degrees: x turns into -x with no y left over, which a
    // precise pi would leave (sin(3.14159) = 2.65e-6).
    auto bytes = triangleMesh(1, false, 0, true, 3.14159f, 0, 0, 1);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    Recorder r;
    emitSceneMesh(data, false, r);
    EXPECT_NEAR(r.normals[0], -1.0f, 1e-6);
    EXPECT_NEAR(r.normals[1], 0.0f, 2e-7);
}

TEST(SceneMesh, EveryTruncationIsRefused) {
    auto bytes = triangleMesh(2, true, 2, true);
    SceneMeshData data;
    ASSERT_TRUE(parseSceneMesh(bytes.data(), bytes.size(), data));
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_FALSE(parseSceneMesh(cut.data(), cut.size(), data)) << n;
    }
}

TEST(SceneMesh, IndexOutsideItsArrayIsRefused) {
    auto bytes = triangleMesh(1, false, 0, false);
    // The face triple starts after the 48-byte header and three vertices.
    bytes[48 + 36] = 3;
    SceneMeshData data;
    EXPECT_FALSE(parseSceneMesh(bytes.data(), bytes.size(), data));
}

TEST(SceneMesh, HugeCountsAreRefusedWithoutAllocating) {
    Bytes m;
    m.v3(0, 0, 0).v3(0, 0, 1).f32(0).u32(0xFFFFFFFFu).u32(0xFFFFFFFFu).u32(1).u32(1).u32(1);
    SceneMeshData data;
    EXPECT_FALSE(parseSceneMesh(m.b.data(), m.b.size(), data));
}

std::vector<uint8_t> shadowMesh(bool secondSet) {
    Bytes m;
    m.u32(4).u32(2).u32(8);
    if (secondSet) m.u32(4);
    m.v3(-1, -1, 0).v3(1, -1, 0).v3(1, 1, 0).v3(-1, 1, 0);
    m.tri(0, 1, 2).tri(0, 2, 3);
    m.tri(0, 1, 2).tri(4, 5, 6);
    for (int i = 0; i < 8; ++i) m.v2(i * 0.125f, 0);
    if (secondSet) {
        m.tri(0, 1, 2).tri(0, 2, 3);
        for (int i = 0; i < 4; ++i) m.v2(0, i * 0.25f);
    }
    for (int i = 0; i < 6; ++i) m.v3(0, 0, 1);
    return m.b;
}

TEST(ObjectMesh, ShadowWithoutSecondSetIs244Bytes) {
    auto bytes = shadowMesh(false);
    EXPECT_EQ(bytes.size(), 244u);
    ObjectMeshData data;
    ASSERT_TRUE(parseObjectMesh(bytes.data(), bytes.size(), false, data));
    Recorder r;
    emitObjectMesh(data, true, r);
    ASSERT_EQ(r.calls.size(), 18u);
    EXPECT_EQ(r.calls[0], "n");
    EXPECT_EQ(r.calls[1], "t 0 0");
    EXPECT_EQ(r.calls[2], "v -1 -1 0");
    EXPECT_EQ(r.calls[10], "t 0.5 0");    // face 1, corner a: coordinate 4
    EXPECT_EQ(r.calls[13], "t 0.625 0");  // corner b: coordinate 5
}

TEST(ObjectMesh, SecondSetFeedsUnitOneOnlyWithMultitexture) {
    auto bytes = shadowMesh(true);
    ObjectMeshData data;
    ASSERT_TRUE(parseObjectMesh(bytes.data(), bytes.size(), true, data));
    Recorder multi, single;
    emitObjectMesh(data, true, multi);
    emitObjectMesh(data, false, single);
    EXPECT_EQ(multi.count("m0"), 6);
    EXPECT_EQ(multi.count("m1"), 6);
    EXPECT_EQ(multi.calls[2], "m1 0 0");
    EXPECT_EQ(single.count("m"), 0);
    EXPECT_EQ(single.count("t "), 6);
}

TEST(ObjectMesh, ReadingWithTheWrongFlagOrCutShortIsRefused) {
    auto bytes = shadowMesh(false);
    ObjectMeshData data;
    // Read as if a second set were present, the file is too short.
    EXPECT_FALSE(parseObjectMesh(bytes.data(), bytes.size(), true, data));
    for (size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(parseObjectMesh(bytes.data(), n, false, data)) << n;
}

}  // namespace
}  // namespace ravelin
