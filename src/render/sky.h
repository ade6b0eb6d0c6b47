// Sky: the textured dome that travels with the camera and fills the background. Loaded once
// after the scenes; drawn first in every 3D image by the frame composition.
#pragma once

#include "base/math.h"
#include "render/mesh.h"
#include "render/texture.h"

namespace ravelin {

struct Sky {
    Mesh dome;
    Texture texture;
    void load(TextureCache& textures);  // "skydome" mesh and "skydome.jpg"
    void draw(Vec3 eye) const;          // after the camera is applied
};

}  // namespace ravelin
