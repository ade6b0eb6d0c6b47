// Car geometry: lofted cross-sections for the tub, covers and pods, airfoil lofts for the wings,
// beams for the suspension. Each part is a closed shell oriented outward (fixed by its signed
// volume) and smoothed up to a crease angle, so round bodywork shades smoothly while wing edges,
// bulkheads and endplates keep hard edges.
#include "cars_model.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace assetgen::cars {
namespace {

float length(V3 a) { return std::sqrt(dot(a, a)); }
V3 normalized(V3 a, V3 fallback) {
    float l = length(a);
    return l > 1e-12f ? (1.0f / l) * a : fallback;
}
float lerp(float a, float b, float t) { return a + (b - a) * t; }
float signedPow(float v, float e) { return v < 0 ? -std::pow(-v, e) : std::pow(v, e); }

using Ring = std::vector<V3>;

class Builder {
public:
    explicit Builder(const Detail& d) : detail(d) {}
    CarModel model;
    const Detail& detail;

    void beginPart(float creaseDegrees, bool inShell) {
        model.parts.push_back({creaseDegrees, inShell});
        partStart_ = model.triangles.size();
    }
    // Closed parts face outward: flip the whole part when its signed volume is negative.
    void endPart() {
        double volume = 0;
        for (size_t i = partStart_; i < model.triangles.size(); ++i) {
            const Triangle& t = model.triangles[i];
            volume += dot(model.vertices[t.a], cross(model.vertices[t.b], model.vertices[t.c]));
        }
        if (volume < 0)
            for (size_t i = partStart_; i < model.triangles.size(); ++i) std::swap(model.triangles[i].b, model.triangles[i].c);
    }
    uint32_t vertex(V3 p) {
        model.vertices.push_back(p);
        return static_cast<uint32_t>(model.vertices.size() - 1);
    }
    void triangle(uint32_t a, uint32_t b, uint32_t c, Skin skin) {
        V3 n = cross(model.vertices[b] - model.vertices[a], model.vertices[c] - model.vertices[a]);
        if (length(n) < 1e-3f) return;  // slivers where a loft collapses give no normal
        model.triangles.push_back({a, b, c, static_cast<uint16_t>(model.parts.size() - 1), skin});
    }

    // Rings of equal point count joined side by side; the end rings are closed by fans.
    void loft(const std::vector<Ring>& rings, Skin skin, Skin startCap, Skin endCap, float crease, bool shell) {
        beginPart(crease, shell);
        size_t k = rings[0].size();
        std::vector<std::vector<uint32_t>> ids;
        for (const Ring& r : rings) {
            std::vector<uint32_t> row;
            for (const V3& p : r) row.push_back(vertex(p));
            ids.push_back(row);
        }
        for (size_t i = 0; i + 1 < rings.size(); ++i)
            for (size_t j = 0; j < k; ++j) {
                size_t j1 = (j + 1) % k;
                triangle(ids[i][j], ids[i][j1], ids[i + 1][j1], skin);
                triangle(ids[i][j], ids[i + 1][j1], ids[i + 1][j], skin);
            }
        auto cap = [&](size_t ringIndex, Skin capSkin, bool reverse) {
            const std::vector<uint32_t>& ring = ids[ringIndex];
            auto fanTriangle = [&](uint32_t a, uint32_t b, uint32_t c) {
                if (reverse)
                    triangle(a, c, b, capSkin);
                else
                    triangle(a, b, c, capSkin);
            };
            // A fan from the ring's first point where the ring is flat and convex (every one of
            // its triangles faces the way the whole ring does): the same face as a fan from the
            // centre, two triangles fewer.
            V3 area{};
            for (size_t j = 0; j < k; ++j) area = area + cross(model.vertices[ring[j]], model.vertices[ring[(j + 1) % k]]);
            bool convex = k >= 3;
            for (size_t j = 1; convex && j + 1 < k; ++j) {
                const V3 n = cross(model.vertices[ring[j]] - model.vertices[ring[0]],
                                   model.vertices[ring[j + 1]] - model.vertices[ring[0]]);
                convex = dot(n, area) > 0.0f && length(cross(n, area)) <= 1e-3f * length(n) * length(area);
            }
            if (convex) {
                for (size_t j = 1; j + 1 < k; ++j) fanTriangle(ring[0], ring[j], ring[j + 1]);
                return;
            }
            V3 c{};
            for (const V3& p : rings[ringIndex]) c = c + p;
            uint32_t centre = vertex((1.0f / static_cast<float>(k)) * c);
            for (size_t j = 0; j < k; ++j) fanTriangle(centre, ring[j], ring[(j + 1) % k]);
        };
        // The side quads turn outward when a ring runs anticlockwise about the loft's direction;
        // the caps are wound to match them (the start cap facing back, the end cap forward), so
        // the whole part is closed and faces one way before endPart settles which.
        cap(0, startCap, true);
        cap(rings.size() - 1, endCap, false);
        endPart();
    }

