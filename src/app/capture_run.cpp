#include "app/capture_run.h"

#include <png.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/saver_run.h"
#include "app/screensaver_app.h"
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

// The unattended runs' GL set-up: the test switch for single texturing, and the moment the
// context is ready (the benchmark reports the time from there to the first frame). Steps are
// plain functions, so the one run of the process keeps these here.
struct GlSetUp {
    bool forceSingleTexture = false;
    int64_t ready = 0;
};
GlSetUp gGlSetUp;

void unattendedSetUpGl(int32_t storedGamma, bool defGamma) {
    gGlSetUp.ready = platform().counter();
    setUpGl(GlSetupOptions{gGlSetUp.forceSingleTexture}, storedGamma, defGamma);
}

// The saver's own steps; the GL set-up records its moment, and nobody listens to these runs, so
// the sound library stays unbound and silent.
SaverSteps unattendedSteps() {
    SaverSteps steps = defaultSaverSteps();
    steps.setUpGl = unattendedSetUpGl;
    steps.bindSound = nullptr;
    steps.startSound = nullptr;
    steps.setVolume = nullptr;
    steps.restoreVolume = nullptr;
    steps.unbindSound = nullptr;
    return steps;
}

struct Capture {
    const RunOptions* options = nullptr;
    std::vector<uint8_t> pixels;
    char path[4096] = {};
    int written = 0;
    bool failed = false;
};

void captureAfterDraw(long frame, int width, int height, void* context) {
    Capture& capture = *static_cast<Capture*>(context);
    if (frame % capture.options->every != 0) return;
    // Sized for the requested window up front; only a window that came out larger grows it, once.
    size_t bytes = static_cast<size_t>(width) * height * 3;
    if (capture.pixels.size() < bytes) capture.pixels.resize(bytes);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, capture.pixels.data());
    std::snprintf(capture.path, sizeof capture.path, "%s/frame_%05ld.png", capture.options->captureDir.c_str(), frame);
    if (!writePng(capture.path, capture.pixels.data(), width, height)) {
        std::fprintf(stderr, "ravelin: cannot write %s\n", capture.path);
        capture.failed = true;
        return;
    }
    ++capture.written;
}

bool captureAfterPresent(long, void* context) { return !static_cast<Capture*>(context)->failed; }

struct Benchmark {
    const RunOptions* options = nullptr;
    std::vector<double> windowRates;
    std::vector<double> cpuPerFrame;
    double cpuBegin = 0, cpuEnd = 0;
    double firstFrameSeconds = 0, glToFirstFrame = 0;
    int64_t begin = 0, windowStart = 0;
    int framesInWindow = 0;
    long frames = 0;
    int width = 0, height = 0;  // the size the window really got
};

void benchmarkBeforeFrame(long, void* context) { static_cast<Benchmark*>(context)->cpuBegin = threadCpuSeconds(); }

void benchmarkAfterDraw(long, int width, int height, void* context) {
    Benchmark& b = *static_cast<Benchmark*>(context);
    b.cpuEnd = threadCpuSeconds();
    b.width = width;
    b.height = height;
}

bool benchmarkAfterPresent(long frame, void* context) {
    Benchmark& b = *static_cast<Benchmark*>(context);
    if (frame == 0) {
        // The first frame carries the loading's tail (shader variants, uploads): it is the
        // start-up figure, not a per-frame one.
        glFinish();
        int64_t t = platform().counter();
        b.firstFrameSeconds = secondsBetween(b.options->startCounter, t);
        b.glToFirstFrame = secondsBetween(gGlSetUp.ready, t);
        b.begin = b.windowStart = t;
    } else if (b.cpuPerFrame.size() < b.cpuPerFrame.capacity()) {
        b.cpuPerFrame.push_back(b.cpuEnd - b.cpuBegin);
    }
    if (b.options->frameDone) b.options->frameDone(frame);
    ++b.frames;
    ++b.framesInWindow;
    int64_t t = platform().counter();
    double inWindow = secondsBetween(b.windowStart, t);
    if (b.frames > 1 && inWindow >= 1.0 && b.windowRates.size() < b.windowRates.capacity()) {
        b.windowRates.push_back(b.framesInWindow / inWindow);
        b.framesInWindow = 0;
        b.windowStart = t;
    }
    return !(secondsBetween(b.begin, t) >= b.options->seconds && !b.windowRates.empty());
}

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
            if (!*value) {  // "" would put the frames at the root of the file system
                error = "--capture needs a folder, not an empty name";
                return false;
            }
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
    gGlSetUp = GlSetUp{options.forceSingleTexture, 0};
    static const SaverSteps steps = unattendedSteps();

    Capture capture;
    Benchmark benchmark;
    if (options.mode == RunMode::Capture) {
        capture.options = &options;
        capture.pixels.resize(static_cast<size_t>(options.width) * options.height * 3);
        saver.fixedDt = options.dt;
        saver.maxFrames = options.frames;
        saver.afterDraw = captureAfterDraw;
        saver.afterPresent = captureAfterPresent;
        saver.hookContext = &capture;
    } else if (options.mode == RunMode::Benchmark) {
        // Reserved up front: the measurement itself must not allocate while frames are counted.
        benchmark.options = &options;
        benchmark.windowRates.reserve(static_cast<size_t>(options.seconds) + 64);
        benchmark.cpuPerFrame.reserve(1 << 16);
        saver.beforeFrame = benchmarkBeforeFrame;
        saver.afterDraw = benchmarkAfterDraw;
        saver.afterPresent = benchmarkAfterPresent;
        saver.hookContext = &benchmark;
    }

    if (runSaver(app, settings, saver, steps) != SaverResult::Finished) return 1;

    switch (options.mode) {
    case RunMode::Capture:
        if (capture.failed) return 1;
        std::printf("ravelin: %d frames drawn, %d written to %s\n", options.frames, capture.written,
                    options.captureDir.c_str());
        break;
    case RunMode::Benchmark:
        if (options.frameDone) options.frameDone(-1);
        printBenchmark(benchmark);
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
