// The seventeen camera moves: read back with the keyframe grammar, played the way the director
// plays them (Catmull-Rom Hermite positions, Bézier-slerp rotations, ×0.1 into the car's frame),
// and checked sample by sample against the car bodies. Bounds (world units): the eye stays
// 0.25 … 4.0 from the car's centre, at least 0.05 above the road, never under or within 0.04
// of any body; at least two of the car's centre, helmet, nose and rear wing stay in the 60° × 4:3
// view for at least 90% of every move, the centre itself for at least 75% of every move but the
// onboard one; the horizon stays level (camera roll < 20°).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "camera_moves.h"
#include "car_files.h"
#include "cars_model.h"
#include "race/keyframe_track.h"
#include "race/line_source.h"

using namespace cartest;

namespace {

struct Q {
    double x = 0, y = 0, z = 0, w = 1;
};
Q operator*(double s, Q q) { return {s * q.x, s * q.y, s * q.z, s * q.w}; }
Q operator+(Q a, Q b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }

Q slerp(Q a, Q b, double t) {
    double c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (c < 0) {
        b = -1.0 * b;
        c = -c;
    }
    double wa = 1 - t, wb = t;
    if (1 - c > 0.0001) {
        double th = std::acos(c);
        wa = std::sin((1 - t) * th) / std::sin(th);
        wb = std::sin(t * th) / std::sin(th);
    }
    return wa * a + wb * b;
}
Q bezier(Q q0, Q c0, Q c1, Q q1, double u) {
    Q a = slerp(q0, c0, u), b = slerp(c0, c1, u), c = slerp(c1, q1, u);
    return slerp(slerp(a, b, u), slerp(b, c, u), u);
}

struct Key {
    double time = 0;
    P3 pos, grad;
    Q rot{0, 0, 0, 0}, in{0, 1, 0, 1}, out{0, 1, 0, 1};
};

// The keyframe grammar: prefix keywords, sscanf numbers, other lines ignored.
std::vector<Key> parse(const std::string& text, bool& linesShort) {
    std::vector<Key> keys;
    std::istringstream in(text);
    std::string line;
    bool inKey = false;
    Key k;
    linesShort = true;
    while (std::getline(in, line)) {
        if (line.size() + 1 > 127) linesShort = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t s = line.find_first_not_of(' ');
        const char* l = line.c_str() + (s == std::string::npos ? line.size() : s);
        if (!inKey) {
            if (std::strncmp(l, "ENDKEYS", 7) == 0) break;
            if (std::strncmp(l, "keyframe", 8) == 0) {
                k = Key{};
                inKey = true;
            }
            continue;
        }
        float a = 0, b = 0, c = 0, d = 0;
        if (std::strncmp(l, "time", 4) == 0 && std::sscanf(l, "time %f", &a) == 1) k.time = a;
        if (std::strncmp(l, "position", 8) == 0 && std::sscanf(l, "position V(%f %f %f)", &a, &b, &c) == 3) k.pos = {a, b, c};
        if (std::strncmp(l, "quaternion", 10) == 0 && std::sscanf(l, "quaternion Q(%f %f %f %f)", &a, &b, &c, &d) == 4)
            k.rot = {a, b, c, d};
        if (std::strncmp(l, "end", 3) == 0) {
            keys.push_back(k);
            inKey = false;
        }
    }
    return keys;
}

void prepare(std::vector<Key>& k) {
    const double third = 0.33333334f;
    size_t n = k.size() - 1;
    k[0].out = slerp(k[0].rot, k[1].rot, third);
    k[0].grad = k[1].pos - k[0].pos;
    for (size_t i = 1; i < n; ++i) {
        k[i].grad = 0.5 * (k[i + 1].pos - k[i - 1].pos);
        Q b = slerp(k[i].rot, k[i - 1].rot, -third), c = slerp(k[i].rot, k[i + 1].rot, third), m = slerp(b, c, 0.5);
        k[i].in = slerp(k[i].rot, m, -1);
        k[i].out = slerp(k[i].rot, m, 1);
    }
    k[n].in = slerp(k[n].rot, k[n - 1].rot, third);
    k[n].grad = k[n].pos - k[n - 1].pos;
}

bool evaluate(const std::vector<Key>& k, double t, P3& pos, Q& rot) {
    for (size_t i = 0; i + 1 < k.size(); ++i)
        if (k[i].time <= t && t < k[i + 1].time) {
            double u = (t - k[i].time) / (k[i + 1].time - k[i].time), u2 = u * u, u3 = u2 * u;
            pos = (2 * u3 - 3 * u2 + 1) * k[i].pos + (u3 - 2 * u2 + u) * k[i].grad + (-2 * u3 + 3 * u2) * k[i + 1].pos +
                  (u3 - u2) * k[i + 1].grad;
            rot = bezier(k[i].rot, k[i].out, k[i + 1].in, k[i + 1].rot, u);
            return true;
        }
    pos = k.back().pos;
    rot = k.back().rot;
    return false;
}

// Columns 0 and 2 of the rotation matrix: where the camera looks and its up vector.
void axes(Q q, P3& dir, P3& up, P3& left) {
    dir = {1 - 2 * q.y * q.y - 2 * q.z * q.z, 2 * q.x * q.y + 2 * q.w * q.z, 2 * q.x * q.z - 2 * q.w * q.y};
    left = {2 * q.x * q.y - 2 * q.w * q.z, 1 - 2 * q.x * q.x - 2 * q.z * q.z, 2 * q.y * q.z + 2 * q.w * q.x};
    up = {2 * q.x * q.z + 2 * q.w * q.y, 2 * q.y * q.z - 2 * q.w * q.x, 1 - 2 * q.x * q.x - 2 * q.y * q.y};
}

const assetgen::AssetSink& moveSink() {
    static const assetgen::AssetSink sink = [] {
        assetgen::AssetSink s;
        assetgen::generateCameraMoves(s);
        return s;
    }();
    return sink;
}

const assetgen::AssetSink& carSinkForMoves() {
    static const assetgen::AssetSink sink = [] {
        assetgen::AssetSink s;
        assetgen::generateCars(s);
        return s;
    }();
    return sink;
}

std::vector<Key> loadMove(int i, bool& linesShort) {
    const auto* bytes = findFile(moveSink(), "scene" + std::to_string(i) + ".txt");
    if (!bytes) return {};
    return parse(std::string(bytes->begin(), bytes->end()), linesShort);
}

bool inView(P3 eye, P3 dir, P3 up, P3 left, P3 point) {
    P3 d = point - eye;
    double forward = dot(d, dir);
    if (forward <= 0) return false;
    const double tanV = std::tan(30 * 3.14159265358979 / 180), tanH = tanV * 4 / 3;
    double l = length(dir);
    return std::fabs(dot(d, up)) / forward <= tanV * l * l * 0.97 && std::fabs(dot(d, left)) / forward <= tanH * l * l * 0.97;
}

}  // namespace

