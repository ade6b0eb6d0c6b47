#include "race/camera_director.h"

#include <cmath>

#include "base/random.h"

namespace ravelin {

namespace {

Vec3 column(const Matrix4& m, int c) { return {m.m[c * 4 + 0], m.m[c * 4 + 1], m.m[c * 4 + 2]}; }

Vec3 toWorld(const RaceSample& f, Vec3 local) {
    return f.right * local.x + f.forward * local.y + f.up * local.z;
}

}  // namespace

void CameraDirector::initCounters() {
    Random& random = rng();
    shotsSinceTransition = 0;
    shotsPerTransition = static_cast<int>(random.unit() * 5.9f) + 5;
    transitionStyle = static_cast<int>(random.unit() * 3.9f);
}

void CameraDirector::initShots() {
    chooseTarget();
    chooseShot();
}

void CameraDirector::chooseTarget() {
    if (target != nullptr) target->followed = false;
    if (race_ == nullptr) return;
    const int k = static_cast<int>(rng().unit() * 18.0f - 0.1f);
    target = &race_->cars[k];
    target->followed = true;
}

void CameraDirector::chooseShot() {
    Random& random = rng();
    trackTime = 0.0f;
    shotFinished = false;
    const float u = random.unit();
    if (u < 0.3f && !scripted) {
        scripted = true;
        track = static_cast<int>(random.unit() * 16.9f);
        trackTime = 0.0f;
        update();
    } else {
        scripted = false;
        pointsPassed = 0;
        setUpTrackside();
    }
}

void CameraDirector::setUpTrackside() {
    Random& random = rng();
    const int segment = target != nullptr ? target->segment : 0;
    int point = segment + static_cast<int>(random.unit() * 2.0f) + 6;
    if (point >= kRaceLinePoints) point -= kRaceLinePoints;
    shotLength = static_cast<uint32_t>(static_cast<int>(random.unit() * 2.0f) + 9);
    const float t = random.unit() * 0.4f + 0.2f;
    if (race_ != nullptr && target != nullptr) {
        const int line = target->raceLine >= 0 && target->raceLine < kRaceLineCount ? target->raceLine : 0;
        tracksideEye = sampleRaceLine(race_->lines[line], point, t).position;
    } else {
        tracksideEye = {};
    }
    tracksideEye += Vec3{0.0f, 0.0f, random.unit() * 1.5f + 0.1f};
    const float offsetY = random.unit() * 4.0f - 2.0f;
    const float offsetX = random.unit() * 4.0f - 2.0f;
    tracksideEye += Vec3{offsetX, offsetY, 0.0f};
    if (random.unit() < 0.2f) {
        fixedFieldOfView = true;
        baseFieldOfView = random.unit() * 40.0f + 20.0f;
    } else {
        fixedFieldOfView = false;
        baseFieldOfView = random.unit() * 20.0f + 30.0f;
    }
}

void CameraDirector::update() {
    if (!scripted) {
        if (pointsPassed >= shotLength) {
            pointsPassed = 0;
            shotFinished = true;
        }
        return;
    }
    const KeyframeTrack* playing =
        race_ != nullptr && track >= 0 && track < kTrackCount ? &race_->tracks[track] : nullptr;
    // A track that could not be prepared is never evaluated: its shot ends at once, posed at its
    // last key if it has one.
    const TrackPose pose = playing != nullptr ? playing->evaluate(trackTime) : TrackPose{};
    if (pose.ended || playing == nullptr || !playing->ready()) {
        trackTime = 0.0f;
        shotFinished = true;
    }
    localEye_ = pose.position;
    rotation = pose.rotation;
    const Matrix4 r = toMatrix(rotation);
    localDirection_ = column(r, 0);
    localUp_ = column(r, 2);
    eye = localEye_;
    direction = localDirection_;
    up = localUp_;
}

void CameraDirector::afterUpdate() {
    if (!shotFinished) return;
    if (shotsSinceTransition == shotsPerTransition) {
        if (capture != nullptr) capture->captureTransition(*this);
        Random& random = rng();
        shotsSinceTransition = 0;
        shotsPerTransition = static_cast<int>(random.unit() * 3.9f) + 7;
        transitionStyle = static_cast<int>(random.unit() * 3.9f);
        transitionActive = true;
        transitionElapsed = 0.0f;
        if (race_ != nullptr) placeCars(race_->cars);
    }
    chooseTarget();
    chooseShot();
    shotsSinceTransition += 1;
}

void CameraDirector::computeView() {
    const RaceSample frame = target != nullptr ? target->frame : RaceSample{};
    if (scripted) {
        const Vec3 scaled = localEye_ * 0.1f;
        eye = frame.position + toWorld(frame, scaled);
        direction = toWorld(frame, localDirection_);
        up = toWorld(frame, localUp_);
        fieldOfView = 60.0f;
    } else {
        eye = tracksideEye;
        const Vec3 toCar = frame.position - eye;
        // A car exactly at the eye keeps the previous viewing direction.
        direction = normalizeOr(toCar, normalizeOr(direction, Vec3{1.0f, 0.0f, 0.0f}));
        up = {0.0f, 0.0f, 1.0f};
        const Vec3 fromCar = eye - frame.position;
        // With the eye on the car's diagonal (or on the car) the cross product vanishes; the
        // car's own right side gives the zoom its reference point instead.
        const Vec3 side = normalizeOr(cross(fromCar, Vec3{1.0f, 1.0f, 0.0f}), frame.right);
        const Vec3 m = frame.position + side * 8.0f;
        float c = dot(normalizeOr(eye - m, Vec3{}), normalizeOr(fromCar, Vec3{}));
        if (c < 0.0f) c = -c;
        fieldOfView = fixedFieldOfView ? baseFieldOfView : (1.0f - c) * baseFieldOfView;
    }
    // Looking straight along the up vector leaves gluLookAt without a side axis; the car's
    // forward direction is up enough for that one image.
    if (!(length(direction) > 0.0f)) direction = {1.0f, 0.0f, 0.0f};
    if (!(length(cross(direction, up)) > 1e-6f)) up = normalizeOr(frame.forward, Vec3{0.0f, 1.0f, 0.0f});
    if (!(length(cross(direction, up)) > 1e-6f)) up = {0.0f, 1.0f, 0.0f};
}

bool CameraDirector::ageTransition(float dt, float& x) {
    x = 0.0f;
    if (!transitionActive) return false;
    transitionElapsed += dt;
    if (transitionElapsed >= kTransitionSeconds) {
        transitionActive = false;
        transitionElapsed = 0.0f;
        return false;
    }
    x = transitionElapsed * 0.5f;
    return true;
}

}  // namespace ravelin
