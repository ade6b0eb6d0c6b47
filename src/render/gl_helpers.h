// Small GL helpers shared by every drawing part: the 800 × 600 overlay projection, the texture
// matrix and texture-unit resets, the frame matrix and the view frustum read back from GL.
#pragma once

#include "base/math.h"

namespace ravelin {

void enterOverlayProjection();
void leaveOverlayProjection();
void resetTextureMatrix();
void selectTextureUnit(int unit);  // only with multitexturing
void resetTextureUnits();          // does nothing without multitexturing
void frameMatrix(const TrackFrame& frame);  // glMultMatrixf of the frame's rotation
Frustum extractFrustum();                   // from GL_PROJECTION_MATRIX × GL_MODELVIEW_MATRIX

}  // namespace ravelin
