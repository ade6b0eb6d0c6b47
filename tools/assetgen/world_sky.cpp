// The sky: one function paints the sky seen in any world direction; the dome picture and the
// six reflection faces both sample it, so the cars reflect the sky the camera sees.
#include <algorithm>

#include "world_common.h"
#include "world_parts.h"

namespace assetgen::world {

namespace {

constexpr double kDomeRadius = 24.0;
constexpr double kDomeBottom = -20.0 * kPi / 180;  // the picture reaches below the horizon
// Below this elevation the picture is the plain ground colour (the blend into it ends here).
constexpr double kGroundBlend = 0.2;
// The circuit's ground reaches the horizon from every camera, so it covers the dome below this
// elevation (about 1.4° down: the ground's far edge sits well under a degree below the horizon).
constexpr double kLandHidesBelow = -0.025;

// Distant hills: height above the horizon (radians) by azimuth, periodic.
double hillHeight(double azimuth) {
    const double t = azimuth / (2 * kPi) * 24;
    const double n = periodicFbm(t, 0.5, 24, 4, 77);
    const double far = periodicFbm(t * 0.5 + 3.1, 1.5, 12, 3, 91);
    return (0.5 + 3.4 * n * n + 1.6 * far) * kPi / 180;
}

}  // namespace

D3 skyColour(D3 dir) {
    dir = normalize(dir);
    const double el = std::asin(std::clamp(dir.z, -1.0, 1.0));
    double az = std::atan2(dir.y, dir.x);
    if (az < 0) az += 2 * kPi;
    const D3 sun = sunDirection();
    const double cosSun = dot(dir, sun);

    // Gradient: pale hazy horizon to deep blue overhead.
    const double h = clamp01(el / (kPi / 2));
    const double t = std::pow(h, 0.45);
    D3 c = D3{0.80, 0.86, 0.92} * (1 - t) + D3{0.16, 0.36, 0.74} * t;
    // Warm brightening towards the sun, wide and narrow.
    const double glow = std::pow(std::max(0.0, cosSun), 8);
    const double halo = std::pow(std::max(0.0, cosSun), 180);
    c = c + D3{0.30, 0.24, 0.12} * (0.35 * glow) + D3{0.6, 0.55, 0.4} * halo;

    if (el > 0.005) {
        // Cumulus on a flat cloud layer: project the direction onto it.
        const double k = 1.0 / std::max(dir.z, 0.06);
        const double px = dir.x * k * 2.2, py = dir.y * k * 2.2;
        double n = fbm(px * 0.55 + 11, py * 0.55 - 7, 5, 4242);
        const double cover = smoothstep(0.54, 0.72, n);
        const double shade = clamp01((n - 0.54) * 3.0);
        const double fadeLow = smoothstep(0.02, 0.18, el);
        D3 cloud = D3{0.97, 0.96, 0.94} * (1 - 0.35 * shade) + D3{0.55, 0.58, 0.66} * (0.35 * shade);
        cloud = cloud + D3{0.15, 0.1, 0.03} * glow;
        const double a = cover * fadeLow * 0.92;
        c = c * (1 - a) + cloud * a;
    }
    // Distant hills with aerial haze, then hazy ground below them.
    const double hill = hillHeight(az);
    if (el < hill) {
        const double depth = clamp01((hill - el) / (4 * kPi / 180));
        const double tex = fbm(az * 40, el * 60, 3, 55);
        D3 land = D3{0.42, 0.52, 0.50} * (1 - 0.4 * depth) + D3{0.30, 0.42, 0.28} * (0.4 * depth);
        land = land * (0.9 + 0.2 * tex);
        const D3 haze{0.74, 0.80, 0.86};
        const double hz = 0.55 - 0.25 * depth;
        c = land * (1 - hz) + haze * hz;
    }
    if (el < 0) {
        const D3 ground{0.36, 0.44, 0.30};
        c = c * (1 - smoothstep(0, kGroundBlend, -el)) + ground * smoothstep(0, kGroundBlend, -el);
    }
    return {clamp01(c.x), clamp01(c.y), clamp01(c.z)};
}

void addSky(AssetSink& sink) {
    // Dome picture: u = azimuth / 2π (east = 0, counter-clockwise), rows from the zenith (top)
    // down to kDomeBottom (bottom).
    const int w = 2048, hgt = 1024;
    Picture pic(w, hgt);
    for (int y = 0; y < hgt; ++y) {
        const double v = 1.0 - (y + 0.5) / hgt;
        const double el = kDomeBottom + v * (kPi / 2 - kDomeBottom);
        for (int x = 0; x < w; ++x) {
            const double az = (x + 0.5) / w * 2 * kPi;
            const D3 d{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
            const D3 c = skyColour(d);
            pic.set(x, y, c.x, c.y, c.z);
        }
    }
    sink.addArchiveFile("textures\\skydome.jpg", toJpeg(pic, 88, true));

    // Dome mesh around the origin (the renderer moves it with the eye). The picture reaches
    // kDomeBottom, but the mesh starts at the last ring under kLandHidesBelow: lower down the
    // ground drawn over the dome would hide every pixel of it, and the frame clears to the
    // picture's ground colour besides, so nothing lower needs a textured fill of its own.
    SceneMesh dome;
    const int seg = 48, rings = 18;
    int firstRing = 0;
    while (kDomeBottom + double(firstRing + 1) / rings * (kPi / 2 - kDomeBottom) <= kLandHidesBelow) ++firstRing;
    for (int r = firstRing; r <= rings; ++r) {
        const double v = double(r) / rings;
        const double el = kDomeBottom + v * (kPi / 2 - kDomeBottom);
        for (int s = 0; s <= seg; ++s) {
            const double az = double(s) / seg * 2 * kPi;
            const D3 p = D3{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)} * kDomeRadius;
            dome.vertices.push_back(toV3(p));
            dome.uv0.push_back({float(double(s) / seg), float(v)});
        }
    }
    for (int r = 0; r < rings - firstRing; ++r)
        for (int s = 0; s < seg; ++s) {
            const uint32_t a = uint32_t(r * (seg + 1) + s), b = a + 1, c = a + uint32_t(seg + 1), d = c + 1;
            for (uint32_t i : {a, b, d, a, d, c}) {
                dome.faces.push_back(i);
                dome.uv0Faces.push_back(i);
                const V3 p = dome.vertices[i];
                // Seen from inside: normals point at the centre.
                dome.cornerNormals.push_back(toV3(normalize(D3{-p.x, -p.y, -p.z})));
            }
        }
    sink.addArchiveFile("meshes\\skydome.dat", writeSceneMesh(dome));

    // Reflection cube. The cars look the cube up with d = Rx(+90°)·r (r the world reflection
    // vector), so a face texel's direction d maps back to the world as (d.x, d.z, -d.y). Within a
    // face, GL's cube-map rules give (sc, tc); t = 0 is the picture's bottom row as decoded.
    struct Face {
        const char* name;
        int axis;  // 0 +X, 1 -X, 2 +Y, 3 -Y, 4 +Z, 5 -Z
    };
    const Face faces[] = {{"right", 0}, {"left", 1}, {"bottom", 2}, {"top", 3}, {"front", 4}, {"back", 5}};
    const int n = 512;
    for (const Face& f : faces) {
        Picture face(n, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const double sc = 2 * (x + 0.5) / n - 1;
                const double tc = 2 * (1 - (y + 0.5) / n) - 1;
                D3 d = cubeFaceDirection(f.axis, sc, tc);
                const D3 world{d.x, d.z, -d.y};
                const D3 c = skyColour(world);
                face.set(x, y, c.x, c.y, c.z);
            }
        sink.addArchiveFile(std::string("textures\\skybox_") + f.name + ".JPG", toJpeg(face, 85, false));
    }
}

D3 cubeFaceDirection(int axis, double sc, double tc) {
    // Inverse of GL's face selection: for face +X, sc = -rz/|rx|, tc = -ry/|rx|, and so on.
    switch (axis) {
        case 0: return normalize({1, -tc, -sc});
        case 1: return normalize({-1, -tc, sc});
        case 2: return normalize({sc, 1, tc});
        case 3: return normalize({sc, -1, -tc});
        case 4: return normalize({sc, -tc, 1});
        default: return normalize({-sc, -tc, -1});
    }
}

}  // namespace assetgen::world
