// Noise, pictures, lettering and mesh building blocks for the world module.
#include <algorithm>
#include <cstring>

#include "world_common.h"

namespace assetgen::world {

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

double hashUnit(int32_t x, int32_t y, uint32_t seed) {
    const uint32_t h = hash32(uint32_t(x) * 0x9E3779B1u ^ hash32(uint32_t(y) + 0x632BE5ABu * seed) ^ seed);
    return double(h >> 8) / double((1u << 24) - 1);
}

static double fade(double t) { return t * t * (3 - 2 * t); }

static double noiseAt(double x, double y, uint32_t seed, int period) {
    const double fx = std::floor(x), fy = std::floor(y);
    int32_t ix = int32_t(fx), iy = int32_t(fy);
    const double tx = fade(x - fx), ty = fade(y - fy);
    auto h = [&](int32_t a, int32_t b) {
        if (period > 0) {
            a = ((a % period) + period) % period;
            b = ((b % period) + period) % period;
        }
        return hashUnit(a, b, seed);
    };
    const double a = h(ix, iy), b = h(ix + 1, iy), c = h(ix, iy + 1), d = h(ix + 1, iy + 1);
    return mix(mix(a, b, tx), mix(c, d, tx), ty);
}

double valueNoise(double x, double y, uint32_t seed) { return noiseAt(x, y, seed, 0); }

double fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * noiseAt(x, y, seed + uint32_t(i) * 101u, 0);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

double periodicFbm(double x, double y, int period, int octaves, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    int p = period;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * noiseAt(x, y, seed + uint32_t(i) * 101u, p);
        norm += amp;
        x *= 2;
        y *= 2;
        p *= 2;
        amp *= 0.5;
    }
    return sum / norm;
}

std::vector<uint8_t> Picture::bytes() const {
    std::vector<uint8_t> b(px.size());
    for (size_t i = 0; i < px.size(); ++i) b[i] = uint8_t(std::lround(clamp01(px[i]) * 255.0));
    return b;
}

std::vector<uint8_t> toJpeg(const Picture& p, int quality, bool progressive) {
    std::vector<uint8_t> rgb = p.bytes();
    if (p.channels == 4) {
        std::vector<uint8_t> three(size_t(p.width) * size_t(p.height) * 3);
        for (size_t i = 0, n = size_t(p.width) * size_t(p.height); i < n; ++i)
            std::memcpy(&three[i * 3], &rgb[i * 4], 3);
        rgb.swap(three);
    }
    return encodeJpeg(rgb, p.width, p.height, quality, progressive);
}

std::vector<uint8_t> toTga(const Picture& p) {
    std::vector<uint8_t> rgba = p.bytes();
    if (p.channels == 3) {
        std::vector<uint8_t> four(size_t(p.width) * size_t(p.height) * 4, 255);
        for (size_t i = 0, n = size_t(p.width) * size_t(p.height); i < n; ++i)
            std::memcpy(&four[i * 4], &rgba[i * 3], 3);
        rgba.swap(four);
    }
    return encodeTga32(rgba, p.width, p.height);
}

namespace {
struct Glyph {
    char c;
    const char* rows[7];
};
// Our own 5 × 7 lettering for boards and signs.
const Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
};
}  // namespace

bool glyphPixel(char c, int col, int row) {
    if (col < 0 || col >= 5 || row < 0 || row >= 7) return false;
    for (const Glyph& g : kGlyphs)
        if (g.c == c) return g.rows[row][col] == '#';
    return false;
}

void drawText(Picture& p, const std::string& text, int cx, int cy, int scale, const double rgb[3]) {
    const int advance = 6 * scale;
    const int w = int(text.size()) * advance - scale;
    const int x0 = cx - w / 2, y0 = cy - 7 * scale / 2;
    for (size_t i = 0; i < text.size(); ++i)
        for (int y = 0; y < 7 * scale; ++y)
            for (int x = 0; x < 5 * scale; ++x) {
                if (!glyphPixel(text[i], x / scale, y / scale)) continue;
                const int px = x0 + int(i) * advance + x, py = y0 + y;
                if (px < 0 || py < 0 || px >= p.width || py >= p.height) continue;
                double* d = p.at(px, py);
                d[0] = rgb[0];
                d[1] = rgb[1];
                d[2] = rgb[2];
            }
}

void MeshBuilder::tri(D3 a, D3 b, D3 c, V2 ta, V2 tb, V2 tc) {
    const D3 area = cross(b - a, c - a);
    if (length(area) < 1e-9) return;  // degenerate: nothing to draw, no normal to give
    const D3 n = normalize(area);
    pos.insert(pos.end(), {a, b, c});
    uv.insert(uv.end(), {ta, tb, tc});
    normal.insert(normal.end(), {n, n, n});
}

void MeshBuilder::quad(D3 a, D3 b, D3 c, D3 d, V2 ta, V2 tb, V2 tc, V2 td) {
    tri(a, b, c, ta, tb, tc);
    tri(a, c, d, ta, tc, td);
}

void MeshBuilder::box(D3 lo, D3 hi, V2 s0, V2 s1, V2 t0, V2 t1) {
    const D3 p000{lo.x, lo.y, lo.z}, p100{hi.x, lo.y, lo.z}, p110{hi.x, hi.y, lo.z}, p010{lo.x, hi.y, lo.z};
    const D3 p001{lo.x, lo.y, hi.z}, p101{hi.x, lo.y, hi.z}, p111{hi.x, hi.y, hi.z}, p011{lo.x, hi.y, hi.z};
    const V2 a{s0.u, s0.v}, b{s1.u, s0.v}, c{s1.u, s1.v}, d{s0.u, s1.v};
    quad(p000, p100, p101, p001, a, b, c, d);  // -y
    quad(p100, p110, p111, p101, a, b, c, d);  // +x
    quad(p110, p010, p011, p111, a, b, c, d);  // +y
    quad(p010, p000, p001, p011, a, b, c, d);  // -x
    quad(p001, p101, p111, p011, {t0.u, t0.v}, {t1.u, t0.v}, {t1.u, t1.v}, {t0.u, t1.v});  // top
}

}  // namespace assetgen::world
