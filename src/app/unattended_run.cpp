#include "app/unattended_run.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/benchmark_stats.h"
#include "app/gl_check.h"
#include "app/phase_timer.h"
#include "app/png_file.h"
#include "app/saver_run.h"
#include "app/screensaver_app.h"
#include "app/screensaver_run.h"
#include "render/gl.h"
#include "render/gl_setup.h"

namespace ravelin {
namespace {

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
    void bindSound(WindowHandle, bool) override {}
    void startSound(bool, bool) override {}
    void setVolume(int32_t) override {}
    void restoreVolume() override {}
    void unbindSound() override {}

    // After a run that finished: the mode's report, and the exit code.
    virtual int finish() { return 0; }

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

    int finish() override {
        if (failed_) return 1;
        std::printf("ravelin: %d frames drawn, %d written to %s\n", options_.frames, written_,
                    options_.captureDir.c_str());
        return 0;
    }

private:
    std::vector<uint8_t> pixels_;
    char path_[4096] = {};
    int written_ = 0;
    bool failed_ = false;
};

// Start-up time, frames per second and this thread's CPU time per frame, until the asked
// seconds are measured.
class BenchmarkRun final : public UnattendedRun {
public:
    explicit BenchmarkRun(const RunOptions& options) : UnattendedRun(options), stats_(options.seconds) {}

    void beforeFrame(long frame) override {
        // The breakdown starts with the measuring, after the first frame.
        if (frame == 1) {
            phases_.start(options_.phaseSync);
            setPhaseObserver(&phases_);
        }
        cpuBegin_ = platform().threadCpuSeconds();
    }
    void afterDraw(long frame, int width, int height) override {
        cpuEnd_ = platform().threadCpuSeconds();
        stats_.size(width, height);
    }
    bool afterPresent(long frame) override {
        if (frame >= 1) phases_.frameDone();
        if (frame == 0) {
            // The first frame carries the loading's tail (shader variants, uploads): it is the
            // start-up figure, not a per-frame one.
            glFinish();
            stats_.firstFrame(options_.startCounter, glReady_, platform().counter());
        } else {
            stats_.frameCpu(cpuEnd_ - cpuBegin_);
        }
        if (options_.frameDone) options_.frameDone(frame);
        return !stats_.countFrame(platform().counter(), options_.seconds);
    }

    int finish() override {
        if (options_.frameDone) options_.frameDone(-1);
        stats_.print();
        phases_.print();
        return 0;
    }

private:
    BenchmarkStats stats_;
    PhaseTimer phases_;
    double cpuBegin_ = 0, cpuEnd_ = 0;
};

std::unique_ptr<UnattendedRun> makeRun(const RunOptions& options) {
    switch (options.mode) {
    case UnattendedMode::Capture:
        return std::make_unique<CaptureRun>(options);
    case UnattendedMode::Benchmark:
        return std::make_unique<BenchmarkRun>(options);
    case UnattendedMode::Window:
        break;
    }
    return std::make_unique<UnattendedRun>(options);
}

}  // namespace

int runFrames(const RunOptions& options) {
    // The saver's own run, in a window of the asked size, with the desktop left alone.
    ScreensaverApp app;
    buildMonitorTable(app);
    ScreensaverSettings settings;
    settings.UseDesktop = true;
    settings.DefGamma = true;
    settings.Width = options.width;
    settings.Height = options.height;
    settings.ShowClock = settings.ShowFPS = options.mode != UnattendedMode::Window && options.showOverlay;

    SaverOptions saver;
    saver.windowed = true;
    saver.windowWidth = options.width;
    saver.windowHeight = options.height;
    saver.fixedSeed = options.mode != UnattendedMode::Window;
    saver.seed = options.seed;
    if (options.mode == UnattendedMode::Capture) {
        saver.fixedDt = options.dt;
        saver.maxFrames = options.frames;
    } else if (options.mode == UnattendedMode::Benchmark && options.dtGiven) {
        saver.fixedDt = options.dt;
    }

    std::unique_ptr<UnattendedRun> run = makeRun(options);  // on the heap: it holds its world
    if (runSaver(app, settings, saver, *run) != SaverResult::Finished) return 1;
    const int result = run->finish();
    // With the GL check on, a run that drew with any GL error fails.
    if (!glCheckEnabled()) return result;
    printGlErrorCounts();
    return glErrorTotal() ? 1 : result;
}

}  // namespace ravelin
