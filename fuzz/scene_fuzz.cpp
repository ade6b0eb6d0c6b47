// Fuzzes the scene-description grammar: any bytes as a scene file, the blocks recorded by a
// counting builder instead of loading meshes and techniques.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"
#include "render/scene.h"

namespace {
struct Counter final : ravelin::SceneBuilder {
    int open = 0, meshes = 0;
    size_t nameBytes = 0;
    void beginBlock() override { ++open; }
    void technique(const char* name) override { nameBytes += std::strlen(name); }
    void reserveMeshes(int count) override {
        if (count <= 0 || count > ravelin::kMaxCollectCount) __builtin_trap();
    }
    void mesh(const char* stem) override {
        ++meshes;
        nameBytes += std::strlen(stem);
    }
    void endBlock() override { --open; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;
    fake.addResource("CustomData", 200, std::vector<uint8_t>(data, data + size));
    ravelin::AssetFile file;
    if (!file.openResource(200)) return 0;
    Counter counter;
    ravelin::parseScene(file, counter);
    if (counter.open != 0) __builtin_trap();
    return 0;
}
