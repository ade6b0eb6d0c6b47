// Every picture the world's techniques name, painted from noise and our own lettering. Tiling
// textures use periodic noise so that their repeat has no seam.
#include <algorithm>

#include "world_parts.h"

namespace assetgen::world {

namespace {

const char* const kBrands[8] = {"VOLTARA", "KESTREL", "NORDWIND", "APEXOIL", "QUASAR", "MERIDIAN", "ZENTRO", "BLUEFIN"};
const double kBrandColours[8][2][3] = {
    {{0.85, 0.12, 0.10}, {1.0, 0.95, 0.9}}, {{0.08, 0.20, 0.55}, {1.0, 0.85, 0.10}},
    {{0.95, 0.95, 0.92}, {0.10, 0.35, 0.70}}, {{0.10, 0.10, 0.12}, {1.0, 0.55, 0.05}},
    {{0.45, 0.10, 0.55}, {0.95, 0.95, 0.95}}, {{0.05, 0.45, 0.25}, {1.0, 1.0, 0.95}},
    {{1.0, 0.80, 0.05}, {0.10, 0.10, 0.12}}, {{0.10, 0.55, 0.80}, {1.0, 1.0, 1.0}},
};

void fill(Picture& p, int x0, int y0, int x1, int y1, const double c[3]) {
    for (int y = std::max(0, y0); y < std::min(p.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(p.width, x1); ++x) p.set(x, y, c[0], c[1], c[2]);
}

// Multiplies every pixel by a gentle noise so no surface is a flat fill.
void grain(Picture& p, double amount, double scale, uint32_t seed, int period = 0) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double n = period > 0 ? periodicFbm(x / scale, y / scale, period, 3, seed)
                                        : fbm(x / scale, y / scale, 3, seed);
            const double f = 1 + amount * (n - 0.5) * 2;
            double* d = p.at(x, y);
            for (int c = 0; c < 3; ++c) d[c] *= f;
        }
}

Picture grass() {
    // 48 world units per repeat: eight mown stripes in two greens.
    const int n = 512;
    Picture p(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double stripe = (x * 8 / n) % 2 == 0 ? 1.0 : 0.0;
            const double fine = periodicFbm(x / 4.0, y / 4.0, 128, 4, 11);
            const double broad = periodicFbm(x / 64.0, y / 64.0, 8, 3, 12);
            const double l = 0.82 + 0.22 * fine + 0.12 * (broad - 0.5) + 0.08 * stripe;
            p.set(x, y, 0.26 * l, 0.46 * l, 0.17 * l);
        }
    return p;
}

Picture gravel() {
    const int n = 256;
    Picture p(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double a = hashUnit(x, y, 31), b = periodicFbm(x / 3.0, y / 3.0, 85, 2, 32);
            const double l = 0.78 + 0.25 * a * b + 0.1 * periodicFbm(x / 32.0, y / 32.0, 8, 2, 33);
            p.set(x, y, 0.80 * l, 0.70 * l, 0.52 * l);
        }
    return p;
}

double asphalt(int x, int y, int period) {
    const double g = hashUnit(x, y, 41);
    const double n = periodicFbm(x / 6.0, y / 6.0, period, 3, 42);
    return 0.40 + 0.08 * g + 0.08 * (n - 0.5);
}

Picture road() {
    // Across (u) the full road width, along (v) 8 units: white edge lines near both edges.
    const int w = 256, h = 512;
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double l = asphalt(x, y, 42);
            const double u = (x + 0.5) / w;
            if ((u > 0.035 && u < 0.075) || (u > 0.925 && u < 0.965)) l = 0.86 + 0.06 * hashUnit(x, y, 43);
            p.set(x, y, l, l * 1.0, l * 1.03);
        }
    return p;
}

Picture roadDetail() {
    // Multiplied over the road: a darker rubbered band, faint skid marks and patches.
    const int w = 256, h = 512;
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            double m = 1.0;
            m -= 0.16 * std::exp(-std::pow((u - 0.5) / 0.16, 2));
            const double streak = periodicFbm(x / 2.0, y / 40.0, 12, 2, 51);
            m -= 0.10 * smoothstep(0.62, 0.8, streak);
            const double patch = periodicFbm(x / 30.0, y / 30.0, 8, 2, 52);
            if (patch > 0.66) m -= 0.07;
            p.set(x, y, m, m, m);
        }
    return p;
}

