// Reads the generator's archives independently of the screensaver's own reader.
#include "archive_reader.h"

#include <fstream>
#include <iterator>

namespace assetgen_test {

uint32_t crc32Of(const uint8_t* data, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static std::string canonical(std::string s) {
    for (char& c : s) {
        if (c == '/') c = '\\';
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    }
    return s;
}

const Entry* Archive::find(const std::string& name) const {
    const std::string want = canonical(name);
    for (const Entry& e : entries)
        if (canonical(e.name) == want) return &e;
    return nullptr;
}

Archive readArchive(const std::vector<uint8_t>& b) {
    Archive a;
    auto u16 = [&](size_t o) { return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8; };
    auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
    static const uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    if (b.size() < 20 || !std::equal(kMarker, kMarker + 7, b.begin())) {
        a.error = "no marker";
        return a;
    }
    auto headerCrcOk = [&](size_t start, size_t size) {
        return (crc32Of(&b[start + 2], size - 2) & 0xFFFF) == u16(start);
    };
    if (b[9] != 0x73 || u16(12) != 13 || !headerCrcOk(7, 13)) {
        a.error = "bad main header";
        return a;
    }
    size_t pos = 7 + 13;
    while (pos < b.size()) {
        if (pos + 7 > b.size()) {
            a.error = "truncated block";
            return a;
        }
        const uint32_t type = b[pos + 2], flags = u16(pos + 3), hsize = u16(pos + 5);
        if (hsize < 7 || pos + hsize > b.size() || !headerCrcOk(pos, hsize)) {
            a.error = "bad block header at " + std::to_string(pos);
            return a;
        }
        if (type == 0x7B) {
            a.sawEndBlock = flags == 0x4000 && hsize == 7;
            if (pos + 7 != b.size()) a.error = "data after the end block";
            return a;
        }
        if (type != 0x74 || hsize < 32 || !(flags & 0x8000)) {
            a.error = "unexpected block at " + std::to_string(pos);
            return a;
        }
        Entry e;
        const uint32_t packed = u32(pos + 7), unpacked = u32(pos + 11);
        e.hostSystem = b[pos + 15];
        e.crc = u32(pos + 16);
        e.time = u32(pos + 20);
        e.unpackVersion = b[pos + 24];
        e.method = b[pos + 25];
        const uint32_t nameSize = u16(pos + 26);
        if (32 + nameSize != hsize || packed != unpacked || pos + hsize + packed > b.size()) {
            a.error = "inconsistent sizes at " + std::to_string(pos);
            return a;
        }
        e.name.assign(reinterpret_cast<const char*>(&b[pos + 32]), nameSize);
        e.directory = (flags & 0x00E0) == 0x00E0;
        e.data.assign(b.begin() + long(pos + hsize), b.begin() + long(pos + hsize + packed));
        if (crc32Of(e.data.data(), e.data.size()) != e.crc) {
            a.error = "content CRC mismatch for " + e.name;
            return a;
        }
        a.entries.push_back(std::move(e));
        pos += hsize + packed;
    }
    a.error = "no end block";
    return a;
}

}  // namespace assetgen_test
