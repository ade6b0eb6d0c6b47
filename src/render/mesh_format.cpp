#include "render/mesh_format.h"

#include <cmath>
#include <cstring>

#include "base/math.h"

namespace ravelin {
namespace {

// A bounds-checked cursor over the entry's bytes.
struct Cursor {
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    bool ok = true;

    bool u32(uint32_t& value) {
        if (!ok || size - position < 4) return ok = false;
        std::memcpy(&value, data + position, 4);
        position += 4;
        return true;
    }
    bool f32(float& value) {
        if (!ok || size - position < 4) return ok = false;
        std::memcpy(&value, data + position, 4);
        position += 4;
        return true;
    }
    // Takes count records of recordSize bytes; null (and ok false) when they are not all there.
    const uint8_t* take(uint64_t count, uint64_t recordSize) {
        if (!ok) return nullptr;
        uint64_t bytes = count * recordSize;  // counts are 32-bit, records small: no overflow
        if (bytes > size - position) {
            ok = false;
            return nullptr;
        }
        const uint8_t* start = data + position;
        position += static_cast<size_t>(bytes);
        return start;
    }
};

uint32_t readU32(const uint8_t* p, size_t index) {
    uint32_t v;
    std::memcpy(&v, p + index * 4, 4);
    return v;
}

void readFloats(const uint8_t* p, size_t index, size_t n, float* out) { std::memcpy(out, p + index * n * 4, n * 4); }

bool indicesBelow(const uint8_t* triples, uint32_t faceCount, uint32_t limit) {
    for (size_t i = 0; i < static_cast<size_t>(faceCount) * 3; ++i)
        if (readU32(triples, i) >= limit) return false;
    return true;
}

// R as glRotatef(degrees, axis) builds it, for the normal rotation n' = nᵀ·R.
void rotationMatrix(const float axisIn[3], double radians, double r[3][3]) {
    double x = axisIn[0], y = axisIn[1], z = axisIn[2];
    double len = std::sqrt(x * x + y * y + z * z);
    if (!(len > 0.0) || !std::isfinite(len) || !std::isfinite(radians)) {
        // glRotatef with a zero axis leaves the matrix alone.
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r[i][j] = i == j ? 1.0 : 0.0;
        return;
    }
    x /= len;
    y /= len;
    z /= len;
    double c = std::cos(radians), s = std::sin(radians), k = 1.0 - c;
    r[0][0] = x * x * k + c;
    r[0][1] = x * y * k - z * s;
    r[0][2] = x * z * k + y * s;
    r[1][0] = y * x * k + z * s;
    r[1][1] = y * y * k + c;
    r[1][2] = y * z * k - x * s;
    r[2][0] = x * z * k - y * s;
    r[2][1] = y * z * k + x * s;
    r[2][2] = z * z * k + c;
}

}  // namespace

bool parseSceneMesh(const uint8_t* data, size_t size, SceneMeshData& m) {
    m = SceneMeshData{};
    Cursor c{data, size};
    float position[3];
    uint32_t normalsFlag = 0, coloursFlag = 0;
    for (float& p : position) c.f32(p);
    for (float& a : m.axis) c.f32(a);
    c.f32(m.angle);
    c.u32(m.vertexCount);
    c.u32(m.faceCount);
    c.u32(m.setCount);
    c.u32(normalsFlag);
    c.u32(coloursFlag);
    m.hasNormals = normalsFlag != 0;
    m.hasColours = coloursFlag != 0;
    m.vertices = c.take(m.vertexCount, 12);
    m.faces = c.take(m.faceCount, 12);
    if (!c.ok || !indicesBelow(m.faces, m.faceCount, m.vertexCount)) return false;
    for (uint32_t s = 0; s < m.setCount && c.ok; ++s) {
        SceneMeshData::CoordinateSet set;
        c.u32(set.count);
        if (set.count > 0) {
            set.coordinates = c.take(set.count, 8);
            set.faces = c.take(m.faceCount, 12);
            if (!c.ok || !indicesBelow(set.faces, m.faceCount, set.count)) return false;
        }
        if (s < 2) m.sets[s] = set;
    }
    if (m.hasColours) {
        c.u32(m.colourCount);
        if (m.colourCount > 0) {
            m.colours = c.take(m.colourCount, 12);
            m.colourFaces = c.take(m.faceCount, 12);
            if (!c.ok || !indicesBelow(m.colourFaces, m.faceCount, m.colourCount)) return false;
        }
    }
    if (m.hasNormals) m.normals = c.take(m.faceCount, 36);
    for (float& v : m.bbMin) c.f32(v);
    for (float& v : m.bbMax) c.f32(v);
    return c.ok;
}

void emitSceneMesh(const SceneMeshData& m, bool multitexture, MeshEmitter& e) {
    double r[3][3];
    double degrees = m.angle / 3.14159 * 180.0;
    // glRotatef turns the degrees back into radians with its own pi; the negative angle is the
    // transpose, which nᵀ·R applies.
    rotationMatrix(m.axis, degrees * kPi / 180.0, r);
    const SceneMeshData::CoordinateSet& set0 = m.sets[0];
    const SceneMeshData::CoordinateSet& set1 = m.sets[1];
    const bool twoUnits = m.setCount > 1 && multitexture;
    const bool useColours = m.hasColours && m.colourCount > 0;
    for (uint32_t f = 0; f < m.faceCount; ++f) {
        for (uint32_t k = 0; k < 3; ++k) {
            size_t corner = static_cast<size_t>(f) * 3 + k;
            float uv[2], rgb[3], n[3], p[3];
            if (twoUnits) {
                if (set0.count > 0) {
                    readFloats(set0.coordinates, readU32(set0.faces, corner), 2, uv);
                    e.multiTexCoord(0, uv[0], uv[1]);
                }
                if (set1.count > 0) {
                    readFloats(set1.coordinates, readU32(set1.faces, corner), 2, uv);
                    e.multiTexCoord(1, uv[0], uv[1]);
                }
            } else if (set0.count > 0) {
                readFloats(set0.coordinates, readU32(set0.faces, corner), 2, uv);
                e.texCoord(uv[0], uv[1]);
            }
            if (useColours) {
                readFloats(m.colours, readU32(m.colourFaces, corner), 3, rgb);
                e.colour(rgb[0], rgb[1], rgb[2]);
            }
            if (m.hasNormals) {
                readFloats(m.normals, corner, 3, n);
                float out[3];
                for (int j = 0; j < 3; ++j)
                    out[j] = static_cast<float>(n[0] * r[0][j] + n[1] * r[1][j] + n[2] * r[2][j]);
                e.normal(out[0], out[1], out[2]);
            }
            readFloats(m.vertices, readU32(m.faces, corner), 3, p);
            e.vertex(p[0], p[1], p[2]);
        }
    }
}

bool parseObjectMesh(const uint8_t* data, size_t size, bool secondSet, ObjectMeshData& m) {
    m = ObjectMeshData{};
    m.secondSet = secondSet;
    Cursor c{data, size};
    c.u32(m.vertexCount);
    c.u32(m.faceCount);
    c.u32(m.coordinateCount);
    if (secondSet) c.u32(m.secondCount);
    m.vertices = c.take(m.vertexCount, 12);
    m.faces = c.take(m.faceCount, 12);
    m.coordinateFaces = c.take(m.faceCount, 12);
    m.coordinates = c.take(m.coordinateCount, 8);
    if (secondSet) {
        m.secondFaces = c.take(m.faceCount, 12);
        m.secondCoordinates = c.take(m.secondCount, 8);
    }
    m.normals = c.take(m.faceCount, 36);
    if (!c.ok) return false;
    if (!indicesBelow(m.faces, m.faceCount, m.vertexCount)) return false;
    if (!indicesBelow(m.coordinateFaces, m.faceCount, m.coordinateCount)) return false;
    if (secondSet && !indicesBelow(m.secondFaces, m.faceCount, m.secondCount)) return false;
    return true;
}

void emitObjectMesh(const ObjectMeshData& m, bool multitexture, MeshEmitter& e) {
    const bool twoUnits = m.secondSet && multitexture;
    for (uint32_t f = 0; f < m.faceCount; ++f) {
        for (uint32_t k = 0; k < 3; ++k) {
            size_t corner = static_cast<size_t>(f) * 3 + k;
            float n[3], uv[2], p[3];
            readFloats(m.normals, corner, 3, n);
            e.normal(n[0], n[1], n[2]);
            readFloats(m.coordinates, readU32(m.coordinateFaces, corner), 2, uv);
            if (twoUnits) {
                e.multiTexCoord(0, uv[0], uv[1]);
                readFloats(m.secondCoordinates, readU32(m.secondFaces, corner), 2, uv);
                e.multiTexCoord(1, uv[0], uv[1]);
            } else {
                e.texCoord(uv[0], uv[1]);
            }
            readFloats(m.vertices, readU32(m.faces, corner), 3, p);
            e.vertex(p[0], p[1], p[2]);
        }
    }
}

}  // namespace ravelin