TEST(GeneratedCameraMoves, EveryTrackParsesWithinTheLimits) {
    ASSERT_EQ(moveSink().archiveFiles().size(), 17u);
    for (int i = 0; i < 17; ++i) {
        bool linesShort = false;
        std::vector<Key> k = loadMove(i, linesShort);
        EXPECT_TRUE(linesShort) << "scene" << i;
        ASSERT_GE(k.size(), 2u) << "scene" << i;
        EXPECT_LE(k.size(), 32u) << "scene" << i;
        EXPECT_EQ(k.front().time, 0.0) << "scene" << i;
        for (size_t j = 1; j < k.size(); ++j) EXPECT_GT(k[j].time, k[j - 1].time) << "scene" << i << " key " << j;
        EXPECT_GE(k.back().time, 60.0) << "scene" << i;
        EXPECT_LE(k.back().time, 310.0) << "scene" << i;
        for (const Key& key : k)
            EXPECT_NEAR(std::sqrt(key.rot.x * key.rot.x + key.rot.y * key.rot.y + key.rot.z * key.rot.z + key.rot.w * key.rot.w),
                        1.0, 1e-4)
                << "scene" << i;
    }
}

// The runtime's own reader and evaluation agree with the reading and playback above.
TEST(GeneratedCameraMoves, TheProjectLoaderReadsAndPlaysEveryTrackTheSameWay) {
    for (int i = 0; i < 17; ++i) {
        const auto* bytes = findFile(moveSink(), "scene" + std::to_string(i) + ".txt");
        ASSERT_NE(bytes, nullptr);
        ravelin::BufferLineSource source(bytes->data(), bytes->size());
        ravelin::KeyframeTrack track;
        track.load(source);
        ASSERT_TRUE(track.prepare()) << "scene" << i;
        bool linesShort = false;
        std::vector<Key> k = loadMove(i, linesShort);
        prepare(k);
        ASSERT_EQ(track.keys().size(), k.size()) << "scene" << i;
        for (double t = 0; t < k.back().time; t += 3.7) {
            P3 pos;
            Q rot;
            evaluate(k, t, pos, rot);
            ravelin::TrackPose pose = track.evaluate(static_cast<float>(t));
            EXPECT_FALSE(pose.ended) << "scene" << i << " t=" << t;
            EXPECT_NEAR(pose.position.x, pos.x, 1e-3) << "scene" << i << " t=" << t;
            EXPECT_NEAR(pose.position.y, pos.y, 1e-3) << "scene" << i << " t=" << t;
            EXPECT_NEAR(pose.position.z, pos.z, 1e-3) << "scene" << i << " t=" << t;
            double d = std::fabs(pose.rotation.x * rot.x + pose.rotation.y * rot.y + pose.rotation.z * rot.z +
                                 pose.rotation.w * rot.w);
            EXPECT_NEAR(d, 1.0, 1e-3) << "scene" << i << " t=" << t;
        }
        EXPECT_TRUE(track.evaluate(static_cast<float>(k.back().time)).ended) << "scene" << i;
    }
}

