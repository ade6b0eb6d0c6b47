#include "app/frame_clock.h"

#include <chrono>

#include "platform/platform.h"

namespace ravelin {
namespace {

int64_t gFrequency = 0;
double gSecondsPerCount = 0.0;
bool gFallback = false;

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool FrameClock::queryFrequency() {
    const int64_t f = platform().counterFrequency();
    gFallback = f <= 0;
    gFrequency = gFallback ? 1000000000 : f;
    // The reciprocal is kept so each frame multiplies instead of dividing.
    gSecondsPerCount = 1.0 / static_cast<double>(gFrequency);
    return !gFallback;
}

int64_t FrameClock::readCounter() { return gFallback ? steadyNanoseconds() : platform().counter(); }

int64_t FrameClock::frequency() { return gFrequency; }

double FrameClock::elapsed() {
    const int64_t now = readCounter();
    lastElapsed_ = (static_cast<double>(now) - static_cast<double>(start_)) * gSecondsPerCount;
    return lastElapsed_;
}

}  // namespace ravelin
