// Per-frame cost of the race animation's logic without drawing: eighteen car updates (race-line
// sample, listener-space sound vectors) and the camera director's update, shot change and view,
// on synthetic circular race lines. Prints microseconds per frame.
#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/random.h"
#include "race/race_run.h"

namespace {

void putFloat(std::vector<uint8_t>& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

}  // namespace

int main() {
    using namespace ravelin;
    auto race = std::make_unique<RaceState>();
    for (int l = 0; l < kRaceLineCount; ++l) {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < kRaceLinePoints; ++i) {
            const double a = 2.0 * 3.14159265358979 * i / kRaceLinePoints;
            putFloat(bytes, static_cast<float>((180.0 + 2 * l) * std::cos(a)));
            putFloat(bytes, static_cast<float>((180.0 + 2 * l) * std::sin(a)));
            putFloat(bytes, 0.0f);
            putFloat(bytes, static_cast<float>(10.0 * std::sin(3 * a)));
        }
        parseRaceLine(race->lines[l], bytes.data(), bytes.size());
    }
    rng().seed(1);
    placeCars(race->cars);
    CameraDirector director;
    director.attach(*race);
    director.initCounters();
    startFirstShot(director);
    const float dt = 1.0f / 60.0f;
    const int frames = 200000;
    const auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) stepRace(*race, director, dt);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("race_logic_us_per_frame %.3f (%d frames, 18 cars, no sound library bound)\n",
                seconds * 1e6 / frames, frames);
    return 0;
}
