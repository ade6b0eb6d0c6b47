// Car pictures. Each picture is a function of a continuous position evaluated on a 3 × 3 grid
// per pixel (smooth edges on letters and stripes), plus seeded value noise so no surface is a
// flat fill. The livery is painted in car coordinates through the same mapping the body's
// texture coordinates use, so a number placed at y = 300 lands on the nose whatever the body.
#include "cars_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "cars_model.h"

namespace assetgen::cars {
namespace {

struct Rgb {
    float r = 0, g = 0, b = 0;
};
Rgb rgb(const uint8_t c[3]) { return {float(c[0]), float(c[1]), float(c[2])}; }
Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb scale(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }

// Deterministic value noise: hash of the integer lattice, smoothly interpolated.
float hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}
float valueNoise(float x, float y, int seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash(ix, iy, seed), b = hash(ix + 1, iy, seed), c = hash(ix, iy + 1, seed), d = hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

using Shader = std::function<Rgb(float x, float y)>;  // pixel coordinates, y down

// Paint texture: gentle large-scale variation and fine grain so flat panels do not look flat.
void addGrain(Picture& pic, float scale) {
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            float fx = static_cast<float>(x), fy = static_cast<float>(y);
            float n = 0.94f + 0.06f * valueNoise(fx / scale, fy / scale, 7) + 0.03f * (valueNoise(fx / 3.0f, fy / 3.0f, 9) - 0.5f);
            for (int ch = 0; ch < 3; ++ch) {
                uint8_t& b = pic.pixels[static_cast<size_t>((y * pic.width + x) * pic.channels + ch)];
                b = static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(b * n)), 0, 255));
            }
        }
}

// Evaluates shader on 3 × 3 sub-samples per pixel; alpha (RGBA pictures) from a second shader.
Picture render(int w, int h, const Shader& colour, const std::function<float(float, float)>& alpha = nullptr) {
    Picture p;
    p.width = w;
    p.height = h;
    p.channels = alpha ? 4 : 3;
    p.pixels.resize(static_cast<size_t>(w * h * p.channels));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb sum;
            float a = 0;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i) {
                    float sx = static_cast<float>(x) + (static_cast<float>(i) + 0.5f) / 3.0f;
                    float sy = static_cast<float>(y) + (static_cast<float>(j) + 0.5f) / 3.0f;
                    Rgb c = colour(sx, sy);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    if (alpha) a += alpha(sx, sy);
                }
            size_t o = static_cast<size_t>((y * w + x) * p.channels);
            auto byte = [](float v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
            p.pixels[o] = byte(sum.r / 9);
            p.pixels[o + 1] = byte(sum.g / 9);
            p.pixels[o + 2] = byte(sum.b / 9);
            if (alpha) p.pixels[o + 3] = byte(a / 9 * 255);
        }
    return p;
}

// 5 × 7 block letters.
struct Glyph {
    char c;
    const char* rows[7];
};
const Glyph kGlyphs[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ####", "#    ", "#    ", "#  ##", "#   #", "#   #", " ####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
    {'-', {"     ", "     ", "     ", " ### ", "     ", "     ", "     "}},
    {'.', {"     ", "     ", "     ", "     ", "     ", "     ", "  #  "}},
};

const Glyph* findGlyph(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.c == c) return &g;
    return nullptr;
}

// Text in a 2D plane: `a` runs along the reading direction, `b` upward. Strokes are the ink cells
// grown by a small margin with rounded corners, which reads bolder than bare cells.
struct Text {
    const char* s;
    float ca, cb, height;
    bool inside(float a, float b) const {
        size_t n = std::strlen(s);
        if (n == 0) return false;
        float unit = height / 7.0f;
        float width = (6.0f * static_cast<float>(n) - 1.0f);
        float x = (a - ca) / unit + width / 2, y = (cb - b) / unit + 3.5f;
        if (x < -0.5f || y < -0.5f || x > width + 0.5f || y > 7.5f) return false;
        int idx = static_cast<int>(std::floor((x + 0.5f) / 6.0f));
        if (idx < 0 || idx >= static_cast<int>(n)) return false;
        float gx = x - 6.0f * static_cast<float>(idx);
        char c = s[idx];
        for (int cy = static_cast<int>(std::floor(y)) - 1; cy <= static_cast<int>(std::floor(y)) + 1; ++cy)
            for (int cx = static_cast<int>(std::floor(gx)) - 1; cx <= static_cast<int>(std::floor(gx)) + 1; ++cx) {
                if (!glyphCell(c, cx, cy)) continue;
                float dx = std::max({0.0f, static_cast<float>(cx) - gx, gx - static_cast<float>(cx + 1)});
                float dy = std::max({0.0f, static_cast<float>(cy) - y, y - static_cast<float>(cy + 1)});
                if (dx * dx + dy * dy < 0.16f * 0.16f) return true;
            }
        return false;
    }
};