// The road's rubbered line, skid marks and patches multiplied into a surface picture that is
// mapped like the road (u across, v along, repeating with v): one textured pass instead of a
// second, blended one over the same meshes. Rows run from v = 1 at the top, as in every picture.
Picture withRoadDetail(Picture p) {
    Picture detail = roadDetail();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            // The detail texel at the same (u, v), bilinear.
            const double dx = (x + 0.5) * detail.width / p.width - 0.5;
            const double dy = (y + 0.5) * detail.height / p.height - 0.5;
            const int x0 = int(std::floor(dx)), y0 = int(std::floor(dy));
            const double fx = dx - x0, fy = dy - y0;
            auto at = [&](int xx, int yy) {
                return detail.at((xx + detail.width) % detail.width, (yy + detail.height) % detail.height)[0];
            };
            const double m = (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
                             (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
            double* c = p.at(x, y);
            p.set(x, y, c[0] * m, c[1] * m, c[2] * m);
        }
    return p;
}

Picture start() {
    // The start area: 24 units along (v), grid slots behind the line at v = 14/24.
    const int w = 256, h = 1024;
    Picture p(w, h);
    const double lineV = 14.0 / 24.0;
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        const double along = v * 24;
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            double l = asphalt(x, y, 42);
            double r = l, g = l, b = l * 1.03;
            if ((u > 0.035 && u < 0.075) || (u > 0.925 && u < 0.965)) r = g = b = 0.88;
            // Chequered start/finish line.
            if (std::fabs(v - lineV) < 0.35 / 24) {
                const int cu = int(u * 16), cv = int((v - lineV + 0.35 / 24) * 24 / 0.35);
                r = g = b = ((cu + cv) % 2 == 0) ? 0.92 : 0.12;
            }
            // Grid boxes: staggered, open towards the line.
            for (int k = 0; k < 4; ++k) {
                const double front = 14.0 - 2.0 - k * 3.0;
                const double cu = (k % 2 == 0) ? 0.3 : 0.7;
                const bool inU = std::fabs(u - cu) < 0.16 && std::fabs(u - cu) > 0.13;
                const bool bar = std::fabs(along - front) < 0.06 && std::fabs(u - cu) < 0.16;
                const bool side = inU && along < front && along > front - 1.0;
                if (bar || side) r = g = b = 0.88;
            }
            p.set(x, y, r, g, b);
        }
    }
    return p;
}

Picture kerb() {
    // u across (road edge at 0), v along 1.6 units: one red and one white block with a shadow
    // line at the road edge.
    const int w = 64, h = 128;
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool red = y < h / 2;
            const double n = 0.92 + 0.08 * periodicFbm(x / 4.0, y / 4.0, 16, 2, 61);
            double r = red ? 0.80 : 0.93, g = red ? 0.12 : 0.92, b = red ? 0.10 : 0.90;
            const double edge = x < 4 ? 0.75 : 1.0;
            p.set(x, y, r * n * edge, g * n * edge, b * n * edge);
        }
    return p;
}

Picture barrier() {
    // u along (6 units per repeat), v up the wall: concrete with a painted band and a brand.
    const int w = 512, h = 64;
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double n = 0.85 + 0.15 * periodicFbm(x / 8.0, y / 8.0, 64, 3, 71);
            double r = 0.86 * n, g = 0.86 * n, b = 0.84 * n;
            const double v = 1 - (y + 0.5) / h;
            if (v < 0.12) r *= 0.7, g *= 0.7, b *= 0.7;  // grime at the foot
            if (v > 0.78 && v < 0.9) {
                const bool red = (x / 32) % 2 == 0;
                r = red ? 0.78 : 0.9, g = red ? 0.12 : 0.9, b = red ? 0.1 : 0.9;
            }
            p.set(x, y, r, g, b);
        }
    const double blue[3] = {0.12, 0.22, 0.55};
    fill(p, 180, 18, 332, 46, blue);
    const double white[3] = {0.95, 0.95, 0.95};
    drawText(p, "KESTREL", 256, 32, 3, white);
    return p;
}

