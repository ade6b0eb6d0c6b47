// Small GL helpers shared by every drawing part: the 800 × 600 overlay projection, the texture
// matrix and texture-unit resets, display lists that may be missing, the frame matrix and the
// view frustum read back from GL.
#pragma once

#include "base/math.h"

namespace ravelin {

void enterOverlayProjection();
void leaveOverlayProjection();
void resetTextureMatrix();
void selectTextureUnit(int unit);  // only with multitexturing
void resetTextureUnits();          // does nothing without multitexturing
void frameMatrix(const TrackFrame& frame);  // glMultMatrixf of the frame's rotation
// glCallList, except that list 0 (a part that never loaded) draws nothing instead of raising
// GL_INVALID_VALUE every frame.
void callList(unsigned list);
Frustum extractFrustum();                   // from GL_PROJECTION_MATRIX × GL_MODELVIEW_MATRIX

}  // namespace ravelin
