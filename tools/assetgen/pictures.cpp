// The flat pictures: sun and lens-flare sprites, the digit font of the clock overlay, the
// loading screen's title card and corner pieces, the dialog and preview bitmaps and the icon.
// Everything is painted here from shapes and our own stroke glyphs; no font or picture from
// elsewhere. Painting is plain arithmetic over the pixels, so the bytes never vary.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assetgen.h"

namespace assetgen {

namespace {

struct Pt {
    float x = 0, y = 0;
};

struct Colour {
    float r = 0, g = 0, b = 0;
};

Colour operator*(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Colour mix(Colour a, Colour b, float t) { return a * (1 - t) + b * t; }

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Integer hash noise: the same pixel always gets the same grain.
float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFF) / 65535.0f;
}

// Smooth value noise at a given cell size, 0..1.
float valueNoise(float x, float y, float cell, uint32_t seed) {
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = fx - float(ix), ty = fy - float(iy);
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    float c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
}

// An RGB picture in floats, top row first, painted by blending shapes over it.
class Canvas {
public:
    Canvas(int width, int height, Colour fill = {}) : w(width), h(height), px_(size_t(width) * size_t(height), fill) {}

    Colour& at(int x, int y) { return px_[size_t(y) * size_t(w) + size_t(x)]; }
    void blend(int x, int y, Colour c, float alpha) {
        if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0) return;
        Colour& p = at(x, y);
        p = mix(p, c, clamp01(alpha));
    }
    void add(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        Colour& p = at(x, y);
        p = p + c;
    }

    std::vector<uint8_t> rgb() const {
        std::vector<uint8_t> out;
        out.reserve(px_.size() * 3);
        for (const Colour& c : px_) {
            out.push_back(toByte(c.r));
            out.push_back(toByte(c.g));
            out.push_back(toByte(c.b));
        }
        return out;
    }

    static uint8_t toByte(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

    const int w, h;

private:
    std::vector<Colour> px_;
};

float segmentDistance(Pt p, Pt a, Pt b) {
    float vx = b.x - a.x, vy = b.y - a.y;
    float wx = p.x - a.x, wy = p.y - a.y;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? clamp01((wx * vx + wy * vy) / len2) : 0;
    float dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

struct Segment {
    Pt a, b;
};

// Round-capped strokes of half width hw (pixels), antialiased by distance.
void drawStrokes(Canvas& canvas, const std::vector<Segment>& segments, float hw, Colour colour, float opacity = 1) {
    if (segments.empty()) return;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Segment& s : segments) {
        x0 = std::min({x0, s.a.x, s.b.x});
        y0 = std::min({y0, s.a.y, s.b.y});
        x1 = std::max({x1, s.a.x, s.b.x});
        y1 = std::max({y1, s.a.y, s.b.y});
    }
    int ix0 = std::max(0, int(std::floor(x0 - hw - 2))), iy0 = std::max(0, int(std::floor(y0 - hw - 2)));
    int ix1 = std::min(canvas.w - 1, int(std::ceil(x1 + hw + 2)));
    int iy1 = std::min(canvas.h - 1, int(std::ceil(y1 + hw + 2)));
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            Pt p{float(x) + 0.5f, float(y) + 0.5f};
            float d = 1e9f;
            for (const Segment& s : segments) d = std::min(d, segmentDistance(p, s.a, s.b));
            float coverage = clamp01(hw + 0.5f - d);
            if (coverage > 0) canvas.blend(x, y, colour, coverage * opacity);
        }
    }
}

bool insidePolygon(const std::vector<Pt>& poly, float x, float y) {
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt& a = poly[i];
        const Pt& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

// Polygon fill with 4 x 4 samples per pixel; the colour may vary per pixel.
template <typename ColourAt>
void fillPolygon(Canvas& canvas, const std::vector<Pt>& poly, ColourAt colourAt, float opacity = 1) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Pt& p : poly) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    int ix1 = std::min(canvas.w - 1, int(std::ceil(x1))), iy1 = std::min(canvas.h - 1, int(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (insidePolygon(poly, float(x) + (float(sx) + 0.5f) / 4, float(y) + (float(sy) + 0.5f) / 4)) ++hits;
            if (hits) canvas.blend(x, y, colourAt(x, y), opacity * float(hits) / 16.0f);
        }
    }
}