    void box(V3 lo, V3 hi, Skin skin, bool shell = false) {
        Ring a{{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}};
        Ring b{{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
        loft({a, b}, skin, skin, skin, 30.0f, shell);
    }

    // A rectangular bar from a to b (suspension arms, stalks, pylons).
    void beam(V3 a, V3 b, float halfWidth, float halfHeight, Skin skin) {
        V3 axis = normalized(b - a, {0, 1, 0});
        V3 refUp = std::fabs(axis.z) > 0.9f ? V3{1, 0, 0} : V3{0, 0, 1};
        V3 side = normalized(cross(axis, refUp), {1, 0, 0});
        V3 up = cross(side, axis);
        auto ring = [&](V3 c) {
            V3 s = halfWidth * side, u = halfHeight * up;
            return Ring{c - s - u, c + s - u, c + s + u, c - s + u};
        };
        loft({ring(a), ring(b)}, skin, skin, skin, 30.0f, false);
    }

    // Round bar along +Y/-Y (exhausts).
    void pipe(V3 a, V3 b, float radius, Skin skin, Skin endCap) {
        auto ring = [&](V3 c) {
            Ring r;
            const int n = detail.pipePoints;
            for (int i = 0; i < n; ++i) {
                float t = 2 * kPiF * static_cast<float>(i) / static_cast<float>(n);
                r.push_back({c.x + radius * std::cos(t), c.y, c.z - radius * std::sin(t)});
            }
            return r;
        };
        loft({ring(a), ring(b)}, skin, skin, endCap, 50.0f, false);
    }

private:
    size_t partStart_ = 0;
};

// A cross-section at station y: superellipse of half width hw between z0 and z1, its width
// scaled by bottomScale at the floor and topScale at the top (tumblehome, undercut).
struct Section {
    float y, cx, hw, z0, z1, n, bottomScale = 1.0f, topScale = 1.0f;
};

float sectionWidthScale(const Section& s, float zFrac) {
    return zFrac < 0.5f ? lerp(s.bottomScale, 1.0f, zFrac * 2) : lerp(1.0f, s.topScale, (zFrac - 0.5f) * 2);
}

Ring sectionRing(const Section& s, int count) {
    Ring r;
    float cz = 0.5f * (s.z0 + s.z1), hh = 0.5f * (s.z1 - s.z0);
    for (int i = 0; i < count; ++i) {
        float t = 2 * kPiF * static_cast<float>(i) / static_cast<float>(count);
        float x = signedPow(std::cos(t), 2.0f / s.n), z = -signedPow(std::sin(t), 2.0f / s.n);
        float zFrac = 0.5f * (z + 1);
        r.push_back({s.cx + s.hw * x * sectionWidthScale(s, zFrac), s.y, cz + hh * z});
    }
    return r;
}

Ring mirrorRing(const Ring& r) {
    Ring m;
    for (const V3& p : r) m.push_back({-p.x, p.y, p.z});
    return m;
}

// The monocoque: like a Section, plus the cockpit opening cut into its top (dip > 0): vertical
// rim walls at ±rimHalf and a seat floor dip below the rim.
struct TubStation {
    float y, hw, z0, z1, n, dip;
};

Ring tubRing(const TubStation& s, float rimHalf, float topScale, int lowerSteps, bool rough) {
    Ring r;
    float cz = 0.5f * (s.z0 + s.z1), hh = 0.5f * (s.z1 - s.z0);
    auto topZ = [&](float x) {
        float f = std::min(1.0f, std::fabs(x) / s.hw);
        return cz + hh * std::pow(std::max(0.0f, 1.0f - std::pow(f, s.n)), 1.0f / s.n);
    };
    auto widthAt = [&](float zFrac) { return zFrac < 0.5f ? 1.0f : lerp(1.0f, topScale, (zFrac - 0.5f) * 2); };
    // Lower half: right, bottom, left.
    for (int i = 0; i <= lowerSteps; ++i) {
        float t = kPiF * static_cast<float>(i) / static_cast<float>(lowerSteps);
        float x = signedPow(std::cos(t), 2.0f / s.n), z = -signedPow(std::sin(t), 2.0f / s.n);
        r.push_back({s.hw * x, s.y, cz + hh * z});
    }
    // Upper half from left to right, with the rim and the cockpit floor.
    float rim = std::min(rimHalf, 0.8f * s.hw);
    const float xs[] = {-0.985f * s.hw, -0.93f * s.hw, -0.86f * s.hw, -rim, -rim + 3, -0.45f * rim, 0.0f,
                        0.45f * rim,    rim - 3,       rim,           0.86f * s.hw, 0.93f * s.hw, 0.985f * s.hw};
    // Rough: the flank's edge, the rim's top and the foot of its wall on each side, and the
    // middle (the floor's chords lie below its curve, so the helmet keeps its room).
    for (int i = 0; i < 13; ++i) {
        if (rough && i % 3 != 0 && i != 4 && i != 8) continue;
        float x = xs[i];
        float z = topZ(x);
        bool inner = i >= 4 && i <= 8;
        if (inner) z -= s.dip;
        float zFrac = (z - s.z0) / (s.z1 - s.z0);
        r.push_back({x * (inner ? 1.0f : widthAt(zFrac)), s.y, z});
    }
    return r;
}

TubStation tubAt(const std::vector<TubStation>& st, float y) {
    // stations run nose to tail (decreasing y)
    if (y >= st.front().y) return st.front();
    for (size_t i = 0; i + 1 < st.size(); ++i)
        if (y <= st[i].y && y >= st[i + 1].y) {
            float t = (st[i].y - y) / (st[i].y - st[i + 1].y);
            return {y, lerp(st[i].hw, st[i + 1].hw, t), lerp(st[i].z0, st[i + 1].z0, t), lerp(st[i].z1, st[i + 1].z1, t),
                    st[i].n, 0};
        }
    return st.back();
}

Section sectionAt(const std::vector<Section>& st, float y) {
    if (y >= st.front().y) return st.front();
    for (size_t i = 0; i + 1 < st.size(); ++i)
        if (y <= st[i].y && y >= st[i + 1].y) {
            float t = (st[i].y - y) / (st[i].y - st[i + 1].y);
            Section s = st[i];
            s.y = y;
            s.hw = lerp(st[i].hw, st[i + 1].hw, t);
            s.z0 = lerp(st[i].z0, st[i + 1].z0, t);
            s.z1 = lerp(st[i].z1, st[i + 1].z1, t);
            return s;
        }
    return st.back();
}

// Airfoil section at span position x: leading edge at (yLe, zLe), chord running backward (−Y),
// the trailing edge raised by `tilt` degrees (a wing pressing the car down).
Ring airfoilRing(float x, float yLe, float zLe, float chord, float thickness, float tiltDeg, int half) {
    Ring r;
    float ca = std::cos(tiltDeg * kPiF / 180.0f), sa = std::sin(tiltDeg * kPiF / 180.0f);
    auto point = [&](float s, float side) {
        float th = 5.0f * thickness * (0.2969f * std::sqrt(s) - 0.126f * s - 0.3516f * s * s + 0.2843f * s * s * s - 0.1036f * s * s * s * s);
        float along = s * chord, off = side * th * chord;
        // along → −Y, raised with tilt; off ⟂
        return V3{x, yLe - along * ca - off * sa, zLe + along * sa + off * ca};
    };
    for (int i = 0; i <= half; ++i) {  // upper surface, trailing edge to leading edge
        float s = 0.5f * (1 + std::cos(kPiF * static_cast<float>(i) / half));
        r.push_back(point(s, 1));
    }
    for (int i = 1; i < half; ++i) {  // lower surface back to the trailing edge
        float s = 0.5f * (1 - std::cos(kPiF * static_cast<float>(i) / half));
        r.push_back(point(s, -1));
    }
    return r;
}

struct WingSpan {
    float x, dz;  // span station and its height offset (spoon, gull shapes)
};

void wing(Builder& b, const std::vector<WingSpan>& span, float yLe, float zLe, float chord, float thickness, float tilt,
          Skin skin) {
    std::vector<Ring> rings;
    for (const WingSpan& s : span)
        rings.push_back(airfoilRing(s.x, yLe, zLe + s.dz, chord, thickness, tilt, b.detail.airfoilHalf));
    b.loft(rings, skin, skin, skin, 45.0f, false);
}

std::vector<Ring> sectionRings(const std::vector<Section>& st, int count, bool mirror) {
    std::vector<Ring> rings;
    for (const Section& s : st) rings.push_back(mirror ? mirrorRing(sectionRing(s, count)) : sectionRing(s, count));
    return rings;
}

// Everything an era shares: suspension to the hubs, floor, mirrors, exhausts, rain light.
struct Era {
    std::vector<TubStation> tub;
    float cockpitRim = 40.0f, tubTopScale = 0.85f;
    std::vector<Section> cover;    // engine cover, front cap is the air intake
    std::vector<Section> airbox;   // separate tall intake (may be empty)
    std::vector<Section> sidepod;  // right pod, mirrored for the left
    float floorFront = 200, floorBack = -265, floorHalf = 136, rearFloorHalf = 108, rearFloorBack = -330;
    float mirrorX = 72, mirrorY = 150, mirrorZ = 138;
};

void buildTub(Builder& b, const Era& e) {
    std::vector<Ring> rings;
    for (const TubStation& s : e.tub) rings.push_back(tubRing(s, e.cockpitRim, e.tubTopScale, b.detail.tubLowerSteps, b.detail.roughProfiles));
    b.loft(rings, Skin::Paint, Skin::Paint, Skin::Paint, 40.0f, true);
}

float coverHalfWidthAt(const Era& e, float y) { return sectionAt(e.cover, y).hw; }

void buildCommon(Builder& b, const Era& e, const std::array<V3, 4>& wheels) {
    // Covers and pods.
    const int n = b.detail.sectionPoints;
    b.loft(sectionRings(e.cover, n, false), Skin::Paint, Skin::Black, Skin::Carbon, 40.0f, true);
    if (!e.airbox.empty()) b.loft(sectionRings(e.airbox, n, false), Skin::Paint, Skin::Black, Skin::Paint, 40.0f, true);
    b.loft(sectionRings(e.sidepod, n, false), Skin::Paint, Skin::Black, Skin::Paint, 40.0f, true);
    b.loft(sectionRings(e.sidepod, n, true), Skin::Paint, Skin::Black, Skin::Paint, 40.0f, true);

    // Floor: full width between the wheels, narrower between the rear tyres.
    b.box({-e.floorHalf, e.floorBack, 8}, {e.floorHalf, e.floorFront, 14}, Skin::Carbon);
    b.box({-e.rearFloorHalf, e.rearFloorBack, 8}, {e.rearFloorHalf, e.floorBack + 2, 14}, Skin::Carbon);

    // Suspension: upper and lower wishbones and a push rod from the chassis to each hub; the
    // hub sits exactly on the wheel position, inside the rim.
    for (int i = 0; i < 4; ++i) {
        V3 w = wheels[static_cast<size_t>(i)];
        float side = w.x > 0 ? 1.0f : -1.0f;
        bool front = i < 2;
        float pickX, zLow, zHigh;
        if (front) {
            TubStation t = tubAt(e.tub, w.y);
            pickX = 0.6f * t.hw;
            zLow = t.z0 + 6;
            zHigh = t.z1 - 6;
        } else {
            Section s = sectionAt(e.cover, w.y);
            pickX = 0.6f * s.hw;
            zLow = s.z0 + 6;
            zHigh = s.z1 - 6;
        }
        // Legs converge steeply so a front tyre at full lock still clears them.
        float upperZ = std::clamp(w.z + 20, zLow, zHigh), lowerZ = std::clamp(w.z - 22, zLow, zHigh);
        V3 hubTop{w.x - side * 8, w.y, w.z + 20}, hubBottom{w.x - side * 8, w.y, w.z - 20};
        b.model.hubCentres[static_cast<size_t>(i)] = w;
        if (b.detail.wheelsInBody) {
            // The tyre's outline as a drum round the axle (X); the arms and the hub would be
            // inside it or under a tenth of a pixel.
            const int n = b.detail.tyreSegments;
            auto ring = [&](float x) {
                Ring r;
                for (int k = 0; k < n; ++k) {
                    const float a = 2 * kPiF * (static_cast<float>(k) + 0.5f) / static_cast<float>(n);
                    r.push_back({x, w.y + kTyreRadius * std::cos(a), w.z + kTyreRadius * std::sin(a)});
                }
                return r;
            };
            b.loft({ring(w.x - kTyreHalfWidth), ring(w.x + kTyreHalfWidth)}, Skin::Black, Skin::Black, Skin::Black,
                   50.0f, false);
            continue;
        }
        if (b.detail.wishbones) {
            b.beam({side * pickX, w.y + 36, upperZ}, hubTop, 3.5f, 2.5f, Skin::Carbon);
            b.beam({side * pickX, w.y - 36, upperZ}, hubTop, 3.5f, 2.5f, Skin::Carbon);
            b.beam({side * pickX, w.y + 40, lowerZ}, hubBottom, 3.5f, 2.5f, Skin::Carbon);
            b.beam({side * pickX, w.y - 40, lowerZ}, hubBottom, 3.5f, 2.5f, Skin::Carbon);
            b.beam({side * pickX * 0.8f, w.y + (front ? -16.0f : 16.0f), zHigh}, {w.x - side * 10, w.y, w.z - 16}, 2.5f,
                   2.5f, Skin::Metal);
        } else {
            // Seen from afar a wishbone's two legs merge into a bar under a pixel wide: one beam
            // from the chassis to the hub each, and no push rod.
            b.beam({side * pickX, w.y, upperZ}, hubTop, 3.5f, 2.5f, Skin::Carbon);
            b.beam({side * pickX, w.y, lowerZ}, hubBottom, 3.5f, 2.5f, Skin::Carbon);
        }
        b.box({w.x - 15, w.y - 15, w.z - 30}, {w.x + 15, w.y + 15, w.z + 30}, Skin::Metal);
    }

    if (!b.detail.smallParts) return;
    // Mirrors on stalks beside the cockpit.
    for (float side : {1.0f, -1.0f}) {
        b.beam({side * (e.mirrorX - 30), e.mirrorY, e.mirrorZ - 14}, {side * e.mirrorX, e.mirrorY, e.mirrorZ}, 2.5f, 2.0f,
               Skin::Carbon);
        float x0 = side > 0 ? e.mirrorX - 4 : -e.mirrorX - 18, x1 = side > 0 ? e.mirrorX + 18 : -e.mirrorX + 4;
        b.box({x0, e.mirrorY - 6, e.mirrorZ - 6}, {x1, e.mirrorY + 8, e.mirrorZ + 8}, Skin::Paint);
    }

    // Exhausts and rain light at the back of the gearbox.
    float gearboxY = e.cover.back().y;
    for (float side : {1.0f, -1.0f}) {
        float x = side * std::min(26.0f, coverHalfWidthAt(e, gearboxY + 60) + 6);
        b.pipe({x, gearboxY + 90, 62}, {x, gearboxY + 8, 66}, 7.0f, Skin::Metal, Skin::Black);
    }
    b.box({-8, gearboxY - 6, 50}, {8, gearboxY + 2, 64}, Skin::Red);
}

// Suspends a front wing under a raised nose on two pylons.
void pylons(Builder& b, float yNose, float zNose, float zWing) {
    for (float side : {1.0f, -1.0f}) b.beam({side * 9, yNose, zNose}, {side * 13, yNose + 6, zWing}, 2.5f, 9.0f, Skin::Carbon);
}

void endplates(Builder& b, float x0, float x1, float y0, float y1, float z0, float z1, Skin skin) {
    b.box({x0, y0, z0}, {x1, y1, z1}, skin);
    b.box({-x1, y0, z0}, {-x0, y1, z1}, skin);
}

// Mid-nineties: raised nose with the wing hung below, rounded pods, roll-hoop airbox, tall
// two-element rear wing over a beam wing, diffuser.
void era0(Builder& b, const std::array<V3, 4>& wheels) {
    Era e;
    e.tub = {{436, 12, 88, 104, 2.2f, 0}, {420, 20, 80, 110, 2.2f, 0}, {390, 26, 70, 116, 2.4f, 0},
             {330, 32, 60, 121, 2.5f, 0}, {250, 40, 42, 126, 2.6f, 0}, {170, 48, 22, 128, 2.8f, 0},
             {137, 52, 14, 129, 3, 0},     {135, 52, 14, 129, 5, 59},   {60, 54, 12, 130, 5, 59},
             {-10, 55, 12, 131, 5, 60},    {-12, 55, 12, 131, 3, 0},    {-70, 55, 12, 130, 3, 0}};
    e.cover = {{-8, 0, 20, 100, 222, 2.5f, 1, 0.7f},   {-40, 0, 30, 90, 220, 2.5f, 1, 0.6f},
               {-100, 0, 44, 20, 205, 2.6f, 1, 0.55f}, {-180, 0, 48, 18, 175, 2.6f, 1, 0.55f},
               {-260, 0, 42, 18, 140, 2.6f, 1, 0.6f},  {-330, 0, 32, 20, 110, 2.6f, 1, 0.7f},
               {-380, 0, 26, 25, 95, 2.6f, 1, 0.8f},   {-405, 0, 20, 30, 85, 2.6f, 1, 0.8f}};
    e.sidepod = {{195, 92, 38, 32, 90, 3, 0.8f, 0.9f},   {170, 95, 42, 20, 95, 3, 0.75f, 0.92f},
                 {60, 96, 42, 16, 96, 3, 0.75f, 0.9f},   {-80, 90, 38, 16, 88, 3, 0.75f, 0.85f},
                 {-180, 78, 28, 16, 70, 3, 0.8f, 0.8f},  {-240, 65, 16, 16, 50, 3, 0.9f, 0.8f}};
    buildTub(b, e);
    buildCommon(b, e, wheels);
    // Front wing below the raised nose.
    wing(b, {{-200, 0}, {-120, 0}, {-40, 3}, {40, 3}, {120, 0}, {200, 0}}, 442, 24, 30, 0.12f, 6, Skin::Paint);
    wing(b, {{-200, 0}, {-60, 0}, {60, 0}, {200, 0}}, 430, 36, 18, 0.12f, 28, Skin::Paint);
    endplates(b, 200, 205, 412, 446, 8, 70, Skin::Paint);
    pylons(b, 424, 84, 30);
    // Rear wing: main plane and flap between big endplates, beam wing below.
    wing(b, {{-116, 0}, {116, 0}}, -385, 200, 48, 0.12f, 8, Skin::Paint);
    wing(b, {{-116, 0}, {116, 0}}, -398, 226, 40, 0.10f, 26, Skin::Paint);
    wing(b, {{-100, 0}, {100, 0}}, -395, 112, 30, 0.12f, 6, Skin::Carbon);
    endplates(b, 116, 120, -440, -365, 100, 258, Skin::Paint);
    // Diffuser rising behind the rear axle.
    b.loft({{{-100, -330, 8}, {100, -330, 8}, {100, -330, 16}, {-100, -330, 16}},
            {{-100, -405, 40}, {100, -405, 40}, {100, -405, 55}, {-100, -405, 55}}},
           Skin::Carbon, Skin::Carbon, Skin::Carbon, 30.0f, false);
    // Bargeboards.
    endplates(b, 58, 61, 190, 238, 14, 60, Skin::Carbon);
}

// Late seventies: wide flat wedge nose carrying a full-width wing, slab sidepods, a tall
// periscope airbox over the driver, a rear wing on a central pylon hanging past the gearbox.
void era1(Builder& b, const std::array<V3, 4>& wheels) {
    Era e;
    e.tub = {{442, 40, 24, 40, 4, 0},    {412, 44, 22, 58, 3.5f, 0}, {370, 46, 20, 80, 3.2f, 0},
             {300, 48, 18, 102, 3, 0},   {220, 50, 16, 120, 3, 0},   {142, 52, 14, 132, 3, 0},
             {140, 52, 14, 134, 5, 60},  {60, 54, 12, 135, 5, 60},   {-6, 55, 12, 136, 5, 60},
             {-8, 55, 12, 133, 3, 0},    {-70, 55, 12, 128, 3, 0}};
    e.tubTopScale = 0.9f;
    e.cover = {{-60, 0, 50, 18, 130, 2.6f, 1, 0.8f},  {-150, 0, 52, 18, 125, 2.6f, 1, 0.8f},
               {-250, 0, 44, 20, 110, 2.6f, 1, 0.8f}, {-330, 0, 32, 22, 95, 2.6f, 1, 0.8f},
               {-395, 0, 24, 28, 85, 2.6f, 1, 0.8f}};
    e.airbox = {{-4, 0, 26, 120, 258, 2.8f, 1, 0.8f},
                {-30, 0, 30, 110, 262, 2.8f, 1, 0.75f},
                {-90, 0, 36, 100, 240, 2.8f, 1, 0.7f},
                {-160, 0, 40, 60, 170, 2.6f, 1, 0.7f}};
    e.sidepod = {{190, 98, 44, 18, 80, 6, 1, 1},   {172, 100, 46, 16, 86, 6, 1, 1}, {-120, 100, 46, 16, 86, 6, 1, 1},
                 {-200, 92, 38, 16, 72, 6, 1, 1},  {-240, 80, 26, 16, 56, 6, 1, 1}};
    e.floorFront = 190;
    e.floorBack = -250;
    e.floorHalf = 146;
    e.rearFloorHalf = 100;
    e.rearFloorBack = -300;
    e.mirrorX = 86;
    e.mirrorY = 160;
    e.mirrorZ = 132;
    buildTub(b, e);
    buildCommon(b, e, wheels);
    // Full-width front wing carried by the wedge nose, square endplates.
    wing(b, {{-195, 0}, {-60, 0}, {60, 0}, {195, 0}}, 444, 36, 32, 0.10f, 8, Skin::Paint);
    endplates(b, 195, 201, 412, 448, 14, 66, Skin::Paint);
    // Rear wing high on a central pylon, overhanging the back.
    wing(b, {{-118, 0}, {118, 0}}, -392, 206, 48, 0.11f, 12, Skin::Paint);
    endplates(b, 118, 122, -442, -384, 165, 246, Skin::Paint);
    b.beam({0, -372, 78}, {0, -415, 206}, 4.0f, 14.0f, Skin::Carbon);
    // Oil cooler behind the gearbox.
    b.box({-30, -425, 40}, {30, -398, 70}, Skin::Carbon);
}

// Two-thousands: slender needle nose, spoon-shaped multi-element front wing, deeply undercut
// coke-bottle pods, shark fin, narrow tall three-element rear wing, big diffuser.
void era2(Builder& b, const std::array<V3, 4>& wheels) {
    Era e;
    e.tub = {{438, 10, 74, 86, 2.2f, 0}, {420, 18, 68, 98, 2.3f, 0}, {380, 25, 62, 112, 2.4f, 0},
             {310, 33, 56, 123, 2.5f, 0}, {230, 42, 42, 130, 2.6f, 0}, {160, 48, 24, 133, 2.8f, 0},
             {137, 52, 16, 134, 3, 0},    {135, 52, 16, 134, 5, 62},   {60, 53, 12, 134, 5, 62},
             {-10, 54, 12, 135, 5, 62},   {-12, 54, 12, 135, 3, 0},    {-70, 53, 12, 133, 3, 0}};
    e.cockpitRim = 41.0f;
    e.tubTopScale = 0.8f;
    e.cover = {{-8, 0, 22, 110, 224, 2.5f, 1, 0.65f},  {-45, 0, 30, 90, 222, 2.5f, 1, 0.55f},
               {-110, 0, 40, 20, 200, 2.5f, 1, 0.5f},  {-200, 0, 36, 18, 160, 2.6f, 1, 0.5f},
               {-280, 0, 28, 20, 120, 2.6f, 1, 0.55f}, {-350, 0, 22, 24, 95, 2.6f, 1, 0.7f},
               {-400, 0, 17, 30, 82, 2.6f, 1, 0.8f}};
    e.sidepod = {{185, 90, 36, 38, 100, 2.6f, 0.55f, 0.85f}, {160, 94, 40, 24, 102, 2.6f, 0.55f, 0.85f},
                 {60, 94, 40, 20, 100, 2.6f, 0.55f, 0.8f},   {-60, 84, 32, 20, 88, 2.6f, 0.6f, 0.8f},
                 {-160, 68, 20, 20, 66, 2.6f, 0.7f, 0.8f},   {-240, 56, 10, 22, 44, 2.6f, 0.8f, 0.8f}};
    e.mirrorX = 112;
    e.mirrorY = 150;
    e.mirrorZ = 112;
    buildTub(b, e);
    buildCommon(b, e, wheels);
    // Spoon front wing with an outboard flap on each side.
    wing(b, {{-205, 0}, {-150, 0}, {-60, 0}, {-32, 10}, {32, 10}, {60, 0}, {150, 0}, {205, 0}}, 446, 12, 32, 0.10f, 4,
         Skin::Paint);
    wing(b, {{62, 0}, {205, 6}}, 432, 30, 24, 0.10f, 26, Skin::Paint);
    wing(b, {{-205, 6}, {-62, 0}}, 432, 30, 24, 0.10f, 26, Skin::Paint);
    endplates(b, 205, 209, 412, 450, 6, 68, Skin::Paint);
    pylons(b, 426, 72, 26);
    // Shark fin from the airbox to the rear wing.
    b.loft({{{-2.5f, -70, 150}, {2.5f, -70, 150}, {2.5f, -70, 214}, {-2.5f, -70, 214}},
            {{-2.5f, -200, 120}, {2.5f, -200, 120}, {2.5f, -200, 182}, {-2.5f, -200, 182}},
            {{-2.5f, -380, 90}, {2.5f, -380, 90}, {2.5f, -380, 192}, {-2.5f, -380, 192}}},
           Skin::Paint, Skin::Paint, Skin::Paint, 30.0f, true);
    // Rear wing: three elements, narrow and tall; beam wing and diffuser below.
    wing(b, {{-112, 0}, {112, 0}}, -382, 190, 40, 0.12f, 10, Skin::Paint);
    wing(b, {{-112, 0}, {112, 0}}, -394, 214, 36, 0.10f, 30, Skin::Paint);
    wing(b, {{-112, 0}, {112, 0}}, -404, 238, 28, 0.10f, 42, Skin::Paint);
    wing(b, {{-95, 0}, {95, 0}}, -395, 118, 28, 0.12f, 8, Skin::Carbon);
    endplates(b, 112, 116, -438, -358, 95, 262, Skin::Paint);
    b.loft({{{-104, -325, 8}, {104, -325, 8}, {104, -325, 16}, {-104, -325, 16}},
            {{-104, -412, 55}, {104, -412, 55}, {104, -412, 70}, {-104, -412, 70}}},
           Skin::Carbon, Skin::Carbon, Skin::Carbon, 30.0f, false);
    // Bargeboards and turning vanes.
    endplates(b, 62, 65, 172, 252, 14, 72, Skin::Carbon);
    endplates(b, 40, 42, 255, 300, 20, 54, Skin::Carbon);
}

// Corner normals: each corner averages the face normals (area weighted) of the faces of its part
// around the vertex that lie within the part's crease angle of its own face.
std::vector<V3> cornerNormals(const CarModel& m) {
    std::vector<std::vector<uint32_t>> around(m.vertices.size());
    std::vector<V3> faceN(m.triangles.size()), unitN(m.triangles.size());
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        const Triangle& t = m.triangles[i];
        faceN[i] = cross(m.vertices[t.b] - m.vertices[t.a], m.vertices[t.c] - m.vertices[t.a]);
        unitN[i] = normalized(faceN[i], {0, 0, 1});
        for (uint32_t v : {t.a, t.b, t.c}) around[v].push_back(static_cast<uint32_t>(i));
    }
    std::vector<V3> out;
    out.reserve(m.triangles.size() * 3);
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        const Triangle& t = m.triangles[i];
        float cosCrease = std::cos(m.parts[t.part].creaseDegrees * kPiF / 180.0f);
        for (uint32_t v : {t.a, t.b, t.c}) {
            V3 sum{};
            for (uint32_t g : around[v])
                if (m.triangles[g].part == t.part && dot(unitN[i], unitN[g]) >= cosCrease) sum = sum + faceN[g];
            out.push_back(normalized(sum, unitN[i]));
        }
    }
    return out;
}

}  // namespace

