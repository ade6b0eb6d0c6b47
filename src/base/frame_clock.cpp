#include "base/frame_clock.h"

#include <chrono>

#include "platform/platform.h"

namespace ravelin {
namespace {

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

FrameClock::FrameClock() {
    const int64_t f = platform().counterFrequency();
    fallback_ = f <= 0;
    frequency_ = fallback_ ? 1000000000 : f;
    secondsPerCount_ = 1.0 / static_cast<double>(frequency_);
}

int64_t FrameClock::readCounter() const { return fallback_ ? steadyNanoseconds() : platform().counter(); }

double FrameClock::elapsed() {
    const int64_t now = readCounter();
    lastElapsed_ = (static_cast<double>(now) - static_cast<double>(start_)) * secondsPerCount_;
    return lastElapsed_;
}

}  // namespace ravelin