void fillPolygon(Canvas& canvas, const std::vector<Pt>& poly, Colour colour, float opacity = 1) {
    fillPolygon(canvas, poly, [colour](int, int) { return colour; }, opacity);
}

// ---------------------------------------------------------------------------------------------
// Our own stroke glyphs. Coordinates are in a glyph box with y up; a Glyph is a set of
// polylines, placed with a transform into pixels.

using Polyline = std::vector<Pt>;
using Glyph = std::vector<Polyline>;

struct Placement {
    float originX, originY;  // pixel position of the glyph box's (0, 0), y down in pixels
    float scaleX, scaleY;    // pixels per glyph unit
    float shear = 0;         // italic lean: x moves right by shear · y
    Pt map(Pt p) const { return {originX + (p.x + shear * p.y) * scaleX, originY - p.y * scaleY}; }
};

void addGlyph(std::vector<Segment>& out, const Glyph& glyph, const Placement& place) {
    for (const Polyline& line : glyph) {
        if (line.size() == 1) out.push_back({place.map(line[0]), place.map(line[0])});
        for (size_t i = 1; i < line.size(); ++i) out.push_back({place.map(line[i - 1]), place.map(line[i])});
    }
}

// Seven-segment digits in a 1 x 1 box, the segment ends pulled back so that the round caps
// leave a fine notch at every corner.
Glyph sevenSegment(unsigned mask, float gap) {
    const Pt tl{0, 1}, tr{1, 1}, ml{0, 0.5f}, mr{1, 0.5f}, bl{0, 0}, br{1, 0};
    struct Seg {
        Pt a, b;
    };
    const Seg segs[7] = {{tl, tr}, {tr, mr}, {mr, br}, {bl, br}, {ml, bl}, {tl, ml}, {ml, mr}};  // A..G
    Glyph g;
    for (int i = 0; i < 7; ++i) {
        if (!(mask & (1u << i))) continue;
        Pt a = segs[i].a, b = segs[i].b;
        float dx = b.x - a.x, dy = b.y - a.y;
        float len = std::sqrt(dx * dx + dy * dy);
        float gx = dx / len * gap, gy = dy / len * gap;
        g.push_back({{a.x + gx, a.y + gy}, {b.x - gx, b.y - gy}});
    }
    return g;
}

// Segment masks, bit 0 = A (top) … bit 6 = G (middle).
constexpr unsigned kDigitMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// Capitals for titles, in a box of height 1; widths returned beside.
struct Letter {
    char c;
    float width;
    Glyph glyph;
};

const std::vector<Letter>& capitals() {
    static const std::vector<Letter> letters = {
        {'R', 0.70f,
         {{{0, 0}, {0, 1}, {0.46f, 1}, {0.60f, 0.97f}, {0.68f, 0.89f}, {0.70f, 0.77f}, {0.68f, 0.65f}, {0.60f, 0.57f},
           {0.46f, 0.54f}, {0, 0.54f}},
          {{0.40f, 0.54f}, {0.72f, 0}}}},
        {'A', 0.84f, {{{0, 0}, {0.42f, 1}, {0.84f, 0}}, {{0.16f, 0.36f}, {0.68f, 0.36f}}}},
        {'V', 0.84f, {{{0, 1}, {0.42f, 0}, {0.84f, 1}}}},
        {'E', 0.60f, {{{0.60f, 1}, {0, 1}, {0, 0}, {0.60f, 0}}, {{0, 0.52f}, {0.50f, 0.52f}}}},
        {'L', 0.56f, {{{0, 1}, {0, 0}, {0.56f, 0}}}},
        {'I', 0.0f, {{{0, 0}, {0, 1}}}},
        {'N', 0.74f, {{{0, 0}, {0, 1}, {0.74f, 0}, {0.74f, 1}}}},
    };
    return letters;
}

const Letter* findCapital(char c) {
    for (const Letter& l : capitals())
        if (l.c == c) return &l;
    return nullptr;
}

