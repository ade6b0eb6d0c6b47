// ravelin-archive: lists, extracts and tests archives with the screensaver's own reader, on a
// file or (--embedded) on the archive built into the screensaver.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assets/archive_listing.h"
#include "assets/asset_file.h"

namespace ravelin {
ByteRange embeddedFindResource(std::string_view type, uint16_t id);
}

using namespace ravelin;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

void usage(std::FILE* to) {
    std::fputs(
        "usage: ravelin-archive list ARCHIVE\n"
        "       ravelin-archive extract ARCHIVE NAME [OUT]\n"
        "       ravelin-archive test ARCHIVE\n"
        "ARCHIVE is a RAR file, or --embedded for the archive built into the screensaver.\n"
        "  list      name, packed and unpacked size, method and CRC-32 of every entry\n"
        "  extract   writes the entry NAME to OUT, or to standard output without OUT\n"
        "  test      extracts every entry and checks its CRC-32; fails naming the first bad one\n",
        to);
}

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The archive bytes: the file's, or the embedded blob's.
struct Source {
    std::vector<uint8_t> file;
    ByteRange range;
};

bool openSource(const char* argument, Source& source) {
    if (std::strcmp(argument, "--embedded") == 0) {
        source.range = embeddedFindResource(kCustomDataType, kArchiveResourceId);
        if (source.range.empty()) {
            std::fprintf(stderr, "ravelin-archive: no archive is embedded in this build\n");
            return false;
        }
        return true;
    }
    if (!readWholeFile(argument, source.file)) {
        std::fprintf(stderr, "ravelin-archive: cannot read %s\n", argument);
        return false;
    }
    source.range = {source.file.data(), source.file.size()};
    return true;
}

const char* methodName(uint8_t method) {
    switch (method) {
    case 0x30: return "stored";
    case 0x31: return "fastest";
    case 0x32: return "fast";
    case 0x33: return "normal";
    case 0x34: return "good";
    case 0x35: return "best";
    default: return "?";
    }
}

bool reportProblem(const ArchiveListing& listing) {
    if (listing.problem.empty()) return false;
    std::fprintf(stderr, "ravelin-archive: %s at offset %" PRIu64 "\n", listing.problem.c_str(),
                 listing.problemOffset);
    return true;
}

int list(const Source& source) {
    ArchiveListing listing = listArchive(source.range);
    if (!listing.validMarker) {
        reportProblem(listing);
        return kFailure;
    }
    std::printf("%-40s %10s %10s %-8s %-8s\n", "name", "packed", "unpacked", "method", "crc32");
    for (const ArchiveEntryInfo& e : listing.entries)
        std::printf("%-40s %10" PRIu32 " %10" PRIu32 " %-8s %08" PRIx32 "%s\n", e.name.c_str(), e.packedSize,
                    e.unpackedSize, methodName(e.method), e.crc, (e.flags & 0x00E0) == 0x00E0 ? "  (directory)" : "");
    std::printf("%zu entries%s\n", listing.entries.size(), listing.solid ? ", solid" : "");
    return reportProblem(listing) ? kFailure : 0;
}

int extract(const Source& source, const char* name, const char* outPath) {
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> bytes(AssetArchive::extract(source.range, name, size));
    if (!bytes) {
        std::fprintf(stderr, "ravelin-archive: %s: not found, or damaged (CRC-32 mismatch)\n", name);
        return kFailure;
    }
    std::FILE* out = outPath ? std::fopen(outPath, "wb") : stdout;
    if (!out) {
        std::fprintf(stderr, "ravelin-archive: cannot write %s\n", outPath);
        return kFailure;
    }
    bool ok = std::fwrite(bytes.get(), 1, size, out) == size;
    ok = (outPath ? std::fclose(out) : std::fflush(out)) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "ravelin-archive: writing %s failed\n", outPath ? outPath : "standard output");
        return kFailure;
    }
    return 0;
}

int test(const Source& source) {
    ArchiveListing listing = listArchive(source.range);
    if (!listing.validMarker) {
        reportProblem(listing);
        return kFailure;
    }
    int bad = 0;
    for (const ArchiveEntryInfo& e : listing.entries) {
        uint32_t size = 0;
        std::unique_ptr<uint8_t[]> bytes(AssetArchive::extract(source.range, e.name, size));
        if (!bytes) {
            std::fprintf(stderr, "ravelin-archive: %s: FAILED (%s)\n", e.name.c_str(),
                         !e.dataComplete ? "data cut short" : "damaged data or CRC-32 mismatch");
            ++bad;
        }
    }
    bool problem = reportProblem(listing);
    if (listing.entries.empty() && !problem) {
        std::fprintf(stderr, "ravelin-archive: no entries\n");
        return kFailure;
    }
    if (bad || problem) {
        std::fprintf(stderr, "ravelin-archive: %d of %zu entries failed\n", bad, listing.entries.size());
        return kFailure;
    }
    std::printf("%zu entries OK\n", listing.entries.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (argc < 3) {
        usage(stderr);
        return kUsage;
    }
    std::string_view command = argv[1];
    const bool fits = (command == "list" && argc == 3) || (command == "test" && argc == 3) ||
                      (command == "extract" && (argc == 4 || argc == 5));
    if (!fits) {
        usage(stderr);
        return kUsage;
    }
    Source source;
    if (!openSource(argv[2], source)) return kFailure;
    if (command == "list") return list(source);
    if (command == "test") return test(source);
    return extract(source, argv[3], argc == 5 ? argv[4] : nullptr);
}
