#include "app/benchmark_stats.h"

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"

namespace ravelin {
namespace {

double secondsBetween(int64_t from, int64_t to) {
    int64_t frequency = platform().counterFrequency();
    return frequency > 0 ? static_cast<double>(to - from) / static_cast<double>(frequency) : 0.0;
}

}  // namespace

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

BenchmarkStats::BenchmarkStats(double seconds) {
    windowRates_.reserve(static_cast<size_t>(seconds) + 64);
    cpuPerFrame_.reserve(1 << 16);
}

void BenchmarkStats::firstFrame(int64_t startCounter, int64_t glReadyCounter, int64_t now) {
    firstFrameSeconds_ = secondsBetween(startCounter, now);
    glToFirstFrame_ = secondsBetween(glReadyCounter, now);
    begin_ = windowStart_ = now;
}

void BenchmarkStats::frameCpu(double seconds) {
    if (cpuPerFrame_.size() < cpuPerFrame_.capacity()) cpuPerFrame_.push_back(seconds);
}

bool BenchmarkStats::countFrame(int64_t now, double seconds) {
    ++frames_;
    ++framesInWindow_;
    double inWindow = secondsBetween(windowStart_, now);
    if (frames_ > 1 && inWindow >= 1.0 && windowRates_.size() < windowRates_.capacity()) {
        windowRates_.push_back(framesInWindow_ / inWindow);
        framesInWindow_ = 0;
        windowStart_ = now;
    }
    return secondsBetween(begin_, now) >= seconds && !windowRates_.empty();
}

void BenchmarkStats::print() const {
    double meanCpu = 0;
    for (double c : cpuPerFrame_) meanCpu += c;
    if (!cpuPerFrame_.empty()) meanCpu /= static_cast<double>(cpuPerFrame_.size());
    std::printf("size %dx%d\n", width_, height_);
    std::printf("startup_to_first_frame_ms %.1f\n", firstFrameSeconds_ * 1000.0);
    std::printf("gl_context_to_first_frame_ms %.1f\n", glToFirstFrame_ * 1000.0);
    std::printf("frames %ld windows %zu\n", frames_, windowRates_.size());
    std::printf("fps_median %.1f\n", median(windowRates_));
    std::printf("cpu_ms_per_frame_median %.3f mean %.3f\n", median(cpuPerFrame_) * 1000.0, meanCpu * 1000.0);
}

}  // namespace ravelin