// Width of a capitals text in glyph units (height 1), with `spacing` between letters.
float textWidth(const std::string& text, float spacing) {
    float w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const Letter* l = findCapital(text[i]);
        if (l) w += l->width;
        if (i + 1 < text.size()) w += spacing;
    }
    return w;
}

// Draws capitals with the baseline's left end at (x, baseline) in pixels, `height` pixels tall.
void drawCapitals(Canvas& canvas, const std::string& text, float x, float baseline, float height, float spacing,
                  float hw, Colour colour, float opacity = 1) {
    std::vector<Segment> segs;
    float pen = 0;
    for (char c : text) {
        const Letter* l = findCapital(c);
        if (!l) continue;
        addGlyph(segs, l->glyph, Placement{x + pen * height, baseline, height, height});
        pen += l->width + spacing;
    }
    drawStrokes(canvas, segs, hw, colour, opacity);
}

// ---------------------------------------------------------------------------------------------
// Sun and flare sprites (drawn additively: black adds nothing, so every edge fades to black).

std::vector<uint8_t> paintSun() {
    const int n = 256;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float dx = (float(x) + 0.5f - n / 2.0f) / (n / 2.0f), dy = (float(y) + 0.5f - n / 2.0f) / (n / 2.0f);
            float r = std::sqrt(dx * dx + dy * dy);
            float angle = std::atan2(dy, dx);
            float core = 1 - smoothstep(0.045f, 0.075f, r);
            float glow = 0.55f * std::exp(-r * 7.0f) + 0.22f * std::exp(-r * 2.6f);
            float rays = 0.07f * (0.5f + 0.5f * std::cos(angle * 12.0f)) * (0.6f + 0.4f * std::cos(angle * 5.0f + 1.3f)) *
                         std::exp(-r * 3.0f);
            float edge = 1 - smoothstep(0.72f, 0.98f, r);
            Colour warm{1.0f, 0.88f, 0.66f};
            Colour v = Colour{1, 1, 1} * core + warm * ((glow + rays) * edge);
            c.at(x, y) = v;
        }
    }
    return encodeJpeg(c.rgb(), n, n, 92, false);
}

// A soft hexagonal aperture ghost with a brighter rim; grey, since each ghost is tinted.
std::vector<uint8_t> paintGhost() {
    const int n = 128;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float dx = std::fabs((float(x) + 0.5f - n / 2.0f) / (n / 2.0f));
            float dy = std::fabs((float(y) + 0.5f - n / 2.0f) / (n / 2.0f));
            float hex = std::max(dy, dx * 0.866f + dy * 0.5f);  // flat-topped hexagon "radius"
            float r = std::sqrt(dx * dx + dy * dy);
            float inside = 1 - smoothstep(0.76f, 0.82f, hex);
            float rim = std::exp(-std::pow((hex - 0.74f) / 0.05f, 2.0f));
            float fill = 0.30f + 0.15f * (1 - r);
            float v = (fill * inside + 0.45f * rim) * (1 - smoothstep(0.84f, 0.95f, r));
            c.at(x, y) = Colour{v, v, v};
        }
    }
    return encodeJpeg(c.rgb(), n, n, 92, false);
}

// The streak sprite: a thin soft ring around a faint beam along the flare's axis (t runs
// along the line from the sun through the centre of the screen).
std::vector<uint8_t> paintStreak() {
    const int n = 256;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float s = (float(x) + 0.5f) / n - 0.5f, t = (float(y) + 0.5f) / n - 0.5f;
            float r = 2 * std::sqrt(s * s + t * t);
            float ring = 0.8f * std::exp(-std::pow((r - 0.78f) / 0.035f, 2.0f));
            float haze = 0.10f * std::exp(-r * 3.0f);
            float along = std::max(0.0f, 1 - std::fabs(t) * 2);
            float beam = 0.30f * std::exp(-(s * s) / 0.0006f) * along * along;
            float v = (ring + haze + beam) * (1 - smoothstep(0.9f, 1.0f, r));
            c.at(x, y) = Colour{v, v * 0.97f, v * 0.94f};
        }
    }
    return encodeJpeg(c.rgb(), n, n, 92, false);
}

// ---------------------------------------------------------------------------------------------
// The overlay font: 4 x 4 cells, digits 0..9 in reading order, a short dash, "am", "pm".
// Each cell is drawn as a 40-unit quad with a 28-unit advance, so the ink keeps to the middle
// of the cell and neighbouring glyphs never touch.

