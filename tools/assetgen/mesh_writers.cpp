// The two binary mesh layouts the runtime compiles into display lists.
#include "assetgen.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace assetgen {

namespace {

struct Writer {
    std::vector<uint8_t> b;
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    }
    void f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        u32(v);
    }
    void v3(const V3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void v2(const V2& v) {
        f32(v.u);
        f32(v.v);
    }
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "assetgen: malformed mesh: %s\n", what);
    std::abort();
}

void checkIndices(const std::vector<uint32_t>& idx, size_t faces, size_t count, const char* what) {
    if (idx.size() != faces * 3) fail(what);
    for (uint32_t i : idx)
        if (i >= count) fail(what);
}

}  // namespace

V3 normalForLoader(const V3& n, const V3& axis, float angle) {
    // The loader turns a stored normal s into sᵀ·R with R the glRotatef matrix of the angle in
    // degrees (converted with 3.14159). sᵀ·R = Rᵀ·s, so storing R·n brings back n.
    const double deg = double(angle) / 3.14159 * 180.0;
    const double a = deg * kPi / 180.0;
    double x = axis.x, y = axis.y, z = axis.z;
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len == 0) return n;
    x /= len;
    y /= len;
    z /= len;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    const double r[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                            {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                            {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
    return {float(r[0][0] * n.x + r[0][1] * n.y + r[0][2] * n.z),
            float(r[1][0] * n.x + r[1][1] * n.y + r[1][2] * n.z),
            float(r[2][0] * n.x + r[2][1] * n.y + r[2][2] * n.z)};
}

std::vector<uint8_t> writeSceneMesh(const SceneMesh& m) {
    const size_t faces = m.faces.size() / 3;
    if (m.faces.size() % 3 != 0 || m.vertices.empty()) fail("scene mesh faces");
    checkIndices(m.faces, faces, m.vertices.size(), "scene mesh vertex index");
    if (!m.uv0.empty()) checkIndices(m.uv0Faces, faces, m.uv0.size(), "scene mesh uv0 index");
    if (!m.uv1.empty()) checkIndices(m.uv1Faces, faces, m.uv1.size(), "scene mesh uv1 index");
    if (!m.cornerNormals.empty() && m.cornerNormals.size() != faces * 3) fail("scene mesh normals");
    if (!m.colours.empty()) checkIndices(m.colourFaces, faces, m.colours.size(), "scene mesh colour index");

    V3 lo = m.vertices[0], hi = m.vertices[0];
    for (const V3& v : m.vertices) {
        lo = {std::fmin(lo.x, v.x), std::fmin(lo.y, v.y), std::fmin(lo.z, v.z)};
        hi = {std::fmax(hi.x, v.x), std::fmax(hi.y, v.y), std::fmax(hi.z, v.z)};
    }
    const uint32_t sets = m.uv1.empty() ? 1 : 2;

    Writer w;
    w.b.reserve(48 + m.vertices.size() * 12 + faces * 12 * 6);
    w.v3({(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2});
    w.v3(m.rotationAxis);
    w.f32(m.rotationAngle);
    w.u32(uint32_t(m.vertices.size()));
    w.u32(uint32_t(faces));
    w.u32(sets);
    w.u32(m.cornerNormals.empty() ? 0 : 1);
    w.u32(m.colourFlag || !m.colours.empty() ? 1 : 0);
    for (const V3& v : m.vertices) w.v3(v);
    for (uint32_t i : m.faces) w.u32(i);
    w.u32(uint32_t(m.uv0.size()));
    if (!m.uv0.empty()) {
        for (const V2& t : m.uv0) w.v2(t);
        for (uint32_t i : m.uv0Faces) w.u32(i);
    }
    if (sets == 2) {
        w.u32(uint32_t(m.uv1.size()));
        for (const V2& t : m.uv1) w.v2(t);
        for (uint32_t i : m.uv1Faces) w.u32(i);
    }
    if (!m.colours.empty()) {
        w.u32(uint32_t(m.colours.size()));
        for (const V3& c : m.colours) w.v3(c);
        for (uint32_t i : m.colourFaces) w.u32(i);
    } else if (m.colourFlag) {
        w.u32(0);  // no colours: the flag stays set and K = 0 says there are none
    }
    for (const V3& n : m.cornerNormals) w.v3(n);
    w.v3(lo);
    w.v3(hi);
    return std::move(w.b);
}

std::vector<uint8_t> writeObjectMesh(const ObjectMesh& m) {
    const size_t faces = m.faces.size() / 3;
    if (m.faces.size() % 3 != 0) fail("object mesh faces");
    checkIndices(m.faces, faces, m.vertices.size(), "object mesh vertex index");
    checkIndices(m.uvFaces, faces, m.uv.size(), "object mesh uv index");
    if (m.hasSecondSet) checkIndices(m.uv2Faces, faces, m.uv2.size(), "object mesh uv2 index");
    if (m.cornerNormals.size() != faces * 3) fail("object mesh normals");

    Writer w;
    w.u32(uint32_t(m.vertices.size()));
    w.u32(uint32_t(faces));
    w.u32(uint32_t(m.uv.size()));
    if (m.hasSecondSet) w.u32(uint32_t(m.uv2.size()));
    for (const V3& v : m.vertices) w.v3(v);
    for (uint32_t i : m.faces) w.u32(i);
    for (uint32_t i : m.uvFaces) w.u32(i);
    for (const V2& t : m.uv) w.v2(t);
    if (m.hasSecondSet) {
        for (uint32_t i : m.uv2Faces) w.u32(i);
        for (const V2& t : m.uv2) w.v2(t);
    }
    for (const V3& n : m.cornerNormals) w.v3(n);
    return std::move(w.b);
}

}  // namespace assetgen
