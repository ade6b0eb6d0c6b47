#include "race/keyframe_track.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace ravelin {

namespace {

constexpr size_t kLineCapacity = 128;
constexpr float kThird = 0.33333334f;

bool startsWith(const char* line, const char* keyword) {
    return std::strncmp(line, keyword, std::strlen(keyword)) == 0;
}

bool allFinite(std::initializer_list<float> values) {
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// One line inside a key. Returns true when the line ends the key. A numeric line that does not
// convert completely (or converts to a non-finite value) leaves its field as it was.
bool applyKeyLine(const char* line, Keyframe& key) {
    if (startsWith(line, "time")) {
        float t = 0.0f;
        if (std::sscanf(line, "time %f", &t) == 1 && allFinite({t})) key.time = t;
    } else if (startsWith(line, "position")) {
        float x = 0, y = 0, z = 0;
        if (std::sscanf(line, "position V(%f %f %f)", &x, &y, &z) == 3 && allFinite({x, y, z}))
            key.position = {x, y, z};
    } else if (startsWith(line, "gradient")) {
        float x = 0, y = 0, z = 0;
        if (std::sscanf(line, "gradient V(%f %f %f)", &x, &y, &z) == 3 && allFinite({x, y, z}))
            key.gradient = {x, y, z};
    } else if (startsWith(line, "quaternion")) {
        float x = 0, y = 0, z = 0, w = 0;
        if (std::sscanf(line, "quaternion Q(%f %f %f %f)", &x, &y, &z, &w) == 4 && allFinite({x, y, z, w}))
            key.rotation = {x, y, z, w};
    } else if (startsWith(line, "freeze")) {
        key.freeze = true;
    } else if (startsWith(line, "end")) {
        return true;
    }
    return false;
}

}  // namespace

void KeyframeTrack::load(LineSource& source) {
    char line[kLineCapacity];
    bool inKey = false;
    Keyframe key;
    bool more = true;
    while (more) {
        more = source.readLine(line, sizeof line);
        if (!inKey) {
            if (startsWith(line, "keyframe")) {
                key = Keyframe{};
                inKey = true;
            } else if (startsWith(line, "ENDKEYS")) {
                break;
            }
        } else if (applyKeyLine(line, key)) {
            keys_.push_back(key);
            inKey = false;
        }
    }
    // A key still open at the end of the data never reached its "end" line and is dropped.
    ready_ = false;
}

bool KeyframeTrack::prepare() {
    ready_ = false;
    const size_t count = keys_.size();
    if (count < 2) return false;
    const size_t n = count - 1;
    Keyframe* k = keys_.data();

    k[0].outControl = slerp(k[0].rotation, k[1].rotation, kThird);
    k[0].gradient = k[1].position - k[0].position;
    for (size_t i = 1; i < n; ++i) {
        const Vec3 dPrev = k[i].position - k[i - 1].position;
        const Vec3 dNext = k[i + 1].position - k[i].position;
        k[i].gradient = dPrev + (dNext - dPrev) * 0.5f;
        const Quat b = slerp(k[i].rotation, k[i - 1].rotation, -kThird);
        const Quat c = slerp(k[i].rotation, k[i + 1].rotation, kThird);
        const Quat m = slerp(b, c, 0.5f);
        k[i].inControl = slerp(k[i].rotation, m, -1.0f);
        k[i].outControl = slerp(k[i].rotation, m, 1.0f);
    }
    k[n].inControl = slerp(k[n].rotation, k[n - 1].rotation, kThird);
    k[n].gradient = k[n].position - k[n - 1].position;
    ready_ = true;
    return true;
}

TrackPose KeyframeTrack::evaluate(float time) const {
    TrackPose pose;
    if (ready_) {
        for (size_t i = 0; i + 1 < keys_.size(); ++i) {
            const Keyframe& a = keys_[i];
            const Keyframe& b = keys_[i + 1];
            if (a.time <= time && time < b.time) {
                const float u = (time - a.time) / (b.time - a.time);
                pose.position = hermite(a.position, b.position, a.gradient, b.gradient, u);
                pose.rotation = bezierSlerp(a.rotation, a.outControl, b.inControl, b.rotation, u);
                pose.ended = false;
                return pose;
            }
        }
    }
    if (!keys_.empty()) {
        pose.position = keys_.back().position;
        pose.rotation = keys_.back().rotation;
    }
    pose.ended = true;
    return pose;
}

}  // namespace ravelin
