// Shared pieces of the world module (circuit, scenery, lightmap, sky): small vector maths, a
// seeded hash noise, an RGB picture type and the circuit description every world file reads.
// Only the world_*.cpp files and world.cpp include it; nothing here holds mutable global state.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assetgen.h"

namespace assetgen::world {

// The lightmap covers this world rectangle; the whole world lies inside it.
constexpr double kMapCentreX = 36.631, kMapCentreY = 0.895;
constexpr double kMapWidth = 467.673, kMapHeight = 306.049;
constexpr double kMapMinX = kMapCentreX - kMapWidth / 2, kMapMinY = kMapCentreY - kMapHeight / 2;
constexpr double kMapMaxX = kMapMinX + kMapWidth, kMapMaxY = kMapMinY + kMapHeight;
constexpr int kLightmapSize = 1024;

// Sun direction (towards the sun), as the flare and the art direction give it.
constexpr double kSunX = 5.924, kSunY = 7.162, kSunZ = 3.681;

constexpr int kRaceLinePoints = 233;
constexpr double kRoadHalfWidth = 1.8;
constexpr double kKerbWidth = 0.6;

struct D3 {
    double x = 0, y = 0, z = 0;
};
inline D3 operator+(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline D3 operator-(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline D3 operator*(D3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline D3 cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double length(D3 a) { return std::sqrt(dot(a, a)); }
inline D3 normalize(D3 a) {
    const double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}
inline V3 toV3(D3 a) { return {float(a.x), float(a.y), float(a.z)}; }
inline D3 sunDirection() { return normalize({kSunX, kSunY, kSunZ}); }

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double mix(double a, double b, double t) { return a + (b - a) * t; }
inline double smoothstep(double a, double b, double x) {
    const double t = clamp01((x - a) / (b - a));
    return t * t * (3 - 2 * t);
}

// Lightmap texture coordinates of a world position.
inline V2 lightmapUv(double x, double y) {
    return {float((x - kMapMinX) / kMapWidth), float((y - kMapMinY) / kMapHeight)};
}

// Deterministic value noise and fractal sums (integer hashing, no library randomness).
uint32_t hash32(uint32_t x);
double hashUnit(int32_t x, int32_t y, uint32_t seed);  // 0 … 1
double valueNoise(double x, double y, uint32_t seed);  // smooth, 0 … 1
double fbm(double x, double y, int octaves, uint32_t seed);
double periodicFbm(double x, double y, int period, int octaves, uint32_t seed);  // tiles every `period`

// A small deterministic random stream for placement decisions.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return hash32(state);
    }
    double unit() { return double(next() >> 8) / double(1u << 24); }
    double range(double a, double b) { return a + (b - a) * unit(); }
};

// RGB(A) picture, top row first.
struct Picture {
    int width = 0, height = 0, channels = 3;
    std::vector<double> px;  // 0 … 1 per channel
    Picture(int w, int h, int c = 3) : width(w), height(h), channels(c), px(size_t(w) * size_t(h) * size_t(c), 0.0) {}
    double* at(int x, int y) { return &px[(size_t(y) * size_t(width) + size_t(x)) * size_t(channels)]; }
    void set(int x, int y, double r, double g, double b, double a = 1) {
        double* p = at(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
        if (channels == 4) p[3] = a;
    }
    std::vector<uint8_t> bytes() const;
};
std::vector<uint8_t> toJpeg(const Picture& p, int quality, bool progressive);
std::vector<uint8_t> toTga(const Picture& p);

// 5 × 7 glyphs of our own for board and sign lettering (A–Z, 0–9, space, '-').
bool glyphPixel(char c, int col, int row);
// Draws text centred in the box, bold, in colour; scale = pixels per glyph dot.
void drawText(Picture& p, const std::string& text, int cx, int cy, int scale, const double rgb[3]);

// ---- The circuit ----
struct CentreSample {
    D3 pos;
    D3 tangent;  // unit, in the ground plane
    D3 left;     // unit, to the left of the direction of travel
    double s = 0;
    double curvature = 0;  // 1/radius, positive turning left
};

struct Circuit {
    std::vector<CentreSample> samples;  // closed: samples[0] follows samples.back()
    double length = 0;
    double step = 0;          // arc length between samples
    double startS = 0;        // start/finish line position along the loop
    std::vector<double> pointS;  // race-line point positions along the centre line (233)
    const CentreSample& at(double s) const;  // nearest sample at arc length s (wraps)
    CentreSample interpolate(double s) const;
};

Circuit buildCircuit();
extern const double kLaneOffsets[4];
// The four race-line files (233 records of x, y, z, negated steering).
std::vector<std::vector<uint8_t>> buildRaceLines(const Circuit& c);
// Distance from (x, y) to the centre line (brute force over samples; for placement checks).
double distanceToCentre(const Circuit& c, double x, double y);

// ---- Scene assembly ----
struct Triangle {
    D3 a, b, c;
};

// A mesh under construction: world-space triangles with per-corner texture coordinates.
struct MeshBuilder {
    std::vector<D3> pos;
    std::vector<V2> uv;
    std::vector<D3> normal;
    std::vector<D3> colour;  // per corner, optional (baked lighting)
    void tri(D3 a, D3 b, D3 c, V2 ta, V2 tb, V2 tc);
    void quad(D3 a, D3 b, D3 c, D3 d, V2 ta, V2 tb, V2 tc, V2 td);  // a b c d counter-clockwise
    // Box with texture coordinates: sides take uSide across each face, top the given rect.
    void box(D3 lo, D3 hi, V2 sideUv0, V2 sideUv1, V2 topUv0, V2 topUv1);
    bool empty() const { return pos.empty(); }
};

}  // namespace assetgen::world
