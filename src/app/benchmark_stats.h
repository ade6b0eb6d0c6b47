// The benchmark's figures: start-up time to the first frame, this thread's CPU time per frame
// and frames per second over one-second windows, gathered without allocating while frames are
// counted (everything is reserved up front), and their printed summary. The benchmark run
// (app/unattended_run.cpp) feeds it once per frame.
#pragma once

#include <cstdint>
#include <vector>

namespace ravelin {

class BenchmarkStats {
public:
    // Room for about `seconds` one-second windows and 65,536 frame times.
    explicit BenchmarkStats(double seconds);

    // The first frame, presented at counter value now: the start-up figures, from the process
    // start and from the moment the GL context was ready. Also where the measuring begins.
    void firstFrame(int64_t startCounter, int64_t glReadyCounter, int64_t now);
    // A later frame's CPU time (the first carries the loading's tail and is left out).
    void frameCpu(double seconds);
    // Counts a presented frame and closes the one-second window it fills. True once `seconds`
    // have been measured and at least one window is complete.
    bool countFrame(int64_t now, double seconds);
    // The window's real size, for the summary.
    void size(int width, int height) {
        width_ = width;
        height_ = height;
    }
    void print() const;

private:
    std::vector<double> windowRates_;  // frames per second of each complete window
    std::vector<double> cpuPerFrame_;  // seconds
    double firstFrameSeconds_ = 0, glToFirstFrame_ = 0;
    int64_t begin_ = 0, windowStart_ = 0;
    int framesInWindow_ = 0;
    long frames_ = 0;
    int width_ = 0, height_ = 0;
};

// The middle value (the mean of the two middle ones for an even count); 0 for none.
double median(std::vector<double> values);

}  // namespace ravelin
