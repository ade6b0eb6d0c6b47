// Car pictures of the content generator: the six liveries painted onto the body's livery layout
// (cars_model.h), the six helmets, tyre, rim, chrome, shine mask, sliding illumination and the
// shadow blob. generateCars (cars.cpp) encodes and stores them; nothing else calls this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen::cars {

struct Picture {
    int width = 0, height = 0, channels = 3;  // 3 = RGB, 4 = RGBA; rows top first
    std::vector<uint8_t> pixels;
};

struct LiveryDesign {
    const char* look;         // "f", "b", "green", ...
    const char* texture;      // body texture name
    const char* helmet;       // helmet texture name
    int body;                 // body mesh index
    uint8_t main[3], second[3], third[3];
    const char* number;
    const char* sponsors[3];  // pods, rear wing, nose / endplates
    int stripeStyle;          // 0 centre stripe, 1 twin pinstripes, 2 chevron nose, 3 side sweep
};

// The six looks in load order f, b, green, blue, orange, yellow.
const std::vector<LiveryDesign>& liveryDesigns();

Picture paintLivery(const LiveryDesign& design);
Picture paintHelmet(int design);  // 0 … 5, in the order of the looks' helmet names
Picture paintTyre();
Picture paintRim();     // RGBA, spokes opaque, gaps clear
Picture paintChrome();  // sphere map
Picture paintShineMask();
Picture paintIllumination();
Picture paintShadow();  // RGBA blob

// Block letters of our own (A–Z, 0–9, a few signs) on a 5 × 7 grid: true where the cell at
// column cx (0 … 4), row cy (0 = top … 6) of the glyph is ink.
bool glyphCell(char c, int cx, int cy);

}  // namespace assetgen::cars