Picture tyres() {
    // One stacked tyre column per 0.6 units: black rubber with a coloured front strap.
    const int w = 64, h = 64;
    Picture p(w, h);
    const double straps[3][3] = {{0.85, 0.1, 0.1}, {0.95, 0.95, 0.95}, {0.1, 0.3, 0.75}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = (y % 16) / 16.0;
            const double round = 0.5 + 0.5 * std::sin(v * kPi);
            double l = 0.10 + 0.08 * round + 0.03 * hashUnit(x, y, 81);
            double r = l, g = l, b = l;
            if (y >= 24 && y < 40) {
                const double* s = straps[(x / 22) % 3];
                r = s[0] * 0.9, g = s[1] * 0.9, b = s[2] * 0.9;
            }
            const double edge = (x % 32 < 2) ? 0.6 : 1.0;
            p.set(x, y, r * edge, g * edge, b * edge);
        }
    return p;
}

Picture boards() {
    // Eight brands, one band each (band 0 at the bottom of the picture = v 0 … 1/8).
    const int w = 512, h = 512, band = h / 8;
    Picture p(w, h);
    for (int i = 0; i < 8; ++i) {
        const int y0 = h - (i + 1) * band;
        const double* bg = kBrandColours[i][0];
        const double* fg = kBrandColours[i][1];
        fill(p, 0, y0, w, y0 + band, bg);
        // A contrasting stripe and the name, bold. The longest name (eight letters) starts at
        // x = 155, right of the plain strip kBoardBackU0 … kBoardBackU1 that the boards' backs use.
        fill(p, 0, y0 + band - 10, w, y0 + band - 6, fg);
        fill(p, 0, y0 + 4, 40, y0 + band - 14, fg);
        drawText(p, kBrands[i], w / 2 + 16, y0 + band / 2 - 4, 5, fg);
    }
    grain(p, 0.05, 16, 91);
    return p;
}

Picture stand() {
    // Four colour schemes (bands of 0.25 in v, band 0 at the bottom). In each: concrete at
    // 0.005–0.015, riser 0.02–0.12 and tread 0.12–0.23 with seated spectators; roof 0.985–0.995.
    const int w = 512, h = 1024;
    Picture p(w, h);
    const double seats[4][3] = {{0.75, 0.12, 0.12}, {0.12, 0.28, 0.70}, {0.95, 0.70, 0.08}, {0.10, 0.55, 0.30}};
    const double shirts[6][3] = {{0.9, 0.9, 0.9}, {0.85, 0.15, 0.1}, {0.15, 0.3, 0.8}, {0.95, 0.8, 0.2},
                                 {0.2, 0.2, 0.22}, {0.2, 0.6, 0.3}};
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        const int bandIndex = std::min(3, int(v * 4));
        const double bv = v - bandIndex * 0.25;
        for (int x = 0; x < w; ++x) {
            double r, g, b;
            const double n = 0.85 + 0.15 * fbm(x / 6.0, y / 6.0, 2, 101);
            if (v > 0.98) {
                r = 0.62 * n, g = 0.64 * n, b = 0.68 * n;  // roof sheet
            } else if (bv < 0.018) {
                r = 0.66 * n, g = 0.65 * n, b = 0.62 * n;  // concrete
            } else {
                const double* s = seats[bandIndex];
                r = s[0] * n, g = s[1] * n, b = s[2] * n;
                // Spectators: blobs on a grid of seats, some empty.
                const int cx = x / 10, cy = int(bv * h / 12);
                const double fx = (x % 10) / 10.0 - 0.5, fy = std::fmod(bv * h, 12.0) / 12.0 - 0.5;
                if (hashUnit(cx, cy + bandIndex * 977, 103) < 0.82) {
                    const double* sh = shirts[hash32(uint32_t(cx * 31 + cy * 7 + bandIndex)) % 6];
                    if (fx * fx + fy * fy * 0.6 < 0.16) {
                        r = sh[0] * n, g = sh[1] * n, b = sh[2] * n;
                        if (fy > 0.12) r = 0.85 * n, g = 0.66 * n, b = 0.52 * n;  // faces
                    }
                }
            }
            p.set(x, y, r, g, b);
        }
    }
    return p;
}

