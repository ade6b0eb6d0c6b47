// Race-line files: any bytes parse and sample, and every value the cars derive from a sample
// (lightmap look-ups, listener-space sound vectors) stays inside its buffers.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "race/car.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravelin;
    static auto line = std::make_unique<RaceLine>();
    static Lightmap lightmap = [] {
        Lightmap map;
        map.pixels.assign(static_cast<size_t>(Lightmap::kSize) * Lightmap::kRowBytes, 0x80);
        return map;
    }();
    *line = RaceLine{};
    parseRaceLine(*line, data, size);
    const Frustum frustum = frustumFromMatrices(Matrix4{}, Matrix4{});
    Car car;
    CameraPose camera;
    for (int segment : {0, 1, 116, 231, 232}) {
        for (float t : {0.0f, 0.37f, 1.0f}) {
            car.segment = segment;
            car.t = t;
            car.frame = sampleRaceLine(*line, segment, t);
            prepareCarForDrawing(car, frustum, lightmap);
            Vec3 position, velocity;
            listenerSpace(camera, car.frame.position, car.frame.velocity, position, velocity);
        }
    }
    return 0;
}
