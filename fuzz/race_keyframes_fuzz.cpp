// Keyframe files: any bytes load, prepare and evaluate without reading outside a buffer.
#include <cstddef>
#include <cstdint>

#include "race/keyframe_track.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravelin;
    BufferLineSource source(data, size);
    KeyframeTrack track;
    track.load(source);
    track.prepare();
    const float times[] = {-1.0f, 0.0f, 0.5f, 10.0f, 59.99f, 60.0f, 1e30f};
    for (float t : times) track.evaluate(t);
    if (!track.keys().empty()) {
        track.evaluate(track.keys().back().time);
        track.evaluate(track.keys().front().time * 0.5f + track.keys().back().time * 0.5f);
    }
    return 0;
}
