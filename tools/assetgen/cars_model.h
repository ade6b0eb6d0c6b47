// Car geometry of the content generator: the three bodies and their reflection shells, the
// tyre and rim, the helmet and the shadow quad. generateCars (cars.cpp) writes what these build;
// the generator tests measure the same geometry. Everything is in car mesh units (+X right,
// +Y forward, +Z up, ground at z = 0); the runtime scales bodies by 0.0011.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "assetgen.h"

namespace assetgen::cars {

// Where the runtime puts the wheels (front right, front left, rear right, rear left) and the
// helmet, per body index. The bodies are built around these numbers.
const std::array<V3, 4>& wheelPositions(int body);
V3 helmetOffset(int body);

// Tyre and rim proportions shared by the wheel meshes and the body clearances.
constexpr float kTyreRadius = 71.0f;
constexpr float kTyreHalfWidth = 40.0f;
constexpr float kRimRadius = 44.0f;

// Livery texture layout: a top view, a right and a left side view, and a strip of solid patches
// (carbon, black, metal, ...) for parts that carry no paint.
enum class Skin : uint8_t { Paint, Carbon, Black, Metal, Accent, Red, Chrome };
constexpr float kLiveryYMin = -480.0f, kLiveryYMax = 480.0f;  // u across all views
constexpr float kLiveryXHalf = 225.0f;                         // top view half width
constexpr float kLiverySideZMax = 280.0f;                      // side views cover z 0 … this
// v ranges (GL convention: v = 0 is the picture's bottom row).
constexpr float kTopV0 = 0.5625f, kTopV1 = 1.0f;
constexpr float kPatchV0 = 0.5f, kPatchV1 = 0.5625f;
constexpr float kRightV0 = 0.25f, kRightV1 = 0.5f;
constexpr float kLeftV0 = 0.0f, kLeftV1 = 0.25f;
constexpr int kPatchCount = 8;  // patches side by side along u, indexed by Skin (Paint unused)

// One triangle soup with parts; normals come from per-part smoothing with a crease angle.
struct Triangle {
    uint32_t a, b, c;
    uint16_t part;
    Skin skin;
};
struct PartInfo {
    float creaseDegrees;
    bool inShell;  // reflective painted bodywork that the reflection shell copies
};

struct CarModel {
    std::vector<V3> vertices;
    std::vector<Triangle> triangles;
    std::vector<PartInfo> parts;
    // The hub of each wheel and the seat under the helmet, as built (tests compare them with
    // the runtime's placement numbers).
    std::array<V3, 4> hubCentres{};
    V3 seatPoint{};
};

// How finely the round parts are divided. The full detail is for cars seen close; the far one,
// for cars a few dozen pixels long, takes 8 points around the covers and pods instead of 20,
// about half as many on the tub's underside, the airfoils, exhausts, wheels and helmet, and
// merges each wishbone's legs: the same outline within a fraction of a pixel at that size, for
// three fifths of the body's triangles, half the wheels' and a quarter of the helmet's. The tub's
// cockpit opening keeps every point (the helmet sits in it). The tiny one, for cars about thirty
// pixels long, where a wheel is five pixels across and a mirror a third of one, also takes rough
// profiles (the tyre's, the rim's and the cockpit's outline from about half their points) and
// leaves out the parts under a pixel: mirrors, exhausts and rain light. The speck, for cars about
// a dozen pixels long (a wheel two pixels across, a wishbone a tenth of one), is a single mesh:
// covers and pods from six points, wheels as drums in the body, no suspension.
struct Detail {
    int sectionPoints;   // covers, airbox and pods, around each section
    int tubLowerSteps;   // the tub's lower half, side to side
    int airfoilHalf;     // points along each face of a wing section
    int pipePoints;      // around each exhaust
    bool wishbones;      // two legs per wishbone and a push rod, or one bar per wishbone
    int tyreSegments, hubSegments, rimSegments;
    int helmetLongitudes, helmetLatitudes;
    bool roughProfiles = false;  // tyre, rim and cockpit outlines from fewer points
    bool smallParts = true;      // mirrors, exhausts and rain light
    // The speck: no suspension or hubs, and each wheel a plain dark drum of tyreSegments sides
    // built into the body, so the car is one mesh and the runtime draws no wheels or helmet.
    bool wheelsInBody = false;
};
extern const Detail kFullDetail;
extern const Detail kFarDetail;
extern const Detail kTinyDetail;
extern const Detail kSpeckDetail;

CarModel buildBody(int body, const Detail& detail = kFullDetail);
// Body written in the object-mesh layout with the second set for the sliding illumination.
ObjectMesh bodyMesh(const CarModel& model);
// The painted flanks inflated a little, for the additive sky reflection.
ObjectMesh shellMesh(const CarModel& model);

// "wheel_pass0": left-hand wheel, axle along X, outer face at −X
SceneMesh tyreMesh(const Detail& detail = kFullDetail);
// "wheel_pass1": the rim disc on the outer face
SceneMesh rimMesh(const Detail& detail = kFullDetail);
// "helm": pivot at the origin, face toward +Y; two sets (paint, shine)
SceneMesh helmetMesh(const Detail& detail = kFullDetail);
ObjectMesh shadowMesh(); // "shadow": 4 vertices, 2 faces, 8 coordinates, no second set

// Helmet shape (helmet-local): centre of the shell and its radii.
constexpr V3 kHelmetCentre{0.0f, 2.0f, 22.0f};
constexpr V3 kHelmetRadii{26.0f, 30.0f, 28.0f};

// Solid patch centre (u, v) of a skin in the livery layout.
V2 patchUv(Skin skin);

}  // namespace assetgen::cars