Glyph lowerA(float x0, float x1, float base, float top) {
    float mid = (base + top) / 2;
    return {{{x0, top}, {x1, top}, {x1, base}, {x0, base}, {x0, mid}, {x1, mid}}};
}

Glyph lowerP(float x0, float x1, float base, float top, float desc) {
    return {{{x0, desc}, {x0, top}, {x1, top}, {x1, base}, {x0, base}}};
}

Glyph lowerM(float x0, float x1, float base, float top) {
    float xm = (x0 + x1) / 2;
    return {{{x0, base}, {x0, top}, {x1, top}, {x1, base}}, {{xm, top}, {xm, base}}};
}

std::vector<uint8_t> paintDigitFont() {
    const int cell = 128, n = cell * 4;
    Canvas c(n, n);
    const Colour white{1, 1, 1};
    const float shear = 0.10f;
    for (int i = 0; i < 13; ++i) {
        float cellX = float(i % 4 * cell), cellBottom = float(i / 4 * cell + cell);
        std::vector<Segment> segs;
        float hw = 0.045f * cell;
        if (i <= 10) {
            // Ink box: u 0.31..0.69, v 0.17..0.83 of the cell (the lean adds a little at the top).
            Placement place{cellX + 0.29f * cell, cellBottom - 0.17f * cell, 0.38f * cell, 0.66f * cell, shear * 0.66f / 0.38f};
            if (i < 10) {
                addGlyph(segs, sevenSegment(kDigitMasks[i], 0.075f), place);
            } else {
                addGlyph(segs, Glyph{{{0.22f, 0.5f}, {0.78f, 0.5f}}}, place);
            }
        } else {
            // "am" / "pm": small letters on the digits' baseline, x-height half the digit height.
            hw = 0.038f * cell;
            Placement place{cellX, cellBottom, float(cell), float(cell), shear};
            const float base = 0.17f, top = 0.50f, desc = 0.03f;
            Glyph first = i == 11 ? lowerA(0.17f, 0.37f, base, top) : lowerP(0.17f, 0.37f, base, top, desc);
            addGlyph(segs, first, place);
            addGlyph(segs, lowerM(0.46f, 0.76f, base, top), place);
        }
        drawStrokes(c, segs, hw, white);
    }
    return encodeJpeg(c.rgb(), n, n, 95, false);
}

// ---------------------------------------------------------------------------------------------
// Loading screen.

// The title card: "RAVELIN" in light capitals with a thin warm rule beneath, on black.
std::vector<uint8_t> paintTitleCard() {
    const int w = 512, h = 128;
    Canvas c(w, h);
    const float height = 46, spacing = 0.42f;
    float width = textWidth("RAVELIN", spacing) * height;
    float x = (w - width) / 2, baseline = 78;
    // A faint soft halo first (layers of widening strokes), then the letters.
    for (int layer = 0; layer < 6; ++layer) {
        drawCapitals(c, "RAVELIN", x, baseline, height, spacing, 4.0f + 2.0f * float(layer), Colour{0.22f, 0.24f, 0.32f}, 0.07f);
    }
    drawCapitals(c, "RAVELIN", x, baseline, height, spacing, 2.8f, Colour{0.94f, 0.94f, 0.96f});
    // Rule: thin, warm, fading towards both ends.
    for (int px = 0; px < w; ++px) {
        float u = (float(px) + 0.5f - w / 2.0f) / (width * 0.55f);
        float fade = 1 - smoothstep(0.4f, 1.0f, std::fabs(u));
        for (int py = 92; py <= 94; ++py) {
            float a = py == 93 ? 1.0f : 0.35f;
            c.blend(px, py, Colour{1.0f, 0.55f, 0.16f}, a * fade);
        }
    }
    return encodeJpeg(c.rgb(), w, h, 92, false);
}

