// Light baking on the CPU: the ground lightmap (sun shadows projected from every object, soft
// at the edges, and ambient occlusion around object footprints) and per-corner colours for the
// objects (sun, sky light and shadow by ray casting against the same occluders).
#include <algorithm>
#include <thread>

#include "world_parts.h"

namespace assetgen::world {

namespace {

constexpr int kN = kLightmapSize;

// Texel space: column from the west edge, row from the north edge (picture rows, top first).
inline double texelX(double x) { return (x - kMapMinX) / kMapWidth * kN; }
inline double texelY(double y) { return (1.0 - (y - kMapMinY) / kMapHeight) * kN; }

// Accumulates coverage of a triangle (in texel space) with 2 × 2 samples per texel.
void rasterize(std::vector<float>& target, double ax, double ay, double bx, double by, double cx, double cy,
               float weight, bool maxMode) {
    const int x0 = std::max(0, int(std::floor(std::min({ax, bx, cx}))));
    const int x1 = std::min(kN - 1, int(std::ceil(std::max({ax, bx, cx}))));
    const int y0 = std::max(0, int(std::floor(std::min({ay, by, cy}))));
    const int y1 = std::min(kN - 1, int(std::ceil(std::max({ay, by, cy}))));
    if (x0 > x1 || y0 > y1) return;
    const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (std::fabs(area) < 1e-12) return;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 2; ++sy)
                for (int sx = 0; sx < 2; ++sx) {
                    const double px = x + 0.25 + 0.5 * sx, py = y + 0.25 + 0.5 * sy;
                    const double w0 = (bx - px) * (cy - py) - (by - py) * (cx - px);
                    const double w1 = (cx - px) * (ay - py) - (cy - py) * (ax - px);
                    const double w2 = (ax - px) * (by - py) - (ay - py) * (bx - px);
                    if ((w0 >= 0 && w1 >= 0 && w2 >= 0) || (w0 <= 0 && w1 <= 0 && w2 <= 0)) ++hits;
                }
            if (!hits) continue;
            float& t = target[size_t(y) * kN + size_t(x)];
            if (maxMode)
                t = std::max(t, weight);
            else
                t = std::max(t, float(hits) / 4.0f);
        }
}

void boxBlur(std::vector<float>& a, int radius) {
    std::vector<float> tmp(a.size());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<float>& src = pass == 0 ? a : tmp;
        std::vector<float>& dst = pass == 0 ? tmp : a;
        for (int y = 0; y < kN; ++y) {
            double sum = 0;
            int count = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int xx = std::clamp(k, 0, kN - 1);
                sum += pass == 0 ? src[size_t(y) * kN + size_t(xx)] : src[size_t(xx) * kN + size_t(y)];
                ++count;
            }
            for (int x = 0; x < kN; ++x) {
                const size_t o = pass == 0 ? size_t(y) * kN + size_t(x) : size_t(x) * kN + size_t(y);
                dst[o] = float(sum / count);
                const int add = std::min(kN - 1, x + radius + 1), rem = std::max(0, x - radius);
                sum += pass == 0 ? src[size_t(y) * kN + size_t(add)] : src[size_t(add) * kN + size_t(y)];
                sum -= pass == 0 ? src[size_t(y) * kN + size_t(rem)] : src[size_t(rem) * kN + size_t(y)];
            }
        }
    }
}

// Uniform grid over the ground plane holding occluder triangles, for shadow rays.
class RayGrid {
public:
    explicit RayGrid(std::vector<Triangle> tris) : tris_(std::move(tris)) {
        w_ = int(kMapWidth / kCell) + 1;
        h_ = int(kMapHeight / kCell) + 1;
        cells_.resize(size_t(w_) * size_t(h_));
        for (uint32_t i = 0; i < tris_.size(); ++i) {
            const Triangle& t = tris_[i];
            maxZ_ = std::max({maxZ_, t.a.z, t.b.z, t.c.z});
            const int x0 = cx(std::min({t.a.x, t.b.x, t.c.x})), x1 = cx(std::max({t.a.x, t.b.x, t.c.x}));
            const int y0 = cy(std::min({t.a.y, t.b.y, t.c.y})), y1 = cy(std::max({t.a.y, t.b.y, t.c.y}));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) cells_[size_t(y) * size_t(w_) + size_t(x)].push_back(i);
        }
    }
    // True when the ray from p towards dir (pointing up) hits any occluder.
    bool blocked(D3 p, D3 dir, std::vector<uint32_t>& seen, uint32_t& stamp) const {
        ++stamp;
        const double horiz = std::sqrt(dir.x * dir.x + dir.y * dir.y);
        const double reach = dir.z > 1e-6 ? (maxZ_ - p.z) / dir.z * horiz + kCell : 0;
        if (reach <= 0) return false;
        const double ux = dir.x / horiz, uy = dir.y / horiz;
        for (double d = 0; d <= reach; d += kCell * 0.5) {
            const int x = cx(p.x + ux * d), y = cy(p.y + uy * d);
            for (int yy = y - 1; yy <= y + 1; ++yy)
                for (int xx = x - 1; xx <= x + 1; ++xx) {
                    if (xx < 0 || yy < 0 || xx >= w_ || yy >= h_) continue;
                    for (uint32_t i : cells_[size_t(yy) * size_t(w_) + size_t(xx)]) {
                        if (seen[i] == stamp) continue;
                        seen[i] = stamp;
                        if (hit(tris_[i], p, dir)) return true;
                    }
                }
        }
        return false;
    }
    size_t size() const { return tris_.size(); }

