// Vector, quaternion, spline and frustum arithmetic against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/math.h"

namespace ravelin {
namespace {

constexpr float kEps = 1e-5f;

void expectQuat(Quat q, float x, float y, float z, float w, float eps = kEps) {
    EXPECT_NEAR(q.x, x, eps);
    EXPECT_NEAR(q.y, y, eps);
    EXPECT_NEAR(q.z, z, eps);
    EXPECT_NEAR(q.w, w, eps);
}

// Rotations about Z by a given angle: (0, 0, sin(a/2), cos(a/2)).
constexpr float kSin45 = 0.70710678f;
const Quat kIdentity{0, 0, 0, 1};
const Quat kZ90{0, 0, kSin45, kSin45};

TEST(VectorMath, BasicOperations) {
    const Vec3 a{1, 2, 3}, b{4, -5, 6};
    const Vec3 s = a + b;
    EXPECT_FLOAT_EQ(s.x, 5);
    EXPECT_FLOAT_EQ(s.y, -3);
    EXPECT_FLOAT_EQ(s.z, 9);
    EXPECT_FLOAT_EQ(dot(a, b), 12);  // 4 - 10 + 18
    const Vec3 c = cross(a, b);      // (2·6 − 3·(−5), 3·4 − 1·6, 1·(−5) − 2·4)
    EXPECT_FLOAT_EQ(c.x, 27);
    EXPECT_FLOAT_EQ(c.y, 6);
    EXPECT_FLOAT_EQ(c.z, -13);
    EXPECT_FLOAT_EQ(length(Vec3{3, 4, 12}), 13);
    const Vec3 n = normalize(Vec3{0, 3, 4});
    EXPECT_FLOAT_EQ(n.y, 0.6f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);
}

TEST(VectorMath, NormalizeOrFallsBackOnZeroAndNonFinite) {
    const Vec3 fallback{0, 0, 1};
    const Vec3 z = normalizeOr(Vec3{}, fallback);
    EXPECT_EQ(z.z, 1.0f);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(normalizeOr(Vec3{inf, 0, 0}, fallback).z, 1.0f);
    EXPECT_EQ(normalizeOr(Vec3{nan, 1, 0}, fallback).z, 1.0f);
    EXPECT_EQ(normalizeOr(Vec3{1e-30f, 0, 0}, fallback).z, 1.0f);  // squares underflow to 0
    const Vec3 n = normalizeOr(Vec3{0, -2, 0}, fallback);
    EXPECT_FLOAT_EQ(n.y, -1.0f);
}

TEST(QuatMath, SlerpHalfWayIsHalfTheAngle) {
    // Half of 90° about Z is 45°: (0, 0, sin 22.5°, cos 22.5°).
    expectQuat(slerp(kIdentity, kZ90, 0.5f), 0, 0, 0.38268343f, 0.92387953f);
    expectQuat(slerp(kIdentity, kZ90, 0.0f), 0, 0, 0, 1);
    expectQuat(slerp(kIdentity, kZ90, 1.0f), 0, 0, kSin45, kSin45);
}

TEST(QuatMath, SlerpTakesTheShorterArc) {
    const Quat negated{-kZ90.x, -kZ90.y, -kZ90.z, -kZ90.w};
    expectQuat(slerp(kIdentity, negated, 0.5f), 0, 0, 0.38268343f, 0.92387953f);
    // t = 1 lands on the flipped b, i.e. −(−b) = b.
    expectQuat(slerp(kIdentity, negated, 1.0f), 0, 0, kSin45, kSin45);
}

TEST(QuatMath, SlerpExtrapolates) {
    // t = −1 mirrors b through a: −90° about Z.
    expectQuat(slerp(kIdentity, kZ90, -1.0f), 0, 0, -kSin45, kSin45);
    // t = 1/3 of 90° is 30°: (0, 0, sin 15°, cos 15°).
    expectQuat(slerp(kIdentity, kZ90, 0.33333334f), 0, 0, 0.25881905f, 0.96592583f);
}

TEST(QuatMath, SlerpOfEqualQuaternionsIsLinear) {
    const Quat a{0.5f, 0.5f, 0.5f, 0.5f};
    for (float t : {-1.0f, 0.0f, 0.3f, 1.0f, 2.0f}) expectQuat(slerp(a, a, t), 0.5f, 0.5f, 0.5f, 0.5f);
    // Nearly equal: weights 1 − t and t, no renormalisation. cos θ ≈ 0.99999 here.
    const Quat b{0.5f, 0.5f, 0.5f, 0.51f};
    const Quat r = slerp(a, b, 0.5f);
    EXPECT_FLOAT_EQ(r.w, 0.505f);
    // Unnormalised inputs stay unnormalised in this branch (scale 2).
    const Quat big{0, 0, 0, 2};
    expectQuat(slerp(big, big, 0.25f), 0, 0, 0, 2);
}

TEST(QuatMath, BezierAlongOneArcIsUniform) {
    // Controls at 30° and 60° on the arc from 0° to 90° about Z: the curve is the arc itself,
    // with angle 90°·u. At u = 0.25 that is 22.5°: (0, 0, sin 11.25°, cos 11.25°).
    const Quat c0{0, 0, 0.25881905f, 0.96592583f};
    const Quat c1{0, 0, 0.5f, 0.86602540f};
    expectQuat(bezierSlerp(kIdentity, c0, c1, kZ90, 0.25f), 0, 0, 0.19509032f, 0.98078528f);
    expectQuat(bezierSlerp(kIdentity, c0, c1, kZ90, 0.0f), 0, 0, 0, 1);
    expectQuat(bezierSlerp(kIdentity, c0, c1, kZ90, 1.0f), 0, 0, kSin45, kSin45);
}

TEST(QuatMath, RotationMatrix) {
    // 90° about Z maps X to Y: column 0 is (0, 1, 0), column 1 is (−1, 0, 0).
    const Matrix4 r = toMatrix(kZ90);
    const float expected[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(r.m[i], expected[i], kEps) << i;
    // 120° about (1, 1, 1) cycles the axes: X → Y, Y → Z, Z → X.
    const Matrix4 c = toMatrix(Quat{0.5f, 0.5f, 0.5f, 0.5f});
    const float cyc[16] = {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(c.m[i], cyc[i]) << i;
}

TEST(MatrixMath, MultiplyIsColumnMajorProduct) {
    Matrix4 translate;  // translation (1, 2, 3)
    translate.m[12] = 1;
    translate.m[13] = 2;
    translate.m[14] = 3;
    Matrix4 scale;  // scale 2
    scale.m[0] = scale.m[5] = scale.m[10] = 2;
    // T × S: scale first, then translate; column 3 stays (1, 2, 3, 1).
    const Matrix4 ts = multiply(translate, scale);
    EXPECT_FLOAT_EQ(ts.m[0], 2);
    EXPECT_FLOAT_EQ(ts.m[12], 1);
    EXPECT_FLOAT_EQ(ts.m[14], 3);
    // S × T: the translation is scaled too.
    const Matrix4 st = multiply(scale, translate);
    EXPECT_FLOAT_EQ(st.m[12], 2);
    EXPECT_FLOAT_EQ(st.m[13], 4);
    EXPECT_FLOAT_EQ(st.m[14], 6);
    EXPECT_FLOAT_EQ(st.m[15], 1);
}

TEST(SplineMath, HermiteAndDerivative) {
    // p0 = 1, p1 = 3, m0 = 2, m1 = −1 at t = ½: basis ½, ⅛, ½, −⅛ → 0.5 + 0.25 + 1.5 + 0.125.
    EXPECT_FLOAT_EQ(hermite(1, 3, 2, -1, 0.5f), 2.375f);
    // Derivative basis at ½: −1.5, −0.25, 1.5, −0.25 → −1.5 − 0.5 + 4.5 + 0.25.
    EXPECT_FLOAT_EQ(hermiteDerivative(1, 3, 2, -1, 0.5f), 2.75f);
    EXPECT_FLOAT_EQ(hermite(1, 3, 2, -1, 0), 1);
    EXPECT_FLOAT_EQ(hermite(1, 3, 2, -1, 1), 3);
    EXPECT_FLOAT_EQ(hermiteDerivative(1, 3, 2, -1, 0), 2);
    EXPECT_FLOAT_EQ(hermiteDerivative(1, 3, 2, -1, 1), -1);
    const Vec3 v = hermite(Vec3{1, 0, 0}, Vec3{3, 2, 0}, Vec3{2, 0, 0}, Vec3{-1, 2, 0}, 0.5f);
    EXPECT_FLOAT_EQ(v.x, 2.375f);
    EXPECT_FLOAT_EQ(v.y, 0.75f);  // 0·… + 2·½ + 2·(−⅛)
    const Vec3 d = hermiteDerivative(Vec3{1, 0, 0}, Vec3{3, 2, 0}, Vec3{2, 0, 0}, Vec3{-1, 2, 0}, 0.5f);
    EXPECT_FLOAT_EQ(d.x, 2.75f);
    EXPECT_FLOAT_EQ(d.y, 2.5f);  // 2·1.5 + 2·(−0.25)
}

void expectPlane(const Plane& p, float a, float b, float c, float d) {
    EXPECT_NEAR(p.a, a, kEps);
    EXPECT_NEAR(p.b, b, kEps);
    EXPECT_NEAR(p.c, c, kEps);
    EXPECT_NEAR(p.d, d, 1e-4f);
}

TEST(FrustumMath, PlanesOfAPerspectiveCamera) {
    // gluPerspective(90, 1, 1, 10) and gluLookAt((10, 0, 2), (0, 0, 2), (0, 0, 1)), worked by
    // hand: clip rows (0,1,0,0), (0,0,1,−2), (−11/9,0,0,10), (−1,0,0,10).
    Matrix4 projection;
    const float p[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0f / 9.0f, -1, 0, 0, -20.0f / 9.0f, 0};
    for (int i = 0; i < 16; ++i) projection.m[i] = p[i];
    Matrix4 view;
    const float v[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, -10, 1};
    for (int i = 0; i < 16; ++i) view.m[i] = v[i];
    const Frustum f = frustumFromMatrices(projection, view);
    const float h = 0.70710678f;
    expectPlane(f.planes[0], -h, -h, 0, 10 * h);  // right
    expectPlane(f.planes[1], -h, h, 0, 10 * h);   // left
    expectPlane(f.planes[2], -h, 0, h, 8 * h);    // bottom
    expectPlane(f.planes[3], -h, 0, -h, 12 * h);  // top
    expectPlane(f.planes[4], 1, 0, 0, 0);         // far: x > 0
    expectPlane(f.planes[5], -1, 0, 0, 9);        // near: x < 9
    expectPlane(f.absPlanes[3], h, 0, h, 12 * h);
    expectPlane(f.absPlanes[5], 1, 0, 0, 9);

    EXPECT_TRUE(sphereVisible(f, Sphere{{5, 0, 2}, 0.3f}));
    EXPECT_FALSE(sphereVisible(f, Sphere{{-1, 0, 2}, 0.3f}));  // beyond the far plane
    EXPECT_FALSE(sphereVisible(f, Sphere{{9.5f, 0, 2}, 0.3f}));  // before the near plane
    EXPECT_FALSE(sphereVisible(f, Sphere{{5, 8, 2}, 0.3f}));   // far to the left
    EXPECT_TRUE(boxVisible(f, Vec3{5, 0, 2}, Vec3{1, 1, 1}));
    EXPECT_FALSE(boxVisible(f, Vec3{5, 0, 20}, Vec3{1, 1, 1}));
}

Frustum unitCube() {
    // Identity projection and view: clip is the identity, so the planes bound −1 … 1 per axis.
    return frustumFromMatrices(Matrix4{}, Matrix4{});
}

TEST(FrustumMath, SphereTestIncludesEquality) {
    const Frustum f = unitCube();
    expectPlane(f.planes[0], -1, 0, 0, 1);
    expectPlane(f.planes[1], 1, 0, 0, 1);
    expectPlane(f.planes[2], 0, 1, 0, 1);
    expectPlane(f.planes[3], 0, -1, 0, 1);
    expectPlane(f.planes[4], 0, 0, -1, 1);
    expectPlane(f.planes[5], 0, 0, 1, 1);
    // Centre at x = 2: distance to the right plane −1; exactly −radius counts as invisible.
    EXPECT_FALSE(sphereVisible(f, Sphere{{2, 0, 0}, 1.0f}));
    EXPECT_TRUE(sphereVisible(f, Sphere{{2, 0, 0}, 1.5f}));
    EXPECT_FALSE(sphereVisible(f, Sphere{{0, 0, -3}, 2.0f}));
    EXPECT_TRUE(sphereVisible(f, Sphere{{0, 0, 0}, 0.0f}));
}

TEST(FrustumMath, BoxTestIsStrict) {
    const Frustum f = unitCube();
    // Distance −1 plus reach 1 is 0: not below zero, so the box touches and stays visible.
    EXPECT_TRUE(boxVisible(f, Vec3{2, 0, 0}, Vec3{1, 0, 0}));
    EXPECT_FALSE(boxVisible(f, Vec3{2, 0, 0}, Vec3{0.5f, 5, 5}));
    EXPECT_TRUE(boxVisible(f, Vec3{0, -2.5f, 0}, Vec3{0, 1.5f, 0}));
    EXPECT_FALSE(boxVisible(f, Vec3{0, -2.5f, 0}, Vec3{0, 1.25f, 0}));
}

TEST(FrustumMath, PlanesAreNormalised) {
    // Scaling clip by 2 on x, y, z (w row untouched) halves d after normalisation.
    Matrix4 projection;
    projection.m[0] = projection.m[5] = projection.m[10] = 2;
    const Frustum f = frustumFromMatrices(projection, Matrix4{});
    expectPlane(f.planes[0], -1, 0, 0, 0.5f);
    expectPlane(f.planes[5], 0, 0, 1, 0.5f);
    EXPECT_FALSE(sphereVisible(f, Sphere{{1.5f, 0, 0}, 1.0f}));
    EXPECT_TRUE(sphereVisible(f, Sphere{{1.4f, 0, 0}, 1.0f}));
}

}  // namespace
}  // namespace ravelin
