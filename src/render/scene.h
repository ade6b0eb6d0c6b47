// Scene descriptions: ordered render blocks, each a technique and the meshes it applies to,
// read from a text file in the archive root ("land.txt", "test.txt"). Loaded once; drawn every
// frame by the frame composition. The land and overlay scenes belong to the run's world.
#pragma once

#include <string_view>
#include <vector>

#include "base/math.h"
#include "render/mesh.h"
#include "render/technique.h"

namespace ravelin {

class AssetFile;

struct RenderBlock {
    Technique technique;
    std::vector<Mesh> meshes;
};

struct SceneDescription {
    std::vector<RenderBlock> blocks;
    // A missing file gives an empty scene. The techniques' pictures go through the cache.
    void load(std::string_view fileName, TextureCache& textures);
    void draw(const Frustum& frustum) const;
};

// What the grammar asks for, in file order, without GL (load and the fuzzer implement it).
class SceneBuilder {
public:
    virtual ~SceneBuilder() = default;
    virtual void beginBlock() = 0;
    virtual void technique(const char* name) = 0;
    virtual void reserveMeshes(int count) = 0;
    virtual void mesh(const char* stem) = 0;
    virtual void endBlock() = 0;
};

// A "collect" line asks for at most this many meshes: far beyond any real scene, and it keeps
// a damaged count from loading for hours.
constexpr int kMaxCollectCount = 10000;

void parseScene(AssetFile& file, SceneBuilder& builder);

}  // namespace ravelin