// Where each body carries its numbers and names (car mesh units).
struct LiveryPlaces {
    float noseY, noseNumberH;
    float coverY, coverZ, coverR;
    float podY, podZ, podH;
    float wingY, wingH;
    float plateY, plateZ, plateH;
    float frontWingY, frontWingH;
    float bandZ;  // side band height along the tub
};
LiveryPlaces placesFor(int body) {
    if (body == 1) return {372, 36, -60, 196, 32, -24, 52, 30, -415, 30, -413, 206, 20, 428, 20, 104};
    if (body == 2) return {300, 30, -140, 138, 28, 20, 64, 24, -400, 24, -398, 176, 20, 430, 20, 110};
    return {300, 32, -150, 142, 30, 20, 58, 26, -409, 26, -402, 182, 22, 428, 18, 106};
}

}  // namespace

bool glyphCell(char c, int cx, int cy) {
    if (cx < 0 || cx > 4 || cy < 0 || cy > 6) return false;
    const Glyph* g = findGlyph(c);
    return g && g->rows[cy][cx] == '#';
}

const std::vector<LiveryDesign>& liveryDesigns() {
    static const std::vector<LiveryDesign> kDesigns = {
        {"f", "body_f.jpg", "helmet.jpg", 0, {196, 22, 28}, {238, 236, 230}, {30, 32, 40}, "1",
         {"NORVEX", "KESTRA", "ZEN"}, 0},
        {"b", "body_b.jpg", "helmet2.jpg", 1, {34, 34, 40}, {212, 170, 62}, {236, 232, 220}, "2",
         {"OSTRAL", "TELVARA", "OST"}, 1},
        {"green", "green.jpg", "helm6.jpg", 2, {22, 96, 58}, {236, 200, 40}, {235, 235, 228}, "5",
         {"BRAVIK", "HALDEN", "BRV"}, 2},
        {"blue", "blue.jpg", "helm8.jpg", 2, {26, 66, 168}, {236, 236, 240}, {214, 36, 40}, "8",
         {"IRVANO", "VYNTA", "IRV"}, 0},
        {"orange", "orange.jpg", "helm3.jpg", 1, {238, 118, 22}, {22, 40, 92}, {240, 238, 230}, "11",
         {"CORVALE", "MIRAVO", "CRV"}, 3},
        {"yellow", "yellow.jpg", "helm4.jpg", 1, {242, 202, 34}, {28, 60, 150}, {30, 30, 34}, "14",
         {"SOLVANE", "QUILLO", "SLV"}, 1},
    };
    return kDesigns;
}

