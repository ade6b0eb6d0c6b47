#include "race/car.h"

#include <cmath>
#include <cstdio>

#include "base/random.h"

namespace ravelin {

namespace {

// Wheel contact points in car-local mesh units: front right, front left, rear right, rear left.
constexpr Vec3 kWheelsA[4] = {{165.022f, 331.336f, 71.487f},
                              {-168.752f, 331.336f, 71.487f},
                              {162.779f, -345.997f, 73.917f},
                              {-161.661f, -345.997f, 73.917f}};
constexpr Vec3 kWheelsB[4] = {{158.922f, 337.240f, 72.724f},
                              {-159.850f, 337.240f, 72.724f},
                              {156.956f, -349.112f, 73.103f},
                              {-156.062f, -349.112f, 73.103f}};
constexpr Vec3 kHelmetA{0.0388f, 21.9106f, 129.1917f};
constexpr Vec3 kHelmetB{0.0388f, 25.9106f, 133.1917f};

// The world rectangle the lightmap covers.
constexpr float kLightmapCentreX = 36.631f;
constexpr float kLightmapCentreY = 0.895f;
constexpr float kLightmapWidth = 467.673f;
constexpr float kLightmapHeight = 306.049f;

constexpr float kContactOffset = 0.13f;

}  // namespace

void parseCarLook(CarLook& look, LineSource& source) {
    char line[kLookNameCapacity];
    static_assert(kLookNameCapacity == 256, "the %255s widths below follow the capacity");
    source.readLine(line, sizeof line);
    int mesh = 0;
    if (std::sscanf(line, "bodymesh %d", &mesh) == 1) look.bodyMesh = mesh;
    char name[kLookNameCapacity];
    source.readLine(line, sizeof line);
    if (std::sscanf(line, "texture %255s", name) == 1) std::snprintf(look.texture, sizeof look.texture, "%s", name);
    source.readLine(line, sizeof line);
    if (std::sscanf(line, "helmet %255s", name) == 1) std::snprintf(look.helmet, sizeof look.helmet, "%s", name);
    source.readLine(line, sizeof line);
    if (std::sscanf(line, "shadow %255s", name) == 1) std::snprintf(look.shadow, sizeof look.shadow, "%s", name);
}

float Lightmap::brightness(int row, int column) const {
    if (!valid() || row < 0 || row >= kSize || column < 0 || column >= kSize) return 1.0f;
    return static_cast<float>(pixels[static_cast<size_t>(row) * kRowBytes + static_cast<size_t>(column) * 3]) /
           255.0f;
}

uint32_t listForDetail(const uint32_t (&lists)[kCarDetailCount], int detail) {
    for (int d = detail < kCarDetailCount ? detail : kCarDetailCount - 1; d >= 0; --d)
        if (lists[d] != 0) return lists[d];
    return 0;
}

void applyCarLook(Car& car, const CarLook& look, const CarAssets& assets) {
    const int mesh = look.bodyMesh;
    const bool known = mesh >= 0 && mesh < kBodyMeshCount;
    // An unknown mesh index leaves the car without body and reflection (nothing to draw) rather
    // than reading past the three lists.
    for (int detail = 0; detail < kCarSpeck; ++detail)
        car.bodyLists[detail] = known ? listForDetail(assets.bodyLists[mesh], detail) : 0;
    car.bodyLists[kCarSpeck] = known ? assets.bodyLists[mesh][kCarSpeck] : 0;
    car.reflectionList = known ? assets.reflectionLists[mesh] : 0;
    const Vec3* wheels = mesh == 1 ? kWheelsB : kWheelsA;
    for (int i = 0; i < 4; ++i) car.wheelPositions[i] = wheels[i];
    car.helmetOffset = mesh == 1 ? kHelmetB : kHelmetA;
}

void placeCars(std::array<Car, kCarCount>& cars) {
    Random& random = rng();
    bool placed[kCarCount] = {};
    int start = static_cast<int>(random.unit() * 220.0f);
    for (int n = 0; n < kCarCount; ++n) {
        int k;
        do {
            k = static_cast<int>(random.unit() * 18.0f - 0.1f);
        } while (placed[k]);
        placed[k] = true;
        Car& car = cars[k];
        car.raceLine = static_cast<int>(random.unit() * 3.9f);
        car.t = random.unit() * 0.4f + 0.3f;
        car.segment = start;
        start += random.unit() > 0.9f ? 2 : 1;
        if (start >= kRaceLinePoints - 1) start = 0;
    }
}

void listenerSpace(const CameraPose& camera, Vec3 carPosition, Vec3 carVelocity, Vec3& position, Vec3& velocity) {
    const Vec3 d = camera.direction;
    // Direction and up along one line (or a camera never applied) give no side axis; the
    // world's X stands in so the sound stays finite.
    const Vec3 r = normalizeOr(cross(d, camera.up), Vec3{1.0f, 0.0f, 0.0f});
    const Vec3 down = cross(d, r);
    const Vec3 o = carPosition - camera.eye;
    const float distance = length(o);
    position = {dot(r, o) * distance, dot(down, o) * distance, dot(d, o) * distance};
    const float speed = length(carVelocity);
    const Vec3 n = normalizeOr(carVelocity, Vec3{});  // a standing car has no velocity to project
    velocity = {dot(r, n) * speed, dot(down, n) * speed, dot(d, n) * speed};
}

void updateCar(Car& car, float dt, const RaceLine& line, const CameraPose& camera, uint32_t& followedPointsPassed) {
    car.t += dt * kCarSpeed;
    if (car.t > 1.0f) {
        // At most one segment per update: a long frame leaves t above 1 for later frames.
        car.t -= 1.0f;
        car.segment += 1;
        if (car.followed) ++followedPointsPassed;
    }
    if (car.segment >= kRaceLinePoints || car.segment < 0) car.segment = 0;
    car.frame = sampleRaceLine(line, car.segment, car.t);
    listenerSpace(camera, car.frame.position, car.frame.velocity, car.soundPosition, car.soundVelocity);
}

Vec3 lightmapCoordinates(Vec3 position) {
    const float u = (position.x - (kLightmapCentreX - kLightmapWidth / 2.0f)) / kLightmapWidth;
    const float v = (position.y - (kLightmapCentreY - kLightmapHeight / 2.0f)) / kLightmapHeight;
    return {u, v, 0.0f};
}

int lightmapIndex(float coordinate, float scale, int limit) {
    const float scaled = coordinate * scale;
    // trunc toward zero keeps anything above −1 at 0; the range test also catches NaN and
    // infinities before the conversion could overflow.
    if (!(scaled > -1.0f && scaled < static_cast<float>(limit + 1))) return 0;
    return static_cast<int>(scaled);
}

void prepareCarForDrawing(Car& car, const Frustum& frustum, const Lightmap& lightmap) {
    car.bounds.centre = car.frame.position;
    car.visible = sphereVisible(frustum, car.bounds);
    car.screenRadius = screenRadius(frustum, car.bounds);
    const Vec3 p = car.frame.position;
    car.lightmapCoord = lightmapCoordinates(p);
    {
        const int column = lightmapIndex(car.lightmapCoord.x, 1020.0f, 1023);
        const int row = lightmapIndex(car.lightmapCoord.y, 1020.0f, 1023);
        car.brightness[4] = lightmap.brightness(row, column);
    }
    const Vec3 f = car.frame.forward * kContactOffset;
    const Vec3 r = car.frame.right * kContactOffset;
    const Vec3 contacts[4] = {p + f + r, p + f - r, p - f + r, p - f - r};
    for (int i = 0; i < 4; ++i) {
        const Vec3 uv = lightmapCoordinates(contacts[i]);
        const int column = lightmapIndex(uv.x, 1024.0f, 1019);
        const int row = lightmapIndex(uv.y, 1024.0f, 1019);
        car.brightness[i] = lightmap.brightness(row, column);
    }
}

}  // namespace ravelin
