// The circuit: a centre line built from straights and arcs, closed exactly, and the four race
// lines the cars follow. Point spacing along a race line is the car's speed (every car advances
// a fixed number of points per second), so points crowd into slow corners and spread out on
// the straights; steering comes from the curvature.
#include <algorithm>
#include <cstring>

#include "world_common.h"

namespace assetgen::world {

const double kLaneOffsets[4] = {-1.2, -0.4, 0.4, 1.2};

namespace {

struct Piece {
    double length;  // straight length, or arc radius
    double degrees; // 0: straight; otherwise the arc's turn, positive to the left
};

// Counter-clockwise: start/finish straight along the south, a fast left, a kink, the hairpin at
// the north-east, esses climbing west, the back straight under the bridge, a chicane down the
// west side and the last corner onto the straight.
const Piece kPieces[] = {
    {290, 0},                              // start/finish straight
    {35, 90},                              // turn 1
    {40, 0},
    {90, -25}, {90, 25},                   // the kink
    {45, 0},
    {13, 180},                             // hairpin
    {35, 0},
    {30, -90},                             // right onto the infield
    {30, 0},
    {60, -45}, {40, 0}, {60, 45},          // esses
    {143, 0},                              // back straight
    {40, 90},                              // west corner
    {32, 0},
    {16, 35}, {16, -70}, {16, 35},         // chicane
    {30, 0},
    {40, 90},                              // last corner
};
constexpr double kStartX = -115, kStartY = -104;
constexpr double kStartLineS = 215;  // the start line, most of the way down the straight

}  // namespace

const CentreSample& Circuit::at(double s) const {
    double w = std::fmod(s, length);
    if (w < 0) w += length;
    size_t i = size_t(std::lround(w / step)) % samples.size();
    return samples[i];
}

CentreSample Circuit::interpolate(double s) const {
    double w = std::fmod(s, length);
    if (w < 0) w += length;
    const double f = w / step;
    const size_t i = size_t(std::floor(f)) % samples.size();
    const size_t j = (i + 1) % samples.size();
    const double t = f - std::floor(f);
    const CentreSample &a = samples[i], &b = samples[j];
    CentreSample r = a;
    r.pos = a.pos + (b.pos - a.pos) * t;
    r.tangent = normalize(a.tangent + (b.tangent - a.tangent) * t);
    r.left = {-r.tangent.y, r.tangent.x, 0};
    r.curvature = mix(a.curvature, b.curvature, t);
    r.s = w;
    return r;
}

Circuit buildCircuit() {
    // Trace the pieces with a fine step.
    std::vector<D3> raw;
    double x = kStartX, y = kStartY, h = 0;
    const double fine = 0.05;
    raw.push_back({x, y, 0});
    for (const Piece& p : kPieces) {
        const double len = p.degrees == 0 ? p.length : p.length * std::fabs(p.degrees) * kPi / 180;
        const int n = std::max(1, int(std::lround(len / fine)));
        const double dh = p.degrees == 0 ? 0 : (p.degrees * kPi / 180) / n;
        for (int i = 0; i < n; ++i) {
            h += dh / 2;
            x += std::cos(h) * len / n;
            y += std::sin(h) * len / n;
            h += dh / 2;
            raw.push_back({x, y, 0});
        }
    }
    // Close the loop exactly: spread the small end error along the length.
    const D3 err = raw.back() - raw.front();
    raw.pop_back();
    const size_t n = raw.size();
    for (size_t i = 0; i < n; ++i) raw[i] = raw[i] - err * (double(i) / double(n));

    std::vector<double> cum(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i) cum[i + 1] = cum[i] + length(raw[(i + 1) % n] - raw[i]);
    Circuit c;
    c.length = cum[n];
    const size_t m = size_t(std::lround(c.length / 0.5));
    c.step = c.length / double(m);
    c.samples.resize(m);
    size_t k = 0;
    for (size_t i = 0; i < m; ++i) {
        const double s = double(i) * c.step;
        while (k + 1 < n && cum[k + 1] < s) ++k;
        const double t = (s - cum[k]) / std::max(1e-9, cum[k + 1] - cum[k]);
        c.samples[i].pos = raw[k] + (raw[(k + 1) % n] - raw[k]) * t;
        c.samples[i].s = s;
    }
    for (size_t i = 0; i < m; ++i) {
        const D3 d = c.samples[(i + 1) % m].pos - c.samples[(i + m - 1) % m].pos;
        c.samples[i].tangent = normalize(d);
        c.samples[i].left = {-c.samples[i].tangent.y, c.samples[i].tangent.x, 0};
    }
    // Curvature from the heading change, smoothed over a few units so that the steering and
    // the speed ease into and out of corners.
    std::vector<double> raw_k(m);
    for (size_t i = 0; i < m; ++i) {
        const D3 a = c.samples[(i + m - 1) % m].tangent, b = c.samples[(i + 1) % m].tangent;
        raw_k[i] = std::atan2(a.x * b.y - a.y * b.x, dot(a, b)) / (2 * c.step);
    }
    const int half = int(std::lround(3.0 / c.step));
    for (size_t i = 0; i < m; ++i) {
        double sum = 0;
        for (int d = -half; d <= half; ++d) sum += raw_k[(i + m + size_t(d + int(m))) % m];
        c.samples[i].curvature = sum / (2 * half + 1);
    }
    c.startS = kStartLineS;

    // Speed profile (in units per race-line segment): limited by the corner radius, then by
    // braking before and acceleration after each corner.
    std::vector<double> v(m);
    for (size_t i = 0; i < m; ++i) {
        const double r = 1.0 / std::max(1e-6, std::fabs(c.samples[i].curvature));
        v[i] = std::clamp(0.72 * std::sqrt(r), 2.5, 8.0);
    }
    const double accel = 0.22, brake = 0.50;  // change of v² per unit of distance
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 1; i <= m; ++i) {
            const size_t a = (i - 1) % m, b = i % m;
            v[b] = std::min(v[b], std::sqrt(v[a] * v[a] + 2 * accel * c.step));
        }
        for (size_t i = m; i-- > 0;) {
            const size_t a = (i + 1) % m, b = i;
            v[b] = std::min(v[b], std::sqrt(v[a] * v[a] + 2 * brake * c.step));
        }
    }
    // Time along the loop; the 233 points sit at equal times, starting at the start line.
    std::vector<double> tau(m + 1, 0.0);
    const size_t i0 = size_t(std::lround(c.startS / c.step)) % m;
    for (size_t i = 0; i < m; ++i) tau[i + 1] = tau[i] + c.step / v[(i0 + i) % m];
    c.pointS.resize(kRaceLinePoints);
    size_t j = 0;
    for (int p = 0; p < kRaceLinePoints; ++p) {
        const double target = tau[m] * p / kRaceLinePoints;
        while (j + 1 < m && tau[j + 1] < target) ++j;
        const double f = (target - tau[j]) / (tau[j + 1] - tau[j]);
        c.pointS[size_t(p)] = std::fmod(c.startS + (double(j) + f) * c.step, c.length);
    }
    return c;
}

