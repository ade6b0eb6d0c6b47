// The generated cars: every file the car loading asks for exists and is well formed, the bodies
// have the size and proportions the runtime's placement expects, the wheels and the helmet sit
// where the runtime draws them (measured on the triangles), and the pictures decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "assets/image.h"
#include "car_files.h"
#include "cars_model.h"
#include "cars_paint.h"

using namespace cartest;

namespace {

const assetgen::AssetSink& carSink() {
    static const assetgen::AssetSink sink = [] {
        assetgen::AssetSink s;
        assetgen::generateCars(s);
        return s;
    }();
    return sink;
}

const char* const kBodies[3] = {"meshes\\car.dat", "meshes\\car2.dat", "meshes\\car3.dat"};
const char* const kShells[3] = {"meshes\\rf.dat", "meshes\\rf2.dat", "meshes\\rf3.dat"};
const char* const kFarBodies[3] = {"meshes\\car_far.dat", "meshes\\car2_far.dat", "meshes\\car3_far.dat"};
const char* const kTinyBodies[3] = {"meshes\\car_tiny.dat", "meshes\\car2_tiny.dat", "meshes\\car3_tiny.dat"};
// The full bodies, then the lighter ones drawn for cars that show small and tiny: each must leave
// the wheels and the helmet their room.
const char* const* const kBodySets[3] = {kBodies, kFarBodies, kTinyBodies};

MeshData objectMesh(const char* name) { return readObjectMesh(*findFile(carSink(), name), true); }
MeshData body(int i) { return objectMesh(kBodies[i]); }
MeshData sceneMesh(const char* name) { return readSceneMesh(*findFile(carSink(), name)); }

P3 toP3(assetgen::V3 v) { return {v.x, v.y, v.z}; }

void expectNormalsAgreeWithFaces(const MeshData& m, const char* what) {
    size_t bad = 0;
    for (size_t f = 0; f < m.faces.size() / 3; ++f) {
        P3 a = m.vertices[m.faces[3 * f]], b = m.vertices[m.faces[3 * f + 1]], c = m.vertices[m.faces[3 * f + 2]];
        P3 n = cross(b - a, c - a);
        for (int k = 0; k < 3; ++k) {
            P3 cn = m.normals[3 * f + size_t(k)];
            if (std::fabs(length(cn) - 1) > 1e-3 || dot(cn, n) <= 0) ++bad;
        }
    }
    EXPECT_EQ(bad, 0u) << what << ": corner normals must be unit length and on the face's front side";
}

}  // namespace

TEST(GeneratedCars, EveryNameTheCarsLoadExists) {
    const auto& sink = carSink();
    for (const char* n : {"meshes\\car.dat", "meshes\\car2.dat", "meshes\\car3.dat", "meshes\\rf.dat", "meshes\\rf2.dat",
                          "meshes\\rf3.dat", "meshes\\wheel_pass0.dat", "meshes\\wheel_pass1.dat", "meshes\\helm.dat",
                          "meshes\\shadow.dat", "meshes\\car_far.dat", "meshes\\car2_far.dat", "meshes\\car3_far.dat",
                          "meshes\\car_tiny.dat", "meshes\\car2_tiny.dat", "meshes\\car3_tiny.dat",
                          "meshes\\car_speck.dat", "meshes\\car2_speck.dat", "meshes\\car3_speck.dat",
                          "textures\\chrome.jpg", "textures\\spec_level.jpg", "textures\\illum.jpg",
                          "textures\\sh.tga", "textures\\tr.jpg", "textures\\wheel.tga", "textures\\green.jpg",
                          "textures\\blue.jpg", "textures\\orange.jpg", "textures\\yellow.jpg", "textures\\helmet.jpg",
                          "textures\\helmet2.jpg", "textures\\helm6.jpg", "textures\\helm8.jpg", "textures\\helm3.jpg",
                          "textures\\helm4.jpg", "vcl\\f.txt", "vcl\\b.txt", "vcl\\green.txt", "vcl\\blue.txt",
                          "vcl\\orange.txt", "vcl\\yellow.txt"})
        EXPECT_TRUE(sink.hasArchiveFile(n)) << n;
}