// The bottom-right corner piece: a chequered corner fading out and three racing stripes.
std::vector<uint8_t> paintCorner() {
    const int w = 256, h = 128;
    std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float fromRight = float(w - x) - 0.5f, fromBottom = float(h - y) - 0.5f;
            float q = fromRight + fromBottom * 1.4f;  // distance across the corner, slanted
            Colour col{0, 0, 0};
            float alpha = 0;
            if (q < 96) {
                bool light = ((int(fromRight) / 12) + (int(fromBottom) / 12)) % 2 == 0;
                col = light ? Colour{0.92f, 0.92f, 0.92f} : Colour{0.10f, 0.10f, 0.11f};
                alpha = 0.85f * std::pow(1 - q / 96, 1.3f);
            }
            struct Stripe {
                float from, to;
                Colour colour;
            };
            const Stripe stripes[] = {{108, 122, {1.0f, 0.52f, 0.12f}}, {130, 140, {0.88f, 0.14f, 0.10f}},
                                      {148, 153, {0.95f, 0.95f, 0.95f}}};
            for (const Stripe& s : stripes) {
                float inside = smoothstep(s.from - 1, s.from + 1, q) * (1 - smoothstep(s.to - 1, s.to + 1, q));
                if (inside <= 0) continue;
                float along = 1 - smoothstep(0.25f, 0.95f, fromBottom / float(h));
                float a = 0.9f * inside * along;
                col = mix(col, s.colour, a / std::max(a + alpha * (1 - a), 1e-6f));
                alpha = a + alpha * (1 - a);
            }
            // A hairline along the bottom edge, fading to the left.
            if (fromBottom < 3) {
                float a = 0.55f * (1 - fromRight / float(w));
                col = mix(col, Colour{1.0f, 0.52f, 0.12f}, a / std::max(a + alpha * (1 - a), 1e-6f));
                alpha = a + alpha * (1 - a);
            }
            uint8_t* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
            p[0] = Canvas::toByte(col.r);
            p[1] = Canvas::toByte(col.g);
            p[2] = Canvas::toByte(col.b);
            p[3] = Canvas::toByte(alpha);
        }
    }
    return encodeTga32(rgba, w, h);
}

// ---------------------------------------------------------------------------------------------
// The dialog and preview bitmaps: a summer afternoon at the circuit, seen from behind a car.

