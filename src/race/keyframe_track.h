// KeyframeTrack: a timed camera path (positions and orientations) read from a keyframe file,
// prepared once with its tangents and rotation controls, then evaluated by the camera director.
// Loaded during start-up into the race state of the run's world; only read afterwards.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "race/line_source.h"
#include "base/math.h"

namespace ravelin {

constexpr int kTrackCount = 17;

struct Keyframe {
    float time = 0.0f;  // track time units (six per second)
    Vec3 position;
    Vec3 gradient;
    Quat rotation{0.0f, 0.0f, 0.0f, 0.0f};
    Quat inControl{0.0f, 1.0f, 0.0f, 1.0f};
    Quat outControl{0.0f, 1.0f, 0.0f, 1.0f};
    bool freeze = false;
};

struct TrackPose {
    Vec3 position;
    Quat rotation;
    bool ended = true;
};

class KeyframeTrack {
public:
    // Appends the keys of a keyframe file. Reading stops at "ENDKEYS" or at the end of the data.
    void load(LineSource& source);
    // Tangents and rotation controls. Refuses (false, track stays unusable) below two keys.
    bool prepare();
    // The pose at time. A track that prepare refused always reports ended with the last key's
    // pose (or the identity when it has no key at all).
    TrackPose evaluate(float time) const;

    bool ready() const { return ready_; }
    const std::vector<Keyframe>& keys() const { return keys_; }
    void clear() {
        keys_.clear();
        ready_ = false;
    }

private:
    std::vector<Keyframe> keys_;
    bool ready_ = false;
};

// Opens "scene<index>.txt" from the archive, loads and prepares it; false when the file is
// missing or the track was refused.
bool loadKeyframeTrack(KeyframeTrack& track, int index);

}  // namespace ravelin
