// Soak run: the saver's own benchmark run in a small window for a long time (an hour unless
// told), with the GL error check on. Every period it prints one line: seconds since the first
// frame, resident memory, frames in the period, their mean and worst wall-clock frame time, this
// thread's mean CPU time per frame, the GL errors counted so far, and the heap in use (every
// malloc arena, ours and the libraries'; resident memory beyond it is code, mappings and freed
// pages the allocator keeps). bench/soak.sh runs it and plots the lines.
//   bench_soak [--seconds T (3600)] [--period P (10)] [--size WxH (320x240)]
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/gl_check.h"
#include "app/unattended_run.h"
#include "platform/sdl/sdl_platform.h"

namespace {

// Resident set size in MiB, from the kernel's view of this process.
double residentMiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Bytes handed out by malloc in MiB (small blocks in all arenas plus mmapped large ones).
double heapMiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// One period's frames.
struct Period {
    long frames = 0;
    double wallSum = 0, wallMax = 0, cpuSum = 0;
};

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3600.0, period = 10.0;
    std::string size = "320x240";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (a == "--period")
            period = std::atof(argv[i + 1]);
        else if (a == "--size")
            size = argv[i + 1];
    }
    ravelin::SdlPlatform sdl;
    ravelin::RunOptions options;
    options.startCounter = sdl.counter();
    std::string secondsText = std::to_string(seconds);
    const char* args[] = {"bench_soak", "--benchmark", "--size", size.c_str(), "--seconds", secondsText.c_str()};
    std::string error;
    if (!ravelin::parseRunOptions(6, args, options, error)) {
        std::fprintf(stderr, "bench_soak: %s\n", error.c_str());
        return 2;
    }
    ravelin::enableGlCheck(true);
    sdl.setNonBlocking(true);
    sdl.setFullScreen(false);

    const double frequency = static_cast<double>(sdl.counterFrequency());
    int64_t begin = 0, last = 0;
    double lastCpu = 0, nextReport = period;
    Period p;
    std::printf("# seconds rss_mib frames frame_ms_mean frame_ms_max cpu_ms_mean gl_errors heap_mib\n");
    std::fflush(stdout);
    options.frameDone = [&](long frame) {
        if (frame < 0) return;
        const int64_t now = sdl.counter();
        const double cpu = sdl.threadCpuSeconds();
        if (frame == 0) {
            // The first frame carries the loading's tail: the clock starts after it.
            begin = last = now;
            lastCpu = cpu;
            std::printf("0 %.2f 0 0 0 0 %zu %.2f\n", residentMiB(), ravelin::glErrorTotal(), heapMiB());
            std::fflush(stdout);
            return;
        }
        const double wall = static_cast<double>(now - last) / frequency;
        ++p.frames;
        p.wallSum += wall;
        p.wallMax = std::max(p.wallMax, wall);
        p.cpuSum += cpu - lastCpu;
        last = now;
        lastCpu = cpu;
        const double elapsed = static_cast<double>(now - begin) / frequency;
        if (elapsed < nextReport) return;
        std::printf("%.0f %.2f %ld %.3f %.3f %.3f %zu %.2f\n", elapsed, residentMiB(), p.frames,
                    1000.0 * p.wallSum / p.frames, 1000.0 * p.wallMax, 1000.0 * p.cpuSum / p.frames,
                    ravelin::glErrorTotal(), heapMiB());
        std::fflush(stdout);
        p = Period{};
        nextReport += period;
    };
    return ravelin::runFrames(options);
}
