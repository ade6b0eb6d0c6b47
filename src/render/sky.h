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
    // The colour the picture shows along its bottom edge (where the dome ends below the horizon),
    // what the frame clears to before the dome: black until loaded.
    float groundColour[3] = {0, 0, 0};
    void load(TextureCache& textures);  // "skydome" mesh and "skydome.jpg"
    // Colour buffer to the ground colour and depth cleared: what the dome leaves uncovered shows
    // the colour the dome's lowest ring has.
    void clear() const;
    void draw(Vec3 eye) const;  // after the camera is applied
};

}  // namespace ravelin
