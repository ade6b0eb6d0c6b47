#include "app/run_options.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

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

}  // namespace

const char kRunOptionsUsage[] =
    "usage: ravelin [--capture DIR [--frames N] [--every K] [--seed S] [--dt SECONDS] [--size WxH]"
    " [--time HH:MM:SS]] [--benchmark [--size WxH] [--seconds T] [--dt SECONDS] [--phase-sync]] [--no-multitexture]";

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
            options.mode = UnattendedMode::Capture;
            options.captureDir = value;
            ++i;
        } else if (arg == "--benchmark") {
            options.mode = UnattendedMode::Benchmark;
        } else if (arg == "--no-multitexture") {
            options.forceSingleTexture = true;
        } else if (arg == "--phase-sync") {
            options.phaseSync = true;
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
            options.dtGiven = ok;
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

}  // namespace ravelin
