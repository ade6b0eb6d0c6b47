// Shared set-up for the race tests: synthetic race-line files and a race state on the heap.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "race/camera_director.h"
#include "race/car.h"

namespace ravelin::testing {

inline void putFloat(std::vector<uint8_t>& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

// A closed loop: a circle of the given radius around (cx, cy), stored steering i − 100.
inline std::vector<uint8_t> circleLineFile(float radius, float cx = 0.0f, float cy = 0.0f) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kRaceLinePoints; ++i) {
        const double a = 2.0 * 3.14159265358979323846 * i / kRaceLinePoints;
        putFloat(bytes, static_cast<float>(cx + radius * std::cos(a)));
        putFloat(bytes, static_cast<float>(cy + radius * std::sin(a)));
        putFloat(bytes, 0.0f);
        putFloat(bytes, static_cast<float>(i - 100));
    }
    return bytes;
}

// Points 5 units apart along +X (not closed; fine away from the seam).
inline std::vector<uint8_t> straightLineFile() {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kRaceLinePoints; ++i) {
        putFloat(bytes, 5.0f * i);
        putFloat(bytes, 0.0f);
        putFloat(bytes, 0.0f);
        putFloat(bytes, 0.0f);
    }
    return bytes;
}

// A race with four circular lines (radii 180 … 186) and seventeen two-key tracks 60 units long.
inline std::unique_ptr<RaceState> makeRace() {
    auto race = std::make_unique<RaceState>();
    for (int i = 0; i < kRaceLineCount; ++i) {
        const std::vector<uint8_t> file = circleLineFile(180.0f + 2.0f * i);
        parseRaceLine(race->lines[i], file.data(), file.size());
    }
    for (int i = 0; i < kTrackCount; ++i) {
        const char text[] =
            "KEYFRAMES\nkeyframe\ntime 0\nposition V(0 -30 10)\nquaternion Q(0 0 0 1)\nend\n"
            "keyframe\ntime 60\nposition V(20 0 10)\nquaternion Q(0 0 0.70710678 0.70710678)\nend\nENDKEYS\n";
        BufferLineSource source(reinterpret_cast<const uint8_t*>(text), sizeof text - 1);
        race->tracks[i].load(source);
        race->tracks[i].prepare();
    }
    return race;
}

}  // namespace ravelin::testing