TEST(GeneratedCars, LooksFollowTheLookTable) {
    struct Row {
        const char* file;
        int body;
        const char* helmet;
        const char* texture;  // nullptr: a texture of its own
    };
    const Row rows[6] = {{"vcl\\f.txt", 0, "helmet.jpg", nullptr},      {"vcl\\b.txt", 1, "helmet2.jpg", nullptr},
                         {"vcl\\green.txt", 2, "helm6.jpg", "green.jpg"}, {"vcl\\blue.txt", 2, "helm8.jpg", "blue.jpg"},
                         {"vcl\\orange.txt", 1, "helm3.jpg", "orange.jpg"}, {"vcl\\yellow.txt", 1, "helm4.jpg", "yellow.jpg"}};
    std::vector<std::string> ownTextures;
    for (const Row& r : rows) {
        const auto* bytes = findFile(carSink(), r.file);
        ASSERT_NE(bytes, nullptr) << r.file;
        std::string text(bytes->begin(), bytes->end());
        std::istringstream in(text);
        std::string line;
        std::vector<std::string> lines;
        while (std::getline(in, line)) {
            EXPECT_LT(line.size() + 1, 256u) << r.file;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        ASSERT_EQ(lines.size(), 4u) << r.file;
        int mesh = -1;
        char texture[256] = {}, helmet[256] = {}, shadow[256] = {};
        EXPECT_EQ(std::sscanf(lines[0].c_str(), "bodymesh %d", &mesh), 1);
        EXPECT_EQ(std::sscanf(lines[1].c_str(), "texture %255s", texture), 1);
        EXPECT_EQ(std::sscanf(lines[2].c_str(), "helmet %255s", helmet), 1);
        EXPECT_EQ(std::sscanf(lines[3].c_str(), "shadow %255s", shadow), 1);
        EXPECT_EQ(mesh, r.body) << r.file;
        EXPECT_STREQ(helmet, r.helmet) << r.file;
        EXPECT_STREQ(shadow, "shadow.ase") << r.file;
        if (r.texture)
            EXPECT_STREQ(texture, r.texture) << r.file;
        else
            ownTextures.push_back(texture);
        EXPECT_TRUE(carSink().hasArchiveFile(std::string("textures\\") + texture)) << texture;
    }
    ASSERT_EQ(ownTextures.size(), 2u);
    EXPECT_NE(ownTextures[0], ownTextures[1]) << "f and b each have a body texture of their own";
}

TEST(GeneratedCars, ObjectMeshesAreWellFormed) {
    for (int i = 0; i < 3; ++i) {
        MeshData b = body(i), s = readObjectMesh(*findFile(carSink(), kShells[i]), true);
        ASSERT_TRUE(b.ok) << kBodies[i];
        ASSERT_TRUE(s.ok) << kShells[i];
        EXPECT_EQ(b.uv2.size(), b.vertices.size());
        expectNormalsAgreeWithFaces(b, kBodies[i]);
        expectNormalsAgreeWithFaces(s, kShells[i]);
        // Texture coordinates stay inside the livery picture (no wrap into another view).
        for (const auto& uv : b.uv) {
            EXPECT_GE(uv.first, 0.0);
            EXPECT_LE(uv.first, 1.0);
            EXPECT_GE(uv.second, 0.0);
            EXPECT_LE(uv.second, 1.0);
        }
        size_t tris = b.faces.size() / 3;
        std::printf("[ figures  ] %s: %zu triangles, %zu vertices; %s: %zu triangles\n", kBodies[i], tris,
                    b.vertices.size(), kShells[i], s.faces.size() / 3);
        EXPECT_GT(tris, 800u);
        EXPECT_LT(tris, 4000u) << "18 cars are drawn in several passes";
        EXPECT_LT(s.faces.size(), b.faces.size());
        // Each lighter body: same texture layout, at most seven tenths of the triangles of the
        // next finer one, and the same size (its facets are chords of the same sections, and the
        // parts it leaves out lie inside its bounds).
        MeshData finer = b;
        for (const char* const* names : {kFarBodies, kTinyBodies}) {
            MeshData lighter = objectMesh(names[i]);
            ASSERT_TRUE(lighter.ok) << names[i];
            EXPECT_EQ(lighter.uv2.size(), lighter.vertices.size());
            expectNormalsAgreeWithFaces(lighter, names[i]);
            std::printf("[ figures  ] %s: %zu triangles\n", names[i], lighter.faces.size() / 3);
            EXPECT_LE(lighter.faces.size() * 10, finer.faces.size() * 7) << names[i];
            P3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9}, lighterLo = lo, lighterHi = hi;
            auto grow = [](P3& l, P3& h, const P3& v) {
                l = {std::min(l.x, v.x), std::min(l.y, v.y), std::min(l.z, v.z)};
                h = {std::max(h.x, v.x), std::max(h.y, v.y), std::max(h.z, v.z)};
            };
            for (const P3& v : b.vertices) grow(lo, hi, v);
            for (const P3& v : lighter.vertices) grow(lighterLo, lighterHi, v);
            for (auto [l, ll] : {std::pair{lo.x, lighterLo.x}, {lo.y, lighterLo.y}, {lo.z, lighterLo.z}})
                EXPECT_NEAR(ll, l, 1.0) << names[i];
            for (auto [h, lh] : {std::pair{hi.x, lighterHi.x}, {hi.y, lighterHi.y}, {hi.z, lighterHi.z}})
                EXPECT_NEAR(lh, h, 1.0) << names[i];
            finer = lighter;
        }
    }
}

