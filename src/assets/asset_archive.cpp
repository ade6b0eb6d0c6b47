#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include "assets/asset_file.h"
#include "assets/crc32.h"
#include "assets/rar20_decoder.h"

namespace ravelin {
namespace {

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr size_t kMainHeaderSize = 13;
constexpr size_t kFileHeaderSize = 32;
constexpr size_t kMaxStoredName = 259;
constexpr size_t kNameWork = 512;
constexpr uint8_t kFileBlock = 0x74;
constexpr uint8_t kSubBlock = 0x77;
constexpr uint16_t kSolidArchive = 0x0008;
constexpr uint16_t kSolidEntry = 0x0010;
constexpr uint16_t kHasData = 0x8000;
constexpr uint8_t kStored = 0x30;
// Each RAR 2.0 symbol takes at least one bit and writes at most 260 bytes; an entry claiming
// more than that per bit of its data area cannot be genuine and is refused before any
// allocation is attempted.
constexpr uint64_t kMaxBytesPerBit = 261;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// All-or-nothing read inside the archive blob.
bool readAt(ByteRange archive, uint64_t position, size_t count, uint8_t* destination) {
    if (count == 0 || !archive.data || position > archive.size || archive.size - position < count) return false;
    std::memcpy(destination, archive.data + position, count);
    return true;
}

// Folds case and both separators so that "TEXTURES/SKY.JPG" finds "textures\sky.jpg".
size_t foldName(const char* name, size_t length, char* work) {
    if (length > kNameWork - 1) length = kNameWork - 1;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        if (c == '\\' || c == '/') c = '_';
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        work[i] = c;
    }
    return length;
}

// The owner of the window and the output while a lookup runs; both go when it ends.
struct LookupBuffers {
    uint8_t* window = nullptr;
    uint32_t windowSize = 0;
    uint8_t* output = nullptr;
    ~LookupBuffers() {
        std::free(window);
        delete[] output;
    }
};

}  // namespace

uint8_t* AssetArchive::extract(ByteRange archive, std::string_view name, uint32_t& size) {
    size = 0;
    uint8_t head[kFileHeaderSize];
    if (!readAt(archive, 0, sizeof kMarker, head) || std::memcmp(head, kMarker, sizeof kMarker) != 0)
        return nullptr;
    if (!readAt(archive, sizeof kMarker, kMainHeaderSize, head)) return nullptr;
    const bool solid = (u16(head + 3) & kSolidArchive) != 0;
    uint64_t position = sizeof kMarker + u16(head + 5);

    LookupBuffers buffers;
    // Set up on the first compressed entry only: stored lookups never pay for a window.
    std::optional<Rar20Decoder> decoder;
    bool continuing = false;  // the decoder holds the state of an earlier entry
    // What the window has taken in since the decoder last started afresh, at most: the
    // window is sized from the entries' declared sizes and grows before the stream could wrap.
    uint64_t streamBytes = 0;

    char wanted[kNameWork];
    const size_t wantedLength = foldName(name.data(), name.size(), wanted);
    char stored[kNameWork];
    uint8_t storedRaw[kMaxStoredName];

    for (;;) {
        if (!readAt(archive, position, kFileHeaderSize, head)) return nullptr;  // ran out: not found
        const uint8_t type = head[2];
        const uint16_t flags = u16(head + 3);
        const uint16_t headerSize = u16(head + 5);
        if (headerSize < 7) return nullptr;
        const uint64_t dataStart = position + headerSize;
        const uint64_t dataSize = (flags & kHasData) ? u32(head + 7) : 0;
        const uint64_t next = dataStart + dataSize;
        if (next <= position) return nullptr;
        if (type == kSubBlock) return nullptr;
        if (type != kFileBlock) {
            position = next;
            continue;
        }

        const uint32_t packedSize = u32(head + 7);
        const uint32_t unpackedSize = u32(head + 11);
        const uint32_t fileCrc = u32(head + 16);
        const uint8_t version = head[24];
        const uint8_t method = head[25];
        size_t nameSize = u16(head + 26);
        if (nameSize > kMaxStoredName) nameSize = kMaxStoredName;
        if (nameSize > 0 && !readAt(archive, position + kFileHeaderSize, nameSize, storedRaw)) return nullptr;
        const size_t storedLength = foldName(reinterpret_cast<const char*>(storedRaw), nameSize, stored);
        const bool match = storedLength == wantedLength && std::memcmp(stored, wanted, wantedLength) == 0;

        if (match || solid) {
            if (version < 13 || version > 20) return nullptr;
            // The data area must lie inside the archive: nothing is read beyond it.
            if (dataStart > archive.size || archive.size - dataStart < packedSize) return nullptr;
            const uint8_t* packed = archive.data + dataStart;
            if (method == kStored) {
                // A stored entry cannot hold more than its data area.
                if (unpackedSize > packedSize) return nullptr;
            } else if (unpackedSize > static_cast<uint64_t>(packedSize) * 8 * kMaxBytesPerBit) {
                return nullptr;
            }
            uint8_t* output = nullptr;
            if (match) {
                // At least one byte, so that an empty entry still hands back a buffer.
                buffers.output = new (std::nothrow) uint8_t[unpackedSize ? unpackedSize : 1];
                if (!buffers.output) return nullptr;
                output = buffers.output;
            }
            if (method == kStored) {
                if (output && unpackedSize) std::memcpy(output, packed, unpackedSize);
            } else {
                const bool continueSolid = solid && (flags & kSolidEntry) && continuing;
                streamBytes = (continueSolid ? streamBytes : 0) + unpackedSize + kRarMaxMatch;
                const uint32_t windowSize = Rar20Decoder::windowSizeFor(streamBytes);
                if (windowSize > buffers.windowSize) {
                    // Zero-filled by calloc: a large window's pages are only touched as the
                    // stream reaches them.
                    auto* window = static_cast<uint8_t*>(std::calloc(windowSize, 1));
                    if (!window) return nullptr;
                    if (decoder) decoder->growWindow(window, windowSize);
                    else decoder.emplace(window, windowSize);
                    std::free(buffers.window);
                    buffers.window = window;
                    buffers.windowSize = windowSize;
                }
                if (!decoder->decode(packed, packedSize, output, unpackedSize, continueSolid)) return nullptr;
                continuing = true;
            }
            if (match) {
                if (crc32(output, unpackedSize) != fileCrc) return nullptr;
                size = unpackedSize;
                uint8_t* result = buffers.output;
                buffers.output = nullptr;
                return result;
            }
        }
        position = next;
    }
}

}  // namespace ravelin
