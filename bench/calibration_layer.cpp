// The rasteriser's one-layer limit, the yardstick the screensaver's frame rate is compared with:
// one full-screen quad per frame, textured (a 1024 × 1024 mip-mapped picture, minified so that
// trilinear filtering reads two levels), alpha-blended over the last frame, no depth, swapped
// without waiting for the display. Prints frames per second, median of one-second windows.
//   calibration_layer [--seconds T] [WxH]
#include <SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Smooth value noise with some colour, so no texel repeats its neighbour exactly.
std::vector<uint8_t> picture(int size) {
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    uint32_t state = 12345;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        state = state * 214013u + 2531011u;
        const uint8_t n = static_cast<uint8_t>(state >> 24);
        const size_t texel = i / 4;
        rgba[i] = static_cast<uint8_t>((texel % size) * 255 / size / 2 + n / 2);
        rgba[i + 1] = static_cast<uint8_t>((texel / size) * 255 / size / 2 + n / 3);
        rgba[i + 2] = static_cast<uint8_t>(128 + n / 4);
        rgba[i + 3] = 200;
    }
    return rgba;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    int width = 800, height = 600;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::sscanf(a.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
            std::fprintf(stderr, "usage: calibration_layer [--seconds T] [WxH]\n");
            return 2;
        }
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "calibration_layer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("calibration", 0, 0, width, height, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "calibration_layer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, width, height);

    const int size = 1024;
    const std::vector<uint8_t> texels = picture(size);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, size, size, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // About two texels per pixel across a 1920-wide screen, whatever the size: levels 1 and 2.
    const float repeat = 4.0f * static_cast<float>(width) / 1920.0f;

    std::vector<double> rates;
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    const uint64_t begin = SDL_GetPerformanceCounter();
    uint64_t windowStart = begin;
    long frames = 0, inWindow = 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {}
        // The layer drifts a little each frame, as a moving picture would.
        const float shift = static_cast<float>(frames % 64) / 64.0f;
        glBegin(GL_QUADS);
        glTexCoord2f(shift, 0);
        glVertex2f(0, 0);
        glTexCoord2f(shift + repeat, 0);
        glVertex2f(1, 0);
        glTexCoord2f(shift + repeat, repeat * height / width);
        glVertex2f(1, 1);
        glTexCoord2f(shift, repeat * height / width);
        glVertex2f(0, 1);
        glEnd();
        glFlush();
        SDL_GL_SwapWindow(window);
        ++frames;
        ++inWindow;
        const uint64_t now = SDL_GetPerformanceCounter();
        if ((now - windowStart) / frequency >= 1.0) {
            rates.push_back(inWindow / ((now - windowStart) / frequency));
            inWindow = 0;
            windowStart = now;
        }
        if ((now - begin) / frequency >= seconds && !rates.empty()) break;
    }
    std::printf("size %dx%d\n", width, height);
    std::printf("frames %ld windows %zu\n", frames, rates.size());
    std::printf("fps_median %.1f\n", median(rates));
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
