// Binary meshes compiled into display lists at load time: scene meshes (with a bounding box for
// frustum culling) and object meshes (car bodies, shells, shadow). Lists live until the context
// goes. A missing or truncated file yields no list and never a read outside the entry.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/math.h"

namespace ravelin {

struct Mesh {
    Vec3 bbMin, bbMax, centre, halfExtent;
    uint32_t list = 0;
    bool load(std::string_view stem);  // "road" → "meshes\road.dat"
    void drawIfVisible(const Frustum& frustum) const;
};

// "car.ase" → "meshes\car.dat"; returns the display list (0 on failure).
uint32_t compileObjectMesh(std::string_view aseName, bool secondSet);

}  // namespace ravelin