Picture paintLivery(const LiveryDesign& d) {
    const int size = 512;
    const LiveryPlaces p = placesFor(d.body);
    const Rgb main = rgb(d.main), second = rgb(d.second), third = rgb(d.third);
    const Rgb white{240, 240, 236}, ink{26, 26, 30};
    const Rgb carbon{46, 47, 52}, black{20, 20, 22}, metal{150, 150, 156}, red{200, 24, 24}, chrome{205, 205, 210};
    // Plain roundel for the number, readable from the chase and the side.
    auto roundel = [&](float a, float b, float ca, float cb, float r, const char* num, float h, Rgb& out) {
        float dd = (a - ca) * (a - ca) + (b - cb) * (b - cb);
        if (dd > r * r) return false;
        out = dd > (r - 3) * (r - 3) ? ink : white;
        if (Text{num, ca, cb, h}.inside(a, b)) out = ink;
        return true;
    };

    auto topView = [&](float x, float y) {
        Rgb c = main;
        float ax = std::fabs(x);
        switch (d.stripeStyle) {
            case 0:
                if (ax < 13) c = second;
                if (ax >= 13 && ax < 16) c = third;
                break;
            case 1:
                if (ax > 12 && ax < 20) c = second;
                break;
            case 2:
                if (y > 150 && y - 150 > ax * 2.2f) c = second;
                if (y > 150 && std::fabs(y - 150 - ax * 2.2f) < 6) c = third;
                break;
            default:
                if (ax < 9) c = second;
                break;
        }
        // Wings: second colour on the main planes, names across them.
        if (y < -360) {
            c = (ax > 100) ? main : second;
            if (Text{d.sponsors[1], 0, p.wingY, p.wingH}.inside(x, y)) c = main;
        }
        if (y > 405) {
            c = second;
            if (Text{d.sponsors[2], 110, p.frontWingY, p.frontWingH}.inside(x, y) ||
                Text{d.sponsors[2], -110, p.frontWingY, p.frontWingH}.inside(x, y))
                c = main;
            if (ax < 16) c = main;
        }
        Rgb out;
        if (roundel(x, y, 0, p.noseY, p.noseNumberH * 0.95f, d.number, p.noseNumberH, out)) c = out;
        return c;
    };

    auto sideView = [&](float y, float z, bool right) {
        float a = right ? y : -y;  // reading direction along the car from the viewer's side
        Rgb c = main;
        if (z < 22) c = scale(main, 0.55f);  // shadowed lower edge near the floor
        if (std::fabs(z - p.bandZ) < 7) c = second;
        if (std::fabs(z - p.bandZ) >= 7 && std::fabs(z - p.bandZ) < 9.5f) c = third;
        if (d.stripeStyle == 3 && y > -250 && y < 200 && std::fabs((z - 40) - (y + 250) * 0.12f) < 10) c = second;
        // Endplates and airbox sides.
        if (y < -355 && z > 90) {
            c = second;
            if (Text{d.sponsors[2], right ? p.plateY : -p.plateY, p.plateZ, p.plateH}.inside(a, z)) c = main;
            if (z > 250 || (z > 90 && z < 100)) c = main;
        }
        if (y > 405) {
            c = second;
            if (z < 20) c = main;
        }
        if (y > -300 && y < 200 && z > 22 && z < 100 && Text{d.sponsors[0], right ? p.podY : -p.podY, p.podZ, p.podH}.inside(a, z))
            c = white;
        Rgb out;
        if (roundel(a, z, right ? p.coverY : -p.coverY, p.coverZ, p.coverR, d.number, p.coverR * 1.05f, out)) c = out;
        // Small name on the nose side.
        if (Text{d.sponsors[1], right ? p.noseY - 40 : -(p.noseY - 40), (d.body == 1 ? 48.0f : 92.0f), 12}.inside(a, z))
            c = white;
        return c;
    };

    auto patch = [&](float u) {
        int i = std::clamp(static_cast<int>(u * kPatchCount), 0, kPatchCount - 1);
        switch (static_cast<Skin>(i)) {
            case Skin::Carbon: return carbon;
            case Skin::Black: return black;
            case Skin::Metal: return metal;
            case Skin::Accent: return second;
            case Skin::Red: return red;
            case Skin::Chrome: return chrome;
            default: return main;
        }
    };

    auto colour = [&](float px, float py) {
        float u = px / size, v = 1.0f - py / size;
        float y = kLiveryYMin + u * (kLiveryYMax - kLiveryYMin);
        if (v >= kTopV0) {
            float x = -kLiveryXHalf + (v - kTopV0) / (kTopV1 - kTopV0) * 2 * kLiveryXHalf;
            return topView(x, y);
        }
        if (v >= kPatchV0) return patch(u);
        if (v >= kRightV0) return sideView(y, (v - kRightV0) / (kRightV1 - kRightV0) * kLiverySideZMax, true);
        return sideView(y, (v - kLeftV0) / (kLeftV1 - kLeftV0) * kLiverySideZMax, false);
    };
    Picture pic = render(size, size, colour);
    addGrain(pic, 40.0f);
    return pic;
}

