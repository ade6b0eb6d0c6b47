// The generator's framework: CRC, packer layout, picture encoders and both mesh layouts,
// checked against values computed here independently.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "archive_reader.h"
#include "assetgen.h"
#include "jpeg_decode.h"

using namespace assetgen;

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t o) {
    return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 3]) << 24;
}
float f32(const std::vector<uint8_t>& b, size_t o) {
    const uint32_t v = le32(b, o);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

bool hasMarker(const std::vector<uint8_t>& b, uint8_t second) {
    for (size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == second) return true;
    return false;
}

}  // namespace

TEST(AssetgenCrc, StandardCheckValue) {
    const char* s = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(s), 9), 0xCBF43926u);
    EXPECT_EQ(crc32(nullptr, 0), 0u);
}

TEST(AssetgenPacker, LayoutDirectoriesFirstStoredEntriesAndEndBlock) {
    std::vector<AssetSink::File> files = {{"textures\\a.jpg", {1, 2, 3}}, {"land.txt", {}}, {"LOW.ogg", {9}}};
    const std::vector<uint8_t> bytes = packArchive(files);
    const uint8_t marker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    ASSERT_EQ(std::memcmp(bytes.data(), marker, 7), 0);
    // The end block closes the archive: type 0x7B, flags 0x4000, size 7.
    const size_t e = bytes.size() - 7;
    EXPECT_EQ(bytes[e + 2], 0x7B);
    EXPECT_EQ(bytes[e + 3] | bytes[e + 4] << 8, 0x4000);
    EXPECT_EQ(bytes[e + 5] | bytes[e + 6] << 8, 7);

    const assetgen_test::Archive a = assetgen_test::readArchive(bytes);
    ASSERT_EQ(a.error, "");
    EXPECT_TRUE(a.sawEndBlock);
    ASSERT_EQ(a.entries.size(), 7u);
    const char* names[7] = {"meshes", "technique", "textures", "vcl", "textures\\a.jpg", "land.txt", "LOW.ogg"};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(a.entries[i].name, names[i]);
        EXPECT_EQ(a.entries[i].directory, i < 4);
        EXPECT_EQ(a.entries[i].method, 0x30);
        EXPECT_EQ(a.entries[i].unpackVersion, 20);
        EXPECT_EQ(a.entries[i].hostSystem, 2);
        EXPECT_EQ(a.entries[i].time, a.entries[0].time);
    }
    EXPECT_EQ(a.entries[4].data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(a.entries[5].data.empty());
    EXPECT_EQ(a.entries[5].crc, 0u);
    // The first file header: packed = unpacked = 3, header size 32 + name.
    EXPECT_EQ(packArchive(files), bytes);  // same input, same bytes
}

