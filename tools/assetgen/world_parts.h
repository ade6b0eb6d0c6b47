// The world module's internal steps (world.cpp runs them in order): sky, textures, scenery
// layout, lightmap and vertex-light baking, technique and scene files.
#pragma once

#include <string>
#include <deque>
#include <vector>

#include "world_common.h"

namespace assetgen::world {

// ---- Sky ----
D3 skyColour(D3 worldDirection);
D3 cubeFaceDirection(int axis, double sc, double tc);  // GL face axis 0..5 (+X −X +Y −Y +Z −Z)
void addSky(AssetSink& sink);

// ---- Textures (every picture a technique names) ----
void addTextures(AssetSink& sink);

// ---- Scenery ----
enum class Layer { Ground, Object };

struct WorldMesh {
    std::string stem;
    MeshBuilder mesh;
    bool lightmapSet = false;   // second coordinate set from the world position (ground layers)
    bool bakeLight = false;     // per-corner colours from sun, shadow and sky light
    bool twoSided = false;      // lit from either side when baking
    bool castsShadow = true;
    std::vector<Triangle> shadowProxy;  // casts this instead of its own triangles (trees)
    V3 rotationAxis{0, 0, 1};
    float rotationAngle = 0;
};

struct RenderBlockText {
    std::string technique;
    std::vector<std::string> lines;  // "mesh x" / "collect base n"
};

struct World {
    Circuit circuit;
    std::deque<WorldMesh> meshes;  // a deque: references stay valid while adding
    std::vector<RenderBlockText> land, test;
    WorldMesh& add(const std::string& stem);
    WorldMesh* find(const std::string& stem);
};

// The grass grid: nx × ny cells over the lightmap rectangle, less the area between closed rings
// (each runs with the grass on its left). A ring's points may move by up to `tolerance` to
// save triangles; a cell the cut cannot handle stays whole (counted as a fallback).
struct GroundCut {
    int cut = 0, fallbacks = 0;  // cells cut, and of those the ones left whole
};
GroundCut addGroundGrid(MeshBuilder& mb, int nx, int ny, const std::vector<std::vector<D3>>& rings, double tolerance,
                        double uvScale);

void layoutWorld(World& w);                   // ground layers, road, objects and both scene files
std::vector<uint8_t> bakeLightmap(World& w);  // lmap.jpg; also bakes the objects' corner colours
void addTechniques(AssetSink& sink);

}  // namespace assetgen::world
