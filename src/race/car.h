// Cars: the eighteen race cars on their race lines, their looks, the shared car assets, the
// starting grid, the per-frame update (with where the car is heard, in listener space) and the
// ground brightness and culling that precede drawing. The run's world owns the RaceState; the
// camera director follows one car; car_draw.cpp draws them; the run's sound plays one engine per
// car from the listener-space vectors each update leaves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "race/keyframe_track.h"
#include "race/race_line.h"
#include "render/texture.h"

namespace ravelin {

constexpr int kCarCount = 18;
constexpr int kLookCount = 6;
constexpr int kBodyMeshCount = 3;
constexpr float kCarSpeed = 2.963f;  // race-line segments per second, the same for every car
constexpr size_t kLookNameCapacity = 256;

// The look files, by car index modulo 6.
constexpr std::array<std::string_view, kLookCount> kLookFiles = {
    "vcl\\f.txt", "vcl\\b.txt", "vcl\\green.txt", "vcl\\blue.txt", "vcl\\orange.txt", "vcl\\yellow.txt"};
constexpr std::array<std::string_view, kRaceLineCount> kRaceLineFiles = {"corr.ase", "corr2.ase", "corr3.ase",
                                                                         "corr4.ase"};

struct CarLook {
    int bodyMesh = 0;
    char texture[kLookNameCapacity] = {};
    char helmet[kLookNameCapacity] = {};
    char shadow[kLookNameCapacity] = {};
};

// Reads the four look lines ("bodymesh %d", "texture %s", "helmet %s", "shadow %s") in order. A
// line that does not convert leaves its field as it was.
void parseCarLook(CarLook& look, LineSource& source);

// The ground lightmap: 1024 × 1024 RGB, rows bottom-up (row 0 is the picture's bottom edge).
struct Lightmap {
    static constexpr int kSize = 1024;
    static constexpr size_t kRowBytes = kSize * 3;
    std::vector<uint8_t> pixels;  // kSize * kRowBytes bytes when valid
    bool valid() const { return pixels.size() == kSize * kRowBytes; }
    // Red byte of (row, column) / 255; 1 (full light) when no lightmap could be loaded.
    float brightness(int row, int column) const;
};

// How finely a car is drawn: the full meshes for cars seen close, lighter ones for cars that
// show small and tiny on screen, and for specks a single body with its wheels built in (drawn
// without wheels or helmet of their own).
enum CarDetail { kCarFull, kCarFar, kCarTiny, kCarSpeck, kCarDetailCount };

// The list for a detail, or the next finer one where the archive has none (0: none at all).
uint32_t listForDetail(const uint32_t (&lists)[kCarDetailCount], int detail);

struct CarAssets {
    Lightmap lightmap;
    Texture skybox, chrome, specLevel, illumination, shadow, tyre, rim;
    // By detail (0 where the archive has none: see listForDetail).
    uint32_t wheelPass0[kCarDetailCount] = {}, wheelPass1[kCarDetailCount] = {}, helmet[kCarDetailCount] = {};
    uint32_t bodyLists[kBodyMeshCount][kCarDetailCount] = {};
    uint32_t reflectionLists[kBodyMeshCount] = {};
    // The last shadow mesh a look asked for, compiled once and shared by the looks that name it.
    char shadowName[kLookNameCapacity] = {};
    uint32_t shadowList = 0;
};

struct Car {
    bool followed = false;
    bool visible = false;
    float screenRadius = 0.0f;  // bounds' radius in pixels when last prepared for drawing
    Vec3 helmetOffset;
    Sphere bounds{{}, 0.3f};
    float t = 0.0f;
    int segment = 0;
    int raceLine = 0;  // index into RaceState::lines
    Texture bodyTexture, helmetTexture;
    // By detail, each one there (a finer one stands in), but for the speck: 0 without one, since
    // no other body carries the wheels.
    uint32_t bodyLists[kCarDetailCount] = {};
    uint32_t reflectionList = 0, shadowList = 0;
    Vec3 wheelPositions[4];
    float brightness[5] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f};  // four wheel contacts, then the body
    RaceSample frame;
    Vec3 lightmapCoord;
    // Where the car is heard: its position and velocity on the camera's axes (listenerSpace),
    // from the last update, for its engine sound.
    Vec3 soundPosition, soundVelocity;
};

// Everything the race keeps for the whole run (part of the run's world).
struct RaceState {
    std::array<RaceLine, kRaceLineCount> lines;
    CarAssets assets;
    std::array<Car, kCarCount> cars;
    std::array<KeyframeTrack, kTrackCount> tracks;
};
// Look-dependent fields from a parsed look (wheel set, helmet offset, lists by mesh index; a
// lighter body the archive lacks is the next finer one).
void applyCarLook(Car& car, const CarLook& look, const CarAssets& assets);

// Random starting grid: consecutive or next-but-one points from a random start, random order,
// random line. Draws from rng() in a fixed order.
void placeCars(std::array<Car, kCarCount>& cars);

// Listener-space vectors for the engine sound. Position: the offset's projections each scaled
// by the offset's length once more; velocity: v on the same axes.
void listenerSpace(const CameraPose& camera, Vec3 carPosition, Vec3 carVelocity, Vec3& position, Vec3& velocity);

// One frame: advance, sample, then where the car is heard from the camera. followedPointsPassed
// counts the segments the followed car enters.
void updateCar(Car& car, float dt, const RaceLine& line, const CameraPose& camera, uint32_t& followedPointsPassed);

// Lightmap texture-space coordinates of a world position.
Vec3 lightmapCoordinates(Vec3 position);
// Pixel index along one lightmap axis: trunc(coordinate · scale), replaced by 0 outside
// 0 … limit (not clamped).
int lightmapIndex(float coordinate, float scale, int limit);
// Frustum test and the five brightness look-ups.
void prepareCarForDrawing(Car& car, const Frustum& frustum, const Lightmap& lightmap);

// Loading through the asset archive (race_loading.cpp).
bool loadCarAssets(CarAssets& assets, TextureCache& textures);
bool loadCarLook(Car& car, std::string_view name, CarAssets& assets, TextureCache& textures);
bool loadRaceLines(RaceState& race);           // the four lines in load order
int loadKeyframeTracks(RaceState& race);       // "scene0.txt" … "scene16.txt"; number prepared
bool loadCarLooks(RaceState& race, TextureCache& textures);  // cars k … k+5 for k = 0, 6, 12

// Drawing (car_draw.cpp): the brightness and culling step and every pass, cars 0 … 17.
void drawCars(std::array<Car, kCarCount>& cars, const CarAssets& assets, const Frustum& frustum);

}  // namespace ravelin