// The speck is the whole car in one mesh: lighter than the tiny body alone, with a drum of the
// tyre's radius and width round each wheel position in place of the wheel meshes.
TEST(GeneratedCars, SpeckBodiesCarryTheirWheels) {
    const double r = assetgen::cars::kTyreRadius, w = assetgen::cars::kTyreHalfWidth;
    for (int i = 0; i < 3; ++i) {
        const std::string name = std::string("meshes\\") + (i == 0 ? "car" : i == 1 ? "car2" : "car3") + "_speck.dat";
        MeshData speck = objectMesh(name.c_str()), tiny = objectMesh(kTinyBodies[i]);
        ASSERT_TRUE(speck.ok) << name;
        expectNormalsAgreeWithFaces(speck, name.c_str());
        std::printf("[ figures  ] %s: %zu triangles\n", name.c_str(), speck.faces.size() / 3);
        EXPECT_LT(speck.faces.size(), tiny.faces.size()) << name;
        for (const assetgen::V3& c : assetgen::cars::wheelPositions(i)) {
            size_t rim = 0;  // the drum's corners: on the tyre's outline, at either face
            for (const P3& v : speck.vertices)
                rim += std::fabs(std::fabs(v.x - c.x) - w) < 0.01 && std::fabs(std::hypot(v.y - c.y, v.z - c.z) - r) < 0.01;
            EXPECT_EQ(rim, 2u * static_cast<size_t>(assetgen::cars::kSpeckDetail.tyreSegments)) << name;
        }
    }
}

TEST(GeneratedCars, ShadowIsTheFourVertexQuadOf244Bytes) {
    const auto* bytes = findFile(carSink(), "meshes\\shadow.dat");
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->size(), 244u);
    MeshData m = readObjectMesh(*bytes, false);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.vertices.size(), 4u);
    EXPECT_EQ(m.faces.size(), 6u);
    EXPECT_EQ(m.uv.size(), 8u);
    // At scale 0.003 the blob covers the car (about 0.9 × 0.45 units) with a soft margin.
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const P3& v : m.vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
        EXPECT_EQ(v.z, 0.0);
    }
    EXPECT_NEAR((maxY - minY) * 0.003, 1.08, 0.15);
    EXPECT_NEAR((maxX - minX) * 0.003, 0.6, 0.1);
    for (const P3& n : m.normals) EXPECT_EQ(n.z, 1.0);
}

