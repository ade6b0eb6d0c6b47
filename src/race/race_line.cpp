#include "race/race_line.h"

#include <cstring>

namespace ravelin {

namespace {

float readFloat(const uint8_t* p) {
    const uint32_t bits = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                          (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Catmull-Rom: the mean of the incoming and outgoing differences.
Vec3 tangent(Vec3 previous, Vec3 here, Vec3 next) {
    const Vec3 dPrev = here - previous;
    const Vec3 dNext = next - here;
    return dPrev + (dNext - dPrev) * 0.5f;
}

float tangent(float previous, float here, float next) {
    const float dPrev = here - previous;
    const float dNext = next - here;
    return dPrev + (dNext - dPrev) * 0.5f;
}

}  // namespace

bool parseRaceLine(RaceLine& line, const uint8_t* data, size_t size) {
    if (data == nullptr || size < kRaceLineFileSize) return false;
    constexpr int n = kRaceLinePoints;
    for (int i = 0; i < n; ++i) {
        const uint8_t* record = data + i * kRaceLineRecordSize;
        line.points[i] = {readFloat(record), readFloat(record + 4), readFloat(record + 8)};
        // The files store the angle with the opposite sign.
        line.steering[i] = -readFloat(record + 12);
    }
    line.points[n] = line.points[0];
    line.steering[n] = line.steering[0];

    line.tangents[0] = tangent(line.points[n - 1], line.points[0], line.points[1]);
    line.steeringTangents[0] = tangent(line.steering[n - 1], line.steering[0], line.steering[1]);
    for (int i = 1; i < n; ++i) {
        line.tangents[i] = tangent(line.points[i - 1], line.points[i], line.points[i + 1]);
        line.steeringTangents[i] = tangent(line.steering[i - 1], line.steering[i], line.steering[i + 1]);
    }
    line.tangents[n] = line.tangents[0];
    line.steeringTangents[n] = line.steeringTangents[0];
    line.loaded = true;
    return true;
}

RaceSample sampleRaceLine(const RaceLine& line, int segment, float t) {
    int i = segment % kRaceLinePoints;
    if (i < 0) i += kRaceLinePoints;
    RaceSample s;
    s.position = hermite(line.points[i], line.points[i + 1], line.tangents[i], line.tangents[i + 1], t);
    s.velocity = hermiteDerivative(line.points[i], line.points[i + 1], line.tangents[i], line.tangents[i + 1], t);
    // A line that stands still (two equal points with zero tangents, or a line that never
    // loaded) or runs straight up has no direction of its own; an upright frame facing +Y
    // stands in rather than NaNs that would reach GL and the engine sounds.
    s.forward = normalizeOr(s.velocity, Vec3{0.0f, 1.0f, 0.0f});
    s.right = normalizeOr(cross(s.forward, Vec3{0.0f, 0.0f, 1.0f}), Vec3{1.0f, 0.0f, 0.0f});
    s.up = normalizeOr(cross(s.right, s.forward), Vec3{0.0f, 0.0f, 1.0f});
    s.steer = hermite(line.steering[i], line.steering[i + 1], line.steeringTangents[i],
                      line.steeringTangents[i + 1], t);
    return s;
}

}  // namespace ravelin
