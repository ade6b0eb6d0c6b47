// Value types of the animation and renderer: vectors, quaternions, matrices, frames, frustum,
// camera pose. Single precision throughout; the world is right-handed with Z up; quaternions
// are x, y, z, w. Everything here is arithmetic on the stack; the GL-touching helpers live in
// render/gl_helpers.h.
#pragma once

namespace ravelin {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(float s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {s * a.x, s * a.y, s * a.z}; }
inline Vec3& operator+=(Vec3& a, Vec3 b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float length(Vec3 a);
Vec3 normalize(Vec3 a);
// normalize, but a zero (or non-finite) vector yields fallback instead of NaNs.
Vec3 normalizeOr(Vec3 a, Vec3 fallback);

struct Quat {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

Quat normalize(Quat q);
Quat slerp(Quat a, Quat b, float t);
Quat bezierSlerp(Quat q0, Quat c0, Quat c1, Quat q1, float u);

// Column-major, as glLoadMatrixf takes it: element (row r, column c) at m[c * 4 + r].
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

Matrix4 toMatrix(Quat q);
Matrix4 multiply(const Matrix4& a, const Matrix4& b);  // a × b

float hermite(float p0, float p1, float m0, float m1, float t);
float hermiteDerivative(float p0, float p1, float m0, float m1, float t);
Vec3 hermite(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t);
Vec3 hermiteDerivative(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t);

// Where a camera stands and looks (world space): the sky and the flare are placed by it, the
// engine sounds are heard along its axes.
struct CameraPose {
    Vec3 eye;
    Vec3 direction{1.0f, 0.0f, 0.0f};
    Vec3 up{0.0f, 0.0f, 1.0f};
};

struct TrackFrame {
    Vec3 position, right, forward, up;
};

struct Plane {
    float a = 0, b = 0, c = 0, d = 0;
};

struct Frustum {
    Plane planes[6];     // right, left, bottom, top, far, near
    Plane absPlanes[6];  // |a|, |b|, |c|, |d| of each
};

struct Sphere {
    Vec3 centre;
    float radius = 0.0f;
};

// Planes from clip = projection × modelview (both column-major).
Frustum frustumFromMatrices(const Matrix4& projection, const Matrix4& modelview);
bool sphereVisible(const Frustum& frustum, const Sphere& sphere);
bool boxVisible(const Frustum& frustum, Vec3 centre, Vec3 halfExtent);

}  // namespace ravelin
