#include "assets/archive_listing.h"

#include <cstring>

namespace ravelin {
namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

ArchiveListing listArchive(ByteRange archive) {
    ArchiveListing listing;
    static const uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    if (!archive.data || archive.size < 20 || std::memcmp(archive.data, kMarker, 7) != 0) {
        listing.problem = archive.size >= 7 && archive.data && std::memcmp(archive.data, kMarker, 7) == 0
                              ? "main header cut short"
                              : "not a RAR archive (marker missing)";
        return listing;
    }
    listing.validMarker = true;
    listing.solid = (u16(archive.data + 10) & 0x0008) != 0;
    uint64_t position = 7 + u16(archive.data + 12);
    // Offset of the first end block, while bytes follow it.
    uint64_t endBlock = 0;
    bool afterEnd = false;
    // Unlike the lookup, the listing also reads blocks shorter than 32 bytes (an end block
    // at the very end), so that it can tell an end block from a cut.
    while (position + 7 <= archive.size) {
        const uint8_t* head = archive.data + position;
        const uint8_t type = head[2];
        const uint16_t flags = u16(head + 3);
        const uint16_t headerSize = u16(head + 5);
        if (type == 0x7B && !afterEnd) {
            // The end block ends the archive when nothing follows it. The lookup skips it like
            // any other block, so whatever follows is walked (and listed) all the same.
            if (position + 7 == archive.size) return listing;
            endBlock = position;
            afterEnd = true;
        }
        if (headerSize < 7) {
            listing.problem = "block header size below 7";
            listing.problemOffset = position;
            return listing;
        }
        if (type == 0x77) {
            listing.problem = "sub-block (type 0x77) met";
            listing.problemOffset = position;
            return listing;
        }
        uint64_t dataSize = 0;
        if (flags & 0x8000) {
            if (position + 11 > archive.size) break;
            dataSize = u32(head + 7);
        }
        if (type == 0x74) {
            if (position + 32 > archive.size) break;
            ArchiveEntryInfo e;
            e.offset = position;
            e.flags = flags;
            e.packedSize = u32(head + 7);
            e.unpackedSize = u32(head + 11);
            e.crc = u32(head + 16);
            e.version = head[24];
            e.method = head[25];
            size_t nameSize = u16(head + 26);
            if (nameSize > 259) nameSize = 259;
            size_t available = archive.size - (position + 32);
            if (nameSize > available) nameSize = available;
            e.name.assign(reinterpret_cast<const char*>(head + 32), nameSize);
            e.dataComplete = position + headerSize + e.packedSize <= archive.size;
            listing.entries.push_back(std::move(e));
        }
        // Always forward: the header is at least 7 bytes, and 64 bits hold any 16-bit header
        // plus 32-bit data size past any offset inside the archive.
        position += headerSize + dataSize;
    }
    if (afterEnd) {
        listing.problem = "data after the end block";
        listing.problemOffset = endBlock;
    } else if (position < archive.size || position > archive.size) {
        listing.problem = "archive cut short";
        listing.problemOffset = position;
    }
    return listing;
}

}  // namespace ravelin
