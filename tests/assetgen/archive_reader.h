// A small, independent reader of stored RAR archives for the generator's tests: walks every
// block, checks header and content CRCs and hands back the entries in archive order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen_test {

struct Entry {
    std::string name;
    bool directory = false;
    uint32_t crc = 0;
    uint8_t hostSystem = 0, unpackVersion = 0, method = 0;
    uint32_t time = 0;
    std::vector<uint8_t> data;
};

struct Archive {
    std::vector<Entry> entries;
    std::string error;  // empty when the whole archive read cleanly
    bool sawEndBlock = false;
    const Entry* find(const std::string& name) const;  // any case, '\' or '/'
};

Archive readArchive(const std::vector<uint8_t>& bytes);
uint32_t crc32Of(const uint8_t* data, size_t size);
std::vector<uint8_t> readFileBytes(const std::string& path);

}  // namespace assetgen_test