const std::array<V3, 4>& wheelPositions(int body) {
    static const std::array<V3, 4> kSetA{{{165.022f, 331.336f, 71.487f},
                                          {-168.752f, 331.336f, 71.487f},
                                          {162.779f, -345.997f, 73.917f},
                                          {-161.661f, -345.997f, 73.917f}}};
    static const std::array<V3, 4> kSetB{{{158.922f, 337.240f, 72.724f},
                                          {-159.850f, 337.240f, 72.724f},
                                          {156.956f, -349.112f, 73.103f},
                                          {-156.062f, -349.112f, 73.103f}}};
    return body == 1 ? kSetB : kSetA;
}

V3 helmetOffset(int body) {
    return body == 1 ? V3{0.0388f, 25.9106f, 133.1917f} : V3{0.0388f, 21.9106f, 129.1917f};
}

V2 patchUv(Skin skin) {
    return {(static_cast<float>(skin) + 0.5f) / static_cast<float>(kPatchCount), 0.5f * (kPatchV0 + kPatchV1)};
}

// The triangle budget of the parts every visible car draws four times (wheels) or twice
// (helmet) at full detail: a tyre is 432 triangles, a rim about 110, a helmet 576. Round enough
// for a close-up at 1080 lines. The helmet keeps its rings: coarser ones bring its lower edge
// within reach of the cockpit rim when the driver leans. The far wheel and helmet take every
// other point of the full ones, so they stay inside them.
const Detail kFullDetail{20, 12, 7, 10, true, 20, 12, 16, 24, 12};
const Detail kFarDetail{8, 6, 4, 6, false, 10, 6, 8, 12, 6};
// Wheels and helmet again from points of the far ones (the helmet's every other one), so they
// too stay inside the full surfaces.
const Detail kTinyDetail{8, 2, 2, 4, false, 10, 6, 8, 6, 3, true, false};
// Hexagonal drums for wheels; no rim, hub or helmet meshes of its own.
const Detail kSpeckDetail{6, 1, 2, 3, false, 6, 0, 0, 0, 0, true, false, true};

