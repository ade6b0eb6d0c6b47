#include "render/lens_flare.h"

#include <algorithm>
#include <cmath>

#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

struct Ghost {
    float position;  // along the sun → centre line, in units of its length
    float size;
    int slot;
};

const Ghost kGhosts[23] = {
    {-0.08f, 0.10f, 1}, {0.21f, 0.12f, 1}, {0.32f, 0.15f, 1}, {0.70f, 0.10f, 1}, {0.85f, 0.20f, 1},
    {0.89f, 0.12f, 1},  {1.21f, 0.05f, 1}, {1.39f, 0.20f, 1}, {1.44f, 0.14f, 1}, {1.80f, 0.30f, 1},
    {-0.30f, 0.15f, 1}, {0.60f, 0.20f, 1}, {0.40f, 0.24f, 1}, {0.75f, 0.10f, 1}, {0.80f, 0.20f, 1},
    {0.49f, 0.12f, 1},  {1.11f, 0.05f, 1}, {1.90f, 0.20f, 1}, {0.44f, 0.40f, 1}, {0.83f, 1.30f, 1},
    {-0.13f, 0.50f, 0}, {0.16f, 0.20f, 0}, {0.55f, 0.40f, 0},
};

struct Streak {
    float centre, scale, r, g, b, alpha;
};

const Streak kStreaks[3] = {
    {-0.1f, 1.2f, 1.0f, 0.7f, 0.5f, 0.2f},
    {0.5f, 0.8f, 1.0f, 0.3f, 0.3f, 0.7f},
    {1.7f, 1.8f, 0.4f, 0.3f, 0.9f, 0.15f},
};

const Vec3 kCentre{400, 300, 0};
const Vec3 kZero{0, 0, 0};

Vec3 rotateAboutZ(Vec3 v, float degrees) {
    double a = degrees * kPi / 180.0;
    double c = std::cos(a), s = std::sin(a);
    return {static_cast<float>(v.x * c - v.y * s), static_cast<float>(v.x * s + v.y * c), v.z};
}

}  // namespace

void LensFlare::load(TextureCache& textures) {
    sunTexture.load("sun.jpg", textures);
    flareTextures[0].load("tlens.jpg", textures);
    flareTextures[1].load("tlens.jpg", textures);
    flareTextures[2].load("rlens.jpg", textures);
    ghostsEnabled = true;
}

void LensFlare::collectOcclusion() {
    if (!queryPending_) return;
    const GlExtensions& ext = glExtensions();
    GLint ready = 0;
    ext.getQueryObjectiv(occlusionQuery_, GL_QUERY_RESULT_AVAILABLE, &ready);
    if (!ready) return;  // not waited for: the last answer stands a frame longer
    GLuint samples = 0;
    ext.getQueryObjectuiv(occlusionQuery_, GL_QUERY_RESULT, &samples);
    sunVisible = samples > 0;
    queryPending_ = false;
}

void LensFlare::queryOcclusion(double x, double y, float z, const int viewport[4]) {
    const GlExtensions& ext = glExtensions();
    if (occlusionQuery_ == 0) {
        GLuint name = 0;
        ext.genQueries(1, &name);
        occlusionQuery_ = name;
    }
    // One point at the pixel's centre, in normalised device coordinates, depth-tested as the
    // read-back compares (visible where the stored depth is at least the sun's), drawing nothing.
    const double nx = 2.0 * (std::floor(x) + 0.5 - viewport[0]) / viewport[2] - 1.0;
    const double ny = 2.0 * (std::floor(y) + 0.5 - viewport[1]) / viewport[3] - 1.0;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_POINT_BIT);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_POINT_SMOOTH);
    glPointSize(1.0f);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    ext.beginQuery(GL_SAMPLES_PASSED, occlusionQuery_);
    glBegin(GL_POINTS);
    // Just inside the far plane, so a sun at infinity is not clipped, and in front of the near one.
    glVertex3d(nx, ny, 2.0 * std::clamp(z, 0.0f, 0.999999f) - 1.0);
    glEnd();
    ext.endQuery(GL_SAMPLES_PASSED);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    queryPending_ = true;
}

