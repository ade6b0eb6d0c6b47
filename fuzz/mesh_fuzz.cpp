// Fuzzes both binary mesh layouts: the first byte picks the layout (scene mesh, object mesh
// with or without the second coordinate set) and multitexturing; every corner is emitted to a
// checksum instead of GL.
#include <cstddef>
#include <cstdint>

#include "render/mesh_format.h"

namespace {
struct Checksum final : ravelin::MeshEmitter {
    float sum = 0;
    void texCoord(float u, float v) override { sum += u + v; }
    void multiTexCoord(int unit, float u, float v) override { sum += static_cast<float>(unit) + u + v; }
    void colour(float r, float g, float b) override { sum += r + g + b; }
    void normal(float x, float y, float z) override { sum += x + y + z; }
    void vertex(float x, float y, float z) override { sum += x + y + z; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const bool multitexture = (mode & 4) != 0;
    Checksum sink;
    if ((mode & 3) == 0) {
        ravelin::SceneMeshData mesh;
        if (ravelin::parseSceneMesh(data + 1, size - 1, mesh)) ravelin::emitSceneMesh(mesh, multitexture, sink);
    } else {
        ravelin::ObjectMeshData mesh;
        if (ravelin::parseObjectMesh(data + 1, size - 1, (mode & 3) == 2, mesh))
            ravelin::emitObjectMesh(mesh, multitexture, sink);
    }
    return 0;
}