Picture pits() {
    // Lower half: a row of garage doors (one per 4 units); upper: wall with windows; top: roof.
    const int w = 256, h = 512;
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double n = 0.9 + 0.1 * periodicFbm(x / 8.0, y / 8.0, 32, 2, 111);
            double r = 0.85 * n, g = 0.86 * n, b = 0.88 * n;
            if (v < 0.5) {
                const double dv = v / 0.5;
                if (u > 0.08 && u < 0.92 && dv < 0.62) {
                    const double slat = (int(dv * 40) % 2) ? 0.95 : 0.85;
                    r = 0.55 * slat, g = 0.58 * slat, b = 0.62 * slat;  // roller door
                } else if (dv > 0.72 && dv < 0.9) {
                    r = 0.85, g = 0.1, b = 0.1;  // team band
                }
            } else if (v < 0.9) {
                const double dv = (v - 0.5) / 0.4;
                if (dv > 0.3 && dv < 0.8 && std::fmod(u * 4, 1.0) > 0.1 && std::fmod(u * 4, 1.0) < 0.9) {
                    r = 0.25 + 0.2 * dv, g = 0.38 + 0.2 * dv, b = 0.5 + 0.2 * dv;  // glass
                }
            } else {
                r = 0.45 * n, g = 0.46 * n, b = 0.48 * n;
            }
            p.set(x, y, r, g, b);
        }
    }
    return p;
}

Picture bridge() {
    // v 0–0.5 banner (both faces, u across the whole span), 0.55–0.6 deck, 0.62–0.66 railing,
    // 0.7–0.98 stair towers.
    const int w = 512, h = 256;
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        for (int x = 0; x < w; ++x) {
            const double n = 0.88 + 0.12 * fbm(x / 8.0, y / 8.0, 2, 121);
            double r = 0.7 * n, g = 0.72 * n, b = 0.75 * n;
            if (v < 0.5) r = 0.95 * n, g = 0.75 * n, b = 0.05;
            else if (v > 0.62 && v < 0.66) r = g = b = 0.35 * n;
            else if (v >= 0.7) r = 0.66 * n, g = 0.64 * n, b = 0.60 * n;
            p.set(x, y, r, g, b);
        }
    }
    const double dark[3] = {0.1, 0.1, 0.12};
    drawText(p, "ZENTRO", w / 2, h * 3 / 4, 11, dark);
    return p;
}

Picture gantry() {
    // v 0–0.5 the light beam (dark, five red lights and the word START), 0.55–0.58 top, posts.
    const int w = 512, h = 128;
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        for (int x = 0; x < w; ++x) {
            const double n = 0.9 + 0.1 * fbm(x / 6.0, y / 6.0, 2, 131);
            double r = 0.16 * n, g = 0.17 * n, b = 0.2 * n;
            if (v > 0.5) r = 0.7 * n, g = 0.7 * n, b = 0.72 * n;
            p.set(x, y, r, g, b);
        }
    }
    for (int i = 0; i < 5; ++i) {
        const int cx = 150 + i * 50, cy = 128 - 40;
        for (int y = -12; y <= 12; ++y)
            for (int x = -12; x <= 12; ++x)
                if (x * x + y * y <= 121) p.set(cx + x, cy + y, 0.95, 0.12 + 0.05 * (x * x + y * y < 30), 0.08);
    }
    const double white[3] = {0.95, 0.95, 0.95};
    drawText(p, "START", 64, 128 - 40, 3, white);
    drawText(p, "START", 448, 128 - 40, 3, white);
    return p;
}

Picture speaker() {
    const int n = 64;
    Picture p(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double l = 0.35 + 0.2 * (x / double(n)) + 0.05 * hashUnit(x, y, 141);
            p.set(x, y, l, l, l * 1.05);
        }
    return p;
}