TEST(GeneratedCars, SceneMeshesAreWellFormed) {
    struct Expect {
        const char* name;
        uint32_t sets;
        const char* full;  // for a lighter mesh: the full one it takes its points from
    };
    for (Expect e : {Expect{"meshes\\wheel_pass0.dat", 1, nullptr}, Expect{"meshes\\wheel_pass1.dat", 1, nullptr},
                     Expect{"meshes\\helm.dat", 2, nullptr},
                     Expect{"meshes\\wheel_pass0_far.dat", 1, "meshes\\wheel_pass0.dat"},
                     Expect{"meshes\\wheel_pass1_far.dat", 1, "meshes\\wheel_pass1.dat"},
                     Expect{"meshes\\helm_far.dat", 2, "meshes\\helm.dat"},
                     Expect{"meshes\\wheel_pass0_tiny.dat", 1, "meshes\\wheel_pass0_far.dat"},
                     Expect{"meshes\\wheel_pass1_tiny.dat", 1, "meshes\\wheel_pass1_far.dat"},
                     Expect{"meshes\\helm_tiny.dat", 2, "meshes\\helm_far.dat"}}) {
        MeshData m = sceneMesh(e.name);
        ASSERT_TRUE(m.ok) << e.name;
        EXPECT_EQ(m.sets, e.sets) << e.name;
        ASSERT_EQ(m.normals.size(), m.faces.size()) << e.name;
        expectNormalsAgreeWithFaces(m, e.name);
        P3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
        for (const P3& v : m.vertices) {
            lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
            hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        }
        EXPECT_NEAR(length(lo - m.bbMin), 0, 1e-3) << e.name;
        EXPECT_NEAR(length(hi - m.bbMax), 0, 1e-3) << e.name;
        std::printf("[ figures  ] %s: %zu triangles\n", e.name, m.faces.size() / 3);
        if (!e.full) continue;
        // Every point of the lighter mesh is a point of the full one, so its facets lie inside the
        // full surface (the helmet stays clear of the cockpit, the tyre of the bodywork).
        MeshData full = sceneMesh(e.full);
        size_t strays = 0;
        for (const P3& v : m.vertices)
            strays += std::none_of(full.vertices.begin(), full.vertices.end(),
                                   [&](const P3& w) { return length(v - w) < 1e-3; });
        EXPECT_EQ(strays, 0u) << e.name;
        EXPECT_LE(m.faces.size() * 3, full.faces.size() * 2) << e.name << ": at most two thirds of the triangles";
    }
}

TEST(GeneratedCars, BodiesAreAboutNineTenthsOfAUnitLongAtPlacementScale) {
    MeshData tyre = sceneMesh("meshes\\wheel_pass0.dat");
    double tyreRadius = 0;
    for (const P3& v : tyre.vertices) tyreRadius = std::max(tyreRadius, std::hypot(v.y, v.z));
    for (int i = 0; i < 3; ++i) {
        MeshData b = body(i);
        double minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9, maxX = 0;
        for (const P3& v : b.vertices) {
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
            minZ = std::min(minZ, v.z);
            maxZ = std::max(maxZ, v.z);
            maxX = std::max(maxX, std::fabs(v.x));
        }
        for (const auto& w : assetgen::cars::wheelPositions(i)) {
            minY = std::min(minY, double(w.y) - tyreRadius);
            maxY = std::max(maxY, double(w.y) + tyreRadius);
        }
        double length = (maxY - minY) * 0.0011;
        std::printf("[ figures  ] %s: %.3f units long, %.3f wide, %.3f tall\n", kBodies[i], length, 2 * maxX * 0.0011,
                    maxZ * 0.0011);
        EXPECT_GT(length, 0.88) << kBodies[i];
        EXPECT_LT(length, 0.98) << kBodies[i];
        EXPECT_GE(minZ, 0.0) << "nothing below the road";
        EXPECT_LT(maxZ * 0.0011, 0.32);
    }
    // The tyres stand on the road at the wheel heights.
    for (int i = 0; i < 3; ++i)
        for (const auto& w : assetgen::cars::wheelPositions(i)) {
            EXPECT_GT(w.z - tyreRadius, -1.0);
            EXPECT_LT(w.z - tyreRadius, 4.0);
        }
}

