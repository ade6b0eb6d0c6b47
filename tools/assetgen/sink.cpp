// The sink every module writes into; main.cpp merges the modules' sinks in a fixed order.
#include "assetgen.h"

#include <cstdio>
#include <cstdlib>

namespace assetgen {

void AssetSink::addArchiveFile(const std::string& name, std::vector<uint8_t> bytes) {
    // A duplicate name would be shadowed by the first entry at run time: a generator bug.
    if (hasArchiveFile(name)) {
        std::fprintf(stderr, "assetgen: archive name added twice: %s\n", name.c_str());
        std::abort();
    }
    archive_.push_back({name, std::move(bytes)});
}

void AssetSink::addArchiveText(const std::string& name, const std::string& text) {
    addArchiveFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

void AssetSink::addLooseFile(const std::string& fileName, std::vector<uint8_t> bytes) {
    for (const File& f : loose_)
        if (f.name == fileName) {
            std::fprintf(stderr, "assetgen: loose file added twice: %s\n", fileName.c_str());
            std::abort();
        }
    loose_.push_back({fileName, std::move(bytes)});
}

static bool sameName(const std::string& a, const std::string& b) {
    // The runtime compares names without regard to case or separator.
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x == '/') x = '\\';
        if (y == '/') y = '\\';
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}

bool AssetSink::hasArchiveFile(const std::string& name) const {
    for (const File& f : archive_)
        if (sameName(f.name, name)) return true;
    return false;
}

void AssetSink::append(AssetSink&& other) {
    for (File& f : other.archive_) addArchiveFile(f.name, std::move(f.bytes));
    for (File& f : other.loose_) addLooseFile(f.name, std::move(f.bytes));
    other.archive_.clear();
    other.loose_.clear();
}

}  // namespace assetgen
