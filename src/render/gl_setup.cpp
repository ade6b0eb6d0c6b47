#include "render/gl_setup.h"

#include <cmath>
#include <cstring>

#include "platform/platform.h"
#include "render/gl.h"

namespace ravelin {

GlExtensions& glExtensions() {
    static GlExtensions extensions;
    return extensions;
}

bool glHasExtension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (all == nullptr) return false;
    const size_t n = std::strlen(name);
    for (const char* p = std::strstr(all, name); p != nullptr; p = std::strstr(p + n, name))
        if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

void* glProcEither(const char* name, const char* suffixed) {
    void* f = platform().glProcAddress(name);
    return f != nullptr ? f : platform().glProcAddress(suffixed);
}

void lookUpGlExtensions(bool forceSingleTexture) {
    GlExtensions& ext = glExtensions();
    Platform& p = platform();
    ext.activeTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(p.glProcAddress("glActiveTextureARB"));
    ext.clientActiveTexture =
        reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(p.glProcAddress("glClientActiveTextureARB"));
    ext.multiTexCoord2f = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(p.glProcAddress("glMultiTexCoord2fARB"));
    ext.multiTexCoord2fv = reinterpret_cast<PFNGLMULTITEXCOORD2FVARBPROC>(p.glProcAddress("glMultiTexCoord2fvARB"));
    // The client-side unit selector is never used for drawing, so it is not part of the test.
    ext.multitextureAvailable = !forceSingleTexture && ext.activeTexture && ext.multiTexCoord2f && ext.multiTexCoord2fv;
    ext.genQueries = reinterpret_cast<PFNGLGENQUERIESPROC>(glProcEither("glGenQueries", "glGenQueriesARB"));
    ext.beginQuery = reinterpret_cast<PFNGLBEGINQUERYPROC>(glProcEither("glBeginQuery", "glBeginQueryARB"));
    ext.endQuery = reinterpret_cast<PFNGLENDQUERYPROC>(glProcEither("glEndQuery", "glEndQueryARB"));
    ext.getQueryObjectiv =
        reinterpret_cast<PFNGLGETQUERYOBJECTIVPROC>(glProcEither("glGetQueryObjectiv", "glGetQueryObjectivARB"));
    ext.getQueryObjectuiv =
        reinterpret_cast<PFNGLGETQUERYOBJECTUIVPROC>(glProcEither("glGetQueryObjectuiv", "glGetQueryObjectuivARB"));
    ext.occlusionQueryAvailable = glHasExtension("GL_ARB_occlusion_query") && ext.genQueries && ext.beginQuery &&
                                  ext.endQuery && ext.getQueryObjectiv && ext.getQueryObjectuiv;
}

bool setUpGl(const GlSetupOptions& options, int32_t storedGamma, bool defGamma) {
    const GLfloat origin[] = {0, 0, 0, 1};
    const GLfloat down[] = {0, 0, -1};
    const GLfloat white[] = {1, 1, 1, 1};
    const GLfloat black[] = {0, 0, 0, 1};

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    // Light positions are given under the identity so the lights travel with the eye.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, origin);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, down);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT1, GL_POSITION, origin);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, down);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_SPECULAR, white);
    glLightfv(GL_LIGHT1, GL_AMBIENT, black);
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glClearColor(0, 0, 0, 1);

    lookUpGlExtensions(options.forceSingleTexture);

    // Frames are produced as fast as the machine allows; swaps never wait for the retrace.
    platform().setSwapInterval(0);

    if (!defGamma) {
        float e = gammaExponent(storedGamma);
        applyGamma(e, e, e);
    }
    return true;
}

float gammaExponent(int32_t storedGamma) {
    int32_t g = storedGamma < 0 ? 0 : (storedGamma > 100 ? 100 : storedGamma);
    return static_cast<float>(1.0 - ((g - 50) / 50.0) * 0.5);
}

void computeGammaRamp(float red, float green, float blue, uint16_t* ramp) {
    const float exponents[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c) {
        double x = exponents[c];
        for (int i = 0; i < 256; ++i) {
            double v = std::pow(i / 256.0, x) * 65536.0;
            // A non-finite or negative exponent must not wrap around the 16-bit entry.
            if (!(v >= 0.0)) v = 0.0;
            if (v > 65535.0) v = 65535.0;
            ramp[c * 256 + i] = static_cast<uint16_t>(v);
        }
    }
}

bool applyGamma(float red, float green, float blue) {
    uint16_t ramp[kGammaRampEntries];
    computeGammaRamp(red, green, blue, ramp);
    return platform().setGammaRamp(ramp);
}

}  // namespace ravelin
