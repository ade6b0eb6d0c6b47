// The entries of an archive as its block headers describe them, for the archive tool, tests
// and benchmarks (the screensaver itself only ever looks names up). The caller owns the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

struct ArchiveEntryInfo {
    std::string name;  // as stored (first 259 bytes)
    uint64_t offset = 0;  // of the block header
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
    uint8_t method = 0;
    uint8_t version = 0;
    uint16_t flags = 0;
    bool dataComplete = false;  // the data area lies wholly inside the archive
};

struct ArchiveListing {
    std::vector<ArchiveEntryInfo> entries;
    bool validMarker = false;
    bool solid = false;
    // Where and why the scan stopped early, or that data follows the end block ("" when it
    // ran to the end or to an end block that closes the data).
    std::string problem;
    uint64_t problemOffset = 0;
};

// Walks the blocks with the lookup's rules: stops at a malformed header or a sub-block
// (reporting it in problem) and at the end of the data; like the lookup it reads on past an
// end block that has data after it (listing what it finds there and reporting it).
ArchiveListing listArchive(ByteRange archive);

}  // namespace ravelin