void paintScene(Canvas& c, bool title) {
    const float w = float(c.w), h = float(c.h);
    const float horizon = 0.56f * h;
    const Colour skyTop{0.10f, 0.28f, 0.62f}, skyLow{0.72f, 0.83f, 0.93f};
    const Colour sunColour{1.0f, 0.93f, 0.78f};
    const Pt sun{0.80f * w, 0.20f * h};
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            float fy = float(y) + 0.5f, fx = float(x) + 0.5f;
            if (fy < horizon) {
                float t = std::pow(fy / horizon, 1.6f);
                Colour sky = mix(skyTop, skyLow, t);
                // Soft cumulus: thresholded noise, lighter on top.
                float cloud = smoothstep(0.62f, 0.85f, valueNoise(fx, fy * 2.4f, w * 0.16f, 7) * 0.75f +
                                                           valueNoise(fx, fy * 2.4f, w * 0.05f, 8) * 0.25f);
                cloud *= 1 - smoothstep(0.55f * horizon, horizon, fy);
                sky = mix(sky, Colour{0.97f, 0.97f, 0.98f}, cloud * 0.8f);
                float d = std::hypot(fx - sun.x, fy - sun.y) / w;
                sky = sky + sunColour * (std::exp(-d * 38.0f) * 0.9f + std::exp(-d * 7.0f) * 0.25f);
                c.at(x, y) = sky;
            } else {
                // Two mown greens in bands that narrow towards the horizon.
                float depth = (h - horizon) / (fy - horizon + 0.5f);
                bool band = int(depth * 1.6f) % 2 == 0;
                Colour grass = band ? Colour{0.26f, 0.52f, 0.20f} : Colour{0.31f, 0.58f, 0.24f};
                float grain = 0.92f + 0.16f * hashNoise(x, y, 3);
                c.at(x, y) = grass * grain;
            }
        }
    }
    // Distant hills and a tree line along the horizon.
    std::vector<Pt> hills{{0, horizon + 1}};
    for (int i = 0; i <= 40; ++i) {
        float fx = w * float(i) / 40;
        float rise = h * (0.045f + 0.03f * std::sin(fx / w * 7.0f + 0.6f) + 0.015f * std::sin(fx / w * 23.0f));
        hills.push_back({fx, horizon - rise});
    }
    hills.push_back({w, horizon + 1});
    fillPolygon(c, hills, [&](int, int y) { return mix(Colour{0.42f, 0.55f, 0.58f}, Colour{0.30f, 0.44f, 0.34f}, clamp01((float(y) - (horizon - 0.08f * h)) / (0.08f * h))); });
    std::vector<Pt> trees{{0, horizon + 1}};
    for (int i = 0; i <= 70; ++i) {
        float fx = w * float(i) / 70;
        trees.push_back({fx, horizon - h * (0.012f + 0.014f * hashNoise(i, 1, 11))});
    }
    trees.push_back({w, horizon + 1});
    fillPolygon(c, trees, Colour{0.14f, 0.28f, 0.16f});

    // The track: a band sweeping from the bottom to a vanishing point right of centre.
    const float vx = 0.62f * w, roadTop = horizon + 0.02f * h;
    auto edgeX = [&](float y, float bottomX) {
        float t = (y - roadTop) / (h - roadTop);
        return vx + (bottomX - vx) * t;
    };
    const float leftBottom = -0.25f * w, rightBottom = 1.15f * w;
    std::vector<Pt> road{{edgeX(roadTop, leftBottom), roadTop}, {edgeX(roadTop, rightBottom), roadTop},
                         {rightBottom, h}, {leftBottom, h}};
    fillPolygon(c, road, [&](int x, int y) {
        float grain = 0.9f + 0.2f * hashNoise(x, y, 5);
        float line = std::fabs(float(x) + 0.5f - edgeX(float(y) + 0.5f, 0.45f * w)) < 0.012f * (float(y) - roadTop + 2) * 0.5f ? 1.0f : 0.0f;
        Colour asphalt = Colour{0.38f, 0.38f, 0.40f} * grain;
        return mix(asphalt, Colour{0.29f, 0.29f, 0.31f}, line * 0.7f);  // the rubbered racing line
    });
    // Kerbs in red and white blocks along both edges, shorter with distance.
    for (int side = 0; side < 2; ++side) {
        float bottomX = side == 0 ? leftBottom : rightBottom;
        float widthAtBottom = 0.07f * w;
        for (int k = 0; k < 24; ++k) {
            // Blocks of equal ground length: depth steps give screen rows.
            float d0 = 1.0f + float(k) * 0.5f, d1 = d0 + 0.5f;
            float y0 = roadTop + (h - roadTop) / d1, y1 = roadTop + (h - roadTop) / d0;
            float t0 = (y0 - roadTop) / (h - roadTop), t1 = (y1 - roadTop) / (h - roadTop);
            float dir = side == 0 ? 1.0f : -1.0f;
            std::vector<Pt> block{{edgeX(y0, bottomX), y0}, {edgeX(y0, bottomX) + dir * widthAtBottom * t0, y0},
                                  {edgeX(y1, bottomX) + dir * widthAtBottom * t1, y1}, {edgeX(y1, bottomX), y1}};
            fillPolygon(c, block, k % 2 ? Colour{0.93f, 0.93f, 0.92f} : Colour{0.84f, 0.12f, 0.10f});
        }
    }

    // Boards along the right side: scale cues at regular spacing.
    for (int k = 0; k < 7; ++k) {
        float d = 1.3f + float(k) * 0.9f;
        float y = roadTop + (h - roadTop) / d;
        float t = (y - roadTop) / (h - roadTop);
        float x = edgeX(y, rightBottom) + 0.02f * w * t;
        float bw = 0.16f * w * t, bh = 0.05f * h * t + 1;
        if (x > w) continue;
        Colour colours[3] = {{0.95f, 0.80f, 0.10f}, {0.10f, 0.35f, 0.80f}, {0.95f, 0.95f, 0.95f}};
        fillPolygon(c, {{x, y - bh}, {x + bw, y - bh}, {x + bw, y}, {x, y}}, colours[k % 3]);
    }

    // The car from behind: rear tyres, engine cover with airbox, rear wing on its pylons.
    const float cx = 0.42f * w, ground = 0.93f * h, s = 0.36f * w;
    const Colour tyre{0.07f, 0.07f, 0.08f}, body{0.80f, 0.08f, 0.10f}, wing{0.12f, 0.12f, 0.14f};
    // Shadow.
    fillPolygon(c, {{cx - 0.58f * s, ground}, {cx + 0.58f * s, ground}, {cx + 0.50f * s, ground - 0.05f * s}, {cx - 0.50f * s, ground - 0.05f * s}},
                Colour{0.1f, 0.1f, 0.1f}, 0.5f);
    for (int side = -1; side <= 1; side += 2) {
        float x0 = cx + float(side) * 0.30f * s, x1 = cx + float(side) * 0.52f * s;
        fillPolygon(c, {{std::min(x0, x1), ground - 0.30f * s}, {std::max(x0, x1), ground - 0.30f * s},
                        {std::max(x0, x1), ground - 0.01f * s}, {std::min(x0, x1), ground - 0.01f * s}},
                    tyre);
        // A highlight on the tyre's shoulder.
        fillPolygon(c, {{std::min(x0, x1) + 0.02f * s, ground - 0.28f * s}, {std::max(x0, x1) - 0.02f * s, ground - 0.28f * s},
                        {std::max(x0, x1) - 0.02f * s, ground - 0.25f * s}, {std::min(x0, x1) + 0.02f * s, ground - 0.25f * s}},
                    Colour{0.25f, 0.25f, 0.27f});
    }
    fillPolygon(c, {{cx - 0.31f * s, ground - 0.07f * s}, {cx + 0.31f * s, ground - 0.07f * s}, {cx + 0.31f * s, ground - 0.18f * s},
                    {cx - 0.31f * s, ground - 0.18f * s}},
                Colour{0.62f, 0.06f, 0.08f});  // sidepods, in the shade under the wing
    fillPolygon(c, {{cx - 0.30f * s, ground - 0.03f * s}, {cx + 0.30f * s, ground - 0.03f * s}, {cx + 0.30f * s, ground - 0.08f * s},
                    {cx - 0.30f * s, ground - 0.08f * s}},
                Colour{0.10f, 0.10f, 0.11f});  // diffuser
    fillPolygon(c, {{cx - 0.28f * s, ground - 0.06f * s}, {cx + 0.28f * s, ground - 0.06f * s}, {cx + 0.20f * s, ground - 0.30f * s},
                    {cx + 0.08f * s, ground - 0.40f * s}, {cx - 0.08f * s, ground - 0.40f * s}, {cx - 0.20f * s, ground - 0.30f * s}},
                body);
    fillPolygon(c, {{cx - 0.07f * s, ground - 0.40f * s}, {cx + 0.07f * s, ground - 0.40f * s}, {cx + 0.05f * s, ground - 0.52f * s},
                    {cx - 0.05f * s, ground - 0.52f * s}},
                Colour{0.95f, 0.95f, 0.95f});  // airbox stripe
    for (int side = -1; side <= 1; side += 2) {
        float px = cx + float(side) * 0.12f * s;
        fillPolygon(c, {{px - 0.015f * s, ground - 0.55f * s}, {px + 0.015f * s, ground - 0.55f * s}, {px + 0.015f * s, ground - 0.30f * s},
                        {px - 0.015f * s, ground - 0.30f * s}},
                    wing);
        // Wing end plates.
        float ex = cx + float(side) * 0.36f * s;
        fillPolygon(c, {{ex - 0.015f * s, ground - 0.66f * s}, {ex + 0.015f * s, ground - 0.66f * s}, {ex + 0.015f * s, ground - 0.45f * s},
                        {ex - 0.015f * s, ground - 0.45f * s}},
                    body);
    }
    fillPolygon(c, {{cx - 0.36f * s, ground - 0.64f * s}, {cx + 0.36f * s, ground - 0.64f * s}, {cx + 0.36f * s, ground - 0.55f * s},
                    {cx - 0.36f * s, ground - 0.55f * s}},
                wing);
    fillPolygon(c, {{cx - 0.36f * s, ground - 0.60f * s}, {cx + 0.36f * s, ground - 0.60f * s}, {cx + 0.36f * s, ground - 0.58f * s},
                    {cx - 0.36f * s, ground - 0.58f * s}},
                body);  // the team colour on the wing
    // Rain light.
    fillPolygon(c, {{cx - 0.025f * s, ground - 0.12f * s}, {cx + 0.025f * s, ground - 0.12f * s}, {cx + 0.025f * s, ground - 0.08f * s},
                    {cx - 0.025f * s, ground - 0.08f * s}},
                Colour{1.0f, 0.35f, 0.30f});

    if (title) {
        float height = std::round(0.11f * h), spacing = 0.40f;
        float x = 0.05f * w, baseline = 0.06f * h + height;
        float hw = std::max(1.0f, height * 0.075f);
        drawCapitals(c, "RAVELIN", x + 1, baseline + 1, height, spacing, hw, Colour{0.05f, 0.10f, 0.25f}, 0.6f);
        drawCapitals(c, "RAVELIN", x, baseline, height, spacing, hw, Colour{1, 1, 1});
    }
}

