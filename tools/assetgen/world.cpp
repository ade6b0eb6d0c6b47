// The circuit world: race lines, ground layers and scenery meshes, their techniques and the two
// scene files, every picture they name, the baked lightmap and the sky.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "world_parts.h"

namespace assetgen {

namespace world {

namespace {

struct Technique {
    const char* name;
    const char* body;  // lines without the final "end"
};

// Ground layers are painted in order with the depth test off (keyword "depth test"): they are
// coplanar, so the painter's order decides, free of depth fighting at a distance. Objects are
// unlit (their light is baked into corner colours) and mostly two-sided; the lettered boards are
// one-sided with a back face of their own, so no lettering is ever seen mirrored.
const Technique kTechniques[] = {
    {"grass_far.txt", "texture 0 grass.jpg\r\n2sided\r\ndepth test\r\n"},
    {"grass.txt", "texture 0 grass.jpg\r\ntexture 1 lmap.jpg\r\n2sided\r\ndepth test\r\n"},
    {"gravel.txt", "texture 0 gravel.jpg\r\ntexture 1 lmap.jpg\r\n2sided\r\ndepth test\r\n"},
    {"road.txt", "pass 0\r\ntexture 0 road.jpg\r\ntexture 1 lmap.jpg\r\n2sided\r\ndepth test\r\n"},
    {"start.txt", "pass 0\r\ntexture 0 start.jpg\r\ntexture 1 lmap.jpg\r\n2sided\r\ndepth test\r\n"},
    {"kerb.txt", "texture 0 kerb.jpg\r\ntexture 1 lmap.jpg\r\n2sided\r\ndepth test\r\n"},
    {"barrier.txt", "texture 0 barrier.jpg\r\n2sided\r\n"},
    {"tyres.txt", "texture 0 tyres.jpg\r\n2sided\r\n"},
    {"boards.txt", "texture 0 boards.jpg\r\n"},
    {"stand.txt", "texture 0 stand.jpg\r\n2sided\r\n"},
    {"pits.txt", "texture 0 pits.jpg\r\n2sided\r\n"},
    {"bridge.txt", "texture 0 bridge.jpg\r\n2sided\r\n"},
    {"gantry.txt", "texture 0 gantry.jpg\r\n2sided\r\n"},
    {"speaker.txt", "texture 0 speaker.jpg\r\n2sided\r\n"},
    {"brakeboards.txt", "texture 0 brakeboards.jpg\r\n"},
    // Trees in two passes: the alpha-tested cut-out lays depth, then a blended pass without the
    // test softens the crowns' edges. The second is the overlay scene's last block, and what it
    // leaves is what the lens flare, the scene transition and the clock are drawn with: blending
    // on and the alpha test off, so that they fade by alpha all the way down to nothing.
    {"tree.txt", "texture 0 tree.tga\r\nalpha test\r\nalphablend\r\n2sided\r\n"},
    {"tree_pass1.txt", "pass 1\r\ntexture 0 tree.tga\r\nalphablend\r\n2sided\r\n"},
};

// Shares identical corners so files stay small; indices follow first appearance (deterministic).
template <class T, class Key>
uint32_t intern(std::vector<T>& values, std::map<Key, uint32_t>& index, const T& v, const Key& key) {
    auto [it, fresh] = index.emplace(key, uint32_t(values.size()));
    if (fresh) values.push_back(v);
    return it->second;
}

std::vector<uint8_t> encodeMesh(const WorldMesh& wm) {
    SceneMesh m;
    m.rotationAxis = wm.rotationAxis;
    m.rotationAngle = wm.rotationAngle;
    using K3 = std::tuple<float, float, float>;
    using K2 = std::tuple<float, float>;
    std::map<K3, uint32_t> vi, ci;
    std::map<K2, uint32_t> ti, li;
    const MeshBuilder& b = wm.mesh;
    for (size_t i = 0; i < b.pos.size(); ++i) {
        const V3 p = toV3(b.pos[i]);
        m.faces.push_back(intern(m.vertices, vi, p, K3{p.x, p.y, p.z}));
        m.uv0Faces.push_back(intern(m.uv0, ti, b.uv[i], K2{b.uv[i].u, b.uv[i].v}));
        if (wm.lightmapSet) {
            const V2 l = lightmapUv(b.pos[i].x, b.pos[i].y);
            m.uv1Faces.push_back(intern(m.uv1, li, l, K2{l.u, l.v}));
        }
        if (!b.colour.empty()) {
            const V3 c = toV3(b.colour[i]);
            m.colourFaces.push_back(intern(m.colours, ci, c, K3{c.x, c.y, c.z}));
        }
        m.cornerNormals.push_back(normalForLoader(toV3(b.normal[i]), wm.rotationAxis, wm.rotationAngle));
    }
    return writeSceneMesh(m);
}

std::string sceneText(const char* title, const std::vector<RenderBlockText>& blocks) {
    std::string s = std::string(title) + "\r\n";
    for (const RenderBlockText& b : blocks) {
        s += "render\r\n{\r\n  technique " + b.technique + "\r\n";
        for (const std::string& l : b.lines) s += "  " + l + "\r\n";
        s += "}\r\n";
    }
    s += "end\r\n";
    return s;
}

// The ground layers span the whole circuit, so their boxes never leave the view and all of
// their triangles go down the pipeline every frame. Cut into square sectors of their own (by
// each triangle's centre, so nothing is clipped or moved), the scene's box test drops those
// outside the view. Each "mesh x" line of the land scene becomes "collect x n" over the
// sectors x01 … xn, which keeps the blocks' order and so the painter's order of the layers.
void cutGroundIntoSectors(World& w) {
    constexpr double kSector = 60;
    const int columns = int(std::ceil(kMapWidth / kSector));
    std::map<std::string, int> sectors;  // ground stem → sector count
    for (const RenderBlockText& block : w.land)
        for (const std::string& line : block.lines)
            if (line.rfind("mesh ", 0) == 0) sectors[line.substr(5)] = 0;
    for (auto& [stem, count] : sectors) {
        WorldMesh* whole = w.find(stem);
        if (!whole) continue;
        std::map<int, MeshBuilder> cells;
        const MeshBuilder& b = whole->mesh;
        for (size_t i = 0; i + 2 < b.pos.size(); i += 3) {
            const D3 c = (b.pos[i] + b.pos[i + 1] + b.pos[i + 2]) * (1.0 / 3);
            const int column = std::clamp(int((c.x - kMapMinX) / kSector), 0, columns - 1);
            const int row = std::max(0, int((c.y - kMapMinY) / kSector));
            MeshBuilder& cell = cells[row * columns + column];
            for (size_t k = i; k < i + 3; ++k) {
                cell.pos.push_back(b.pos[k]);
                cell.uv.push_back(b.uv[k]);
                cell.normal.push_back(b.normal[k]);
                if (!b.colour.empty()) cell.colour.push_back(b.colour[k]);
            }
        }
        const WorldMesh pattern = *whole;
        for (auto& [index, cell] : cells) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%02d", stem.c_str(), ++count);
            WorldMesh& part = count == 1 ? *whole : w.add(name);
            if (count > 1) part = pattern;
            part.stem = name;
            part.mesh = std::move(cell);
        }
    }
    for (RenderBlockText& block : w.land)
        for (std::string& line : block.lines)
            if (line.rfind("mesh ", 0) == 0 && sectors[line.substr(5)] > 0)
                line = "collect " + line.substr(5) + " " + std::to_string(sectors[line.substr(5)]);
}

}  // namespace

void addTechniques(AssetSink& sink) {
    for (const Technique& t : kTechniques)
        sink.addArchiveText(std::string("technique\\") + t.name, std::string(t.body) + "end\r\n");
}

}  // namespace world

