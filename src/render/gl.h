// The GL headers and the extension table: ARB multitexture entry points and the flag every
// drawing path consults. Filled once by setUpGl (render/gl_setup.cpp) with the platform's
// proc-address lookup; read by everything that draws.
#pragma once

#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

namespace ravelin {

struct GlExtensions {
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2f = nullptr;
    PFNGLMULTITEXCOORD2FVARBPROC multiTexCoord2fv = nullptr;
    bool multitextureAvailable = false;
};

GlExtensions& glExtensions();
inline bool multitextureAvailable() { return glExtensions().multitextureAvailable; }

}  // namespace ravelin
