// Renderer benchmark: the composed scene with the generated assets in a real window, at
// 800 × 600 and 1920 × 1080 (or the sizes given), printing start-up time, frames per second
// (median of one-second windows) and per-frame CPU time of our own code.
//   bench_render [--seconds T] [--no-multitexture] [WxH ...]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "app/unattended_run.h"
#include "platform/sdl/sdl_platform.h"

namespace {

// Heap allocations of this thread are counted after these first frames, ours apart from the GL
// driver's.
constexpr long kWarmUpFrames = 30;

}  // namespace

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
    ravelin::testing::setAllocationSorter(ravelin::testing::allocatedOutsideTheDriver);
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
        // Counting starts once the first frames have warmed the driver up, and stops with the run.
        long countedFrames = 0;
        options.frameDone = [&countedFrames](long frame) {
            if (frame < 0) ravelin::testing::countAllocations(false);
            if (frame + 1 == kWarmUpFrames) ravelin::testing::countAllocations(true);
            if (frame + 1 > kWarmUpFrames) ++countedFrames;
        };
        ravelin::testing::resetAllocationCounts();
        sdl.setNonBlocking(true);
        sdl.setFullScreen(false);
        std::printf("== composed frame, %s, %s\n", size.c_str(), single ? "single texture" : "multitexture");
        std::fflush(stdout);
        result |= ravelin::runFrames(options);
        ravelin::testing::countAllocations(false);
        std::printf("heap_allocations_per_frame ours %.2f driver %.2f (over %ld frames after the first %ld)\n",
                    countedFrames ? static_cast<double>(ravelin::testing::countedAllocations()) / countedFrames : 0.0,
                    countedFrames ? static_cast<double>(ravelin::testing::foreignAllocations()) / countedFrames : 0.0,
                    countedFrames, kWarmUpFrames);
        std::fflush(stdout);
    }
    return result;
}
