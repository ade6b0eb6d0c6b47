#include "app/capture_run.h"

#include <png.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/saver_run.h"
#include "app/screensaver_app.h"
#include "app/screensaver_run.h"
#include "render/gl.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

bool parseInt(const char* text, int minimum, int& value) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < minimum || v > 1000000000L) return false;
    value = static_cast<int>(v);
    return true;
}

bool parseSize(const char* text, int& width, int& height) {
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2 || w < 16 || h < 16 || w > 16384 || h > 16384) return false;
    width = w;
    height = h;
    return true;
}

bool parseTime(const char* text, LocalTime& time) {
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (std::sscanf(text, "%d:%d:%d%c", &h, &m, &s, &tail) != 3) return false;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return false;
    time = {h, m, s};
    return true;
}

// CPU time of this thread only: the software rasteriser's worker threads are not our code.
double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double secondsBetween(int64_t from, int64_t to) {
    int64_t frequency = platform().counterFrequency();
    return frequency > 0 ? static_cast<double>(to - from) / static_cast<double>(frequency) : 0.0;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

struct Benchmark {
    std::vector<double> windowRates;
    std::vector<double> cpuPerFrame;
    double cpuBegin = 0, cpuEnd = 0;
    double firstFrameSeconds = 0, glToFirstFrame = 0;
    int64_t begin = 0, windowStart = 0;
    int framesInWindow = 0;
    long frames = 0;
    int width = 0, height = 0;  // the size the window really got
};

// The saver's own run, windowed. Nobody listens to these runs, so the sound library stays
// unbound and silent; the GL set-up can pretend multitexturing is missing and records when the
// context was ready (the benchmark reports the time from there to the first frame).
class UnattendedRun : public ScreensaverRun {
public:
    explicit UnattendedRun(const RunOptions& options) : options_(options) {}

    void setUpGl(int32_t storedGamma, bool defGamma) override {
        glReady_ = platform().counter();
        ravelin::setUpGl(GlSetupOptions{options_.forceSingleTexture}, storedGamma, defGamma);
    }
    void bindSound(WindowHandle) override {}
    void startSound(bool, bool) override {}
    void setVolume(int32_t) override {}
    void restoreVolume() override {}
    void unbindSound() override {}

protected:
    const RunOptions& options_;
    int64_t glReady_ = 0;
};

// Every K-th frame read back and written as a PNG; a failed write ends the run.
class CaptureRun final : public UnattendedRun {
public:
    explicit CaptureRun(const RunOptions& options) : UnattendedRun(options) {
        // Sized for the requested window up front; only a window that came out larger grows it.
        pixels_.resize(static_cast<size_t>(options.width) * options.height * 3);
    }

    void afterDraw(long frame, int width, int height) override {
        if (frame % options_.every != 0) return;
        size_t bytes = static_cast<size_t>(width) * height * 3;
        if (pixels_.size() < bytes) pixels_.resize(bytes);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
        std::snprintf(path_, sizeof path_, "%s/frame_%05ld.png", options_.captureDir.c_str(), frame);
        if (!writePng(path_, pixels_.data(), width, height)) {
            std::fprintf(stderr, "ravelin: cannot write %s\n", path_);
            failed_ = true;
            return;
        }
        ++written_;
    }
    bool afterPresent(long) override { return !failed_; }

    bool failed() const { return failed_; }
    int written() const { return written_; }

private:
    std::vector<uint8_t> pixels_;
    char path_[4096] = {};
    int written_ = 0;
    bool failed_ = false;
};

// Start-up time, frames per second over one-second windows and this thread's CPU time per frame.
class BenchmarkRun final : public UnattendedRun {
public:
    explicit BenchmarkRun(const RunOptions& options) : UnattendedRun(options) {
        // Reserved up front: the measurement itself must not allocate while frames are counted.
        b_.windowRates.reserve(static_cast<size_t>(options.seconds) + 64);
        b_.cpuPerFrame.reserve(1 << 16);
    }

    void beforeFrame(long) override { b_.cpuBegin = threadCpuSeconds(); }
    void afterDraw(long, int width, int height) override {
        b_.cpuEnd = threadCpuSeconds();
        b_.width = width;
        b_.height = height;
    }
    bool afterPresent(long frame) override {
        if (frame == 0) {
            // The first frame carries the loading's tail (shader variants, uploads): it is the
            // start-up figure, not a per-frame one.
            glFinish();
            int64_t t = platform().counter();
            b_.firstFrameSeconds = secondsBetween(options_.startCounter, t);
            b_.glToFirstFrame = secondsBetween(glReady_, t);
            b_.begin = b_.windowStart = t;
        } else if (b_.cpuPerFrame.size() < b_.cpuPerFrame.capacity()) {
            b_.cpuPerFrame.push_back(b_.cpuEnd - b_.cpuBegin);
        }
        if (options_.frameDone) options_.frameDone(frame);
        ++b_.frames;
        ++b_.framesInWindow;
        int64_t t = platform().counter();
        double inWindow = secondsBetween(b_.windowStart, t);
        if (b_.frames > 1 && inWindow >= 1.0 && b_.windowRates.size() < b_.windowRates.capacity()) {
            b_.windowRates.push_back(b_.framesInWindow / inWindow);
            b_.framesInWindow = 0;
            b_.windowStart = t;
        }
        return !(secondsBetween(b_.begin, t) >= options_.seconds && !b_.windowRates.empty());
    }

    const Benchmark& figures() const { return b_; }

private:
    Benchmark b_;
};

void printBenchmark(const Benchmark& b) {
    double meanCpu = 0;
    for (double c : b.cpuPerFrame) meanCpu += c;
    if (!b.cpuPerFrame.empty()) meanCpu /= static_cast<double>(b.cpuPerFrame.size());
    std::printf("size %dx%d\n", b.width, b.height);
    std::printf("startup_to_first_frame_ms %.1f\n", b.firstFrameSeconds * 1000.0);
    std::printf("gl_context_to_first_frame_ms %.1f\n", b.glToFirstFrame * 1000.0);
    std::printf("frames %ld windows %zu\n", b.frames, b.windowRates.size());
    std::printf("fps_median %.1f\n", median(b.windowRates));
    std::printf("cpu_ms_per_frame_median %.3f mean %.3f\n", median(b.cpuPerFrame) * 1000.0, meanCpu * 1000.0);
}

}  // namespace

