// Fuzzes archive lookups (block scan, names, stored copy, RAR 2.0 decoding, CRC) and, with
// the low bit of the first byte clear, the RAR 2.0 decoder directly on a raw stream.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assets/archive_listing.h"
#include "assets/asset_file.h"
#include "assets/rar20_decoder.h"

using namespace ravelin;

namespace {

bool sameFolded(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) {
            if (c == '\\' || c == '/') return '_';
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // A private copy of exactly the input's size, so that any overrun is caught.
    std::vector<uint8_t> bytes(data + 1, data + size);
    if (data[0] & 1) {
        ByteRange archive{bytes.data(), bytes.size()};
        ArchiveListing listing = listArchive(archive);
        size_t tried = 0;
        for (const ArchiveEntryInfo& e : listing.entries) {
            if (++tried > 3) break;
            // Through AssetFile, the loaders' way in, which hands the lookup to extract.
            AssetFile file;
            const bool found = file.openEntry(archive, e.name);
            // The first entry whose name folds to the same is the one found.
            const ArchiveEntryInfo* first = &e;
            for (const ArchiveEntryInfo& f : listing.entries) {
                if (sameFolded(f.name, e.name)) {
                    first = &f;
                    break;
                }
            }
            if (found && file.size() != first->unpackedSize) __builtin_trap();
        }
        uint32_t got = 0;
        std::unique_ptr<uint8_t[]> none(AssetArchive::extract(archive, "no/such\\entry", got));
        bool listed = false;
        for (const ArchiveEntryInfo& f : listing.entries) listed = listed || sameFolded(f.name, "no/such\\entry");
        if ((none && !listed) || (!none && got != 0)) __builtin_trap();
        return 0;
    }
    // Raw stream: the next two bytes give the output size (up to 64 KiB).
    uint32_t outSize = static_cast<uint32_t>(data[1] | data[2] << 8);
    std::vector<uint8_t> stream(data + 3, data + size);
    // Output and window lie at the very end of static buffers, so that the sanitizer still
    // catches a write past either, without a fresh allocation (and its page faults) per run.
    static uint8_t outBuffer[1 << 16];
    static uint8_t windowBuffer[kRarWindowSize];
    uint8_t* out = outBuffer + sizeof outBuffer - outSize;
    // The window the stream needs for both decodes, as the archive lookup chooses it.
    const uint32_t windowSize = Rar20Decoder::windowSizeFor(2 * (uint64_t{outSize} + kRarMaxMatch));
    uint8_t* window = windowBuffer + sizeof windowBuffer - windowSize;
    std::memset(window, 0, windowSize);
    Rar20Decoder decoder(window, windowSize);
    bool ok = decoder.decode(stream.data(), stream.size(), out, outSize, false);
    // Continue as the next entry of a solid archive over the same bytes.
    if (ok) decoder.decode(stream.data(), stream.size(), out, outSize, true);
    return 0;
}
