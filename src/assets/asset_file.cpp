#include <cstring>

#include "assets/asset_file.h"

namespace ravelin {

bool AssetFile::openEntry(std::string_view name) {
    return openEntry(platform().findResource(kCustomDataType, kArchiveResourceId), name);
}

bool AssetFile::openEntry(ByteRange archive, std::string_view name) {
    close();
    uint32_t size = 0;
    uint8_t* bytes = AssetArchive::extract(archive, name, size);
    if (!bytes) return false;
    data_ = bytes;
    size_ = size;
    position_ = 0;
    borrowed_ = false;
    return true;
}

bool AssetFile::openResource(uint16_t id) {
    close();
    ByteRange blob = platform().findResource(kCustomDataType, id);
    // A blob of 4 GiB or more cannot be addressed by the 32-bit position; none exists.
    if (!blob.data || blob.size > 0xFFFFFFFFu) return false;
    data_ = blob.data;
    size_ = static_cast<uint32_t>(blob.size);
    position_ = 0;
    borrowed_ = true;
    return true;
}

void AssetFile::close() {
    if (data_ && !borrowed_) delete[] data_;
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
    borrowed_ = false;
}

void AssetFile::read(void* destination, uint32_t count) {
    // The position always advances by count, so that pastEnd() reports an over-long read;
    // only the bytes that exist are copied.
    uint64_t end = static_cast<uint64_t>(position_) + count;
    if (data_ && position_ < size_) {
        uint32_t available = size_ - position_;
        uint32_t n = count < available ? count : available;
        if (n) std::memcpy(destination, data_ + position_, n);
    }
    position_ = end > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(end);
}

void AssetFile::seek(int32_t offset, int origin) {
    // Positions are computed wide and clamped at 0, so a wild offset cannot wrap around to
    // a small position; a position past the end is kept and reads there copy nothing.
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = static_cast<int64_t>(position_) + offset; break;
    case 2: target = static_cast<int64_t>(size_) - offset; break;
    default: return;
    }
    if (target < 0) target = 0;
    if (target > 0xFFFFFFFFll) target = 0xFFFFFFFFll;
    position_ = static_cast<uint32_t>(target);
}

bool AssetFile::readLine(char* buffer, size_t capacity) {
    // Takes one byte; false (and the position moved one past the end) when none is left.
    auto take = [this](uint8_t& byte) {
        if (data_ && position_ < size_) {
            byte = data_[position_++];
            return true;
        }
        if (position_ < 0xFFFFFFFFu) ++position_;
        return false;
    };
    size_t length = 0;
    if (buffer && capacity) buffer[0] = 0;
    uint8_t byte = 0;
    bool have = take(byte);
    while (have && byte == ' ') have = take(byte);
    while (have && byte != '\n') {
        // A line longer than the buffer is cut there; the rest of it is skipped.
        if (byte != '\r' && buffer && length + 1 < capacity) buffer[length++] = static_cast<char>(byte);
        have = take(byte);
    }
    if (buffer && capacity) buffer[length] = 0;
    return have;
}

}  // namespace ravelin
