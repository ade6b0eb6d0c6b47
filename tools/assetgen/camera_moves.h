// The seventeen scripted camera moves of the content generator ("scene0.txt" … "scene16.txt").
// generateCameraMoves writes them; the generator tests read the same keys back. Positions are in
// the followed car's frame (+X right, +Y forward, +Z up) in tenths of a world unit (the runtime
// multiplies by 0.1); time in track units (6 per second).
#pragma once

#include <string>
#include <vector>

#include "assetgen.h"

namespace assetgen::camera {

constexpr int kMoveCount = 17;

struct Key {
    float time = 0;
    V3 position;
    float rotation[4] = {0, 0, 0, 1};  // x, y, z, w: rotated +X looks, rotated +Z is up
};

// What the moves look at: the middle of the car (track units).
constexpr V3 kCarCentre{0.0f, 0.0f, 1.0f};

std::vector<Key> cameraMove(int index);  // 0 … 16
const char* cameraMoveName(int index);   // "chase", "orbit", … for reports and test messages
std::string formatKeyframes(const std::vector<Key>& keys);

}  // namespace assetgen::camera