CarModel buildBody(int body, const Detail& detail) {
    Builder b(detail);
    const auto& wheels = wheelPositions(body);
    if (body == 1)
        era1(b, wheels);
    else if (body == 2)
        era2(b, wheels);
    else
        era0(b, wheels);
    // The seat: the cockpit floor right under the helmet.
    const float floorZ[3] = {129 - 59.0f, 135 - 60.0f, 134 - 62.0f};
    V3 h = helmetOffset(body);
    b.model.seatPoint = {h.x, h.y, floorZ[body == 1 ? 1 : (body == 2 ? 2 : 0)]};
    return b.model;
}

ObjectMesh bodyMesh(const CarModel& m) {
    ObjectMesh out;
    out.vertices = m.vertices;
    out.hasSecondSet = true;
    out.cornerNormals = cornerNormals(m);
    std::map<uint64_t, uint32_t> uvIndex;
    auto uvFor = [&](uint64_t key, V2 uv) {
        auto it = uvIndex.find(key);
        if (it != uvIndex.end()) return it->second;
        out.uv.push_back(uv);
        uint32_t id = static_cast<uint32_t>(out.uv.size() - 1);
        uvIndex.emplace(key, id);
        return id;
    };
    auto span = [](float v, float lo, float hi, float v0, float v1) {
        float f = std::clamp((v - lo) / (hi - lo), 0.004f, 0.996f);
        return v0 + f * (v1 - v0);
    };
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        const Triangle& t = m.triangles[i];
        out.faces.insert(out.faces.end(), {t.a, t.b, t.c});
        out.uv2Faces.insert(out.uv2Faces.end(), {t.a, t.b, t.c});
        if (t.skin != Skin::Paint) {
            uint32_t id = uvFor(0xFFFFFFFF00ull + static_cast<uint64_t>(t.skin), patchUv(t.skin));
            out.uvFaces.insert(out.uvFaces.end(), {id, id, id});
            continue;
        }
        V3 n = normalized(cross(m.vertices[t.b] - m.vertices[t.a], m.vertices[t.c] - m.vertices[t.a]), {0, 0, 1});
        int view = std::fabs(n.x) > 0.55f ? (n.x > 0 ? 1 : 2) : 0;  // top, right side, left side
        for (uint32_t v : {t.a, t.b, t.c}) {
            const V3& p = m.vertices[v];
            float u = span(p.y, kLiveryYMin, kLiveryYMax, 0, 1);
            V2 uv;
            if (view == 0)
                uv = {u, span(p.x, -kLiveryXHalf, kLiveryXHalf, kTopV0, kTopV1)};
            else if (view == 1)
                uv = {u, span(p.z, 0, kLiverySideZMax, kRightV0, kRightV1)};
            else
                uv = {u, span(p.z, 0, kLiverySideZMax, kLeftV0, kLeftV1)};
            out.uvFaces.push_back(uvFor(static_cast<uint64_t>(v) * 4 + static_cast<uint64_t>(view), uv));
        }
    }
    // Sliding illumination: a world-aligned planar map (the runtime turns it with the car's
    // heading and slides it with the car's place on the circuit).
    for (const V3& p : m.vertices) out.uv2.push_back({0.2f * p.x + 0.1f * p.z, 0.2f * p.y + 0.15f * p.z});
    return out;
}