void LensFlare::update(float dt) {
    collectOcclusion();
    if (sunVisible) {
        if (intensity < 1) intensity += dt * fadeInRate;
        if (intensity > 1) intensity = 1;
    } else {
        if (intensity > 0) intensity -= dt * fadeOutRate;
        if (intensity < 0) intensity = 0;
    }
    spin += dt * spinRate;
    if (spin > 360) spin -= 360;
    if (spin < 0) spin += 360;
}

void LensFlare::draw(const CameraPose& camera) {
    glPushMatrix();
    if (directional) sunPosition = camera.eye + sunDirection;
    const SunSpot sun = locateSun(camera);
    if (intensity > 0) drawSun(sun.position, camera);
    if (ghostsEnabled && sun.facing > 0) drawStreaksAndGhosts(sun.position);
    glEnable(GL_LIGHTING);
    resetTextureMatrix();
    glPopMatrix();
}

LensFlare::SunSpot LensFlare::locateSun(const CameraPose& camera) {
    GLdouble modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    sunTexture.bind();
    const GLint overlayViewport[4] = {0, 0, 800, 600};
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(sunPosition.x, sunPosition.y, sunPosition.z, modelview, projection, overlayViewport, &wx, &wy, &wz);
    const float sx = static_cast<float>(wx), sy = static_cast<float>(wy);
    float z = static_cast<float>(wz);

    if (directional) z = 1.0f;
    const Vec3 v = directional ? sunDirection : sunPosition - camera.eye;
    const float facing = dot(normalizeOr(v, kZero), camera.direction);
    if (facing < 0) z = 1000.0f;  // behind the camera: the test below always fails

    // Occlusion: one depth value where the sun lands in the real viewport. A point outside
    // the viewport (or a projection that is not finite) counts as hidden rather than being
    // read from outside the frame buffer.
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    const double px = vp[0] + static_cast<double>(sx) * vp[2] / 800.0;
    const double py = vp[1] + static_cast<double>(sy) * vp[3] / 600.0;
    const bool onScreen = std::isfinite(px) && std::isfinite(py) && px >= vp[0] && py >= vp[1] &&
                          px < vp[0] + vp[2] && py < vp[1] + vp[3];
    lastSunX = sx;
    lastSunY = sy;
    if (glExtensions().occlusionQueryAvailable) {
        collectOcclusion();  // a result no update took yet is still this sun's latest
        if (onScreen && z <= 1.0f) {
            queryOcclusion(px, py, z, vp);
        } else {
            sunVisible = false;  // off screen or behind: hidden, with nothing to ask
            queryPending_ = false;
        }
        return {Vec3{sx, sy, 0}, facing};
    }
    GLfloat depth = 0.0f;
    if (onScreen)
        glReadPixels(static_cast<GLint>(px), static_cast<GLint>(py), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    sunVisible = depth >= z;
    lastSunDepth = depth;
    return {Vec3{sx, sy, 0}, facing};
}

void LensFlare::drawSun(Vec3 s, const CameraPose& camera) const {
    enterOverlayProjection();
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    float f = 1.0f;
    if (directionFade) {
        f = (dot(normalizeOr(sunDirection, kZero), camera.direction) - directionFadeThreshold) /
            (1.0f - directionFadeThreshold);
        if (!(f > 0)) f = 0;
    }
    glColor4f(1, 1, 1, f * intensity * alphaScale);
    glTranslatef(s.x, s.y, 0);
    glRotatef(spin, 0, 0, 1);
    if (rotateWithPosition)
        glRotatef(90.0f * dot(normalizeOr(s, kZero), normalizeOr(rotationReference - kCentre, kZero)), 0, 0, 1);
    const float h = sunHalfSize, a = sunAspect;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-h * a, -h);
    glTexCoord2f(0, 1);
    glVertex2f(-h * a, h);
    glTexCoord2f(1, 1);
    glVertex2f(h * a, h);
    glTexCoord2f(1, 0);
    glVertex2f(h * a, -h);
    glEnd();
    leaveOverlayProjection();
}