// The body leaves each tyre's volume free (front tyres over their steering range), and the
// suspension meets a hub centred on the wheel position, through the rim's opening.
TEST(GeneratedCars, WheelWellsSitAtTheWheelPositions) {
    MeshData tyre = sceneMesh("meshes\\wheel_pass0.dat");
    double radius = 0, halfWidth = 0;
    for (const P3& v : tyre.vertices) {
        radius = std::max(radius, std::hypot(v.y, v.z));
        halfWidth = std::max(halfWidth, std::fabs(v.x));
    }
    const double rimRadius = assetgen::cars::kRimRadius;
    for (const char* const* names : kBodySets)
        for (int i = 0; i < 3; ++i) {
            MeshData b = objectMesh(names[i]);
            const auto& wheels = assetgen::cars::wheelPositions(i);
            for (size_t w = 0; w < 4; ++w) {
                P3 c = toP3(wheels[w]);
                // Points of the body: vertices and face centres.
                std::vector<P3> pts = b.vertices;
                for (size_t f = 0; f + 2 < b.faces.size(); f += 3)
                    pts.push_back((1.0 / 3) *
                                  (b.vertices[b.faces[f]] + b.vertices[b.faces[f + 1]] + b.vertices[b.faces[f + 2]]));
                P3 hubLo{1e9, 1e9, 1e9}, hubHi{-1e9, -1e9, -1e9};
                size_t intrusions = 0;
                for (int steer = (w < 2 ? -24 : 0); steer <= (w < 2 ? 24 : 0); steer += 6) {
                    double a = -steer * 3.14159265358979 / 180, ca = std::cos(a), sa = std::sin(a);
                    for (const P3& p : pts) {
                        P3 d = p - c;
                        P3 local{ca * d.x - sa * d.y, sa * d.x + ca * d.y, d.z};  // into the steered wheel's frame
                        double r = std::hypot(local.y, local.z);
                        if (std::fabs(local.x) < halfWidth + 1 && r < radius + 1 && r > rimRadius - 1) ++intrusions;
                    }
                }
                // The hub: what the body holds inside the rim's opening around the wheel centre.
                for (const P3& p : b.vertices)
                    if (std::fabs(p.x - c.x) < 20 && std::fabs(p.y - c.y) < 20 && std::fabs(p.z - c.z) < 35) {
                        hubLo = {std::min(hubLo.x, p.x), std::min(hubLo.y, p.y), std::min(hubLo.z, p.z)};
                        hubHi = {std::max(hubHi.x, p.x), std::max(hubHi.y, p.y), std::max(hubHi.z, p.z)};
                    }
                EXPECT_EQ(intrusions, 0u) << names[i] << " wheel " << w << ": bodywork inside the tyre";
                P3 hubCentre = 0.5 * (hubLo + hubHi);
                EXPECT_NEAR(hubCentre.x, c.x, 1.0) << names[i] << " wheel " << w;
                EXPECT_NEAR(hubCentre.y, c.y, 1.0) << names[i] << " wheel " << w;
                EXPECT_NEAR(hubCentre.z, c.z, 1.0) << names[i] << " wheel " << w;
            }
        }
}

