#include "app/capture_run.h"

#include <png.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/frame_composition.h"
#include "app/random.h"
#include "race/race_run.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/world.h"

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

bool wantsExit(const InputEvent& event) {
    switch (event.type) {
    case InputType::KeyDown:
        return !event.systemKey;
    case InputType::LeftButton:
    case InputType::RightButton:
    case InputType::Close:
        return true;
    default:
        return false;
    }
}

void advanceOneFrame(float dt) {
    lensFlare().update(dt);
    if (frameHooks().update)
        frameHooks().update(dt);
    else
        advanceTestCamera(dt);
}

int runCapture(const RunOptions& options, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    char path[4096];
    int written = 0;
    for (int frame = 0; frame < options.frames; ++frame) {
        InputEvent event;
        while (platform().pollEvent(event)) {
        }
        advanceOneFrame(options.dt);
        drawFrame(options.dt);
        if (frame % options.every == 0) {
            glFinish();
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
            std::snprintf(path, sizeof path, "%s/frame_%05d.png", options.captureDir.c_str(), frame);
            if (!writePng(path, pixels.data(), width, height)) {
                std::fprintf(stderr, "ravelin: cannot write %s\n", path);
                return 1;
            }
            ++written;
        }
        presentFrame();
    }
    std::printf("ravelin: %d frames drawn, %d written to %s\n", options.frames, written, options.captureDir.c_str());
    return 0;
}

int runBenchmark(const RunOptions& options, int width, int height, int64_t glReady) {
    // Reserved up front: the measurement itself must not allocate while frames are counted.
    std::vector<double> windowRates;
    windowRates.reserve(static_cast<size_t>(options.seconds) + 64);
    std::vector<double> cpuPerFrame;
    cpuPerFrame.reserve(1 << 16);
    double firstFrameSeconds = 0, glToFirstFrame = 0;
    int64_t begin = platform().counter();
    int64_t windowStart = begin, last = begin;
    int framesInWindow = 0;
    long frames = 0;
    for (;;) {
        InputEvent event;
        while (platform().pollEvent(event)) {
        }
        int64_t now = platform().counter();
        float dt = frames == 0 ? 0.0f : static_cast<float>(secondsBetween(last, now));
        last = now;
        double cpu0 = threadCpuSeconds();
        advanceOneFrame(dt);
        drawFrame(dt);
        double cpu1 = threadCpuSeconds();
        presentFrame();
        if (frames == 0) {
            glFinish();
            int64_t t = platform().counter();
            firstFrameSeconds = secondsBetween(options.startCounter, t);
            glToFirstFrame = secondsBetween(glReady, t);
            begin = windowStart = t;
        } else if (cpuPerFrame.size() < cpuPerFrame.capacity()) {
            cpuPerFrame.push_back(cpu1 - cpu0);
        }
        if (options.frameDone) options.frameDone(frames);
        ++frames;
        ++framesInWindow;
        int64_t t = platform().counter();
        double inWindow = secondsBetween(windowStart, t);
        if (frames > 1 && inWindow >= 1.0 && windowRates.size() < windowRates.capacity()) {
            windowRates.push_back(framesInWindow / inWindow);
            framesInWindow = 0;
            windowStart = t;
        }
        if (secondsBetween(begin, t) >= options.seconds && !windowRates.empty()) break;
    }
    if (options.frameDone) options.frameDone(-1);
    double meanCpu = 0;
    for (double c : cpuPerFrame) meanCpu += c;
    if (!cpuPerFrame.empty()) meanCpu /= static_cast<double>(cpuPerFrame.size());
    std::printf("size %dx%d\n", width, height);
    std::printf("startup_to_first_frame_ms %.1f\n", firstFrameSeconds * 1000.0);
    std::printf("gl_context_to_first_frame_ms %.1f\n", glToFirstFrame * 1000.0);
    std::printf("frames %ld windows %zu\n", frames, windowRates.size());
    std::printf("fps_median %.1f\n", median(windowRates));
    std::printf("cpu_ms_per_frame_median %.3f mean %.3f\n", median(cpuPerFrame) * 1000.0, meanCpu * 1000.0);
    return 0;
}

int runWindow() {
    int64_t last = platform().counter();
    for (;;) {
        InputEvent event;
        bool quit = false;
        while (platform().pollEvent(event))
            if (wantsExit(event)) quit = true;
        int64_t now = platform().counter();
        float dt = static_cast<float>(secondsBetween(last, now));
        last = now;
        advanceOneFrame(dt);
        composeFrame(dt);
        if (quit) return 0;
    }
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
    if (options.mode == RunMode::Window)
        rng().seed(static_cast<uint32_t>(platform().counter()));
    else
        rng().seed(options.seed);

    int width = options.width, height = options.height;
    WindowHandle window = platform().createMainWindow({0, 0, width, height});
    if (!window) {
        std::fprintf(stderr, "ravelin: cannot create the window and GL context\n");
        return 1;
    }
    int64_t glReady = platform().counter();
    platform().clientSize(window, width, height);
    // Capture and benchmark runs leave the display's gamma alone.
    setUpGl(GlSetupOptions{options.forceSingleTexture}, 50, true);
    platform().showWindow(window);
    if (options.mode == RunMode::Window) platform().showCursor(false);

    // The start-up order of the full run (sound is not part of these runs).
    installRaceHooks(width, height);
    showLoadingScreen(width, height);
    loadFontAndScenes();
    loadRaceEarly();
    loadSkyAndFlare();
    loadRaceLate();
    startRaceShots();
    overlaySwitches() = {options.showOverlay, options.showOverlay, false};

    int result = 0;
    switch (options.mode) {
    case RunMode::Capture:
        result = runCapture(options, width, height);
        break;
    case RunMode::Benchmark:
        result = runBenchmark(options, width, height, glReady);
        break;
    case RunMode::Window:
        result = runWindow();
        platform().showCursor(true);
        break;
    }
    platform().destroyGlContext();
    return result;
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
