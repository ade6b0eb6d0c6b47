#include "base/math.h"

#include <cmath>

namespace ravelin {

float length(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 normalize(Vec3 a) {
    const float len = length(a);
    return {a.x / len, a.y / len, a.z / len};
}

Vec3 normalizeOr(Vec3 a, Vec3 fallback) {
    const float len = length(a);
    // A zero, denormal-tiny or non-finite length would spread NaNs or infinities through every
    // frame that reads the result, so the caller's fallback stands in for it.
    if (!std::isfinite(len) || !(len > 0.0f)) return fallback;
    const Vec3 result{a.x / len, a.y / len, a.z / len};
    if (!std::isfinite(result.x) || !std::isfinite(result.y) || !std::isfinite(result.z)) return fallback;
    return result;
}

Quat normalize(Quat q) {
    const float len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / len, q.y / len, q.z / len, q.w / len};
}

Quat slerp(Quat a, Quat b, float t) {
    double cosTheta = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                      static_cast<double>(a.z) * b.z + static_cast<double>(a.w) * b.w;
    if (cosTheta < 0.0) {
        // q and −q are the same rotation; going to the nearer one takes the shorter arc.
        b = {-b.x, -b.y, -b.z, -b.w};
        cosTheta = -cosTheta;
    }
    double wa;
    double wb;
    if (1.0 - cosTheta > 0.0001) {
        const double theta = std::acos(cosTheta > 1.0 ? 1.0 : cosTheta);
        const double sinTheta = std::sin(theta);
        wa = std::sin((1.0 - t) * theta) / sinTheta;
        wb = std::sin(t * theta) / sinTheta;
    } else {
        // Nearly equal: sin θ would be too small to divide by, and the arc is a line anyway.
        wa = 1.0 - t;
        wb = t;
    }
    return {static_cast<float>(wa * a.x + wb * b.x), static_cast<float>(wa * a.y + wb * b.y),
            static_cast<float>(wa * a.z + wb * b.z), static_cast<float>(wa * a.w + wb * b.w)};
}

Quat bezierSlerp(Quat q0, Quat c0, Quat c1, Quat q1, float u) {
    const Quat a = slerp(q0, c0, u);
    const Quat b = slerp(c0, c1, u);
    const Quat c = slerp(c1, q1, u);
    const Quat d = slerp(a, b, u);
    const Quat e = slerp(b, c, u);
    return slerp(d, e, u);
}

Matrix4 toMatrix(Quat q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix4 r;
    auto at = [&r](int row, int col) -> float& { return r.m[col * 4 + row]; };
    at(0, 0) = 1 - 2 * y * y - 2 * z * z;
    at(0, 1) = 2 * x * y - 2 * w * z;
    at(0, 2) = 2 * x * z + 2 * w * y;
    at(1, 0) = 2 * x * y + 2 * w * z;
    at(1, 1) = 1 - 2 * x * x - 2 * z * z;
    at(1, 2) = 2 * y * z - 2 * w * x;
    at(2, 0) = 2 * x * z - 2 * w * y;
    at(2, 1) = 2 * y * z + 2 * w * x;
    at(2, 2) = 1 - 2 * x * x - 2 * y * y;
    return r;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a.m[k * 4 + row]) * b.m[col * 4 + k];
            r.m[col * 4 + row] = static_cast<float>(sum);
        }
    }
    return r;
}

float hermite(float p0, float p1, float m0, float m1, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * p0 + (t3 - 2 * t2 + t) * m0 + (-2 * t3 + 3 * t2) * p1 + (t3 - t2) * m1;
}

float hermiteDerivative(float p0, float p1, float m0, float m1, float t) {
    const float t2 = t * t;
    return 6 * (t2 - t) * p0 + (3 * t2 - 4 * t + 1) * m0 + 6 * (t - t2) * p1 + (3 * t2 - 2 * t) * m1;
}

Vec3 hermite(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t) {
    return {hermite(p0.x, p1.x, m0.x, m1.x, t), hermite(p0.y, p1.y, m0.y, m1.y, t),
            hermite(p0.z, p1.z, m0.z, m1.z, t)};
}

Vec3 hermiteDerivative(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t) {
    return {hermiteDerivative(p0.x, p1.x, m0.x, m1.x, t), hermiteDerivative(p0.y, p1.y, m0.y, m1.y, t),
            hermiteDerivative(p0.z, p1.z, m0.z, m1.z, t)};
}

namespace {

Plane makePlane(const float* row4, const float* other, float sign) {
    Plane p{row4[0] + sign * other[0], row4[1] + sign * other[1], row4[2] + sign * other[2],
            row4[3] + sign * other[3]};
    const float len = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    if (len > 0.0f) {
        p.a /= len;
        p.b /= len;
        p.c /= len;
        p.d /= len;
    }
    return p;
}

}  // namespace

Frustum frustumFromMatrices(const Matrix4& projection, const Matrix4& modelview) {
    const Matrix4 clip = multiply(projection, modelview);
    float rows[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) rows[r][c] = clip.m[c * 4 + r];
    Frustum f;
    f.planes[0] = makePlane(rows[3], rows[0], -1.0f);  // right
    f.planes[1] = makePlane(rows[3], rows[0], 1.0f);   // left
    f.planes[2] = makePlane(rows[3], rows[1], 1.0f);   // bottom
    f.planes[3] = makePlane(rows[3], rows[1], -1.0f);  // top
    f.planes[4] = makePlane(rows[3], rows[2], -1.0f);  // far
    f.planes[5] = makePlane(rows[3], rows[2], 1.0f);   // near
    for (int i = 0; i < 6; ++i) {
        const Plane& p = f.planes[i];
        f.absPlanes[i] = {std::fabs(p.a), std::fabs(p.b), std::fabs(p.c), std::fabs(p.d)};
    }
    return f;
}

bool sphereVisible(const Frustum& frustum, const Sphere& sphere) {
    const Vec3 c = sphere.centre;
    for (const Plane& p : frustum.planes) {
        if (p.a * c.x + p.b * c.y + p.c * c.z + p.d <= -sphere.radius) return false;
    }
    return true;
}

bool boxVisible(const Frustum& frustum, Vec3 centre, Vec3 halfExtent) {
    for (int i = 0; i < 6; ++i) {
        const Plane& p = frustum.planes[i];
        const Plane& q = frustum.absPlanes[i];
        const float distance = p.a * centre.x + p.b * centre.y + p.c * centre.z + p.d;
        const float reach = q.a * halfExtent.x + q.b * halfExtent.y + q.c * halfExtent.z;
        if (distance + reach < 0.0f) return false;
    }
    return true;
}

}  // namespace ravelin