std::vector<uint8_t> paintBitmap(int width, int height) {
    Canvas c(width, height);
    paintScene(c, true);
    return encodeBmp24(c.rgb(), width, height);
}

// A 32 x 32 icon: the title's R in orange on a dark rounded square.
std::vector<uint8_t> paintIcon() {
    const int n = 32;
    Canvas c(n, n);
    std::vector<float> alpha(size_t(n) * n, 0);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float dx = std::max(0.0f, std::fabs(float(x) + 0.5f - 16) - 10), dy = std::max(0.0f, std::fabs(float(y) + 0.5f - 16) - 10);
            float a = clamp01(5.5f - std::sqrt(dx * dx + dy * dy));
            alpha[size_t(y) * n + size_t(x)] = a;
            c.at(x, y) = mix(Colour{0.10f, 0.12f, 0.18f}, Colour{0.18f, 0.20f, 0.28f}, float(n - y) / n);
        }
    }
    drawCapitals(c, "R", 10, 25, 18, 0, 2.0f, Colour{1.0f, 0.55f, 0.15f});
    std::vector<uint8_t> rgb = c.rgb();
    // ICO: directory, one entry, then a 32-bit DIB of double height (colour, then AND mask).
    std::vector<uint8_t> b;
    auto put16 = [&](uint32_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const uint32_t maskStride = 4, dibSize = 40 + n * n * 4 + maskStride * n;
    put16(0);
    put16(1);
    put16(1);
    b.push_back(uint8_t(n));
    b.push_back(uint8_t(n));
    b.push_back(0);
    b.push_back(0);
    put16(1);
    put16(32);
    put32(dibSize);
    put32(22);
    put32(40);
    put32(n);
    put32(n * 2);
    put16(1);
    put16(32);
    put32(0);
    put32(n * n * 4 + maskStride * n);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * n + size_t(x)) * 3];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
            b.push_back(Canvas::toByte(alpha[size_t(y) * n + size_t(x)]));
        }
    }
    for (int y = 0; y < n; ++y) put32(0);  // AND mask: the alpha channel decides
    return b;
}

}  // namespace

void generatePictures(AssetSink& sink) {
    sink.addArchiveFile("textures\\sun.jpg", paintSun());
    sink.addArchiveFile("textures\\tlens.jpg", paintGhost());
    sink.addArchiveFile("textures\\rlens.jpg", paintStreak());
    sink.addArchiveFile("textures\\c.jpg", paintDigitFont());

    sink.addLooseFile("load.jpg", paintTitleCard());
    sink.addLooseFile("4loader_rd.tga", paintCorner());
    // The other three corners carry nothing: one clear pixel each.
    const std::vector<uint8_t> clear(4, 0);
    sink.addLooseFile("4loader_ld.tga", encodeTga32(clear, 1, 1));
    sink.addLooseFile("4loader_lu.tga", encodeTga32(clear, 1, 1));
    sink.addLooseFile("4loader_ru.tga", encodeTga32(clear, 1, 1));

    sink.addLooseFile("bitmap107.bmp", paintBitmap(280, 140));
    sink.addLooseFile("bitmap112.bmp", paintBitmap(155, 115));
    sink.addLooseFile("icon111.ico", paintIcon());
}

}  // namespace assetgen
