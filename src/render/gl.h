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
    // Query objects (core since GL 1.5, or ARB_occlusion_query): the sun's occlusion test and the
    // benchmark's timers.
    PFNGLGENQUERIESPROC genQueries = nullptr;
    PFNGLBEGINQUERYPROC beginQuery = nullptr;
    PFNGLENDQUERYPROC endQuery = nullptr;
    PFNGLGETQUERYOBJECTIVPROC getQueryObjectiv = nullptr;
    PFNGLGETQUERYOBJECTUIVPROC getQueryObjectuiv = nullptr;
    bool occlusionQueryAvailable = false;
};

GlExtensions& glExtensions();
// Whether the current context lists the extension (a whole word of GL_EXTENSIONS).
bool glHasExtension(const char* name);
// The platform's entry point under its core name, else under the suffixed one (null: neither).
void* glProcEither(const char* name, const char* suffixed);
inline bool multitextureAvailable() { return glExtensions().multitextureAvailable; }

}  // namespace ravelin
