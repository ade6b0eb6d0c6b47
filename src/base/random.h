// The one random generator of the process (the classic linear congruential constants).
// Seeded once per run; every random choice in the animation draws from it.
#pragma once

#include <cstdint>

namespace ravelin {

class Random {
public:
    static constexpr int kMax = 32767;
    void seed(uint32_t value) { state_ = value; }
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    // One result divided by 32767: 0 … 1, both ends included.
    float unit() { return static_cast<float>(next() / 32767.0); }
    uint32_t state() const { return state_; }

private:
    uint32_t state_ = 1;
};

Random& rng();  // the process-wide generator

}  // namespace ravelin