void LensFlare::drawStreaksAndGhosts(Vec3 s) const {
    const Vec3 line = kCentre - s;
    float c = intensity;
    // A sun off the screen keeps a flare that fades with its distance from the centre.
    if (s.x < 0 || s.x > 800 || s.y < 0 || s.y > 600) {
        glDisable(GL_LIGHTING);
        c = 1.0f - (length(s - kCentre) - 300.0f) / 350.0f;
        if (c < 0) c = 0;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }
    // At no strength every streak and ghost has alpha 0 and, blended, leaves the picture as it
    // is: the common case of a hidden sun costs no fill.
    if (!(c > 0)) return;
    enterOverlayProjection();
    drawStreaks(s, line, c);
    drawGhosts(s, line, c);
    leaveOverlayProjection();
}

void LensFlare::drawStreaks(Vec3 s, Vec3 line, float c) const {
    const Vec3 fHat = normalizeOr(line, Vec3{1, 0, 0});
    const Vec3 f = 200.0f * fHat;
    const Vec3 e = 200.0f * Vec3{fHat.y, -fHat.x, 0};
    const Vec3 p1 = -e - f, p2 = e - f, p3 = -e + f, p4 = e + f;
    for (int i = 0; i < 3; ++i) {
        const Streak& st = kStreaks[i];
        glLoadIdentity();
        const Vec3 at = s + st.centre * line;
        glTranslatef(at.x, at.y, at.z);
        glScalef(st.scale, st.scale, 1);
        if (i == 0) flareTextures[2].bind();
        glColor4f(st.r, st.g, st.b, st.alpha * c);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0, 0);
        glVertex3f(p1.x, p1.y, p1.z);
        glTexCoord2f(1, 0);
        glVertex3f(p2.x, p2.y, p2.z);
        glTexCoord2f(0, 1);
        glVertex3f(p3.x, p3.y, p3.z);
        glTexCoord2f(1, 1);
        glVertex3f(p4.x, p4.y, p4.z);
        glEnd();
    }
}

void LensFlare::drawGhosts(Vec3 s, Vec3 line, float c) const {
    const float k = dot(normalizeOr(s, kZero), normalizeOr(kCentre, kZero));
    // With the sun exactly at the centre there is no line: the flare then lies along x.
    Vec3 d = normalizeOr(s - kCentre, Vec3{1, 0, 0});
    for (int index = 0; index < 23; ++index) {
        const Ghost& gh = kGhosts[index];
        d = rotateAboutZ(d, -(k * 90.0f * gh.position));  // accumulates from ghost to ghost
        const Vec3 at = s + gh.position * line + 2.0f * (2.0f - gh.position) * d;
        glLoadIdentity();
        glTranslatef(at.x, at.y, at.z);
        glScalef(1.5f, 1.5f, 1);
        if (rotateWithPosition) glRotatef(k * 90.0f, 0, 0, 1);
        glDisable(GL_LIGHTING);
        flareTextures[gh.slot].bind();
        const float e30 = static_cast<float>(index) / 30.0f, e10 = static_cast<float>(index) / 10.0f;
        glColor4f(e30 + 0.3f, 0.2f, 1.0f - e10, 0.29f * c);
        const float g = ghostScale * gh.size;
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(-g, -g);
        glTexCoord2f(0, 1);
        glVertex2f(-g, g);
        glTexCoord2f(1, 1);
        glVertex2f(g, g);
        glTexCoord2f(1, 0);
        glVertex2f(g, -g);
        glEnd();
    }
}

}  // namespace ravelin
