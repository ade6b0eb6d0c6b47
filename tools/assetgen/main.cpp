// assetgen <output folder>: runs every content module and writes archive.rar (resource 119) and
// the loose resource files into the folder. Same source, same bytes: nothing here depends on
// time, environment or thread scheduling (modules fill private sinks merged in a fixed order).
#include "assetgen.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    // Write beside and rename, so an interrupted run never leaves a half file that looks current.
    std::filesystem::path tmp = path;
    tmp += ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    return !ec;
}

double secondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) {
        std::fprintf(stderr, "assetgen: cannot create %s\n", outDir.c_str());
        return 1;
    }

    const auto t0 = std::chrono::steady_clock::now();
    // The world (lightmap bake) is the long pole; it runs beside the other modules.
    assetgen::AssetSink world;
    double worldSeconds = 0;
    std::thread worldThread([&] {
        const auto t = std::chrono::steady_clock::now();
        assetgen::generateWorld(world);
        worldSeconds = secondsSince(t);
    });
    assetgen::AssetSink pictures, cars, cameraMoves, sounds;
    struct Step {
        const char* name;
        void (*fn)(assetgen::AssetSink&);
        assetgen::AssetSink* sink;
    };
    const Step steps[] = {{"pictures", assetgen::generatePictures, &pictures},
                          {"cars", assetgen::generateCars, &cars},
                          {"camera moves", assetgen::generateCameraMoves, &cameraMoves},
                          {"sounds", assetgen::generateSounds, &sounds}};
    for (const Step& s : steps) {
        const auto t = std::chrono::steady_clock::now();
        s.fn(*s.sink);
        std::fprintf(stderr, "assetgen: %-12s %6.2f s\n", s.name, secondsSince(t));
    }
    worldThread.join();
    std::fprintf(stderr, "assetgen: %-12s %6.2f s\n", "world", worldSeconds);

    assetgen::AssetSink all;
    all.append(std::move(world));
    for (const Step& s : steps) all.append(std::move(*s.sink));

    const std::vector<uint8_t> archive = assetgen::packArchive(all.archiveFiles());
    bool ok = writeFile(outDir / "archive.rar", archive);
    for (const auto& f : all.looseFiles()) ok = writeFile(outDir / f.name, f.bytes) && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: writing into %s failed\n", outDir.c_str());
        return 1;
    }
    std::fprintf(stderr, "assetgen: archive.rar %zu bytes, %zu entries (+4 folders), %zu loose files, %.2f s\n",
                 archive.size(), all.archiveFiles().size(), all.looseFiles().size(), secondsSince(t0));
    return 0;
}
