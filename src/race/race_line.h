// RaceLine: one of the four closed racing lines the cars drive (233 points with steering angles),
// read from a binary race-line file, and its sampling into a placed frame. Loaded once during
// start-up into the race state of the run's world; only read afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/math.h"

namespace ravelin {

constexpr int kRaceLinePoints = 233;
constexpr int kRaceLineCount = 4;
constexpr size_t kRaceLineRecordSize = 16;
constexpr size_t kRaceLineFileSize = kRaceLinePoints * kRaceLineRecordSize;  // 3,728 bytes

struct RaceLine {
    // Entry 233 repeats entry 0 so that segment 232 closes the loop.
    Vec3 points[kRaceLinePoints + 1];
    Vec3 tangents[kRaceLinePoints + 1];
    float steering[kRaceLinePoints + 1] = {};
    float steeringTangents[kRaceLinePoints + 1] = {};
    bool loaded = false;
};

// A placed frame on the line, with the curve's unnormalised derivative and the steering angle.
struct RaceSample : TrackFrame {
    Vec3 velocity;
    float steer = 0.0f;
};

// Fills line from the file's bytes. Data shorter than 233 records is refused (false) and leaves
// the line as it was; bytes beyond the 233rd record are ignored.
bool parseRaceLine(RaceLine& line, const uint8_t* data, size_t size);
// segment 0 … 232 (others are taken modulo 233), t normally 0 … 1.
RaceSample sampleRaceLine(const RaceLine& line, int segment, float t);
// Reads the archive entry name ("corr.ase") into line.
bool loadRaceLine(RaceLine& line, std::string_view name);

}  // namespace ravelin