bool parseRunOptions(int argc, const char* const* argv, RunOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto need = [&](const char* what) {
            if (value) return true;
            error = std::string(arg) + " needs " + what;
            return false;
        };
        bool ok = true;
        if (arg == "--capture") {
            if (!need("a folder")) return false;
            options.mode = RunMode::Capture;
            options.captureDir = value;
            ++i;
        } else if (arg == "--benchmark") {
            options.mode = RunMode::Benchmark;
        } else if (arg == "--no-multitexture") {
            options.forceSingleTexture = true;
        } else if (arg == "--frames") {
            if (!need("a count")) return false;
            ok = parseInt(value, 1, options.frames);
            ++i;
        } else if (arg == "--every") {
            if (!need("a count")) return false;
            ok = parseInt(value, 1, options.every);
            ++i;
        } else if (arg == "--seed") {
            if (!need("a number")) return false;
            char* end = nullptr;
            unsigned long long s = std::strtoull(value, &end, 0);
            ok = end != value && *end == '\0' && s <= 0xFFFFFFFFull;
            options.seed = static_cast<uint32_t>(s);
            ++i;
        } else if (arg == "--dt") {
            if (!need("seconds")) return false;
            char* end = nullptr;
            double d = std::strtod(value, &end);
            ok = end != value && *end == '\0' && d >= 0.0 && d <= 10.0;
            options.dt = static_cast<float>(d);
            ++i;
        } else if (arg == "--size") {
            if (!need("WxH")) return false;
            ok = parseSize(value, options.width, options.height);
            options.sizeGiven = ok;
            ++i;
        } else if (arg == "--time") {
            if (!need("HH:MM:SS")) return false;
            ok = parseTime(value, options.time);
            ++i;
        } else if (arg == "--seconds") {
            if (!need("seconds")) return false;
            char* end = nullptr;
            double d = std::strtod(value, &end);
            ok = end != value && *end == '\0' && d > 0.0 && d <= 3600.0;
            options.seconds = d;
            ++i;
        } else {
            error = "unknown argument " + std::string(arg);
            return false;
        }
        if (!ok) {
            error = "bad value for " + std::string(arg) + ": " + value;
            return false;
        }
    }
    return true;
}

int runFrames(const RunOptions& options) {
    // The saver's own run, in a window of the asked size, with the desktop left alone.
    ScreensaverApp app;
    buildMonitorTable(app);
    ScreensaverSettings settings;
    settings.UseDesktop = true;
    settings.DefGamma = true;
    settings.Width = options.width;
    settings.Height = options.height;
    settings.ShowClock = settings.ShowFPS = options.mode != RunMode::Window && options.showOverlay;

    SaverOptions saver;
    saver.windowed = true;
    saver.windowWidth = options.width;
    saver.windowHeight = options.height;
    saver.fixedSeed = options.mode != RunMode::Window;
    saver.seed = options.seed;

    // On the heap: each run holds its whole world.
    std::unique_ptr<CaptureRun> capture;
    std::unique_ptr<BenchmarkRun> benchmark;
    std::unique_ptr<UnattendedRun> window;
    RunParts* run = nullptr;
    if (options.mode == RunMode::Capture) {
        saver.fixedDt = options.dt;
        saver.maxFrames = options.frames;
        run = (capture = std::make_unique<CaptureRun>(options)).get();
    } else if (options.mode == RunMode::Benchmark) {
        run = (benchmark = std::make_unique<BenchmarkRun>(options)).get();
    } else {
        run = (window = std::make_unique<UnattendedRun>(options)).get();
    }

    if (runSaver(app, settings, saver, *run) != SaverResult::Finished) return 1;

    switch (options.mode) {
    case RunMode::Capture:
        if (capture->failed()) return 1;
        std::printf("ravelin: %d frames drawn, %d written to %s\n", options.frames, capture->written(),
                    options.captureDir.c_str());
        break;
    case RunMode::Benchmark:
        if (options.frameDone) options.frameDone(-1);
        printBenchmark(benchmark->figures());
        break;
    case RunMode::Window:
        break;
    }
    return 0;
}

bool writePng(const std::string& path, const uint8_t* rgbBottomUp, int width, int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    // libpng reports write errors by longjmp; nothing with a destructor lives in this frame.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    size_t stride = static_cast<size_t>(width) * 3;
    for (int row = height - 1; row >= 0; --row)
        png_write_row(png, const_cast<png_bytep>(rgbBottomUp + static_cast<size_t>(row) * stride));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace ravelin
