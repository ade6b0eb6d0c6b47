#include "app/phase_timer.h"

#include <cstdio>

#include "platform/platform.h"
#include "render/gl.h"

namespace ravelin {
namespace {

// The 64-bit result, only the timer-query extensions have (the rest is in glExtensions()).
PFNGLGETQUERYOBJECTUI64VPROC getQueryObjectui64v = nullptr;

}  // namespace

void PhaseTimer::start(bool sync) {
    gpu_ = false;
    sync_ = sync;
    if (sync_) return;
    if (!glHasExtension("GL_ARB_timer_query") && !glHasExtension("GL_EXT_timer_query")) return;
    const GlExtensions& c = glExtensions();
    getQueryObjectui64v = reinterpret_cast<PFNGLGETQUERYOBJECTUI64VPROC>(
        glProcEither("glGetQueryObjectui64v", "glGetQueryObjectui64vEXT"));
    if (!c.genQueries || !c.beginQuery || !c.endQuery || !c.getQueryObjectiv || !getQueryObjectui64v) return;
    c.genQueries(static_cast<GLsizei>(kRing * kFramePhaseCount), &queries_[0][0]);
    gpu_ = true;
}

void PhaseTimer::phaseBegins(FramePhase phase) {
    if (gpu_) {
        glExtensions().beginQuery(GL_TIME_ELAPSED, queries_[slot_][static_cast<size_t>(phase)]);
        return;
    }
    if (sync_) glFinish();
    cpuBegin_ = platform().counter();
}

void PhaseTimer::phaseEnds(FramePhase phase) {
    const size_t i = static_cast<size_t>(phase);
    if (gpu_) {
        glExtensions().endQuery(GL_TIME_ELAPSED);
        return;
    }
    if (sync_) glFinish();
    const int64_t frequency = platform().counterFrequency();
    if (frequency <= 0) return;
    sumNs_[i] += static_cast<double>(platform().counter() - cpuBegin_) * 1e9 / static_cast<double>(frequency);
    ++counted_[i];
}

void PhaseTimer::frameDone() {
    if (!gpu_) return;
    pending_[slot_] = true;
    slot_ = (slot_ + 1) % kRing;
    // The slot about to be reused was written kRing frames ago: its results are normally ready;
    // a frame whose results are not is left out rather than waited for.
    if (!pending_[slot_]) return;
    pending_[slot_] = false;
    const GlExtensions& c = glExtensions();
    for (size_t i = 0; i < kFramePhaseCount; ++i) {
        GLint ready = 0;
        c.getQueryObjectiv(queries_[slot_][i], GL_QUERY_RESULT_AVAILABLE, &ready);
        if (!ready) continue;
        GLuint64 ns = 0;
        getQueryObjectui64v(queries_[slot_][i], GL_QUERY_RESULT, &ns);
        sumNs_[i] += static_cast<double>(ns);
        ++counted_[i];
    }
}

double PhaseTimer::meanMs(size_t phase) const {
    return counted_[phase] > 0 ? sumNs_[phase] / static_cast<double>(counted_[phase]) / 1e6 : 0.0;
}

void PhaseTimer::print() const {
    std::printf("phase_ms_%s", gpu_ ? "gpu" : sync_ ? "finished" : "cpu");
    double total = 0;
    for (size_t i = 0; i < kFramePhaseCount; ++i) {
        std::printf(" %s %.2f", kFramePhaseNames[i], meanMs(i));
        total += meanMs(i);
    }
    std::printf(" sum %.2f\n", total);
}

}  // namespace ravelin