TEST(AssetgenPacker, UnarListsAndTestsIt) {
    if (std::system("command -v lsar >/dev/null 2>&1") != 0) GTEST_SKIP() << "lsar (Debian package unar) not installed";
    std::vector<AssetSink::File> files = {{"textures\\a.jpg", {1, 2, 3}}, {"b.txt", {'h', 'i'}}};
    const auto dir = std::filesystem::temp_directory_path() / ("assetgen_pack_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "t.rar";
    {
        const std::vector<uint8_t> bytes = packArchive(files);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    EXPECT_EQ(std::system(("lsar -t '" + path.string() + "' >/dev/null 2>&1").c_str()), 0);
    std::filesystem::remove_all(dir);
}

TEST(AssetgenTga, Type2ThirtyTwoBitsBottomUpBgra) {
    // 2 × 2, top row red and green, bottom row blue and white with alpha 10.
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 10, 255, 255, 255, 10};
    const std::vector<uint8_t> t = encodeTga32(rgba, 2, 2);
    ASSERT_EQ(t.size(), 18u + 16u);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 0);
    EXPECT_EQ(t[2], 2);
    EXPECT_EQ(t[12] | t[13] << 8, 2);
    EXPECT_EQ(t[14] | t[15] << 8, 2);
    EXPECT_EQ(t[16], 32);
    EXPECT_EQ(t[17], 0x08);
    // First stored pixel: bottom-left (blue), stored B G R A.
    EXPECT_EQ(std::vector<uint8_t>(t.begin() + 18, t.begin() + 22), (std::vector<uint8_t>{255, 0, 0, 10}));
    EXPECT_EQ(std::vector<uint8_t>(t.begin() + 26, t.begin() + 30), (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST(AssetgenBmp, TwentyFourBitsPaddedRowsBottomUp) {
    std::vector<uint8_t> rgb(3 * 2 * 3, 0);
    rgb[0] = 200;            // top-left red
    rgb[3 * 3 + 2] = 100;    // bottom-left blue
    const std::vector<uint8_t> b = encodeBmp24(rgb, 3, 2);
    ASSERT_EQ(b.size(), 54u + 12u * 2u);  // rows of 9 bytes padded to 12
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(le32(b, 22), 2u);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(b[54], 100);      // bottom row first, B G R
    EXPECT_EQ(b[54 + 12 + 2], 200);
}

TEST(AssetgenJpeg, BaselineAndProgressiveBothDecode) {
    const int w = 40, h = 24;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(x * 6);
            p[1] = uint8_t(y * 10);
            p[2] = 128;
        }
    for (bool progressive : {false, true}) {
        const std::vector<uint8_t> j = encodeJpeg(rgb, w, h, 95, progressive);
        EXPECT_EQ(hasMarker(j, 0xC2), progressive);
        EXPECT_EQ(hasMarker(j, 0xC0), !progressive);
        ravelin::testing::DecodedJpeg decoded;
        ASSERT_TRUE(ravelin::testing::libjpegDecode(j, decoded));
        EXPECT_EQ(decoded.width, w);
        EXPECT_EQ(decoded.height, h);
        EXPECT_EQ(decoded.components, 3);
        const std::vector<uint8_t>& px = decoded.pixels;
        // Top row first as painted: the top-right pixel is red-ish, the bottom row green-ish.
        EXPECT_NEAR(px[(size_t(w) - 1) * 3], 234, 12);
        EXPECT_NEAR(px[(size_t(h - 1) * w) * 3 + 1], 230, 12);
    }
}

TEST(AssetgenSceneMesh, QuadLikeTheGroundPieceLayout) {
    SceneMesh m;
    m.vertices = {{0, 0, 0}, {2, 0, 0}, {2, 3, 1}, {0, 3, 0}};
    m.faces = {0, 1, 2, 0, 2, 3};
    m.uv0 = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    m.uv0Faces = m.faces;
    m.cornerNormals.assign(6, {0, 0, 1});
    const std::vector<uint8_t> b = writeSceneMesh(m);
    // 48 header + 4·12 vertices + 2·12 faces + (4 + 4·8 + 2·12) set + 4 K + 6·12 normals + 24 box.
    ASSERT_EQ(b.size(), 48u + 48u + 24u + 60u + 4u + 72u + 24u);
    EXPECT_EQ(le32(b, 28), 4u);
    EXPECT_EQ(le32(b, 32), 2u);
    EXPECT_EQ(le32(b, 36), 1u);
    EXPECT_EQ(le32(b, 40), 1u);
    EXPECT_EQ(le32(b, 44), 1u);
    EXPECT_EQ(le32(b, 48 + 48 + 24), 4u);            // coordinate count
    EXPECT_EQ(le32(b, 48 + 48 + 24 + 60), 0u);       // K = 0
    const size_t box = b.size() - 24;
    EXPECT_EQ(f32(b, box + 0), 0.0f);
    EXPECT_EQ(f32(b, box + 12), 2.0f);
    EXPECT_EQ(f32(b, box + 16), 3.0f);
    EXPECT_EQ(f32(b, box + 20), 1.0f);
}

TEST(AssetgenSceneMesh, TwoSetsAndColours) {
    SceneMesh m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.faces = {0, 1, 2};
    m.uv0 = {{0, 0}};
    m.uv0Faces = {0, 0, 0};
    m.uv1 = {{0.5f, 0.5f}, {0.25f, 0.75f}};
    m.uv1Faces = {0, 1, 0};
    m.colours = {{1, 0.5f, 0.25f}};
    m.colourFaces = {0, 0, 0};
    const std::vector<uint8_t> b = writeSceneMesh(m);
    EXPECT_EQ(le32(b, 36), 2u);
    EXPECT_EQ(le32(b, 40), 0u);  // no normals given
    size_t o = 48 + 36 + 12;
    EXPECT_EQ(le32(b, o), 1u);
    o += 4 + 8 + 12;
    EXPECT_EQ(le32(b, o), 2u);
    EXPECT_EQ(f32(b, o + 4 + 8 + 4), 0.75f);
    o += 4 + 16 + 12;
    EXPECT_EQ(le32(b, o), 1u);  // K
    EXPECT_EQ(f32(b, o + 8), 0.5f);
    EXPECT_EQ(b.size(), o + 4 + 12 + 12 + 24);
}

TEST(AssetgenObjectMesh, ShadowQuadIs244Bytes) {
    ObjectMesh m;
    m.vertices = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    m.faces = {0, 1, 2, 0, 2, 3};
    m.uv = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 1}};
    m.uvFaces = {0, 1, 2, 4, 6, 7};
    m.cornerNormals.assign(6, {0, 0, 1});
    const std::vector<uint8_t> b = writeObjectMesh(m);
    EXPECT_EQ(b.size(), 244u);
    EXPECT_EQ(le32(b, 8), 8u);
    // With a second set the header gains T2 and the file its index triples and coordinates.
    m.hasSecondSet = true;
    m.uv2 = {{0.5f, 0.5f}};
    m.uv2Faces.assign(6, 0);
    EXPECT_EQ(writeObjectMesh(m).size(), 244u + 4u + 24u + 8u);
}