ObjectMesh shellMesh(const CarModel& m) {
    // Vertex normals per part, then the painted faces of the shell parts pushed out along them.
    std::vector<V3> vn(m.vertices.size());
    for (const Triangle& t : m.triangles) {
        V3 n = cross(m.vertices[t.b] - m.vertices[t.a], m.vertices[t.c] - m.vertices[t.a]);
        for (uint32_t v : {t.a, t.b, t.c}) vn[v] = vn[v] + n;
    }
    CarModel shell;
    shell.parts = m.parts;
    std::vector<int64_t> remap(m.vertices.size(), -1);
    for (const Triangle& t : m.triangles) {
        if (!m.parts[t.part].inShell || t.skin != Skin::Paint) continue;
        // Flanks only: the flat tops would mirror the bright zenith over the livery (a red car
        // turns pink from above); the sides pick up the horizon as a tint.
        V3 fn = normalized(cross(m.vertices[t.b] - m.vertices[t.a], m.vertices[t.c] - m.vertices[t.a]), {0, 0, 1});
        if (fn.z > 0.55f) continue;
        uint32_t ids[3];
        int k = 0;
        for (uint32_t v : {t.a, t.b, t.c}) {
            if (remap[v] < 0) {
                shell.vertices.push_back(m.vertices[v] + 1.5f * normalized(vn[v], {0, 0, 1}));
                remap[v] = static_cast<int64_t>(shell.vertices.size() - 1);
            }
            ids[k++] = static_cast<uint32_t>(remap[v]);
        }
        shell.triangles.push_back({ids[0], ids[1], ids[2], t.part, t.skin});
    }
    return bodyMesh(shell);
}

