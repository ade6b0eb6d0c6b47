// Content generator module: the scripted camera moves. Each move is a path of the eye and of a
// look-at point around the car, sampled every 10 track units with an eased parameter so moves
// start and end at rest (they cut in and out cleanly); the orientation at each key looks from
// the eye to the point with the horizon level.
#include "camera_moves.h"

#include <cmath>
#include <cstdio>
#include <functional>

namespace assetgen::camera {
namespace {

V3 normalized(V3 a) { return (1.0f / std::sqrt(dot(a, a))) * a; }
V3 lerp(V3 a, V3 b, float t) { return a + t * (b - a); }
float mixf(float a, float b, float t) { return a + t * (b - a); }
float smooth(float t) { return t * t * (3 - 2 * t); }

struct Pose {
    V3 eye, target;
    V3 upHint{0, 0, 1};
};
using Path = std::function<Pose(float s)>;  // s: 0 … 1 along the move, already eased

struct Move {
    const char* name;
    float duration;  // track units, a multiple of 10
    bool eased;
    Path path;
};

// Orientation whose +X looks from eye to target and whose +Z is the up hint made perpendicular.
void lookRotation(const Pose& p, float out[4]) {
    V3 d = normalized(p.target - p.eye);
    V3 u = normalized(p.upHint - dot(p.upHint, d) * d);
    V3 l = cross(u, d);
    // Columns d, l, u of the rotation matrix.
    float r00 = d.x, r10 = d.y, r20 = d.z, r01 = l.x, r11 = l.y, r21 = l.z, r02 = u.x, r12 = u.y, r22 = u.z;
    float trace = r00 + r11 + r22;
    float x, y, z, w;
    if (trace > 0) {
        float s = std::sqrt(trace + 1) * 2;
        w = 0.25f * s;
        x = (r21 - r12) / s;
        y = (r02 - r20) / s;
        z = (r10 - r01) / s;
    } else if (r00 > r11 && r00 > r22) {
        float s = std::sqrt(1 + r00 - r11 - r22) * 2;
        w = (r21 - r12) / s;
        x = 0.25f * s;
        y = (r01 + r10) / s;
        z = (r02 + r20) / s;
    } else if (r11 > r22) {
        float s = std::sqrt(1 + r11 - r00 - r22) * 2;
        w = (r02 - r20) / s;
        x = (r01 + r10) / s;
        y = 0.25f * s;
        z = (r12 + r21) / s;
    } else {
        float s = std::sqrt(1 + r22 - r00 - r11) * 2;
        w = (r10 - r01) / s;
        x = (r02 + r20) / s;
        y = (r12 + r21) / s;
        z = 0.25f * s;
    }
    float n = std::sqrt(x * x + y * y + z * z + w * w);
    out[0] = x / n;
    out[1] = y / n;
    out[2] = z / n;
    out[3] = w / n;
}

const V3 kCentre = kCarCentre;

// A circle around the car at height h, radius r, from angle a0 to a1 (degrees; 0 = behind,
// 90 = right side, 180 = ahead).
V3 around(float r, float h, float angleDeg) {
    float a = angleDeg * kPiF / 180.0f;
    return {r * std::sin(a), -r * std::cos(a), h};
}

const Move kMoves[kMoveCount] = {
    {"chase", 120, false,
     [](float s) {
         float sway = std::sin(s * 2 * kPiF) * 1.6f;
         return Pose{{sway, -12.5f + 1.5f * std::sin(s * kPiF), 3.6f}, {0.3f * sway, 2.0f, 1.0f}};
     }},
    {"low front", 100, true,
     [](float s) {
         return Pose{lerp(V3{2.8f, 10.5f, 0.9f}, V3{-2.8f, 9.5f, 0.8f}, s), {0, 0, 1.1f}};
     }},
    {"side tracking", 120, true,
     [](float s) {
         V3 eye = lerp(V3{9.5f, 4.0f, 1.6f}, V3{9.0f, -4.0f, 2.0f}, s);
         return Pose{eye, {0, 0.4f * eye.y, 1.0f}};
     }},
    {"orbit", 240, false,
     [](float s) { return Pose{around(11.5f, 3.2f + 0.8f * std::sin(s * 2 * kPiF), 360.0f * s), kCentre}; }},
    {"wheel close-up", 80, true,
     [](float s) {
         V3 eye = lerp(V3{4.3f, 6.6f, 1.0f}, V3{4.4f, 4.2f, 1.3f}, s);
         return Pose{eye, lerp(V3{1.5f, 3.0f, 0.8f}, V3{1.2f, 2.0f, 0.9f}, s)};
     }},
    {"over the shoulder", 100, true,
     [](float s) {
         // Beside the airbox, looking past the helmet down the track.
         V3 eye = lerp(V3{1.9f, -2.9f, 3.0f}, V3{1.5f, -2.4f, 3.1f}, s);
         return Pose{eye, {0.2f - 0.4f * s, 9.0f, 0.7f}};
     }},
    {"overhead", 90, true,
     [](float s) {
         float h = 15.0f + 4.0f * s;
         return Pose{{0.6f * std::sin(s * kPiF), -1.5f + 2.0f * s, h}, {0, 0.8f, 0.8f}, {0, 1, 0}};
     }},
    {"crane", 150, true,
     [](float s) {
         // Sweeps from low behind-left up and over to high in front-right.
         float a = -45.0f + 180.0f * s;
         float h = 1.0f + 8.5f * std::sin(s * kPiF * 0.5f);
         return Pose{around(10.0f - 1.5f * std::sin(s * kPiF), h, a), kCentre};
     }},
    {"half orbit", 160, true,
     [](float s) {
         return Pose{around(12.0f, 2.0f + 2.5f * std::sin(s * kPiF), 180.0f + 180.0f * s), kCentre};
     }},
    {"pull-away", 150, true,
     [](float s) {
         V3 eye = lerp(V3{0.8f, -8.0f, 2.2f}, V3{-0.5f, -34.0f, 7.5f}, s);
         return Pose{eye, {0, 0, 1.0f}};
     }},
    {"front quarter", 100, true,
     [](float s) {
         return Pose{around(10.5f, mixf(1.8f, 2.8f, s), mixf(-140.0f, -110.0f, s)), kCentre};
     }},
    {"low rear", 80, true,
     [](float s) {
         return Pose{lerp(V3{1.6f, -9.5f, 0.8f}, V3{-1.2f, -8.5f, 0.9f}, s), {0, 0, 1.3f}};
     }},
    {"roll hoop", 100, true,
     [](float s) {
         return Pose{{0.3f - 0.6f * s, -2.2f, 3.5f + 0.2f * s}, {0.8f * std::sin(s * kPiF), 10.0f, 0.2f}};
     }},
    {"fly-past", 90, false,
     [](float s) {
         // The car overtakes the camera: it comes from ahead, passes at 4.5 units and recedes.
         float y = 20.0f - 44.0f * s;
         return Pose{{4.5f, y, 1.3f}, kCentre};
     }},
    {"ground level", 70, true,
     [](float s) {
         return Pose{lerp(V3{6.5f, 4.0f, 0.6f}, V3{6.2f, -5.0f, 0.6f}, s), {0, 0.3f, 1.2f}};
     }},
    {"reveal", 130, true,
     [](float s) {
         V3 eye = lerp(V3{0.0f, -5.0f, 15.0f}, V3{0.0f, -13.0f, 3.2f}, s);
         return Pose{eye, lerp(V3{0, 0.5f, 0.8f}, V3{0, 2.0f, 1.0f}, s)};
     }},
    {"wide drift", 300, true,
     [](float s) {
         // A long, slow broadcast drift from ahead on the right, past the side, to behind.
         float a = mixf(145.0f, 25.0f, s);
         return Pose{around(mixf(22.0f, 17.0f, s), mixf(5.0f, 4.0f, s), a), kCentre};
     }},
};

}  // namespace

const char* cameraMoveName(int index) { return kMoves[index].name; }

std::vector<Key> cameraMove(int index) {
    const Move& m = kMoves[index];
    std::vector<Key> keys;
    int count = static_cast<int>(m.duration / 10.0f) + 1;
    for (int i = 0; i < count; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(count - 1);
        Pose p = m.path(m.eased ? smooth(t) : t);
        Key k;
        k.time = 10.0f * static_cast<float>(i);
        k.position = p.eye;
        lookRotation(p, k.rotation);
        // Keep neighbouring keys on the same side of the quaternion sphere.
        if (!keys.empty()) {
            const float* q = keys.back().rotation;
            if (q[0] * k.rotation[0] + q[1] * k.rotation[1] + q[2] * k.rotation[2] + q[3] * k.rotation[3] < 0)
                for (float& c : k.rotation) c = -c;
        }
        keys.push_back(k);
    }
    return keys;
}

std::string formatKeyframes(const std::vector<Key>& keys) {
    std::string out = "KEYFRAMES\r\n";
    char line[128];
    for (const Key& k : keys) {
        out += "keyframe\r\n";
        std::snprintf(line, sizeof line, "time %.3f\r\n", static_cast<double>(k.time));
        out += line;
        std::snprintf(line, sizeof line, "position V(%.4f %.4f %.4f)\r\n", static_cast<double>(k.position.x),
                      static_cast<double>(k.position.y), static_cast<double>(k.position.z));
        out += line;
        std::snprintf(line, sizeof line, "quaternion Q(%.6f %.6f %.6f %.6f)\r\n", static_cast<double>(k.rotation[0]),
                      static_cast<double>(k.rotation[1]), static_cast<double>(k.rotation[2]),
                      static_cast<double>(k.rotation[3]));
        out += line;
        out += "end\r\n";
    }
    out += "ENDKEYS\r\n";
    return out;
}

}  // namespace assetgen::camera

namespace assetgen {

void generateCameraMoves(AssetSink& sink) {
    for (int i = 0; i < camera::kMoveCount; ++i)
        sink.addArchiveText("scene" + std::to_string(i) + ".txt", camera::formatKeyframes(camera::cameraMove(i)));
}

}  // namespace assetgen
