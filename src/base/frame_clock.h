// The frame timer: seconds between frames from the platform's high-resolution counter. The saver
// run owns one clock; the main loop reads elapsed() and restarts it once per frame. Where the
// platform has no such counter (frequency 0) the process's steady clock stands in.
#pragma once

#include <cstdint>

namespace ravelin {

class FrameClock {
public:
    // Reads the counter frequency once, for the clock's whole life.
    FrameClock();

    // Whether the platform had a counter (else the steady clock is read).
    bool hasCounter() const { return !fallback_; }
    // The current counter value (also what seeds the random generator).
    int64_t readCounter() const;
    int64_t frequency() const { return frequency_; }

    void restart() { start_ = readCounter(); }
    // Seconds since the last restart; does not restart. Nothing clamps a long stall.
    double elapsed();
    double lastElapsed() const { return lastElapsed_; }

private:
    bool fallback_ = false;
    int64_t frequency_ = 0;
    double secondsPerCount_ = 0.0;  // the reciprocal, so each frame multiplies instead of dividing
    int64_t start_ = 0;
    double lastElapsed_ = 0.0;
};

}  // namespace ravelin
