// The frame timer: seconds between frames from the platform's high-resolution counter. The saver
// run owns one clock; the main loop reads elapsed() and restarts it once per frame. Where the
// platform has no such counter (frequency 0) the process's steady clock stands in.
#pragma once

#include <cstdint>

namespace ravelin {

class FrameClock {
public:
    virtual ~FrameClock() = default;

    // Reads the counter frequency shared by every clock; call once per run before the first
    // restart. Returns whether the platform had a counter (the caller may ignore it).
    static bool queryFrequency();
    // The current counter value (also what seeds the random generator).
    static int64_t readCounter();
    static int64_t frequency();

    void restart() { start_ = readCounter(); }
    // Seconds since the last restart; does not restart. Nothing clamps a long stall.
    double elapsed();
    double lastElapsed() const { return lastElapsed_; }

private:
    int64_t start_ = 0;
    double lastElapsed_ = 0.0;
};

}  // namespace ravelin
