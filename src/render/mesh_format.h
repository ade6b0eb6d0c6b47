// The two binary mesh layouts, parsed and checked without GL: every count is checked against
// the bytes that are really there and every index against the array it points into, so that
// emitting a parsed mesh can never read outside the entry. mesh.cpp emits to GL; the fuzzers
// emit to a counter. The parsed views point into the caller's bytes (no copy).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravelin {

// Receives the per-corner calls a display list records, in order.
class MeshEmitter {
public:
    virtual ~MeshEmitter() = default;
    virtual void texCoord(float u, float v) = 0;
    virtual void multiTexCoord(int unit, float u, float v) = 0;
    virtual void colour(float r, float g, float b) = 0;
    virtual void normal(float x, float y, float z) = 0;
    virtual void vertex(float x, float y, float z) = 0;
};

struct SceneMeshData {
    struct CoordinateSet {
        uint32_t count = 0;
        const uint8_t* coordinates = nullptr;  // count × (u, v)
        const uint8_t* faces = nullptr;        // faceCount × 3 indices, only when count > 0
    };
    float axis[3] = {0, 0, 0};
    float angle = 0;  // radians
    uint32_t vertexCount = 0, faceCount = 0, setCount = 0;
    bool hasNormals = false, hasColours = false;
    const uint8_t* vertices = nullptr;
    const uint8_t* faces = nullptr;
    CoordinateSet sets[2];  // later sets are skipped over: nothing draws them
    uint32_t colourCount = 0;
    const uint8_t* colours = nullptr;
    const uint8_t* colourFaces = nullptr;
    const uint8_t* normals = nullptr;  // faceCount × 3 × (x, y, z)
    float bbMin[3] = {0, 0, 0}, bbMax[3] = {0, 0, 0};
};

// False for a truncated file or an index outside its array.
bool parseSceneMesh(const uint8_t* data, size_t size, SceneMeshData& mesh);
// Emits every corner in file order: coordinates (both units with a second set and
// multitexturing, else set 0 only), colour, the normal rotated by the file's axis and
// -angle (the angle converted to degrees with the constant 3.14159), vertex.
void emitSceneMesh(const SceneMeshData& mesh, bool multitexture, MeshEmitter& emitter);

struct ObjectMeshData {
    uint32_t vertexCount = 0, faceCount = 0, coordinateCount = 0, secondCount = 0;
    bool secondSet = false;
    const uint8_t* vertices = nullptr;
    const uint8_t* faces = nullptr;
    const uint8_t* coordinateFaces = nullptr;
    const uint8_t* coordinates = nullptr;
    const uint8_t* secondFaces = nullptr;
    const uint8_t* secondCoordinates = nullptr;
    const uint8_t* normals = nullptr;
};

bool parseObjectMesh(const uint8_t* data, size_t size, bool secondSet, ObjectMeshData& mesh);
// Per corner: normal as stored, then coordinates (both units with the second set and
// multitexturing, else the first set), then the vertex.
void emitObjectMesh(const ObjectMeshData& mesh, bool multitexture, MeshEmitter& emitter);

}  // namespace ravelin