void generateWorld(AssetSink& sink) {
    using namespace world;
    World w;
    w.circuit = buildCircuit();
    const auto lines = buildRaceLines(w.circuit);
    const char* names[4] = {"corr.ase", "corr2.ase", "corr3.ase", "corr4.ase"};
    for (int i = 0; i < 4; ++i) sink.addArchiveFile(names[i], lines[size_t(i)]);

    layoutWorld(w);
    // Some objects carry a rotation for their normals (the loader turns them back).
    for (WorldMesh& m : w.meshes)
        if (m.stem.rfind("board", 0) == 0 || m.stem.rfind("speaker", 0) == 0) {
            m.rotationAxis = {0, 0, 1};
            m.rotationAngle = float((hash32(uint32_t(m.stem.size()) * 131u + uint32_t(m.stem.back())) % 628) / 100.0);
        }
    sink.addArchiveFile("textures\\lmap.jpg", bakeLightmap(w));
    cutGroundIntoSectors(w);
    for (const WorldMesh& m : w.meshes) sink.addArchiveFile("meshes\\" + m.stem + ".dat", encodeMesh(m));
    sink.addArchiveText("land.txt", sceneText("landscape", w.land));
    sink.addArchiveText("test.txt", sceneText("test", w.test));
    addTechniques(sink);
    addTextures(sink);
    addSky(sink);
}

}  // namespace assetgen
