// The grass grid cut around the road. The road is painted over the grass, so grass under it is
// shaded and then thrown away; at a low camera the road fills half the screen. Each grid cell
// keeps only what lies outside a band slightly narrower than the road, so no gap can open at
// the road's edges (the grass reaches a little way under them) while each pixel of the land is
// shaded about once.
#include <algorithm>
#include <cmath>

#include "world_parts.h"

namespace assetgen::world {

namespace {

struct P2 {
    double x, y;
};
bool operator==(P2 a, P2 b) { return a.x == b.x && a.y == b.y; }
double orient(P2 a, P2 b, P2 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

// Fewer points on straights and gentle bends: a point goes when the chord past it stays within
// `tolerance` of every point it skips. Closed ring; the first point stays.
std::vector<P2> simplifyRing(const std::vector<P2>& ring, double tolerance) {
    std::vector<P2> out;
    const size_t n = ring.size();
    size_t i = 0;
    while (i < n) {
        out.push_back(ring[i]);
        size_t j = i + 1;
        while (j + 1 <= n) {  // try to reach j + 1 (n wraps to the first point)
            const P2 a = ring[i], b = ring[(j + 1) % n];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            bool fits = len > 0;
            for (size_t k = i + 1; fits && k <= j; ++k) fits = std::fabs(orient(a, b, ring[k % n])) / len <= tolerance;
            if (!fits) break;
            ++j;
        }
        i = j;
    }
    return out;
}

// Splits every segment of a closed ring where it crosses a grid line. The crossing is worked out
// from the segment's end points in a fixed order and lies exactly on the line, so the two cells
// beside a line get the same point and share their edge without a crack.
std::vector<P2> splitAtGridLines(const std::vector<P2>& ring, const std::vector<double>& xs, const std::vector<double>& ys) {
    std::vector<P2> out;
    for (size_t i = 0; i < ring.size(); ++i) {
        const P2 a = ring[i], b = ring[(i + 1) % ring.size()];
        std::vector<std::pair<double, P2>> cuts;  // (parameter along a→b, point)
        auto across = [&](const std::vector<double>& lines, bool vertical) {
            const double pa = vertical ? a.x : a.y, pb = vertical ? b.x : b.y;
            for (double l : lines) {
                if (!((pa < l && pb > l) || (pa > l && pb < l))) continue;
                const P2 lo = pa < pb ? a : b, hi = pa < pb ? b : a;
                const double plo = vertical ? lo.x : lo.y, phi = vertical ? hi.x : hi.y;
                const double f = (l - plo) / (phi - plo);
                const P2 p = vertical ? P2{l, lo.y + (hi.y - lo.y) * f} : P2{lo.x + (hi.x - lo.x) * f, l};
                cuts.push_back({(l - pa) / (pb - pa), p});
            }
        };
        across(xs, true);
        across(ys, false);
        std::sort(cuts.begin(), cuts.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
        out.push_back(a);
        for (const auto& c : cuts)
            if (!(c.second == out.back())) out.push_back(c.second);
    }
    return out;
}

// Ear clipping of a simple counter-clockwise polygon; false when no clean ear is found.
bool triangulate(std::vector<P2> poly, std::vector<P2>& triangles) {
    while (poly.size() > 3) {
        const size_t n = poly.size();
        bool cut = false;
        for (size_t i = 0; i < n && !cut; ++i) {
            const P2 a = poly[(i + n - 1) % n], b = poly[i], c = poly[(i + 1) % n];
            if (orient(a, b, c) <= 1e-12) continue;
            bool empty = true;
            for (size_t k = 0; k < n && empty; ++k) {
                const P2 p = poly[k];
                if (p == a || p == b || p == c) continue;
                empty = !(orient(a, b, p) >= 0 && orient(b, c, p) >= 0 && orient(c, a, p) >= 0);
            }
            if (!empty) continue;
            triangles.insert(triangles.end(), {a, b, c});
            poly.erase(poly.begin() + std::ptrdiff_t(i));
            cut = true;
        }
        if (!cut) return false;
    }
    if (poly.size() == 3 && orient(poly[0], poly[1], poly[2]) > 0) triangles.insert(triangles.end(), {poly[0], poly[1], poly[2]});
    return true;
}

double area(const std::vector<P2>& poly) {
    double a = 0;
    for (size_t i = 0; i < poly.size(); ++i) a += orient({0, 0}, poly[i], poly[(i + 1) % poly.size()]);
    return a / 2;
}

// A run of ring points inside one cell, from where it enters to where it leaves (both on the
// cell's edge), with their places along the edge (counter-clockwise from the lower left corner).
struct Run {
    std::vector<P2> points;
    double enter = 0, leave = 0;
};

class Cell {
public:
    Cell(double x0, double y0, double x1, double y1) : x0_(x0), y0_(y0), x1_(x1), y1_(y1) {}
    bool onEdge(P2 p) const { return p.x == x0_ || p.x == x1_ || p.y == y0_ || p.y == y1_; }
    double perimeter() const { return 2 * (x1_ - x0_) + 2 * (y1_ - y0_); }
    double place(P2 p) const {
        const double w = x1_ - x0_, h = y1_ - y0_;
        if (p.y == y0_ && p.x > x0_) return p.x - x0_;
        if (p.x == x1_) return w + (p.y - y0_);
        if (p.y == y1_) return w + h + (x1_ - p.x);
        return p.y == y0_ ? 0 : 2 * w + h + (y1_ - p.y);
    }
    P2 corner(int k) const {
        const P2 c[4] = {{x0_, y0_}, {x1_, y0_}, {x1_, y1_}, {x0_, y1_}};
        return c[k];
    }
    std::vector<P2> outline() const { return {corner(0), corner(1), corner(2), corner(3)}; }

    // The cell less the band: walk each run to where it leaves, then along the edge (taking the
    // corners passed) to where the next run enters, until back at the first. Empty when the
    // runs do not close up consistently.
    std::vector<std::vector<P2>> less(std::vector<Run> runs) const {
        std::vector<std::vector<P2>> pieces;
        std::vector<bool> used(runs.size(), false);
        const double total = perimeter();
        const double cornerPlace[4] = {0, x1_ - x0_, (x1_ - x0_) + (y1_ - y0_), 2 * (x1_ - x0_) + (y1_ - y0_)};
        for (size_t first = 0; first < runs.size(); ++first) {
            if (used[first]) continue;
            std::vector<P2> piece;
            size_t at = first;
            for (size_t guard = 0; guard <= runs.size(); ++guard) {
                used[at] = true;
                piece.insert(piece.end(), runs[at].points.begin(), runs[at].points.end());
                const double from = runs[at].leave;
                size_t next = runs.size();
                double best = total + 1;
                for (size_t r = 0; r < runs.size(); ++r) {
                    const double d = std::fmod(runs[r].enter - from + total, total);
                    if (d < best) best = d, next = r;
                }
                std::vector<std::pair<double, int>> passed;  // corners strictly between, in order
                for (int k = 0; k < 4; ++k) {
                    const double d = std::fmod(cornerPlace[k] - from + total, total);
                    if (d > 0 && d < best) passed.push_back({d, k});
                }
                std::sort(passed.begin(), passed.end());
                for (const auto& [d, k] : passed) piece.push_back(corner(k));
                if (next == first) break;
                if (next == runs.size() || used[next]) return {};
                at = next;
            }
            pieces.push_back(std::move(piece));
        }
        return pieces;
    }

private:
    double x0_, y0_, x1_, y1_;
};

}  // namespace

GroundCut addGroundGrid(MeshBuilder& mb, int nx, int ny, const std::vector<std::vector<D3>>& rings, double tolerance,
                        double uvScale) {
    GroundCut report;
    std::vector<double> xs, ys;
    for (int i = 0; i <= nx; ++i) xs.push_back(kMapMinX + kMapWidth * i / nx);
    for (int j = 0; j <= ny; ++j) ys.push_back(kMapMinY + kMapHeight * j / ny);
    // Each cell's runs, in ring order.
    std::vector<std::vector<Run>> runs(size_t(nx) * size_t(ny));
    auto cellOf = [&](P2 a, P2 b) {
        const P2 m{(a.x + b.x) / 2, (a.y + b.y) / 2};
        const int i = int(std::upper_bound(xs.begin(), xs.end(), m.x) - xs.begin()) - 1;
        const int j = int(std::upper_bound(ys.begin(), ys.end(), m.y) - ys.begin()) - 1;
        return (i < 0 || j < 0 || i >= nx || j >= ny) ? -1 : j * nx + i;
    };
    for (const std::vector<D3>& ring3 : rings) {
        std::vector<P2> ring;
        for (const D3& p : ring3) ring.push_back({p.x, p.y});
        ring = splitAtGridLines(simplifyRing(ring, tolerance), xs, ys);
        const size_t n = ring.size();
        // Start at a point where the ring changes cells, so that no run wraps round the end.
        size_t start = n;
        for (size_t i = 0; i < n && start == n; ++i)
            if (cellOf(ring[(i + n - 1) % n], ring[i]) != cellOf(ring[i], ring[(i + 1) % n])) start = i;
        if (start == n) continue;  // the whole ring inside one cell: not a band this grid can cut
        for (size_t k = 0; k < n;) {
            const size_t i = (start + k) % n;
            const int cell = cellOf(ring[i], ring[(i + 1) % n]);
            Run run;
            run.points.push_back(ring[i]);
            while (k < n && cellOf(ring[(start + k) % n], ring[(start + k + 1) % n]) == cell) {
                run.points.push_back(ring[(start + k + 1) % n]);
                ++k;
            }
            if (cell < 0) continue;
            runs[size_t(cell)].push_back(std::move(run));
        }
    }
    auto uv = [&](P2 p) { return V2{float(p.x / uvScale), float(p.y / uvScale)}; };
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const Cell cell(xs[size_t(i)], ys[size_t(j)], xs[size_t(i) + 1], ys[size_t(j) + 1]);
            std::vector<Run>& mine = runs[size_t(j) * size_t(nx) + size_t(i)];
            std::vector<std::vector<P2>> pieces;
            bool whole = mine.empty();
            if (!whole) {
                ++report.cut;
                bool ends = true;
                for (Run& r : mine) {
                    ends = ends && cell.onEdge(r.points.front()) && cell.onEdge(r.points.back());
                    r.enter = cell.place(r.points.front());
                    r.leave = cell.place(r.points.back());
                }
                if (ends) pieces = cell.less(mine);
                // The pieces must be simple, counter-clockwise and together less than the cell.
                double sum = 0;
                for (const auto& p : pieces) sum += area(p);
                if (pieces.empty() || sum <= 0 || sum >= area(cell.outline())) {
                    ++report.fallbacks;
                    whole = true;
                }
            }
            std::vector<P2> tris;
            if (!whole) {
                double pieceArea = 0, triArea = 0;
                for (const auto& p : pieces) {
                    pieceArea += area(p);
                    if (!triangulate(p, tris)) pieceArea = -1;
                }
                for (size_t t = 0; t + 2 < tris.size(); t += 3) triArea += area({tris[t], tris[t + 1], tris[t + 2]});
                if (pieceArea < 0 || std::fabs(triArea - pieceArea) > 1e-6 * area(cell.outline())) {
                    ++report.fallbacks;
                    tris.clear();
                    whole = true;
                }
            }
            if (whole) {
                const std::vector<P2> o = cell.outline();
                tris = {o[0], o[1], o[2], o[0], o[2], o[3]};
            }
            for (size_t t = 0; t + 2 < tris.size(); t += 3) {
                const P2 a = tris[t], b = tris[t + 1], c = tris[t + 2];
                mb.tri({a.x, a.y, 0}, {b.x, b.y, 0}, {c.x, c.y, 0}, uv(a), uv(b), uv(c));
            }
        }
    return report;
}

}  // namespace assetgen::world