namespace {

// Surface of revolution about X from a profile of (x, radius) points; u runs around, v from the
// profile. Normals from the profile's own smooth tangents, split where `hard` marks a corner.
struct ProfilePoint {
    float x, r, v;
    bool crease = false;  // a hard edge at this point
};

void revolve(SceneMesh& m, const std::vector<ProfilePoint>& profile, int segments, float u0, float u1) {
    // Each profile span is its own strip so creases stay sharp; normals from the strip's slope,
    // averaged with the neighbours where the profile is smooth.
    std::vector<V2> spanNormal;  // (nx, nr) per span
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        float dx = profile[i + 1].x - profile[i].x, dr = profile[i + 1].r - profile[i].r;
        float l = std::sqrt(dx * dx + dr * dr);
        spanNormal.push_back({-dr / l, dx / l});  // outward for a profile running −X … +X over the top
    }
    auto pointNormal = [&](size_t span, bool atEnd) {
        V2 n = spanNormal[span];
        if (atEnd && span + 1 < spanNormal.size() && !profile[span + 1].crease)
            n = {n.u + spanNormal[span + 1].u, n.v + spanNormal[span + 1].v};
        else if (!atEnd && span > 0 && !profile[span].crease)
            n = {n.u + spanNormal[span - 1].u, n.v + spanNormal[span - 1].v};
        float l = std::sqrt(n.u * n.u + n.v * n.v);
        return V2{n.u / l, n.v / l};
    };
    for (size_t s = 0; s + 1 < profile.size(); ++s) {
        const ProfilePoint &a = profile[s], &b = profile[s + 1];
        V2 na = pointNormal(s, false), nb = pointNormal(s, true);
        uint32_t base = static_cast<uint32_t>(m.vertices.size());
        uint32_t uvBase = static_cast<uint32_t>(m.uv0.size());
        for (int k = 0; k <= segments; ++k) {
            float t = 2 * kPiF * static_cast<float>(k) / static_cast<float>(segments);
            float c = std::cos(t), sn = std::sin(t);
            if (k < segments) {
                m.vertices.push_back({a.x, a.r * c, a.r * sn});
                m.vertices.push_back({b.x, b.r * c, b.r * sn});
            }
            float u = lerp(u0, u1, static_cast<float>(k) / static_cast<float>(segments));
            m.uv0.push_back({u, a.v});
            m.uv0.push_back({u, b.v});
        }
        for (int k = 0; k < segments; ++k) {
            int k1 = (k + 1) % segments;
            uint32_t a0 = base + 2 * static_cast<uint32_t>(k), b0 = a0 + 1;
            uint32_t a1 = base + 2 * static_cast<uint32_t>(k1), b1 = a1 + 1;
            uint32_t ua0 = uvBase + 2 * static_cast<uint32_t>(k), ub0 = ua0 + 1, ua1 = ua0 + 2, ub1 = ua0 + 3;
            float t0 = 2 * kPiF * static_cast<float>(k) / static_cast<float>(segments);
            float t1 = 2 * kPiF * static_cast<float>(k + 1) / static_cast<float>(segments);
            auto nrm = [&](V2 n, float t) { return V3{n.u, n.v * std::cos(t), n.v * std::sin(t)}; };
            // Winding chosen so the face normal agrees with the profile normal.
            auto emit = [&](uint32_t v0, uint32_t v1, uint32_t v2, uint32_t w0, uint32_t w1, uint32_t w2, V3 n0, V3 n1,
                            V3 n2) {
                V3 fn = cross(m.vertices[v1] - m.vertices[v0], m.vertices[v2] - m.vertices[v0]);
                if (length(fn) < 1e-4f) return;
                if (dot(fn, n0 + n1 + n2) < 0) {
                    std::swap(v1, v2);
                    std::swap(w1, w2);
                    std::swap(n1, n2);
                }
                m.faces.insert(m.faces.end(), {v0, v1, v2});
                m.uv0Faces.insert(m.uv0Faces.end(), {w0, w1, w2});
                m.cornerNormals.insert(m.cornerNormals.end(), {n0, n1, n2});
            };
            emit(a0, a1, b1, ua0, ua1, ub1, nrm(na, t0), nrm(na, t1), nrm(nb, t1));
            emit(a0, b1, b0, ua0, ub1, ub0, nrm(na, t0), nrm(nb, t1), nrm(nb, t0));
        }
    }
}

}  // namespace

