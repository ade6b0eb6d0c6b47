// Prints archive figures: extraction throughput for stored and RAR 2.0 compressed entries and
// the time to look up the last name of an ~800-entry archive (each lookup rescans from the
// first block and sets up a window sized for the entry, as the screensaver's loader does).
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "assets/asset_file.h"
#include "assets/rar20_decoder.h"
#include "rar_builder.h"

using namespace ravelin;
using namespace ravelin::testing;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }
// Processor time of this process: steadier than wall time on a shared, busy machine.
double cpuSeconds(std::clock_t from) { return static_cast<double>(std::clock() - from) / CLOCKS_PER_SEC; }

// Extracts name repeatedly for at least half a second; returns MB/s of unpacked output per
// second of wall time, and in cpuMbs per second of processor time.
double throughput(const std::vector<uint8_t>& archive, const std::string& name, uint32_t& size, double& cpuMbs) {
    int runs = 0;
    auto start = Clock::now();
    std::clock_t cpuStart = std::clock();
    double elapsed = 0;
    uint64_t bytes = 0;
    do {
        std::unique_ptr<uint8_t[]> out(AssetArchive::extract({archive.data(), archive.size()}, name, size));
        if (!out) {
            std::fprintf(stderr, "extract %s failed\n", name.c_str());
            return 0;
        }
        bytes += size;
        ++runs;
        elapsed = seconds(start);
    } while (elapsed < 0.5 || runs < 3);
    cpuMbs = static_cast<double>(bytes) / cpuSeconds(cpuStart) / 1e6;
    return static_cast<double>(bytes) / elapsed / 1e6;
}

// A compressed stream of text-like content: literals mixed with matches at short and long
// distances, written with flat codes; the content is taken from the decoder itself.
std::vector<uint8_t> compressedEntry(uint32_t target, std::vector<uint8_t>& content) {
    std::mt19937 random(7);
    Rar20Writer w;
    w.tables();
    uint32_t produced = 0;
    while (produced < target) {
        if (produced < 64 || random() % 4 == 0) {
            w.symbol(static_cast<int>('a' + random() % 26));
            ++produced;
        } else {
            int slot = static_cast<int>(random() % 16);  // lengths 3..~40
            w.symbol(270 + slot);
            static const uint8_t kExtra[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
            static const uint8_t kBase[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20, 24, 28};
            uint32_t extra = kExtra[slot] ? random() % (1u << kExtra[slot]) : 0;
            if (kExtra[slot]) w.bits(extra, kExtra[slot]);
            int distSlot = static_cast<int>(4 + random() % 20);  // distances 5 .. ~6000
            w.distanceSymbol(distSlot);
            int distBits = distSlot / 2 - 1;
            w.bits(random() % (1u << distBits), distBits);
            produced += kBase[slot] + 3 + extra;
        }
    }
    std::vector<uint8_t> stream = w.finish(8);
    std::vector<uint8_t> window(kRarWindowSize);
    Rar20Decoder decoder(window.data());
    content.assign(produced, 0);
    decoder.decode(stream.data(), stream.size(), content.data(), produced, false);
    return stream;
}

}  // namespace

int main() {
    std::printf("archive benchmark (each figure: repeated full lookups, window set-up included)\n");

    std::vector<uint8_t> stored(8u << 20);
    std::mt19937 random(1);
    for (uint8_t& b : stored) b = static_cast<uint8_t>(random());
    auto storedArchive = RarBuilder().add(storedEntry("textures\\big.jpg", stored)).end().bytes();
    uint32_t size = 0;
    double cpu = 0;
    double mbs = throughput(storedArchive, "textures\\big.jpg", size, cpu);
    std::printf("stored entry, %u bytes: %.0f MB/s wall, %.0f MB/s cpu\n", size, mbs, cpu);

    std::vector<uint8_t> content;
    auto stream = compressedEntry(8u << 20, content);
    auto packedArchive = RarBuilder().add(packedEntry("big.bin", stream, content)).end().bytes();
    mbs = throughput(packedArchive, "big.bin", size, cpu);
    std::printf("compressed entry (LZ, flat codes), %u bytes from %zu: %.1f MB/s wall, %.1f MB/s cpu\n", size,
                stream.size(), mbs, cpu);

    std::ifstream real(std::string(RAVELIN_SHARED_DIR) + "/testdata/rar/test_v2.rar", std::ios::binary);
    std::vector<uint8_t> v2{std::istreambuf_iterator<char>(real), std::istreambuf_iterator<char>()};
    if (!v2.empty()) {
        for (const char* name : {"p0.bin", "p3.bin", "p5.bin", "pMM.bin"}) {
            mbs = throughput(v2, name, size, cpu);
            std::printf("test_v2.rar %s (%u bytes): %.1f MB/s wall, %.1f MB/s cpu\n", name, size, mbs, cpu);
        }
    } else {
        std::printf("test_v2.rar not found: real-archiver figures skipped\n");
    }

    RarBuilder many;
    for (int i = 0; i < 4; ++i) many.add(directoryEntry("dir" + std::to_string(i)));
    for (int i = 0; i < 824; ++i)
        many.add(storedEntry("textures\\entry_" + std::to_string(i) + ".jpg", std::vector<uint8_t>(1000 + i, 0x5A)));
    auto manyArchive = many.end().bytes();
    const std::string last = "textures\\entry_823.jpg";
    int runs = 0;
    auto start = Clock::now();
    std::clock_t cpuStart = std::clock();
    double elapsed = 0;
    do {
        std::unique_ptr<uint8_t[]> out(AssetArchive::extract({manyArchive.data(), manyArchive.size()}, last, size));
        if (!out) return 1;
        ++runs;
        elapsed = seconds(start);
    } while (elapsed < 0.5);
    std::printf("lookup of the last of 828 entries (%zu-byte archive): %.1f us wall, %.1f us cpu per lookup\n",
                manyArchive.size(), elapsed / runs * 1e6, cpuSeconds(cpuStart) / runs * 1e6);
    return 0;
}