std::vector<std::vector<uint8_t>> buildRaceLines(const Circuit& c) {
    std::vector<std::vector<uint8_t>> files;
    for (double offset : kLaneOffsets) {
        std::vector<uint8_t> bytes(size_t(kRaceLinePoints) * 16);
        for (int p = 0; p < kRaceLinePoints; ++p) {
            const CentreSample s = c.interpolate(c.pointS[size_t(p)]);
            const D3 pos = s.pos + s.left * offset;
            // Steering: a lock proportional to the curvature of this lane (the hairpin gives
            // about 24 degrees), stored negated as the loader expects.
            const double k = s.curvature / (1 - offset * s.curvature);
            const double steer = std::clamp(k * 312.0, -26.0, 26.0);
            const float rec[4] = {float(pos.x), float(pos.y), 0.0f, float(-steer)};
            std::memcpy(&bytes[size_t(p) * 16], rec, 16);
        }
        files.push_back(std::move(bytes));
    }
    return files;
}

double distanceToCentre(const Circuit& c, double x, double y) {
    double best = 1e30;
    for (const CentreSample& s : c.samples) {
        const double dx = s.pos.x - x, dy = s.pos.y - y;
        best = std::min(best, dx * dx + dy * dy);
    }
    return std::sqrt(best);
}

}  // namespace assetgen::world
