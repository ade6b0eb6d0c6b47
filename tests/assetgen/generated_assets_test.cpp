// Checks of the generated archive as the screensaver will read it: an independent reader and
// unar accept it; a reference walk from the scene files, the car looks and the fixed names finds
// every technique, picture and mesh, well formed; the race lines are closed, spaced by speed and
// on the road; generation is deterministic and within its budgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

#include "archive_reader.h"
#include "assets/asset_file.h"
#include "jpeg_decode.h"

using assetgen_test::Archive;
using assetgen_test::Entry;

namespace {

const std::string kAssetDir = RAVELIN_ASSET_DIR;

const Archive& archive() {
    static const Archive a = assetgen_test::readArchive(assetgen_test::readFileBytes(kAssetDir + "/archive.rar"));
    return a;
}

#define REQUIRE_ARCHIVE()                                                                          \
    if (!std::filesystem::exists(kAssetDir + "/archive.rar"))                                    \
    GTEST_SKIP() << "no generated archive in " << kAssetDir

uint32_t le32(const std::vector<uint8_t>& b, size_t o) {
    return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 3]) << 24;
}
float f32(const std::vector<uint8_t>& b, size_t o) {
    const uint32_t v = le32(b, o);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

std::vector<std::string> lines(const std::vector<uint8_t>& data) {
    // As the runtime's line reader: leading spaces dropped, CR removed, split at LF.
    std::vector<std::string> out;
    std::string cur;
    bool lead = true;
    for (uint8_t c : data) {
        if (c == '\n') {
            out.push_back(cur);
            cur.clear();
            lead = true;
            continue;
        }
        if (lead && c == ' ') continue;
        lead = false;
        if (c != '\r') cur.push_back(char(c));
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

bool starts(const std::string& s, const char* p) { return s.compare(0, std::strlen(p), p) == 0; }

// Longest physical line of a text file in bytes (CR included, LF not).
size_t longestLine(const std::vector<uint8_t>& data) {
    size_t best = 0, cur = 0;
    for (uint8_t c : data) {
        if (c == '\n') {
            best = std::max(best, cur);
            cur = 0;
        } else {
            ++cur;
        }
    }
    return std::max(best, cur);
}

// Width, height, components and (when asked) the pixels of a JPEG entry; false when it does not
// decode.
bool decodeJpeg(const std::vector<uint8_t>& bytes, int& w, int& h, int& comps, std::vector<uint8_t>* pixels = nullptr) {
    ravelin::testing::DecodedJpeg decoded;
    if (!ravelin::testing::libjpegDecode(bytes, decoded)) return false;
    w = decoded.width;
    h = decoded.height;
    comps = decoded.components;
    if (pixels) *pixels = std::move(decoded.pixels);
    return true;
}

// A picture the texture path accepts: jpg/JPG decoding to 3 components, or a type 2 32-bit TGA.
std::string checkPicture(const std::string& name, int* outW = nullptr, int* outH = nullptr) {
    if (name.size() < 4) return "short name " + name;
    const std::string ext = name.substr(name.size() - 3);
    if (ext != "jpg" && ext != "JPG" && ext != "tga" && ext != "TGA") return "extension the runtime ignores: " + name;
    const Entry* e = archive().find("textures\\" + name);
    if (!e) return "missing picture textures\\" + name;
    int w = 0, h = 0;
    if (ext == "jpg" || ext == "JPG") {
        int c = 0;
        if (!decodeJpeg(e->data, w, h, c)) return "undecodable JPEG " + name;
        if (c != 3) return "JPEG not RGB: " + name;
    } else {
        const auto& b = e->data;
        if (b.size() < 18) return "short TGA " + name;
        w = b[12] | b[13] << 8;
        h = b[14] | b[15] << 8;
        if (b[2] != 2 || b[16] != 32 || b[17] != 0x08 || b[0] != 0 || b[1] != 0) return "TGA not type 2/32/0x08: " + name;
        if (b.size() != 18 + size_t(w) * size_t(h) * 4) return "TGA size mismatch: " + name;
    }
    if (w <= 0 || h <= 0) return "empty picture " + name;
    if (outW) *outW = w;
    if (outH) *outH = h;
    return "";
}

// Full structural check of the scene-mesh layout; fills the vertex bounds when asked.
std::string checkSceneMesh(const std::string& stem, float* bounds = nullptr) {
    const Entry* e = archive().find("meshes\\" + stem + ".dat");
    if (!e) return "missing mesh " + stem;
    const auto& b = e->data;
    if (b.size() < 48) return "short mesh " + stem;
    const uint64_t V = le32(b, 28), F = le32(b, 32), S = le32(b, 36), N = le32(b, 40), C = le32(b, 44);
    if (V == 0 || F == 0 || S > 2) return "odd counts in " + stem;
    size_t o = 48;
    auto need = [&](uint64_t n) { return o + n <= b.size(); };
    if (!need(V * 12 + F * 12)) return "truncated vertices/faces in " + stem;
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (uint64_t i = 0; i < V; ++i)
        for (int k = 0; k < 3; ++k) {
            const float v = f32(b, o + i * 12 + size_t(k) * 4);
            if (!std::isfinite(v)) return "non-finite vertex in " + stem;
            lo[k] = std::min(lo[k], v);
            hi[k] = std::max(hi[k], v);
        }
    o += V * 12;
    for (uint64_t i = 0; i < F * 3; ++i)
        if (le32(b, o + i * 4) >= V) return "vertex index out of range in " + stem;
    o += F * 12;
    for (uint64_t s = 0; s < S; ++s) {
        if (!need(4)) return "truncated set in " + stem;
        const uint64_t T = le32(b, o);
        o += 4;
        if (T == 0) continue;
        if (!need(T * 8 + F * 12)) return "truncated coordinates in " + stem;
        o += T * 8;
        for (uint64_t i = 0; i < F * 3; ++i)
            if (le32(b, o + i * 4) >= T) return "coordinate index out of range in " + stem;
        o += F * 12;
    }
    if (C) {
        if (!need(4)) return "truncated colours in " + stem;
        const uint64_t K = le32(b, o);
        o += 4;
        if (K) {
            if (!need(K * 12 + F * 12)) return "truncated colour data in " + stem;
            o += K * 12;
            for (uint64_t i = 0; i < F * 3; ++i)
                if (le32(b, o + i * 4) >= K) return "colour index out of range in " + stem;
            o += F * 12;
        }
    }
    if (N) {
        if (!need(F * 36)) return "truncated normals in " + stem;
        for (uint64_t i = 0; i < F * 3; ++i) {
            const float x = f32(b, o + i * 12), y = f32(b, o + i * 12 + 4), z = f32(b, o + i * 12 + 8);
            if (std::fabs(std::sqrt(x * x + y * y + z * z) - 1) > 0.02f) return "normal not unit length in " + stem;
        }
        o += F * 36;
    }
    if (o + 24 != b.size()) return "size does not match the layout in " + stem;
    for (int k = 0; k < 3; ++k)
        if (f32(b, o + size_t(k) * 4) > lo[k] + 1e-4f || f32(b, o + 12 + size_t(k) * 4) < hi[k] - 1e-4f)
            return "bounding box does not hold the vertices in " + stem;
    if (bounds) {
        std::copy(lo, lo + 3, bounds);
        std::copy(hi, hi + 3, bounds + 3);
    }
    return "";
}

std::string checkObjectMesh(const std::string& aseName, bool secondSet) {
    const std::string stem = aseName.substr(0, aseName.size() - 4);
    const Entry* e = archive().find("meshes\\" + stem + ".dat");
    if (!e) return "missing object mesh " + stem;
    const auto& b = e->data;
    if (b.size() < 16) return "short object mesh " + stem;
    const uint64_t V = le32(b, 0), F = le32(b, 4), T = le32(b, 8), T2 = secondSet ? le32(b, 12) : 0;
    const uint64_t expect = (secondSet ? 16 : 12) + V * 12 + F * 12 + F * 12 + T * 8 + (secondSet ? F * 12 + T2 * 8 : 0) + F * 36;
    if (b.size() != expect) return "size does not match the object layout in " + stem;
    return "";
}

struct MeshFace {
    double p[3][3];  // corners a, b, c
    float u[3];      // their first-set u coordinates
};

// The faces of a scene mesh with their first texture coordinate set (layout as checkSceneMesh).
std::vector<MeshFace> sceneMeshFaces(const std::string& stem) {
    std::vector<MeshFace> faces;
    const Entry* e = archive().find("meshes\\" + stem + ".dat");
    if (!e || !checkSceneMesh(stem).empty()) return faces;
    const auto& b = e->data;
    const size_t V = le32(b, 28), F = le32(b, 32);
    const size_t vertices = 48, indices = vertices + V * 12, set0 = indices + F * 12;
    const size_t T = le32(b, set0), coords = set0 + 4, uvIndices = coords + T * 8;
    if (le32(b, 36) == 0 || T == 0) return faces;
    for (size_t f = 0; f < F; ++f) {
        MeshFace face{};
        for (size_t k = 0; k < 3; ++k) {
            const size_t vi = le32(b, indices + (f * 3 + k) * 4), ti = le32(b, uvIndices + (f * 3 + k) * 4);
            for (size_t c = 0; c < 3; ++c) face.p[k][c] = f32(b, vertices + vi * 12 + c * 4);
            face.u[k] = f32(b, coords + ti * 8);
        }
        faces.push_back(face);
    }
    return faces;
}

struct Block {
    std::string technique;
    std::vector<std::string> meshes;
};

// The scene grammar as the loader reads it (first line skipped, prefix keywords, collect names).
std::vector<Block> parseScene(const std::vector<uint8_t>& data) {
    std::vector<Block> blocks;
    const auto ls = lines(data);
    size_t i = 1;
    while (i < ls.size()) {
        const std::string& l = ls[i++];
        if (starts(l, "end")) break;
        if (!starts(l, "render")) continue;
        Block b;
        while (i < ls.size()) {
            const std::string& x = ls[i++];
            char name[128] = {0};
            int n = 0;
            if (starts(x, "technique") && std::sscanf(x.c_str(), "technique %127s", name) == 1) b.technique = name;
            if (starts(x, "mesh") && std::sscanf(x.c_str(), "mesh %127s", name) == 1) b.meshes.push_back(name);
            if (starts(x, "collect") && std::sscanf(x.c_str(), "collect %127s %d", name, &n) == 2)
                for (int k = 1; k <= n; ++k) {
                    char full[160];
                    std::snprintf(full, sizeof full, k <= 9 ? "%s0%d" : "%s%d", name, k);
                    b.meshes.push_back(full);
                }
            if (starts(x, "}")) break;
        }
        blocks.push_back(b);
    }
    return blocks;
}

struct TechniqueInfo {
    std::vector<std::string> textures;
    bool blend = false;
    bool alphaTest = false;
    bool twoSided = false;
};

TechniqueInfo parseTechnique(const std::vector<uint8_t>& data) {
    TechniqueInfo t;
    for (const std::string& l : lines(data)) {
        char name[128] = {0};
        int unit = 0;
        if (starts(l, "texture") && std::sscanf(l.c_str(), "texture %d %127s", &unit, name) == 2) t.textures.push_back(name);
        if (starts(l, "alphablend") || starts(l, "addblend") || starts(l, "multblend")) t.blend = true;
        if (starts(l, "alpha test")) t.alphaTest = true;
        if (starts(l, "2sided")) t.twoSided = true;
        if (starts(l, "end")) break;
    }
    return t;
}

struct RaceLine {
    std::vector<double> x, y, z, steer;
};

RaceLine raceLine(const std::string& name) {
    RaceLine r;
    const Entry* e = archive().find(name);
    if (!e) return r;
    for (size_t i = 0; i + 16 <= e->data.size(); i += 16) {
        r.x.push_back(f32(e->data, i));
        r.y.push_back(f32(e->data, i + 4));
        r.z.push_back(f32(e->data, i + 8));
        r.steer.push_back(-f32(e->data, i + 12));
    }
    return r;
}

constexpr double kMinX = 36.631 - 467.673 / 2, kMaxX = 36.631 + 467.673 / 2;
constexpr double kMinY = 0.895 - 306.049 / 2, kMaxY = 0.895 + 306.049 / 2;
const char* const kLines[4] = {"corr.ase", "corr2.ase", "corr3.ase", "corr4.ase"};

}  // namespace

TEST(GeneratedArchive, IndependentReaderAcceptsEveryBlock) {
    REQUIRE_ARCHIVE();
    const Archive& a = archive();
    ASSERT_EQ(a.error, "");
    EXPECT_TRUE(a.sawEndBlock);
    ASSERT_GE(a.entries.size(), 4u);
    const char* dirs[4] = {"meshes", "technique", "textures", "vcl"};
    std::set<std::string> seen;
    for (size_t i = 0; i < a.entries.size(); ++i) {
        const Entry& e = a.entries[i];
        EXPECT_EQ(e.directory, i < 4) << e.name;
        if (i < 4) {
            EXPECT_EQ(e.name, dirs[i]);
        }
        EXPECT_EQ(e.method, 0x30) << e.name;
        EXPECT_EQ(e.unpackVersion, 20) << e.name;
        EXPECT_EQ(e.hostSystem, 2) << e.name;
        EXPECT_EQ(e.time, a.entries[0].time) << e.name;
        EXPECT_EQ(e.name.find('/'), std::string::npos) << e.name;
        std::string key = e.name;
        for (char& c : key) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(seen.insert(key).second) << "duplicate " << e.name;
    }
    const auto size = std::filesystem::file_size(kAssetDir + "/archive.rar");
    std::printf("archive.rar: %llu bytes, %zu entries\n", static_cast<unsigned long long>(size), a.entries.size());
    EXPECT_LT(size, 25u * 1024u * 1024u);
}

TEST(GeneratedArchive, UnarTestsAndExtractsEveryEntryWithMatchingBytes) {
    REQUIRE_ARCHIVE();
    if (std::system("command -v unar >/dev/null 2>&1 && command -v lsar >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unar/lsar (Debian package unar) not installed";
    const std::string rar = kAssetDir + "/archive.rar";
    EXPECT_EQ(std::system(("lsar -t '" + rar + "' >/dev/null 2>&1").c_str()), 0) << "lsar -t reports a bad entry";
    const auto dir = std::filesystem::temp_directory_path() / ("assetgen_unar_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    ASSERT_EQ(std::system(("unar -q -f -D -o '" + dir.string() + "' '" + rar + "' >/dev/null 2>&1").c_str()), 0);
    for (const Entry& e : archive().entries) {
        std::string rel = e.name;
        std::replace(rel.begin(), rel.end(), '\\', '/');
        const auto p = dir / rel;
        if (e.directory) {
            EXPECT_TRUE(std::filesystem::is_directory(p)) << rel;
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(p)) << rel;
        EXPECT_EQ(assetgen_test::readFileBytes(p.string()), e.data) << rel;
    }
    std::filesystem::remove_all(dir);
}

TEST(GeneratedArchive, ReferenceWalkFromTheScenesFindsEveryNameWellFormed) {
    REQUIRE_ARCHIVE();
    std::set<std::string> techniques, pictures, meshes;
    for (const char* scene : {"land.txt", "test.txt"}) {
        const Entry* e = archive().find(scene);
        ASSERT_TRUE(e) << scene;
        EXPECT_LT(longestLine(e->data), 127u) << scene;
        const auto blocks = parseScene(e->data);
        ASSERT_FALSE(blocks.empty()) << scene;
        for (const Block& b : blocks) {
            EXPECT_FALSE(b.technique.empty()) << scene;
            EXPECT_FALSE(b.meshes.empty()) << scene << " block " << b.technique;
            techniques.insert(b.technique);
            meshes.insert(b.meshes.begin(), b.meshes.end());
        }
        if (std::string(scene) == "test.txt") {
            // The flare, the transition and the clock drawn next fade by alpha with the state the
            // last block leaves: blending on, no alpha test to cut them off.
            const Entry* t = archive().find("technique\\" + blocks.back().technique);
            ASSERT_TRUE(t);
            EXPECT_TRUE(parseTechnique(t->data).blend) << "the last block of test.txt must leave blending on";
            EXPECT_FALSE(parseTechnique(t->data).alphaTest) << "the last block of test.txt must leave the alpha test off";
        }
    }
    for (const std::string& t : techniques) {
        const Entry* e = archive().find("technique\\" + t);
        ASSERT_TRUE(e) << "missing technique " << t;
        EXPECT_LT(longestLine(e->data), 127u) << t;
        const auto ls = lines(e->data);
        EXPECT_TRUE(std::any_of(ls.begin(), ls.end(), [](const std::string& l) { return starts(l, "end"); })) << t;
        for (const std::string& l : ls) EXPECT_FALSE(starts(l, "depthwrite")) << t << ": not a keyword";
        for (const std::string& p : parseTechnique(e->data).textures) pictures.insert(p);
    }
    for (const std::string& p : pictures) EXPECT_EQ(checkPicture(p), "");
    for (const std::string& m : meshes) EXPECT_EQ(checkSceneMesh(m), "");
    std::printf("scenes name %zu techniques, %zu pictures, %zu meshes\n", techniques.size(), pictures.size(), meshes.size());
}

TEST(GeneratedArchive, BoardLetteringFacesTheTrackAndNeverShowsMirrored) {
    REQUIRE_ARCHIVE();
    const Entry* scene = archive().find("test.txt");
    ASSERT_TRUE(scene);
    const RaceLine line = raceLine(kLines[0]);
    ASSERT_FALSE(line.x.empty());
    int boards = 0;
    for (const Block& block : parseScene(scene->data)) {
        if (block.technique != "boards.txt" && block.technique != "brakeboards.txt") continue;
        const Entry* t = archive().find("technique\\" + block.technique);
        ASSERT_TRUE(t);
        // One-sided: a face is seen only from the side its winding turns to the camera.
        EXPECT_FALSE(parseTechnique(t->data).twoSided) << block.technique;
        for (const std::string& stem : block.meshes) {
            int lettered = 0, plainBacks = 0;
            for (const MeshFace& f : sceneMeshFaces(stem)) {
                const double e1[3] = {f.p[1][0] - f.p[0][0], f.p[1][1] - f.p[0][1], f.p[1][2] - f.p[0][2]};
                const double e2[3] = {f.p[2][0] - f.p[0][0], f.p[2][1] - f.p[0][1], f.p[2][2] - f.p[0][2]};
                const double nx = e1[1] * e2[2] - e1[2] * e2[1], ny = e1[2] * e2[0] - e1[0] * e2[2];
                const double cx = (f.p[0][0] + f.p[1][0] + f.p[2][0]) / 3, cy = (f.p[0][1] + f.p[1][1] + f.p[2][1]) / 3;
                size_t near = 0;
                for (size_t i = 1; i < line.x.size(); ++i)
                    if (std::hypot(line.x[i] - cx, line.y[i] - cy) < std::hypot(line.x[near] - cx, line.y[near] - cy)) near = i;
                // Seen from where the cars come from: about three points (15 units) up the line.
                const size_t from = (near + line.x.size() - 3) % line.x.size();
                const bool facesTrack = nx * (line.x[from] - cx) + ny * (line.y[from] - cy) > 0;
                const float span = std::max({f.u[0], f.u[1], f.u[2]}) - std::min({f.u[0], f.u[1], f.u[2]});
                if (span > 0.9f) {
                    ++lettered;
                    EXPECT_TRUE(facesTrack) << stem << ": lettering turned away from the track";
                } else if (!facesTrack && std::fabs(nx) + std::fabs(ny) > 0) {
                    ++plainBacks;
                }
            }
            EXPECT_GT(lettered, 0) << stem;  // the lettered faces look at the oncoming cars
            EXPECT_GE(plainBacks, lettered) << stem << ": every lettered face has a plain back";
            ++boards;
        }
    }
    EXPECT_GT(boards, 10);
}

TEST(GeneratedArchive, GroundLayersCarryLightmapCoordinatesFromTheirPositions) {
    REQUIRE_ARCHIVE();
    // The road's second set maps world x, y over the lightmap rectangle (its first sector here).
    const Entry* e = archive().find("meshes\\road01.dat");
    ASSERT_TRUE(e);
    const auto& b = e->data;
    ASSERT_EQ(le32(b, 36), 2u);
    const uint32_t V = le32(b, 28), F = le32(b, 32);
    size_t o = 48 + size_t(V) * 12 + size_t(F) * 12;
    const uint32_t T0 = le32(b, o);
    o += 4 + size_t(T0) * 8 + size_t(F) * 12;
    const uint32_t T1 = le32(b, o);
    const size_t coords = o + 4, faces1 = coords + size_t(T1) * 8;
    for (uint32_t f = 0; f < F; f += 97)
        for (int k = 0; k < 3; ++k) {
            const uint32_t vi = le32(b, 48 + size_t(V) * 12 + (size_t(f) * 3 + size_t(k)) * 4);
            const uint32_t ti = le32(b, faces1 + (size_t(f) * 3 + size_t(k)) * 4);
            const double x = f32(b, 48 + size_t(vi) * 12), y = f32(b, 48 + size_t(vi) * 12 + 4);
            EXPECT_NEAR(f32(b, coords + size_t(ti) * 8), (x - kMinX) / 467.673, 1e-4);
            EXPECT_NEAR(f32(b, coords + size_t(ti) * 8 + 4), (y - kMinY) / 306.049, 1e-4);
        }
}

// Flat triangles of the land scene's blocks drawn with the given techniques (leaving out meshes
// whose names start with `without`), bucketed by one-unit squares of the map for point lookups.
struct FlatCover {
    static constexpr int kW = 470, kH = 310;
    std::vector<MeshFace> faces;
    std::vector<std::vector<uint32_t>> buckets = std::vector<std::vector<uint32_t>>(size_t(kW) * kH);
    double area = 0;
    explicit FlatCover(std::initializer_list<const char*> techniques, const char* without = "-") {
        const Entry* land = archive().find("land.txt");
        if (!land) return;
        for (const Block& b : parseScene(land->data))
            for (const char* t : techniques)
                if (b.technique == t)
                    for (const std::string& m : b.meshes)
                        if (!starts(m, without))
                            for (const MeshFace& f : sceneMeshFaces(m)) add(f);
    }
    void add(const MeshFace& f) {
        const auto& p = f.p;
        area += std::fabs((p[1][0] - p[0][0]) * (p[2][1] - p[0][1]) - (p[1][1] - p[0][1]) * (p[2][0] - p[0][0])) / 2;
        const int x0 = bx(std::min({p[0][0], p[1][0], p[2][0]})), x1 = bx(std::max({p[0][0], p[1][0], p[2][0]}));
        const int y0 = by(std::min({p[0][1], p[1][1], p[2][1]})), y1 = by(std::max({p[0][1], p[1][1], p[2][1]}));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) buckets[size_t(y) * kW + size_t(x)].push_back(uint32_t(faces.size()));
        faces.push_back(f);
    }
    static int bx(double x) { return std::clamp(int(x - kMinX), 0, kW - 1); }
    static int by(double y) { return std::clamp(int(y - kMinY), 0, kH - 1); }
    bool covers(double x, double y) const {
        for (uint32_t i : buckets[size_t(by(y)) * kW + size_t(bx(x))]) {
            const auto& p = faces[i].p;
            double side[3];
            for (int k = 0; k < 3; ++k) {
                const auto& a = p[k];
                const auto& b = p[(k + 1) % 3];
                side[k] = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
            }
            if ((side[0] >= 0 && side[1] >= 0 && side[2] >= 0) || (side[0] <= 0 && side[1] <= 0 && side[2] <= 0)) return true;
        }
        return false;
    }
};

TEST(GeneratedArchive, GrassStopsUnderTheRoadWithoutAGapAtItsEdges) {
    REQUIRE_ARCHIVE();
    const FlatCover grass({"grass.txt"}), road({"road.txt", "start.txt"});
    ASSERT_GT(grass.faces.size(), 0u);
    ASSERT_GT(road.faces.size(), 0u);
    // Every point of the map is grass or road: on a fine lattice, and just outside each road
    // corner (the road's edges, where a crack would open).
    int gaps = 0, probes = 0;
    auto probe = [&](double x, double y) {
        if (x <= kMinX || x >= kMaxX || y <= kMinY || y >= kMaxY) return;
        ++probes;
        if (!grass.covers(x, y) && !road.covers(x, y) && ++gaps <= 5) ADD_FAILURE() << "nothing at " << x << ", " << y;
    };
    for (double y = kMinY + 0.05; y < kMaxY; y += 0.21)
        for (double x = kMinX + 0.05; x < kMaxX; x += 0.21) probe(x, y);
    for (const MeshFace& f : road.faces)
        for (const auto& p : f.p)
            for (double d : {-0.004, 0.004}) {
                probe(p[0] + d, p[1]);
                probe(p[0], p[1] + d);
            }
    EXPECT_EQ(gaps, 0) << "of " << probes << " probes";
    // And the grass under the road (not the pit lane) is gone but for a thin margin along its
    // edges (road 3.6 units wide).
    const double map = (kMaxX - kMinX) * (kMaxY - kMinY), band = FlatCover({"road.txt", "start.txt"}, "pitlane").area;
    std::printf("grass %.0f of %.0f square units, road and start %.0f, %zu grass triangles\n", grass.area, map, band,
                grass.faces.size());
    EXPECT_LT(grass.area, map - 0.95 * band);
    EXPECT_GT(grass.area, map - band);
}

TEST(GeneratedArchive, FixedNamesOfTheWorldAndSky) {
    REQUIRE_ARCHIVE();
    int w = 0, h = 0;
    EXPECT_EQ(checkPicture("lmap.jpg", &w, &h), "");
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 1024);
    EXPECT_EQ(checkPicture("skydome.jpg", &w, &h), "");
    EXPECT_EQ(w, 2048);
    EXPECT_EQ(h, 1024);
    float box[6];
    ASSERT_EQ(checkSceneMesh("skydome", box), "");
    for (int k = 0; k < 3; ++k) {
        EXPECT_LE(box[3 + k], 25.0f);
        EXPECT_GE(box[k], -25.0f);
    }
    // Six square faces of one size, stored with the upper-case extension.
    int faceSize = 0;
    for (const char* f : {"right", "left", "bottom", "top", "front", "back"}) {
        const std::string name = std::string("skybox_") + f + ".JPG";
        ASSERT_TRUE(archive().find("textures\\" + name)) << name;
        bool exact = false;
        for (const Entry& e : archive().entries) exact |= e.name == "textures\\" + name;
        EXPECT_TRUE(exact) << name << " stored with a different spelling";
        EXPECT_EQ(checkPicture(name, &w, &h), "");
        EXPECT_EQ(w, h);
        if (!faceSize) faceSize = w;
        EXPECT_EQ(w, faceSize);
    }
}

TEST(GeneratedArchive, LightmapShadeLiesUnderTheBridge) {
    REQUIRE_ARCHIVE();
    // The cars read the red channel: somewhere along every race line it must dip into shade
    // (the bridge), and most of the line is in sun.
    int w = 0, h = 0, c = 0;
    std::vector<uint8_t> px;
    ASSERT_TRUE(decodeJpeg(archive().find("textures\\lmap.jpg")->data, w, h, c, &px));
    for (const char* name : kLines) {
        const RaceLine r = raceLine(name);
        ASSERT_EQ(r.x.size(), 233u);
        int dark = 0, bright = 0, samples = 0;
        for (size_t i = 0; i < r.x.size(); ++i)
            for (int k = 0; k < 16; ++k) {
                const size_t j = (i + 1) % r.x.size();
                const double x = r.x[i] + (r.x[j] - r.x[i]) * k / 16, y = r.y[i] + (r.y[j] - r.y[i]) * k / 16;
                const double u = (x - kMinX) / 467.673, v = (y - kMinY) / 306.049;
                const int col = int(u * 1024), rowTop = 1023 - int(v * 1024);
                const uint8_t red = px[(size_t(rowTop) * 1024 + size_t(col)) * 3];
                dark += red < 170;
                bright += red > 220;
                ++samples;
            }
        EXPECT_GE(dark, 1) << name;
        EXPECT_GT(bright, samples * 3 / 4) << name;
    }
}

TEST(GeneratedRaceLines, ClosedSpacedBySpeedInsideTheRectangle) {
    REQUIRE_ARCHIVE();
    for (const char* name : kLines) {
        const Entry* e = archive().find(name);
        ASSERT_TRUE(e) << name;
        ASSERT_EQ(e->data.size(), 233u * 16u) << name;
        const RaceLine r = raceLine(name);
        double total = 0, minGap = 1e9, maxGap = 0, minSteer = 1e9, maxSteer = -1e9;
        for (size_t i = 0; i < 233; ++i) {
            const size_t j = (i + 1) % 233;  // the loader closes the loop
            const double gap = std::hypot(r.x[j] - r.x[i], r.y[j] - r.y[i]);
            total += gap;
            minGap = std::min(minGap, gap);
            maxGap = std::max(maxGap, gap);
            minSteer = std::min(minSteer, r.steer[i]);
            maxSteer = std::max(maxSteer, r.steer[i]);
            EXPECT_GT(r.x[i], kMinX + 10) << name;
            EXPECT_LT(r.x[i], kMaxX - 10) << name;
            EXPECT_GT(r.y[i], kMinY + 10) << name;
            EXPECT_LT(r.y[i], kMaxY - 10) << name;
            EXPECT_TRUE(std::isfinite(r.z[i]));
        }
        std::printf("%s: length %.1f, gaps %.2f … %.2f, steering %.1f … %.1f\n", name, total, minGap, maxGap, minSteer, maxSteer);
        EXPECT_GT(total, 1100.0) << name;
        EXPECT_LT(total, 1240.0) << name;
        EXPECT_GT(minGap, 2.0) << name;  // distinct points; slow corners about 3 (less on the inside lane)
        EXPECT_LT(minGap, 3.6) << name;
        EXPECT_GT(maxGap, 6.8) << name;  // straights about 7–8
        EXPECT_LT(maxGap, 8.6) << name;
        EXPECT_LT(maxSteer, 28.0) << name;
        EXPECT_GT(minSteer, -28.0) << name;
        EXPECT_GT(maxSteer - minSteer, 30.0) << name;  // both hands of corner
    }
}

TEST(GeneratedRaceLines, LanesStayApartAndOnTheRoad) {
    REQUIRE_ARCHIVE();
    RaceLine r[4];
    for (int k = 0; k < 4; ++k) r[k] = raceLine(kLines[k]);
    for (int k = 0; k < 4; ++k) ASSERT_EQ(r[k].x.size(), 233u);
    // Corresponding points of two lines sit side by side, at least a car's width apart, and the
    // outer lanes are at most a road's width apart.
    for (size_t i = 0; i < 233; ++i)
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b) {
                const double d = std::hypot(r[a].x[i] - r[b].x[i], r[a].y[i] - r[b].y[i]);
                EXPECT_GT(d, 0.45) << "lines " << a << " and " << b << " at point " << i;
                EXPECT_LT(d, 3.3) << "lines " << a << " and " << b << " at point " << i;
            }
    // Every point of any line is nearer to its own stretch of track than to any other part of
    // the circuit: no lane strays across the infield.
    for (int k = 0; k < 4; ++k)
        for (size_t i = 0; i < 233; ++i)
            for (size_t j = 0; j < 233; ++j) {
                const size_t gap = std::min((i + 233 - j) % 233, (j + 233 - i) % 233);
                if (gap < 6) continue;
                EXPECT_GT(std::hypot(r[k].x[i] - r[0].x[j], r[k].y[i] - r[0].y[j]), 5.0)
                    << kLines[k] << " point " << i << " near point " << j;
            }
}

TEST(GeneratedAssets, SameSourceGivesIdenticalBytes) {
    REQUIRE_ARCHIVE();
#if ASSETGEN_REGENERATES
    const auto dir = std::filesystem::temp_directory_path() / ("assetgen_again_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(std::system((std::string("'") + ASSETGEN_EXE + "' '" + dir.string() + "' 2>/dev/null").c_str()), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("generation took %.1f s\n", seconds);
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        const auto name = f.path().filename().string();
        const auto mine = std::filesystem::path(kAssetDir) / name;
        ASSERT_TRUE(std::filesystem::exists(mine)) << name;
        EXPECT_TRUE(assetgen_test::readFileBytes(f.path().string()) == assetgen_test::readFileBytes(mine.string()))
            << name << " differs between two generations";
    }
    std::filesystem::remove_all(dir);
#else
    GTEST_SKIP() << "this build reuses another build's generated assets";
#endif
}

// Names other modules make (cars, camera moves, sounds): checked once they exist.
TEST(GeneratedArchive, CarLooksMeshesCameraMovesAndSoundsWhenPresent) {
    REQUIRE_ARCHIVE();
    if (archive().find("vcl\\f.txt")) {
        for (const char* look : {"f", "b", "green", "blue", "orange", "yellow"}) {
            const Entry* e = archive().find(std::string("vcl\\") + look + ".txt");
            ASSERT_TRUE(e) << look;
            EXPECT_LT(longestLine(e->data), 255u) << look;
            const auto ls = lines(e->data);
            ASSERT_GE(ls.size(), 4u) << look;
            int mesh = -1;
            char name[256];
            EXPECT_EQ(std::sscanf(ls[0].c_str(), "bodymesh %d", &mesh), 1) << look;
            EXPECT_TRUE(mesh >= 0 && mesh <= 2) << look;
            ASSERT_EQ(std::sscanf(ls[1].c_str(), "texture %255s", name), 1) << look;
            EXPECT_EQ(checkPicture(name), "") << look;
            ASSERT_EQ(std::sscanf(ls[2].c_str(), "helmet %255s", name), 1) << look;
            EXPECT_EQ(checkPicture(name), "") << look;
            ASSERT_EQ(std::sscanf(ls[3].c_str(), "shadow %255s", name), 1) << look;
            EXPECT_EQ(checkObjectMesh(name, false), "") << look;
        }
    }
    if (archive().find("meshes\\car.dat")) {
        for (const char* m : {"car.ase", "car2.ase", "car3.ase", "rf.ase", "rf2.ase", "rf3.ase", "car_far.ase",
                              "car2_far.ase", "car3_far.ase", "car_tiny.ase", "car2_tiny.ase", "car3_tiny.ase", "car_speck.ase",
                              "car2_speck.ase", "car3_speck.ase"})
            EXPECT_EQ(checkObjectMesh(m, true), "") << m;
        for (const char* m : {"wheel_pass0", "wheel_pass1", "helm", "wheel_pass0_far", "wheel_pass1_far", "helm_far", "wheel_pass0_tiny",
                              "wheel_pass1_tiny", "helm_tiny"})
            EXPECT_EQ(checkSceneMesh(m), "") << m;
        for (const char* p : {"chrome.jpg", "spec_level.jpg", "illum.jpg", "sh.tga", "tr.jpg", "wheel.tga"})
            EXPECT_EQ(checkPicture(p), "");
    }
    if (archive().find("scene0.txt")) {
        for (int i = 0; i <= 16; ++i) {
            const Entry* e = archive().find("scene" + std::to_string(i) + ".txt");
            ASSERT_TRUE(e) << i;
            EXPECT_LT(longestLine(e->data), 127u) << i;
            const auto ls = lines(e->data);
            EXPECT_GE(std::count_if(ls.begin(), ls.end(), [](const std::string& l) { return starts(l, "keyframe"); }), 2) << i;
            EXPECT_TRUE(std::any_of(ls.begin(), ls.end(), [](const std::string& l) { return starts(l, "ENDKEYS"); })) << i;
        }
    }
    if (archive().find("low.ogg")) {
        for (const char* s : {"low.ogg", "med.ogg", "max.ogg", "music.ogg"}) {
            const Entry* e = archive().find(s);
            ASSERT_TRUE(e) << s;
            ASSERT_GE(e->data.size(), 4u) << s;
            EXPECT_EQ(std::string(e->data.begin(), e->data.begin() + 4), "OggS") << s;
        }
    }
}

// The cars reflect the cube through the texture matrix transpose(view × rotate(−90°, X)), so a
// world reflection direction r looks the cube up along d = (r.x, −r.z, r.y); GL then picks the
// face by d's major axis and (s, t) by its face table, t = 0 being the picture's bottom row as
// decoded. The face pictures must show there what the dome shows in direction r.
TEST(GeneratedArchive, ReflectionCubeAgreesWithTheSkyDome) {
    REQUIRE_ARCHIVE();
    struct Pic {
        int w = 0, h = 0, c = 0;
        std::vector<uint8_t> px;
        const uint8_t* at(double s, double tFromBottom) const {
            const int x = std::clamp(int(s * w), 0, w - 1), y = std::clamp(int((1 - tFromBottom) * h), 0, h - 1);
            return &px[(size_t(y) * size_t(w) + size_t(x)) * 3];
        }
    };
    auto load = [](const std::string& name) {
        Pic p;
        const Entry* e = archive().find("textures\\" + name);
        EXPECT_TRUE(e && decodeJpeg(e->data, p.w, p.h, p.c, &p.px)) << name;
        return p;
    };
    const Pic dome = load("skydome.jpg");
    const Pic faces[6] = {load("skybox_right.JPG"), load("skybox_left.JPG"), load("skybox_bottom.JPG"),
                          load("skybox_top.JPG"),   load("skybox_front.JPG"), load("skybox_back.JPG")};
    ASSERT_FALSE(dome.px.empty());
    double total = 0;
    int n = 0, bad = 0;
    for (int i = 0; i < 4000; ++i) {
        // Directions spread over the sphere (golden spiral), above −15° elevation.
        const double z = 1 - 2 * (i + 0.5) / 4000, rad = std::sqrt(1 - z * z), phi = i * 2.399963;
        const double rx = rad * std::cos(phi), ry = rad * std::sin(phi), rz = z;
        const double el = std::asin(rz);
        if (el < -15 * M_PI / 180) continue;
        const double dx = rx, dy = -rz, dz = ry;
        const double ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
        int face;
        double sc, tc, ma;
        if (ax >= ay && ax >= az) {
            face = dx > 0 ? 0 : 1;
            sc = dx > 0 ? -dz : dz;
            tc = -dy;
            ma = ax;
        } else if (ay >= az) {
            face = dy > 0 ? 2 : 3;
            sc = dx;
            tc = dy > 0 ? dz : -dz;
            ma = ay;
        } else {
            face = dz > 0 ? 4 : 5;
            sc = dz > 0 ? dx : -dx;
            tc = -dy;
            ma = az;
        }
        const uint8_t* fc = faces[face].at((sc / ma + 1) / 2, (tc / ma + 1) / 2);
        double azm = std::atan2(ry, rx);
        if (azm < 0) azm += 2 * M_PI;
        const double v = (el + 20 * M_PI / 180) / (M_PI / 2 + 20 * M_PI / 180);
        const uint8_t* dc = dome.at(azm / (2 * M_PI), v);
        const double diff = (std::abs(fc[0] - dc[0]) + std::abs(fc[1] - dc[1]) + std::abs(fc[2] - dc[2])) / 3.0;
        total += diff;
        bad += diff > 40;
        ++n;
    }
    std::printf("cube vs dome: mean difference %.2f over %d directions, %d far off\n", total / n, n, bad);
    EXPECT_LT(total / n, 8.0);
    EXPECT_LT(bad, n / 50);
}

// The screensaver's own archive reader finds every entry by its stored name and returns the
// same bytes the independent reader saw.

TEST(GeneratedArchive, TheRuntimeReaderExtractsEveryEntry) {
    REQUIRE_ARCHIVE();
    const std::vector<uint8_t> bytes = assetgen_test::readFileBytes(kAssetDir + "/archive.rar");
    const ravelin::ByteRange range{bytes.data(), bytes.size()};
    for (const Entry& e : archive().entries) {
        uint32_t size = 0;
        uint8_t* data = ravelin::AssetArchive::extract(range, e.name, size);
        ASSERT_NE(data, nullptr) << e.name;
        EXPECT_EQ(size, e.data.size()) << e.name;
        EXPECT_TRUE(std::equal(e.data.begin(), e.data.end(), data)) << e.name;
        delete[] data;
    }
}