private:
    static constexpr double kCell = 2.0;
    int cx(double x) const { return std::clamp(int((x - kMapMinX) / kCell), 0, w_ - 1); }
    int cy(double y) const { return std::clamp(int((y - kMapMinY) / kCell), 0, h_ - 1); }
    static bool hit(const Triangle& t, D3 o, D3 d) {
        const D3 e1 = t.b - t.a, e2 = t.c - t.a;
        const D3 p = cross(d, e2);
        const double det = dot(e1, p);
        if (std::fabs(det) < 1e-12) return false;
        const double inv = 1.0 / det;
        const D3 s = o - t.a;
        const double u = dot(s, p) * inv;
        if (u < 0 || u > 1) return false;
        const D3 q = cross(s, e1);
        const double v = dot(d, q) * inv;
        if (v < 0 || u + v > 1) return false;
        return dot(e2, q) * inv > 1e-4;
    }
    std::vector<Triangle> tris_;
    std::vector<std::vector<uint32_t>> cells_;
    int w_ = 0, h_ = 0;
    double maxZ_ = 0;
};

std::vector<Triangle> occluders(const World& w) {
    std::vector<Triangle> tris;
    for (const WorldMesh& m : w.meshes) {
        if (!m.castsShadow) continue;
        if (!m.shadowProxy.empty()) {
            tris.insert(tris.end(), m.shadowProxy.begin(), m.shadowProxy.end());
            continue;
        }
        for (size_t i = 0; i + 2 < m.mesh.pos.size(); i += 3) tris.push_back({m.mesh.pos[i], m.mesh.pos[i + 1], m.mesh.pos[i + 2]});
    }
    return tris;
}

}  // namespace

std::vector<uint8_t> bakeLightmap(World& w) {
    const D3 sun = sunDirection();
    const std::vector<Triangle> tris = occluders(w);

    // Sun shadow on the ground: each occluder projected along the sun onto z = 0.
    std::vector<float> shadow(size_t(kN) * kN, 0.0f), height(size_t(kN) * kN, 0.0f);
    auto project = [&](D3 p) { return p - sun * (p.z / sun.z); };
    for (const Triangle& t : tris) {
        const D3 a = project(t.a), b = project(t.b), c = project(t.c);
        rasterize(shadow, texelX(a.x), texelY(a.y), texelX(b.x), texelY(b.y), texelX(c.x), texelY(c.y), 1, false);
        const float h = float(std::max({t.a.z, t.b.z, t.c.z}));
        rasterize(height, texelX(t.a.x), texelY(t.a.y), texelX(t.b.x), texelY(t.b.y), texelX(t.c.x), texelY(t.c.y),
                  std::min(1.0f, h), true);
    }
    boxBlur(shadow, 1);
    // Ambient occlusion: the sky is partly hidden near anything standing on the ground.
    std::vector<float> ao = height;
    boxBlur(ao, 4);
    std::vector<float> aoWide = height;
    boxBlur(aoWide, 12);

    Picture pic(kN, kN);
    const D3 lit{1.0, 0.98, 0.94}, shade{0.52, 0.56, 0.68};
    for (int y = 0; y < kN; ++y)
        for (int x = 0; x < kN; ++x) {
            const size_t i = size_t(y) * kN + size_t(x);
            const double s = clamp01(shadow[i]);
            const double occl = 1.0 - 0.45 * clamp01(ao[i] * 1.6) - 0.15 * clamp01(aoWide[i] * 2.0);
            const double vary = 0.96 + 0.04 * fbm(x / 50.0, y / 50.0, 3, 901);
            const D3 c = (lit * (1 - s) + shade * s) * (occl * vary);
            pic.set(x, y, c.x, c.y, c.z);
        }

    // Corner colours of the objects: sky light (less near the ground) plus sun where no occluder
    // blocks the way; cards lit from either side.
    RayGrid grid(tris);
    std::vector<WorldMesh*> lit_meshes;
    for (WorldMesh& m : w.meshes)
        if (m.bakeLight) lit_meshes.push_back(&m);
    const unsigned threads = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    auto work = [&](unsigned part) {
        std::vector<uint32_t> seen(grid.size(), 0);
        uint32_t stamp = 0;
        for (size_t k = part; k < lit_meshes.size(); k += threads) {
            WorldMesh& m = *lit_meshes[k];
            const bool tree = !m.shadowProxy.empty();
            m.mesh.colour.resize(m.mesh.pos.size());
            for (size_t i = 0; i < m.mesh.pos.size(); ++i) {
                const D3 p = m.mesh.pos[i];
                D3 n = m.mesh.normal[i];
                double ndl = dot(n, sun);
                if (m.twoSided && ndl < 0) {
                    ndl = -ndl;
                    n = n * -1.0;
                }
                double c;
                if (tree) {
                    // Crowns: brighter towards the top and on the sun side of the clump.
                    c = 0.62 + 0.3 * clamp01(p.z / 3.5);
                    if (grid.blocked(p + sun * 1.2, sun, seen, stamp)) c *= 0.8;
                } else {
                    const double sky = (0.58 + 0.14 * n.z) * (0.78 + 0.22 * clamp01(p.z / 0.8));
                    double direct = std::max(0.0, ndl) * 0.52;
                    if (direct > 0 && grid.blocked(p + n * 0.01 + sun * 0.01, sun, seen, stamp)) direct = 0;
                    c = sky + direct;
                }
                const D3 col = D3{1.0, 0.98, 0.95} * std::min(1.0, c);
                m.mesh.colour[i] = col;
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work, t);
    work(0);
    for (std::thread& t : pool) t.join();

    return toJpeg(pic, 90, false);
}

}  // namespace assetgen::world