// Tyre texture rows (v): tread 0.5 … 1, sidewall 0.25 … 0.5, dark hub 0 … 0.1.
SceneMesh tyreMesh(const Detail& detail) {
    SceneMesh m;
    const float R = kTyreRadius, W = kTyreHalfWidth, Rr = kRimRadius;
    // Outer face at −X. Profile runs from the outer bead over the tread to the inner bead.
    std::vector<ProfilePoint> tyre = {
        {-W + 6, Rr, 0.27f},           {-W, Rr + 8, 0.31f},           {-W, R - 14, 0.45f},
        {-W + 3, R - 5, 0.49f},        {-W + 10, R, 0.52f},           {W - 10, R, 0.98f},
        {W - 3, R - 5, 0.49f},         {W, R - 14, 0.45f},            {W, Rr + 8, 0.31f},
        {W - 6, Rr, 0.27f},
    };
    if (detail.roughProfiles) {
        // Bead, sidewall top and tread shoulder on each side: the tread's rounding goes.
        tyre = {tyre[0], tyre[2], tyre[4], tyre[5], tyre[7], tyre[9]};
    }
    revolve(m, tyre, detail.tyreSegments, 0, 1);
    // Hub behind the spokes (seen through the rim's gaps) and the closed inner face.
    // Its barrel reaches just past the beads, so no chink between hub and tyre lets light through.
    std::vector<ProfilePoint> hub = {{-22, 0.01f, 0.02f}, {-22, Rr + 1, 0.08f, true}, {W - 6, Rr + 1, 0.08f, true},
                                     {W - 6, 0.01f, 0.02f}};
    // The hub's outer face must face −X: revolve gives outward normals for a −X … +X profile
    // over the top, which for these spans means −X on the first, +r on the barrel, +X inside.
    revolve(m, hub, detail.hubSegments, 0, 1);
    return m;
}