Picture paintHelmet(int design) {
    struct H {
        Rgb base, band, crown, stripe;
        int motif;  // 0 plain band, 1 stars, 2 chevrons, 3 halves, 4 ring crown, 5 arrow
    };
    const H kHelmets[6] = {
        {{238, 238, 232}, {200, 24, 30}, {200, 24, 30}, {30, 30, 36}, 0},
        {{214, 172, 60}, {30, 30, 36}, {30, 30, 36}, {236, 232, 220}, 1},
        {{240, 204, 40}, {22, 110, 60}, {22, 110, 60}, {236, 236, 230}, 2},
        {{28, 70, 180}, {238, 238, 240}, {214, 36, 40}, {238, 238, 240}, 5},
        {{240, 124, 24}, {238, 238, 232}, {22, 40, 92}, {22, 40, 92}, 3},
        {{206, 30, 36}, {244, 206, 36}, {244, 206, 36}, {238, 238, 232}, 4},
    };
    const H& h = kHelmets[std::clamp(design, 0, 5)];
    const int w = 256, hh = 128;
    const float latMin = -0.45f;
    auto colour = [&](float px, float py) {
        float u = px / w, v = 1.0f - py / hh;
        float a = (u - 0.5f) * 2 * kPiF;                        // 0 = straight ahead
        float lat = latMin + (v - 0.02f) / 0.96f * (kPiF / 2 - latMin);  // radians
        Rgb c = h.base;
        float aa = std::fabs(a);
        switch (h.motif) {
            case 0:
                if (std::fabs(lat - 0.55f) < 0.12f) c = h.band;
                if (aa < 0.12f && lat > 0.4f) c = h.stripe;
                break;
            case 1: {
                if (lat > 1.15f) c = h.crown;
                for (int k = 0; k < 5; ++k) {
                    float sa = -2.4f + k * 1.2f, sl = 0.6f;
                    float da = (a - sa) * std::cos(sl), dl = lat - sl;
                    float ang = std::atan2(dl, da), r = std::sqrt(da * da + dl * dl);
                    float star = 0.26f * (0.55f + 0.45f * std::cos(5 * ang));
                    if (r < star) c = h.stripe;
                }
                break;
            }
            case 2:
                if (std::fabs(lat - (0.9f - aa * 0.35f)) < 0.1f) c = h.band;
                if (std::fabs(lat - (0.6f - aa * 0.35f)) < 0.07f) c = h.band;
                break;
            case 3:
                if (a > 0.15f) c = h.band;
                if (std::fabs(a - 0.15f) < 0.08f || std::fabs(a + kPiF - 0.15f) < 0.08f) c = h.stripe;
                break;
            case 4:
                if (lat > 1.0f) c = h.crown;
                if (std::fabs(lat - 1.0f) < 0.06f) c = h.stripe;
                if (std::fabs(lat - 0.3f) < 0.06f) c = h.band;
                break;
            default:
                if (lat > 1.2f) c = h.crown;
                if (lat > 0.35f && std::fabs(aa - (lat - 0.35f) * 0.9f) < 0.12f) c = h.stripe;
                break;
        }
        // Visor opening at the front, a dark tinted band; chin bar below it in the base colour.
        if (aa < 0.95f && lat > -0.05f && lat < 0.38f) {
            float edge = std::min({0.95f - aa, lat + 0.05f, 0.38f - lat});
            c = edge < 0.04f ? Rgb{70, 70, 76} : mix(Rgb{18, 22, 34}, Rgb{60, 80, 110}, std::clamp((lat + 0.05f) / 0.43f, 0.0f, 1.0f));
        }
        if (lat < -0.38f) c = Rgb{30, 30, 34};  // neck padding
        return c;
    };
    Picture pic = render(w, hh, colour);
    addGrain(pic, 20.0f);
    return pic;
}

Picture paintTyre() {
    const int s = 256;
    auto colour = [&](float px, float py) {
        float v = 1.0f - py / s;
        float grain = 0.9f + 0.1f * valueNoise(px / 4, py / 4, 3);
        Rgb rubber = scale(Rgb{36, 36, 38}, grain);
        if (v >= 0.5f) {  // tread: four grooves round the tyre and a worn, lighter centre
            float across = (v - 0.5f) / 0.5f;
            Rgb c = mix(rubber, scale(Rgb{52, 50, 50}, grain), 0.5f - 0.5f * std::cos(across * 2 * kPiF));
            for (float g : {0.2f, 0.4f, 0.6f, 0.8f})
                if (std::fabs(across - g) < 0.025f) c = Rgb{16, 16, 17};
            return c;
        }
        if (v >= 0.25f) {  // sidewall: brand name twice round, a coloured ring near the rim
            float r = (v - 0.25f) / 0.25f;  // 0 at the bead, 1 at the shoulder
            Rgb c = rubber;
            if (std::fabs(r - 0.22f) < 0.035f) c = Rgb{236, 200, 40};
            // letters in sidewall space: a along u (pixels), b up the strip (pixels)
            float a = px, b = (v - 0.25f) * s;
            for (float cu : {0.25f, 0.75f})
                if (Text{"GRIPTON", cu * s, 0.58f * 64, 18}.inside(a, b)) c = Rgb{226, 226, 222};
            return c;
        }
        return scale(Rgb{64, 64, 70}, grain);  // hub and barrel behind the spokes
    };
    return render(s, s, colour);
}