TEST(AssetgenSceneMesh, StoredNormalsComeBackThroughTheLoaderRotation) {
    // The loader replaces a stored normal s by sᵀ·R (R = glRotatef(angle° = a/3.14159·180, axis)).
    const V3 axes[3] = {{0, 0, -1}, {0, 0, 1}, {1, 2, 3}};
    const float angles[3] = {1.5707963f, 2.2f, -0.7f};
    const V3 n{0.6f, 0.0f, 0.8f};
    for (int k = 0; k < 3; ++k) {
        const V3 s = normalForLoader(n, axes[k], angles[k]);
        const double deg = angles[k] / 3.14159 * 180.0, a = deg * M_PI / 180.0;
        double x = axes[k].x, y = axes[k].y, z = axes[k].z;
        const double l = std::sqrt(x * x + y * y + z * z);
        x /= l, y /= l, z /= l;
        const double c = std::cos(a), si = std::sin(a), t = 1 - c;
        const double R[3][3] = {{t * x * x + c, t * x * y - si * z, t * x * z + si * y},
                                {t * x * y + si * z, t * y * y + c, t * y * z - si * x},
                                {t * x * z - si * y, t * y * z + si * x, t * z * z + c}};
        const double sv[3] = {s.x, s.y, s.z};
        double out[3] = {0, 0, 0};
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 3; ++row) out[col] += sv[row] * R[row][col];
        EXPECT_NEAR(out[0], n.x, 1e-5);
        EXPECT_NEAR(out[1], n.y, 1e-5);
        EXPECT_NEAR(out[2], n.z, 1e-5);
    }
}

TEST(AssetgenSink, NamesCompareLikeTheRuntime) {
    AssetSink s;
    s.addArchiveText("textures\\skybox_right.JPG", "x");
    EXPECT_TRUE(s.hasArchiveFile("TEXTURES/skybox_right.jpg"));
    EXPECT_FALSE(s.hasArchiveFile("textures\\skybox_left.JPG"));
    AssetSink t;
    t.addArchiveText("land.txt", "y");
    s.append(std::move(t));
    ASSERT_EQ(s.archiveFiles().size(), 2u);
    EXPECT_EQ(s.archiveFiles()[1].name, "land.txt");
}