TEST(GeneratedCameraMoves, TheCarStaysInFrameAndTheEyeOutsideTheCarAndAboveTheRoad) {
    MeshData bodies[3];
    const char* names[3] = {"meshes\\car.dat", "meshes\\car2.dat", "meshes\\car3.dat"};
    for (int b = 0; b < 3; ++b) bodies[b] = readObjectMesh(*findFile(carSinkForMoves(), names[b]), true);
    const P3 centre{assetgen::camera::kCarCentre.x, assetgen::camera::kCarCentre.y, assetgen::camera::kCarCentre.z};
    const assetgen::V3 ho = assetgen::cars::helmetOffset(0);
    const P3 helmet{ho.x * 0.011, ho.y * 0.011, (ho.z + 22) * 0.011};  // mesh units → track units
    const P3 nose{0, 3.6, 1.0}, wing{0, -4.4, 2.2};
    for (int i = 0; i < 17; ++i) {
        bool linesShort = false;
        std::vector<Key> k = loadMove(i, linesShort);
        ASSERT_GE(k.size(), 2u);
        prepare(k);
        int samples = 0, centreSeen = 0, carSeen = 0;
        double nearest = 1e9, farthest = 0, lowest = 1e9, maxRoll = 0, closestBody = 1e9;
        for (double t = 0; t <= k.back().time; t += 0.5) {
            P3 eye, dir, up, left;
            Q rot;
            evaluate(k, t, eye, rot);
            axes(rot, dir, up, left);
            ++samples;
            double dist = length(eye - centre);
            nearest = std::min(nearest, dist);
            farthest = std::max(farthest, dist);
            lowest = std::min(lowest, eye.z);
            maxRoll = std::max(maxRoll, std::fabs(std::asin(std::min(1.0, std::fabs(left.z)))) * 180 / 3.14159265358979);
            bool c = inView(eye, dir, up, left, centre);
            centreSeen += c;
            int points = c + inView(eye, dir, up, left, helmet) + inView(eye, dir, up, left, nose) + inView(eye, dir, up, left, wing);
            carSeen += points >= 2;
            // Against every body, in mesh units (track × 0.1 / 0.0011).
            P3 m = (0.1 / 0.0011) * eye;
            for (int b = 0; b < 3; ++b) {
                EXPECT_LT(nearestHit(bodies[b], m, {0, 0, 1}), 0.0)
                    << "scene" << i << " (" << assetgen::camera::cameraMoveName(i) << ") t=" << t << ": eye under or in body " << b;
                if (int(t * 2) % 4 == 0) closestBody = std::min(closestBody, nearestDistance(bodies[b], m));
                for (const auto& w : assetgen::cars::wheelPositions(b))
                    EXPECT_GT(length(m - P3{w.x, w.y, w.z}), assetgen::cars::kTyreRadius + 20) << "scene" << i << " t=" << t;
            }
        }
        std::printf("[ figures  ] scene%-2d %-18s keys %2zu end %3.0f  dist %.2f..%.2f  low %.2f  body %.0f  roll %.1f  in frame %3.0f%%\n",
                    i, assetgen::camera::cameraMoveName(i), k.size(), k.back().time, nearest * 0.1, farthest * 0.1,
                    lowest * 0.1, closestBody, maxRoll, 100.0 * carSeen / samples);
        EXPECT_GE(nearest, 2.5) << "scene" << i;
        EXPECT_LE(farthest, 40.0) << "scene" << i;
        EXPECT_GE(lowest, 0.5) << "scene" << i;
        EXPECT_GE(closestBody, 36.0) << "scene" << i;
        EXPECT_LE(maxRoll, 20.0) << "scene" << i;
        EXPECT_GE(carSeen, samples * 9 / 10) << "scene" << i << " (" << assetgen::camera::cameraMoveName(i) << ")";
        if (std::string(assetgen::camera::cameraMoveName(i)) != "roll hoop") {
            EXPECT_GE(centreSeen, samples * 3 / 4) << "scene" << i << " (" << assetgen::camera::cameraMoveName(i) << ")";
        }
    }
}

