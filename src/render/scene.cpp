#include "render/scene.h"

#include <cstdio>
#include <cstring>

#include "assets/asset_file.h"
#include "render/gl.h"

namespace ravelin {
namespace {

bool startsWith(const char* line, const char* keyword) { return std::strncmp(line, keyword, std::strlen(keyword)) == 0; }

bool atEnd(const AssetFile& file) { return file.position() >= file.size(); }

class LoadingBuilder final : public SceneBuilder {
public:
    LoadingBuilder(SceneDescription& scene, TextureCache& textures) : scene_(scene), textures_(textures) {}
    void beginBlock() override { scene_.blocks.emplace_back(); }
    void technique(const char* name) override { scene_.blocks.back().technique.load(name, textures_); }
    void reserveMeshes(int count) override {
        std::vector<Mesh>& meshes = scene_.blocks.back().meshes;
        meshes.reserve(meshes.size() + static_cast<size_t>(count));
    }
    void mesh(const char* stem) override {
        Mesh m;
        m.load(stem);
        scene_.blocks.back().meshes.push_back(m);
    }
    void endBlock() override {}

private:
    SceneDescription& scene_;
    TextureCache& textures_;
};

}  // namespace

void parseScene(AssetFile& file, SceneBuilder& builder) {
    char line[128];
    char name[128];
    char stem[160];
    if (atEnd(file)) return;
    file.readLine(line, sizeof line);  // the scene's name, unused
    while (!atEnd(file)) {
        line[0] = '\0';
        file.readLine(line, sizeof line);
        if (startsWith(line, "end")) return;
        if (!startsWith(line, "render")) continue;
        builder.beginBlock();
        while (!atEnd(file)) {
            line[0] = '\0';
            file.readLine(line, sizeof line);
            if (startsWith(line, "technique") && std::sscanf(line, "technique %127s", name) == 1)
                builder.technique(name);
            if (startsWith(line, "mesh") && std::sscanf(line, "mesh %127s", name) == 1) builder.mesh(name);
            int count = 0;
            if (startsWith(line, "collect") && std::sscanf(line, "collect %127s %d", name, &count) == 2) {
                if (count > kMaxCollectCount) count = kMaxCollectCount;
                if (count > 0) builder.reserveMeshes(count);
                for (int i = 1; i <= count; ++i) {
                    std::snprintf(stem, sizeof stem, i <= 9 ? "%s0%d" : "%s%d", name, i);
                    builder.mesh(stem);
                }
            }
            if (startsWith(line, "}")) break;
        }
        builder.endBlock();
    }
}

void SceneDescription::load(std::string_view fileName, TextureCache& textures) {
    AssetFile file;
    if (!file.openEntry(fileName)) return;
    LoadingBuilder builder(*this, textures);
    parseScene(file, builder);
}

void SceneDescription::draw(const Frustum& frustum) const {
    for (const RenderBlock& block : blocks) {
        block.technique.apply();
        for (const Mesh& mesh : block.meshes) mesh.drawIfVisible(frustum);
    }
}

}  // namespace ravelin
