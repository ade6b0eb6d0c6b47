// Renderer benchmark: the composed scene with the generated assets in a real window, at
// 800 × 600 and 1920 × 1080 (or the sizes given), printing start-up time, frames per second
// (median of one-second windows) and per-frame CPU time of our own code.
//   bench_render [--seconds T] [--no-multitexture] [WxH ...]
#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/unattended_run.h"
#include "platform/sdl/sdl_platform.h"

// Heap allocations of this thread after the first frames. The software rasteriser compiles
// new shader variants with LLVM on the caller's thread when a new state combination first
// appears; those are the driver's and are counted apart from ours by walking the stack.
namespace {
thread_local bool tCounting = false;
std::atomic<long> gAllocations{0};
std::atomic<long> gDriverAllocations{0};

bool driverModule(const char* path) {
    if (!path) return false;
    std::string_view p = path;
    return p.find("dri") != std::string_view::npos || p.find("LLVM") != std::string_view::npos ||
           p.find("libGL") != std::string_view::npos || p.find("libSDL") != std::string_view::npos ||
           p.find("libX") != std::string_view::npos || p.find("libxcb") != std::string_view::npos;
}

// Called with counting switched off (backtrace and dladdr may allocate themselves).
void countAllocation() {
    void* frames[32];
    int n = backtrace(frames, 32);
    for (int i = 2; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info)) continue;
        if (driverModule(info.dli_fname)) {
            gDriverAllocations.fetch_add(1);
            return;
        }
    }
    gAllocations.fetch_add(1);
}
long gCountedFrames = 0;
constexpr long kWarmUpFrames = 30;

void frameDone(long frame) {
    if (frame < 0) tCounting = false;
    if (frame + 1 == kWarmUpFrames) tCounting = true;
    if (frame + 1 > kWarmUpFrames) ++gCountedFrames;
}
}  // namespace

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (tCounting) {
        tCounting = false;
        countAllocation();
        tCounting = true;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (tCounting) {
        tCounting = false;
        countAllocation();
        tCounting = true;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    double seconds = 10.0;
    bool single = false;
    std::vector<std::string> sizes;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (a == "--no-multitexture")
            single = true;
        else
            sizes.push_back(a);
    }
    if (sizes.empty()) sizes = {"800x600", "1920x1080"};
    int result = 0;
    for (const std::string& size : sizes) {
        ravelin::SdlPlatform sdl;  // installed for this size's run
        ravelin::RunOptions options;
        options.startCounter = sdl.counter();
        std::string secondsText = std::to_string(seconds);
        const char* args[] = {"bench_render", "--benchmark", "--size", size.c_str(), "--seconds", secondsText.c_str()};
        std::string error;
        if (!ravelin::parseRunOptions(6, args, options, error)) {
            std::fprintf(stderr, "bench_render: %s\n", error.c_str());
            return 2;
        }
        options.forceSingleTexture = single;
        options.frameDone = frameDone;
        gAllocations = 0;
        gDriverAllocations = 0;
        gCountedFrames = 0;
        tCounting = false;
        sdl.setNonBlocking(true);
        sdl.setFullScreen(false);
        std::printf("== composed frame, %s, %s\n", size.c_str(), single ? "single texture" : "multitexture");
        std::fflush(stdout);
        result |= ravelin::runFrames(options);
        tCounting = false;
        std::printf("heap_allocations_per_frame ours %.2f driver %.2f (over %ld frames after the first %ld)\n",
                    gCountedFrames ? static_cast<double>(gAllocations.load()) / gCountedFrames : 0.0,
                    gCountedFrames ? static_cast<double>(gDriverAllocations.load()) / gCountedFrames : 0.0,
                    gCountedFrames, kWarmUpFrames);
        std::fflush(stdout);
    }
    return result;
}