// The helmet sits in the cockpit: seat below, cockpit walls beside, bulkheads before and behind,
// nothing of the body inside the helmet even when the driver leans into a corner.
TEST(GeneratedCars, HelmetSitsInTheCockpitAtTheHelmetOffset) {
    for (const char* const* names : kBodySets)
        for (int i = 0; i < 3; ++i) {
            MeshData b = objectMesh(names[i]);
            P3 h = toP3(assetgen::cars::helmetOffset(i));
            P3 centre = h + toP3(assetgen::cars::kHelmetCentre);
            double seat = nearestHit(b, centre, {0, 0, -1});
            ASSERT_GT(seat, 0) << names[i] << ": nothing under the helmet";
            EXPECT_GT(seat, 40) << names[i];
            EXPECT_LT(seat, 110) << names[i];
            P3 low = h + P3{0, 0, -8};  // below the rim line
            for (P3 dir : {P3{1, 0, 0}, P3{-1, 0, 0}}) {
                double wall = nearestHit(b, low, dir);
                EXPECT_GT(wall, assetgen::cars::kHelmetRadii.x) << names[i];
                EXPECT_LT(wall, 70) << names[i] << ": cockpit side wall";
            }
            double front = nearestHit(b, low, {0, 1, 0}), back = nearestHit(b, low, {0, -1, 0});
            EXPECT_GT(front, 60) << names[i];
            EXPECT_LT(front, 160) << names[i];
            EXPECT_GT(back, 20) << names[i];
            EXPECT_LT(back, 60) << names[i];
            // Above the helmet: open sky (the cockpit is open).
            EXPECT_LT(nearestHit(b, centre, {0, 0, 1}), 0) << names[i];
            // The lower part of the helmet stays clear of the body at every lean the runtime uses.
            MeshData helm = sceneMesh("meshes\\helm.dat");
            for (double lean : {-39.0, 0.0, 39.0}) {
                double a = lean * 3.14159265358979 / 180;
                size_t inside = 0;
                for (const P3& v : helm.vertices) {
                    // about Y
                    P3 p{v.x * std::cos(a) + v.z * std::sin(a), v.y, -v.x * std::sin(a) + v.z * std::cos(a)};
                    if (p.z > 12) continue;  // the head's upper part is above every rim
                    if (nearestDistance(b, h + p) < 0.5) ++inside;
                }
                EXPECT_EQ(inside, 0u) << names[i] << " lean " << lean;
            }
        }
}

TEST(GeneratedCars, PartsAreClosedShellsFacingOutward) {
    using namespace assetgen::cars;
    for (const Detail* detail : {&kFullDetail, &kFarDetail, &kTinyDetail, &kSpeckDetail})
        for (int i = 0; i < 3; ++i) {
            CarModel m = buildBody(i, *detail);
            std::vector<double> volume(m.parts.size(), 0.0);
            for (const Triangle& t : m.triangles)
                volume[t.part] += dot(toP3(m.vertices[t.a]), cross(toP3(m.vertices[t.b]), toP3(m.vertices[t.c]))) / 6;
            for (size_t p = 0; p < volume.size(); ++p)
                EXPECT_GT(volume[p], 0.0) << "body " << i << " part " << p << (detail == &kFarDetail ? " (far)" : "");
        }
}

TEST(GeneratedCars, ThreeBodiesHaveDistinctSilhouettes) {
    // Side silhouettes sampled on a grid differ clearly between every pair of bodies.
    auto silhouette = [](const MeshData& m) {
        std::vector<bool> cells(100 * 30, false);
        for (size_t f = 0; f + 2 < m.faces.size(); f += 3)
            for (int k = 0; k < 3; ++k) {
                const P3& v = m.vertices[m.faces[f + size_t(k)]];
                int cx = int((v.y + 500) / 10), cz = int(v.z / 10);
                if (cx >= 0 && cx < 100 && cz >= 0 && cz < 30) cells[size_t(cz * 100 + cx)] = true;
            }
        return cells;
    };
    std::vector<bool> s[3] = {silhouette(body(0)), silhouette(body(1)), silhouette(body(2))};
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            size_t differ = 0;
            for (size_t c = 0; c < s[a].size(); ++c) differ += s[a][c] != s[b][c];
            EXPECT_GT(differ, 120u) << "bodies " << a << " and " << b;
        }
}

