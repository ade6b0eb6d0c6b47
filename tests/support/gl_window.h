// A real GL window for the GL tests: SDL with a GL 1.x compatibility context (Mesa's software
// rasteriser under scripts/with_display.sh), current while the object lives, with helpers to
// fill the extension table from the driver and to read pixels back.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "render/gl.h"
#include "test_support.h"

namespace ravelin::testing {

// A shown SDL window with a GL 1.x compatibility context, current while the object lives.
class GlWindow {
public:
    GlWindow(int width = 800, int height = 600) : width_(width), height_(height) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL);
        if (!window_) return;
        context_ = SDL_GL_CreateContext(window_);
        if (context_) SDL_GL_MakeCurrent(window_, context_);
        glViewport(0, 0, width, height);
    }
    ~GlWindow() {
        if (context_) SDL_GL_DeleteContext(context_);
        if (window_) SDL_DestroyWindow(window_);
        // SDL video stays up until the process ends: quitting it unloads the driver, whose
        // remaining allocations would then be reported from an unknown module.
    }
    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    void swap() { SDL_GL_SwapWindow(window_); }

    // Fills the extension table from the real driver, or leaves multitexturing off.
    static void useMultitexture(bool on) {
        GlExtensions& ext = glExtensions();
        ext.activeTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glActiveTextureARB"));
        ext.clientActiveTexture =
            reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glClientActiveTextureARB"));
        ext.multiTexCoord2f =
            reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fARB"));
        ext.multiTexCoord2fv =
            reinterpret_cast<PFNGLMULTITEXCOORD2FVARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fvARB"));
        ext.multitextureAvailable = on && ext.activeTexture && ext.multiTexCoord2f && ext.multiTexCoord2fv;
    }
    static void useOcclusionQueries(bool on) {
        GlExtensions& ext = glExtensions();
        ext.genQueries = reinterpret_cast<PFNGLGENQUERIESPROC>(SDL_GL_GetProcAddress("glGenQueries"));
        ext.beginQuery = reinterpret_cast<PFNGLBEGINQUERYPROC>(SDL_GL_GetProcAddress("glBeginQuery"));
        ext.endQuery = reinterpret_cast<PFNGLENDQUERYPROC>(SDL_GL_GetProcAddress("glEndQuery"));
        ext.getQueryObjectiv = reinterpret_cast<PFNGLGETQUERYOBJECTIVPROC>(SDL_GL_GetProcAddress("glGetQueryObjectiv"));
        ext.getQueryObjectuiv =
            reinterpret_cast<PFNGLGETQUERYOBJECTUIVPROC>(SDL_GL_GetProcAddress("glGetQueryObjectuiv"));
        ext.occlusionQueryAvailable = on && ext.genQueries && ext.beginQuery && ext.endQuery && ext.getQueryObjectiv &&
                                      ext.getQueryObjectuiv;
    }

    // RGB of one pixel of the back buffer (origin bottom left).
    static void pixel(int x, int y, uint8_t rgb[3]) {
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    }
    std::vector<uint8_t> readAll() const {
        std::vector<uint8_t> rgb(static_cast<size_t>(width_) * height_ * 3);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

private:
    int width_, height_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
};

// RGB pixels (as readAll gives them) with any channel above 8: not black.
inline int litPixels(const std::vector<uint8_t>& rgb) {
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) n += (rgb[i] | rgb[i + 1] | rgb[i + 2]) > 8;
    return n;
}

}  // namespace ravelin::testing

// Skips a GL test without a display; fails it when the window or its context cannot be made.
#define REQUIRE_GL(window)                                                                                   \
    if (!::ravelin::testing::haveDisplay()) GTEST_SKIP() << "no display (run under scripts/with_display.sh)"; \
    ASSERT_TRUE((window).ok()) << SDL_GetError()
