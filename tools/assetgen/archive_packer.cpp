// Stored-only RAR (block format of versions 1.5–2.x) of the generated files. Every header
// carries a correct header CRC so that independent readers (unar, bsdtar) accept it, though
// the screensaver's reader only checks the content CRC.
#include "assetgen.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace assetgen {

namespace {

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Header CRC: low 16 bits of the CRC-32 of the header from its type byte to its end.
void sealHeader(std::vector<uint8_t>& out, size_t start) {
    const uint32_t c = crc32(out.data() + start + 2, out.size() - start - 2);
    out[start] = uint8_t(c);
    out[start + 1] = uint8_t(c >> 8);
}

// One fixed DOS time stamp for every entry (2026-06-14 14:00:00) keeps the bytes reproducible.
constexpr uint32_t kDosTime = (uint32_t((2026 - 1980) << 9 | 6 << 5 | 14) << 16) | (14u << 11);

void addEntry(std::vector<uint8_t>& out, const std::string& name, const std::vector<uint8_t>* data) {
    if (name.empty() || name.size() > 259) {
        std::fprintf(stderr, "assetgen: bad archive name '%s'\n", name.c_str());
        std::abort();
    }
    const bool dir = data == nullptr;
    const uint32_t size = dir ? 0 : uint32_t(data->size());
    const size_t start = out.size();
    put16(out, 0);  // header CRC, sealed below
    out.push_back(0x74);
    put16(out, dir ? 0x80E0 : 0x8000);  // data area follows; directory: dictionary bits all set
    put16(out, uint32_t(32 + name.size()));
    put32(out, size);  // packed = unpacked: stored
    put32(out, size);
    out.push_back(2);  // host system: Win32
    put32(out, dir ? 0 : crc32(data->data(), data->size()));
    put32(out, kDosTime);
    out.push_back(20);    // unpack version 2.0
    out.push_back(0x30);  // stored
    put16(out, uint32_t(name.size()));
    put32(out, dir ? 0x10 : 0x20);  // directory / archive attribute
    out.insert(out.end(), name.begin(), name.end());
    sealHeader(out, start);
    if (!dir) out.insert(out.end(), data->begin(), data->end());
}

}  // namespace

uint32_t crc32(const uint8_t* data, size_t size) {
    const auto& t = crcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = t[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

std::vector<uint8_t> packArchive(const std::vector<AssetSink::File>& files) {
    size_t total = 7 + 13 + 7;
    for (const auto& f : files) total += 32 + f.name.size() + f.bytes.size();
    std::vector<uint8_t> out;
    out.reserve(total + 4 * 48);
    for (uint8_t m : {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}) out.push_back(m);
    const size_t mainStart = out.size();
    put16(out, 0);
    out.push_back(0x73);
    put16(out, 0);  // not solid, no volumes, no comment
    put16(out, 13);
    put16(out, 0);
    put32(out, 0);
    sealHeader(out, mainStart);
    for (const char* dir : {"meshes", "technique", "textures", "vcl"}) addEntry(out, dir, nullptr);
    for (const auto& f : files) addEntry(out, f.name, &f.bytes);
    const size_t endStart = out.size();
    put16(out, 0);
    out.push_back(0x7B);
    put16(out, 0x4000);
    put16(out, 7);
    sealHeader(out, endStart);
    return out;
}

}  // namespace assetgen
