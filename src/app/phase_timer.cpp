#include "app/phase_timer.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "render/gl.h"

namespace ravelin {
namespace {

// Timer-query entry points (core since GL 3.3, or the ARB/EXT timer-query extensions).
struct TimerQueryCalls {
    PFNGLGENQUERIESPROC genQueries = nullptr;
    PFNGLBEGINQUERYPROC beginQuery = nullptr;
    PFNGLENDQUERYPROC endQuery = nullptr;
    PFNGLGETQUERYOBJECTIVPROC getQueryObjectiv = nullptr;
    PFNGLGETQUERYOBJECTUI64VPROC getQueryObjectui64v = nullptr;
};

TimerQueryCalls& calls() {
    static TimerQueryCalls c;
    return c;
}

bool hasExtension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (all == nullptr) return false;
    const size_t n = std::strlen(name);
    for (const char* p = std::strstr(all, name); p != nullptr; p = std::strstr(p + n, name))
        if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

template <class F>
F lookUp(const char* name, const char* suffixed) {
    void* f = platform().glProcAddress(name);
    if (f == nullptr) f = platform().glProcAddress(suffixed);
    return reinterpret_cast<F>(f);
}

}  // namespace

void PhaseTimer::start(bool sync) {
    gpu_ = false;
    sync_ = sync;
    if (sync_) return;
    if (!hasExtension("GL_ARB_timer_query") && !hasExtension("GL_EXT_timer_query")) return;
    TimerQueryCalls& c = calls();
    c.genQueries = lookUp<PFNGLGENQUERIESPROC>("glGenQueries", "glGenQueriesARB");
    c.beginQuery = lookUp<PFNGLBEGINQUERYPROC>("glBeginQuery", "glBeginQueryARB");
    c.endQuery = lookUp<PFNGLENDQUERYPROC>("glEndQuery", "glEndQueryARB");
    c.getQueryObjectiv = lookUp<PFNGLGETQUERYOBJECTIVPROC>("glGetQueryObjectiv", "glGetQueryObjectivARB");
    c.getQueryObjectui64v = lookUp<PFNGLGETQUERYOBJECTUI64VPROC>("glGetQueryObjectui64v", "glGetQueryObjectui64vEXT");
    if (!c.genQueries || !c.beginQuery || !c.endQuery || !c.getQueryObjectiv || !c.getQueryObjectui64v) return;
    c.genQueries(static_cast<GLsizei>(kRing * kFramePhaseCount), &queries_[0][0]);
    gpu_ = true;
}

void PhaseTimer::phaseBegins(FramePhase phase) {
    if (gpu_) {
        calls().beginQuery(GL_TIME_ELAPSED, queries_[slot_][static_cast<size_t>(phase)]);
        return;
    }
    if (sync_) glFinish();
    cpuBegin_ = platform().counter();
}

void PhaseTimer::phaseEnds(FramePhase phase) {
    const size_t i = static_cast<size_t>(phase);
    if (gpu_) {
        calls().endQuery(GL_TIME_ELAPSED);
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
    TimerQueryCalls& c = calls();
    for (size_t i = 0; i < kFramePhaseCount; ++i) {
        GLint ready = 0;
        c.getQueryObjectiv(queries_[slot_][i], GL_QUERY_RESULT_AVAILABLE, &ready);
        if (!ready) continue;
        GLuint64 ns = 0;
        c.getQueryObjectui64v(queries_[slot_][i], GL_QUERY_RESULT, &ns);
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