SceneMesh rimMesh(const Detail& detail) {
    SceneMesh m;
    const float W = kTyreHalfWidth, Rr = kRimRadius;
    // A shallow dish facing −X: lip at the bead, centre recessed.
    const float radii[] = {Rr + 1, 0.86f * Rr, 0.55f * Rr, 0.22f * Rr, 0.0f};
    const float depth[] = {-W + 5, -W + 8, -W + 14, -W + 16, -W + 13};
    const int seg = detail.rimSegments;
    // Rough: the lip, the dish's middle and its centre.
    const int ringStep = detail.roughProfiles ? 2 : 1;
    std::vector<std::vector<uint32_t>> ring;
    for (int r = 0; r < 5; r += ringStep) {
        std::vector<uint32_t> ids;
        for (int k = 0; k < seg; ++k) {
            float t = 2 * kPiF * static_cast<float>(k) / seg;
            V3 p{depth[r], radii[r] * std::cos(t), radii[r] * std::sin(t)};
            m.vertices.push_back(p);
            m.uv0.push_back({0.5f + 0.5f * p.y / (Rr + 1), 0.5f + 0.5f * p.z / (Rr + 1)});
            ids.push_back(static_cast<uint32_t>(m.vertices.size() - 1));
        }
        ring.push_back(ids);
    }
    auto faceNormal = [&](uint32_t a, uint32_t b, uint32_t c) {
        return normalized(cross(m.vertices[b] - m.vertices[a], m.vertices[c] - m.vertices[a]), {-1, 0, 0});
    };
    for (size_t r = 0; r + 1 < ring.size(); ++r)
        for (int k = 0; k < seg; ++k) {
            int k1 = (k + 1) % seg;
            uint32_t quad[2][3] = {{ring[r][k], ring[r + 1][k], ring[r + 1][k1]}, {ring[r][k], ring[r + 1][k1], ring[r][k1]}};
            for (auto& f : quad) {
                if (length(cross(m.vertices[f[1]] - m.vertices[f[0]], m.vertices[f[2]] - m.vertices[f[0]])) < 1e-4f) continue;
                V3 n = faceNormal(f[0], f[1], f[2]);
                if (n.x > 0) {
                    std::swap(f[1], f[2]);
                    n = -1.0f * n;
                }
                m.faces.insert(m.faces.end(), {f[0], f[1], f[2]});
                m.uv0Faces.insert(m.uv0Faces.end(), {f[0], f[1], f[2]});
                // The dish reads as one smoothly curved disc: blend the face toward the axis.
                V3 sn = normalized(0.5f * n + V3{-0.5f, 0, 0}, {-1, 0, 0});
                m.cornerNormals.insert(m.cornerNormals.end(), {sn, sn, sn});
            }
        }
    return m;
}

// Helmet: an ellipsoid shell above the pivot, open at the neck and closed by a flat chin plate.
// u: around (0.5 = straight ahead), v: from the neck (0) to the crown (1). The second set is the
// same layout, read by the shine mask.
SceneMesh helmetMesh(const Detail& detail) {
    SceneMesh m;
    const int lon = detail.helmetLongitudes, lat = detail.helmetLatitudes;
    const float latMin = -0.45f;  // radians below the equator where the neck opening starts
    auto point = [&](float a, float b) {  // a: angle from +Y around Z, b: latitude
        return V3{kHelmetCentre.x + kHelmetRadii.x * std::cos(b) * std::sin(a),
                  kHelmetCentre.y + kHelmetRadii.y * std::cos(b) * std::cos(a),
                  kHelmetCentre.z + kHelmetRadii.z * std::sin(b)};
    };
    auto normalAt = [&](V3 p) {
        V3 d = p - kHelmetCentre;
        return normalized({d.x / (kHelmetRadii.x * kHelmetRadii.x), d.y / (kHelmetRadii.y * kHelmetRadii.y),
                           d.z / (kHelmetRadii.z * kHelmetRadii.z)},
                          {0, 0, 1});
    };
    std::vector<std::vector<uint32_t>> vid(lat + 1), tid(lat + 1);
    for (int j = 0; j <= lat; ++j) {
        float b = lerp(latMin, kPiF / 2, static_cast<float>(j) / lat);
        for (int i = 0; i <= lon; ++i) {
            float a = -kPiF + 2 * kPiF * static_cast<float>(i) / lon;
            if (i < lon) {
                m.vertices.push_back(point(a, b));
                vid[j].push_back(static_cast<uint32_t>(m.vertices.size() - 1));
            }
            m.uv0.push_back({static_cast<float>(i) / lon, 0.02f + 0.96f * static_cast<float>(j) / lat});
            tid[j].push_back(static_cast<uint32_t>(m.uv0.size() - 1));
        }
    }
    auto addFace = [&](uint32_t a, uint32_t b, uint32_t c, uint32_t ta, uint32_t tb, uint32_t tc, V3 na, V3 nb, V3 nc) {
        V3 fn = cross(m.vertices[b] - m.vertices[a], m.vertices[c] - m.vertices[a]);
        if (length(fn) < 1e-4f) return;
        if (dot(fn, na + nb + nc) < 0) {
            std::swap(b, c);
            std::swap(tb, tc);
            std::swap(nb, nc);
        }
        m.faces.insert(m.faces.end(), {a, b, c});
        m.uv0Faces.insert(m.uv0Faces.end(), {ta, tb, tc});
        m.cornerNormals.insert(m.cornerNormals.end(), {na, nb, nc});
    };
    for (int j = 0; j < lat; ++j)
        for (int i = 0; i < lon; ++i) {
            int i1 = (i + 1) % lon;
            uint32_t a = vid[j][i], b = vid[j][i1], c = vid[j + 1][i1], d = vid[j + 1][i];
            uint32_t ta = tid[j][i], tb = tid[j][i + 1], tc = tid[j + 1][i + 1], td = tid[j + 1][i];
            V3 na = normalAt(m.vertices[a]), nb = normalAt(m.vertices[b]), nc = normalAt(m.vertices[c]),
               nd = normalAt(m.vertices[d]);
            addFace(a, b, c, ta, tb, tc, na, nb, nc);
            addFace(a, c, d, ta, tc, td, na, nc, nd);
        }
    // Neck plate: a flat disc closing the bottom, painted from the lowest row of the texture.
    V3 centre{kHelmetCentre.x, kHelmetCentre.y, m.vertices[vid[0][0]].z};
    m.vertices.push_back(centre);
    uint32_t c = static_cast<uint32_t>(m.vertices.size() - 1);
    m.uv0.push_back({0.5f, 0.01f});
    uint32_t tc = static_cast<uint32_t>(m.uv0.size() - 1);
    for (int i = 0; i < lon; ++i) {
        int i1 = (i + 1) % lon;
        addFace(c, vid[0][i1], vid[0][i], tc, tid[0][i + 1], tid[0][i], {0, 0, -1}, {0, 0, -1}, {0, 0, -1});
    }
    m.uv1 = m.uv0;
    m.uv1Faces = m.uv0Faces;
    return m;
}

ObjectMesh shadowMesh() {
    // Drawn at scale 0.003: ±100 across and ±180 along give a blob a little larger than the car.
    ObjectMesh m;
    m.vertices = {{-100, -180, 0}, {100, -180, 0}, {100, 180, 0}, {-100, 180, 0}};
    m.faces = {0, 1, 2, 0, 2, 3};
    // Eight coordinates: one per face corner plus the two corners of the quad that no face
    // uses, which makes the shadow the 244-byte file of four vertices and two faces.
    m.uv = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}, {1, 0}, {0, 1}};
    m.uvFaces = {0, 1, 2, 3, 5, 5};
    m.hasSecondSet = false;
    for (int i = 0; i < 6; ++i) m.cornerNormals.push_back({0, 0, 1});
    return m;
}

}  // namespace assetgen::cars