Picture brakeBoards() {
    // Three bands, bottom to top: 100, 200, 300 (white digits on blue, red border).
    const int w = 128, h = 384;
    Picture p(w, h);
    const char* labels[3] = {"100", "200", "300"};
    for (int i = 0; i < 3; ++i) {
        const int y0 = h - (i + 1) * 128;
        const double red[3] = {0.85, 0.1, 0.1}, blue[3] = {0.1, 0.2, 0.6}, white[3] = {0.96, 0.96, 0.96};
        fill(p, 0, y0, w, y0 + 128, red);
        fill(p, 8, y0 + 8, w - 8, y0 + 120, blue);
        drawText(p, labels[i], w / 2, y0 + 64, 5, white);
    }
    return p;
}

Picture tree() {
    // Two kinds side by side (u 0–0.5 a broad deciduous crown, 0.5–1 a conifer); alpha cut-out.
    const int w = 512, h = 512;
    Picture p(w, h, 4);
    for (int y = 0; y < h; ++y) {
        const double v = 1 - (y + 0.5) / h;
        for (int x = 0; x < w; ++x) {
            const int kind = x < w / 2 ? 0 : 1;
            const double u = (x % (w / 2) + 0.5) / (w / 2) * 2 - 1;  // -1 … 1 across the card
            double a = 0, r = 0, g = 0, b = 0;
            const double leaf = fbm(x / 5.0, y / 5.0, 3, 151 + kind);
            // Trunk.
            if (std::fabs(u) < 0.06 && v < 0.45) {
                a = 1;
                r = 0.30, g = 0.22, b = 0.15;
            }
            double inside;
            if (kind == 0) {
                const double cy = 0.62, ry = 0.36, rx = 0.92;
                const double d = (u * u) / (rx * rx) + (v - cy) * (v - cy) / (ry * ry);
                inside = 1.0 - d + 0.55 * (leaf - 0.5);
            } else {
                const double half = 0.85 * (1 - (v - 0.12) / 0.86);
                inside = (v > 0.1 && v < 0.98) ? (half - std::fabs(u)) * 2.5 + 0.55 * (leaf - 0.5) : -1;
            }
            if (inside > 0) {
                a = 1;
                const double shade = 0.55 + 0.45 * clamp01(v + 0.25 * (leaf - 0.5) + 0.2 * u);
                const double hue = fbm(x / 40.0, y / 40.0, 2, 161);
                r = (0.12 + 0.08 * hue) * shade;
                g = (0.30 + 0.12 * hue) * shade * (kind ? 0.9 : 1.0);
                b = (0.10 + 0.04 * hue) * shade;
            }
            p.set(x, y, r, g, b, a);
        }
    }
    return p;
}

}  // namespace

void addTextures(AssetSink& sink) {
    sink.addArchiveFile("textures\\grass.jpg", toJpeg(grass(), 85, true));
    sink.addArchiveFile("textures\\gravel.jpg", toJpeg(gravel(), 85, false));
    sink.addArchiveFile("textures\\road.jpg", toJpeg(withRoadDetail(road()), 88, true));
    sink.addArchiveFile("textures\\start.jpg", toJpeg(withRoadDetail(start()), 88, false));
    sink.addArchiveFile("textures\\kerb.jpg", toJpeg(kerb(), 90, false));
    sink.addArchiveFile("textures\\barrier.jpg", toJpeg(barrier(), 88, true));
    sink.addArchiveFile("textures\\tyres.jpg", toJpeg(tyres(), 88, false));
    sink.addArchiveFile("textures\\boards.jpg", toJpeg(boards(), 90, true));
    sink.addArchiveFile("textures\\stand.jpg", toJpeg(stand(), 85, true));
    sink.addArchiveFile("textures\\pits.jpg", toJpeg(pits(), 85, false));
    sink.addArchiveFile("textures\\bridge.jpg", toJpeg(bridge(), 88, false));
    sink.addArchiveFile("textures\\gantry.jpg", toJpeg(gantry(), 88, false));
    sink.addArchiveFile("textures\\speaker.jpg", toJpeg(speaker(), 85, false));
    sink.addArchiveFile("textures\\brakeboards.jpg", toJpeg(brakeBoards(), 90, false));
    sink.addArchiveFile("textures\\tree.tga", toTga(tree()));
}

}  // namespace assetgen::world
