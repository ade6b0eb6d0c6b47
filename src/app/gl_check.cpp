#include "app/gl_check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/gl.h"

namespace ravelin {
namespace {

// The frame phases' counters, then the loading's.
constexpr size_t kLoadingSlot = kFramePhaseCount;

struct GlCheckState {
    bool enabled = false;
    size_t counts[kFramePhaseCount + 1] = {};
    bool reported = false;
};

GlCheckState& state() {
    static GlCheckState s = [] {
        GlCheckState initial;
        const char* value = std::getenv("RAVELIN_GL_CHECK");
        initial.enabled = value && *value && std::strcmp(value, "0") != 0;
        return initial;
    }();
    return s;
}

const char* errorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    default: return "unknown error";
    }
}

const char* slotName(size_t slot) { return slot == kLoadingSlot ? "loading" : kFramePhaseNames[slot]; }

void check(size_t slot) {
    GlCheckState& s = state();
    if (!s.enabled) return;
    // Every error flag that is set, one per call; a lost context keeps answering, so the
    // drain is bounded.
    for (int i = 0; i < 16; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) return;
        ++s.counts[slot];
        if (!s.reported) {
            s.reported = true;
            std::fprintf(stderr, "ravelin: GL error 0x%04x (%s) after %s\n", static_cast<unsigned>(error),
                         errorName(error), slotName(slot));
        }
    }
}

}  // namespace

void enableGlCheck(bool on) { state().enabled = on; }
bool glCheckEnabled() { return state().enabled; }

void glCheck(FramePhase phase) { check(static_cast<size_t>(phase)); }
void glCheckAfterLoading() { check(kLoadingSlot); }

size_t glErrorCount(FramePhase phase) { return state().counts[static_cast<size_t>(phase)]; }
size_t glErrorCountAfterLoading() { return state().counts[kLoadingSlot]; }

size_t glErrorTotal() {
    size_t total = 0;
    for (size_t n : state().counts) total += n;
    return total;
}

void resetGlErrorCounts() {
    GlCheckState& s = state();
    for (size_t& n : s.counts) n = 0;
    s.reported = false;
}

void printGlErrorCounts() {
    std::printf("gl_errors %zu", glErrorTotal());
    for (size_t slot = 0; slot <= kLoadingSlot; ++slot)
        if (state().counts[slot]) std::printf(" %s %zu", slotName(slot), state().counts[slot]);
    std::printf("\n");
}

}  // namespace ravelin
