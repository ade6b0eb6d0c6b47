// Test helpers for the generated car content: reads the object-mesh and scene-mesh layouts back
// from bytes (independently of the generator's writers and the runtime's loaders), and ray and
// distance queries on the triangles. Used by the car and camera-move tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "assetgen.h"

namespace cartest {

struct P3 {
    double x = 0, y = 0, z = 0;
};
inline P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline P3 operator-(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline P3 operator*(double s, P3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline P3 cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double length(P3 a) { return std::sqrt(dot(a, a)); }

// A little-endian reader that records running past the end instead of reading there.
struct Reader {
    const std::vector<uint8_t>& b;
    size_t at = 0;
    bool overrun = false;
    uint32_t u32() {
        if (at + 4 > b.size()) {
            overrun = true;
            return 0;
        }
        uint32_t v = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
        at += 4;
        return v;
    }
    double f32() {
        uint32_t v = u32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    P3 p3() {
        double x = f32(), y = f32();
        return {x, y, f32()};
    }
};

struct MeshData {
    std::vector<P3> vertices;
    std::vector<uint32_t> faces;          // 3 per face
    std::vector<P3> normals;              // 3 per face
    std::vector<uint32_t> uvFaces, uv2Faces;
    std::vector<std::pair<double, double>> uv, uv2;
    uint32_t sets = 0;
    P3 bbMin, bbMax;
    bool ok = false;  // sizes and counts agree, every index in range
};

inline bool indicesInRange(const std::vector<uint32_t>& idx, size_t count) {
    for (uint32_t i : idx)
        if (i >= count) return false;
    return true;
}

// Object-mesh layout; the caller says whether the second set is there.
inline MeshData readObjectMesh(const std::vector<uint8_t>& bytes, bool secondSet) {
    MeshData m;
    Reader r{bytes};
    uint32_t v = r.u32(), f = r.u32(), t = r.u32(), t2 = secondSet ? r.u32() : 0;
    size_t expected = (secondSet ? 16 : 12) + size_t(v) * 12 + size_t(f) * 12 * 2 + size_t(t) * 8 +
                      (secondSet ? size_t(f) * 12 + size_t(t2) * 8 : 0) + size_t(f) * 36;
    if (expected != bytes.size()) return m;
    for (uint32_t i = 0; i < v; ++i) m.vertices.push_back(r.p3());
    for (uint32_t i = 0; i < 3 * f; ++i) m.faces.push_back(r.u32());
    for (uint32_t i = 0; i < 3 * f; ++i) m.uvFaces.push_back(r.u32());
    for (uint32_t i = 0; i < t; ++i) m.uv.push_back({r.f32(), r.f32()});
    if (secondSet) {
        for (uint32_t i = 0; i < 3 * f; ++i) m.uv2Faces.push_back(r.u32());
        for (uint32_t i = 0; i < t2; ++i) m.uv2.push_back({r.f32(), r.f32()});
    }
    for (uint32_t i = 0; i < 3 * f; ++i) m.normals.push_back(r.p3());
    m.sets = secondSet ? 2 : 1;
    m.ok = !r.overrun && r.at == bytes.size() && indicesInRange(m.faces, v) && indicesInRange(m.uvFaces, t) &&
           (!secondSet || indicesInRange(m.uv2Faces, t2));
    return m;
}

// Scene-mesh layout (colours flag with K = 0 or colours, normals optional).
inline MeshData readSceneMesh(const std::vector<uint8_t>& bytes) {
    MeshData m;
    Reader r{bytes};
    r.p3();
    r.p3();
    r.f32();
    uint32_t v = r.u32(), f = r.u32(), s = r.u32(), hasNormals = r.u32(), hasColours = r.u32();
    if (r.overrun || size_t(v) * 12 + size_t(f) * 12 > bytes.size()) return m;
    for (uint32_t i = 0; i < v; ++i) m.vertices.push_back(r.p3());
    for (uint32_t i = 0; i < 3 * f; ++i) m.faces.push_back(r.u32());
    bool ok = indicesInRange(m.faces, v);
    for (uint32_t set = 0; set < s && !r.overrun; ++set) {
        uint32_t t = r.u32();
        if (t == 0) continue;
        if (size_t(t) * 8 > bytes.size()) return m;
        std::vector<std::pair<double, double>> uv;
        std::vector<uint32_t> idx;
        for (uint32_t i = 0; i < t; ++i) uv.push_back({r.f32(), r.f32()});
        for (uint32_t i = 0; i < 3 * f; ++i) idx.push_back(r.u32());
        ok = ok && indicesInRange(idx, t);
        if (set == 0) {
            m.uv = uv;
            m.uvFaces = idx;
        } else {
            m.uv2 = uv;
            m.uv2Faces = idx;
        }
    }
    if (hasColours) {
        uint32_t k = r.u32();
        if (k > 0) {
            if (size_t(k) * 12 > bytes.size()) return m;
            for (uint32_t i = 0; i < 3 * k + 3 * f; ++i) r.u32();
        }
    }
    if (hasNormals)
        for (uint32_t i = 0; i < 3 * f; ++i) m.normals.push_back(r.p3());
    m.bbMin = r.p3();
    m.bbMax = r.p3();
    m.sets = s;
    m.ok = ok && !r.overrun && r.at == bytes.size();
    return m;
}

// Möller–Trumbore: distance along the unit ray to the triangle, or −1.
inline double rayHit(P3 origin, P3 dir, P3 a, P3 b, P3 c) {
    P3 e1 = b - a, e2 = c - a, p = cross(dir, e2);
    double det = dot(e1, p);
    if (std::fabs(det) < 1e-12) return -1;
    double inv = 1 / det;
    P3 s = origin - a;
    double u = dot(s, p) * inv;
    if (u < 0 || u > 1) return -1;
    P3 q = cross(s, e1);
    double v = dot(dir, q) * inv;
    if (v < 0 || u + v > 1) return -1;
    double t = dot(e2, q) * inv;
    return t > 0 ? t : -1;
}

// Nearest hit of a ray over all faces (−1 when nothing is hit).
inline double nearestHit(const MeshData& m, P3 origin, P3 dir) {
    double best = -1;
    for (size_t f = 0; f + 2 < m.faces.size(); f += 3) {
        double t = rayHit(origin, dir, m.vertices[m.faces[f]], m.vertices[m.faces[f + 1]], m.vertices[m.faces[f + 2]]);
        if (t > 0 && (best < 0 || t < best)) best = t;
    }
    return best;
}

// Distance from a point to a triangle (closest point by region tests).
inline double pointTriangleDistance(P3 p, P3 a, P3 b, P3 c) {
    P3 ab = b - a, ac = c - a, ap = p - a;
    double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return length(p - a);
    P3 bp = p - b;
    double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return length(p - b);
    double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return length(p - (a + (d1 / (d1 - d3)) * ab));
    P3 cp = p - c;
    double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return length(p - c);
    double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return length(p - (a + (d2 / (d2 - d6)) * ac));
    double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) return length(p - (b + ((d4 - d3) / ((d4 - d3) + (d5 - d6))) * (c - b)));
    double denom = 1 / (va + vb + vc);
    return length(p - (a + (vb * denom) * ab + (vc * denom) * ac));
}

inline double nearestDistance(const MeshData& m, P3 p) {
    double best = 1e30;
    for (size_t f = 0; f + 2 < m.faces.size(); f += 3)
        best = std::min(best, pointTriangleDistance(p, m.vertices[m.faces[f]], m.vertices[m.faces[f + 1]],
                                                    m.vertices[m.faces[f + 2]]));
    return best;
}

inline const std::vector<uint8_t>* findFile(const assetgen::AssetSink& sink, const std::string& name) {
    for (const auto& f : sink.archiveFiles())
        if (f.name == name) return &f.bytes;
    return nullptr;
}

}  // namespace cartest