TEST(GeneratedCameraMoves, MovesStartAndEndSteady) {
    // Ease in and out (or a steady glide): the first and last segments move no faster than the
    // move's middle, so a cut into or out of the move does not jerk.
    for (int i = 0; i < 17; ++i) {
        bool linesShort = false;
        std::vector<Key> k = loadMove(i, linesShort);
        ASSERT_GE(k.size(), 3u);
        double first = length(k[1].pos - k[0].pos), last = length(k.back().pos - k[k.size() - 2].pos), peak = 0;
        for (size_t j = 1; j < k.size(); ++j) peak = std::max(peak, length(k[j].pos - k[j - 1].pos));
        EXPECT_LE(first, peak + 1e-6) << "scene" << i;
        EXPECT_LE(last, peak + 1e-6) << "scene" << i;
    }
}

TEST(GeneratedCameraMoves, TheSetIsVaried) {
    // Different kinds of shot: some low, some high, some ahead of the car, some behind it, some
    // beside it, and the eye moves relative to the car in every one.
    int low = 0, high = 0, ahead = 0, behind = 0, beside = 0;
    for (int i = 0; i < 17; ++i) {
        bool linesShort = false;
        std::vector<Key> k = loadMove(i, linesShort);
        P3 mid = k[k.size() / 2].pos;
        low += mid.z < 1.5;
        high += mid.z > 8;
        ahead += mid.y > 6;
        behind += mid.y < -6;
        beside += std::fabs(mid.x) > 6;
        double travel = 0;
        for (size_t j = 1; j < k.size(); ++j) travel += length(k[j].pos - k[j - 1].pos);
        EXPECT_GT(travel, 0.5) << "scene" << i;
    }
    EXPECT_GE(low, 2);
    EXPECT_GE(high, 2);
    EXPECT_GE(ahead, 2);
    EXPECT_GE(behind, 3);
    EXPECT_GE(beside, 3);
}