Picture paintRim() {
    const int s = 128;
    auto geom = [&](float px, float py, float& r, float& ang) {
        float x = (px - s / 2.0f) / (s / 2.0f), y = (py - s / 2.0f) / (s / 2.0f);
        r = std::sqrt(x * x + y * y);
        ang = std::atan2(y, x);
    };
    auto opaque = [&](float px, float py) {
        float r, ang;
        geom(px, py, r, ang);
        if (r > 1.0f) return 0.0f;
        if (r > 0.84f || r < 0.3f) return 1.0f;
        // Six spokes, wider at the hub.
        float sector = std::fmod(ang + 2 * kPiF, 2 * kPiF / 6) - kPiF / 6;
        float halfWidth = 0.16f + 0.12f * (1 - r);
        return std::fabs(sector) * r < halfWidth * 0.55f ? 1.0f : 0.0f;
    };
    auto colour = [&](float px, float py) {
        float r, ang;
        geom(px, py, r, ang);
        Rgb c = mix(Rgb{120, 122, 130}, Rgb{200, 202, 208}, 0.5f + 0.5f * std::cos(ang - 0.8f));
        if (r > 0.93f) c = Rgb{70, 70, 76};
        if (r < 0.12f) c = Rgb{210, 170, 50};  // centre lock nut
        return c;
    };
    return render(s, s, colour, opaque);
}

Picture paintChrome() {
    const int s = 128;
    auto colour = [&](float px, float py) {
        float x = (px - s / 2.0f) / (s / 2.0f), y = -(py - s / 2.0f) / (s / 2.0f);
        float rr = x * x + y * y;
        if (rr > 1) return Rgb{60, 70, 80};
        float nz = std::sqrt(1 - rr);
        // reflection of the view direction (0, 0, −1) about the normal (x, y, nz) in eye space
        float ry = 2 * nz * y;
        float rx = 2 * nz * x;
        Rgb sky = mix(Rgb{150, 170, 190}, Rgb{70, 110, 170}, std::clamp(ry, 0.0f, 1.0f));
        Rgb ground = mix(Rgb{90, 92, 84}, Rgb{50, 56, 46}, std::clamp(-ry, 0.0f, 1.0f));
        Rgb c = ry > 0 ? sky : ground;
        float sun = std::exp(-((rx - 0.45f) * (rx - 0.45f) + (ry - 0.55f) * (ry - 0.55f)) / 0.02f);
        return mix(c, Rgb{250, 246, 230}, sun);
    };
    return render(s, s, colour);
}

Picture paintShineMask() {
    const int w = 128, h = 64;
    const float latMin = -0.45f;
    auto colour = [&](float px, float py) {
        float u = px / w, v = 1.0f - py / h;
        float a = std::fabs((u - 0.5f) * 2 * kPiF), lat = latMin + (v - 0.02f) / 0.96f * (kPiF / 2 - latMin);
        float level = 110;
        if (a < 0.95f && lat > -0.05f && lat < 0.38f) level = 240;  // the visor shines most
        if (lat < -0.38f) level = 20;
        return Rgb{level, level, level};
    };
    return render(w, h, colour);
}

Picture paintIllumination() {
    const int s = 256;
    // Tileable soft light: a few integer-frequency waves, mostly bright so it never muddies paint.
    auto colour = [&](float px, float py) {
        float x = px / s * 2 * kPiF, y = py / s * 2 * kPiF;
        float v = 0.5f + 0.22f * std::sin(x + 2 * y) + 0.18f * std::sin(3 * x - y + 1.3f) + 0.1f * std::sin(2 * x + 3 * y + 0.4f);
        float level = 196 + 59 * std::clamp(v, 0.0f, 1.0f);
        return Rgb{level, level, level * 0.98f};
    };
    return render(s, s, colour);
}

Picture paintShadow() {
    const int s = 128;
    auto colour = [](float, float) { return Rgb{12, 12, 14}; };
    auto alpha = [&](float px, float py) {
        float x = std::fabs(px / s * 2 - 1), y = std::fabs(py / s * 2 - 1);
        // rounded rectangle, soft edge
        float dx = std::max(0.0f, x - 0.45f), dy = std::max(0.0f, y - 0.6f);
        float d = std::sqrt(dx * dx + dy * dy) / 0.45f;
        float core = std::clamp(1.0f - d, 0.0f, 1.0f);
        return 0.62f * core * core * (3 - 2 * core);
    };
    return render(s, s, colour, alpha);
}

}  // namespace assetgen::cars