TEST(GeneratedCars, PicturesDecodeWithTheRuntimeDecoders) {
    struct Pic {
        const char* name;
        int width, height, bpp;
    };
    const Pic pics[] = {{"textures\\green.jpg", 512, 512, 3},  {"textures\\blue.jpg", 512, 512, 3},
                        {"textures\\orange.jpg", 512, 512, 3}, {"textures\\yellow.jpg", 512, 512, 3},
                        {"textures\\helmet.jpg", 256, 128, 3}, {"textures\\helm4.jpg", 256, 128, 3},
                        {"textures\\tr.jpg", 256, 256, 3},     {"textures\\chrome.jpg", 128, 128, 3},
                        {"textures\\spec_level.jpg", 128, 64, 3}, {"textures\\illum.jpg", 256, 256, 3},
                        {"textures\\wheel.tga", 128, 128, 4},  {"textures\\sh.tga", 128, 128, 4}};
    for (const Pic& p : pics) {
        const auto* bytes = findFile(carSink(), p.name);
        ASSERT_NE(bytes, nullptr) << p.name;
        ravelin::Image img;
        bool ok = p.bpp == 4 ? ravelin::decodeTga(bytes->data(), bytes->size(), img)
                             : ravelin::decodeJpeg(bytes->data(), bytes->size(), img);
        ASSERT_TRUE(ok) << p.name;
        EXPECT_EQ(img.width, p.width) << p.name;
        EXPECT_EQ(img.height, p.height) << p.name;
        EXPECT_EQ(img.bytesPerPixel, p.bpp) << p.name;
        if (p.bpp == 4) {  // type 2, 32 bits, descriptor 0x08
            EXPECT_EQ((*bytes)[2], 2);
            EXPECT_EQ((*bytes)[16], 32);
            EXPECT_EQ((*bytes)[17], 0x08);
        }
    }
}

TEST(GeneratedCars, RimHasClearGapsBetweenSpokesAndShadowFadesOut) {
    using namespace assetgen::cars;
    Picture rim = paintRim();
    size_t clear = 0, solid = 0;
    for (int i = 0; i < rim.width * rim.height; ++i) (rim.pixels[size_t(i) * 4 + 3] < 10 ? clear : solid) += 1;
    EXPECT_GT(clear, size_t(rim.width * rim.height) / 5);
    EXPECT_GT(solid, size_t(rim.width * rim.height) / 3);
    Picture sh = paintShadow();
    auto alphaAt = [&](int x, int y) { return sh.pixels[size_t((y * sh.width + x) * 4 + 3)]; };
    EXPECT_EQ(alphaAt(0, 0), 0);
    EXPECT_EQ(alphaAt(sh.width - 1, sh.height / 2), 0);
    EXPECT_GT(alphaAt(sh.width / 2, sh.height / 2), 120);
}

TEST(GeneratedCars, GlyphsCoverDigitsAndCapitals) {
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        int ink = 0;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x) ink += assetgen::cars::glyphCell(c, x, y);
        EXPECT_GT(ink, 6) << c;
    }
    EXPECT_FALSE(assetgen::cars::glyphCell('A', 5, 0));
    EXPECT_FALSE(assetgen::cars::glyphCell('A', -1, 0));
}

TEST(GeneratedCars, GenerationIsDeterministic) {
    assetgen::AssetSink again;
    assetgen::generateCars(again);
    ASSERT_EQ(again.archiveFiles().size(), carSink().archiveFiles().size());
    for (size_t i = 0; i < again.archiveFiles().size(); ++i) {
        EXPECT_EQ(again.archiveFiles()[i].name, carSink().archiveFiles()[i].name);
        EXPECT_TRUE(again.archiveFiles()[i].bytes == carSink().archiveFiles()[i].bytes) << again.archiveFiles()[i].name;
    }
}
