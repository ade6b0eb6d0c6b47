// Fuzzes the technique grammar: any bytes as a technique file (texture lines are reported, not
// loaded, so no GL is needed).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"
#include "render/technique.h"

namespace {
struct CountTextures final : ravelin::TextureLineHandler {
    void textureLine(ravelin::Technique& t, int unit, const char*) override { t.tileCount += unit; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;
    fake.addResource("CustomData", 200, std::vector<uint8_t>(data, data + size));
    ravelin::AssetFile file;
    if (!file.openResource(200)) return 0;
    ravelin::Technique technique;
    CountTextures counter;
    ravelin::parseTechnique(file, technique, &counter);
    return 0;
}
