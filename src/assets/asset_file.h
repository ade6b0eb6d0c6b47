// AssetFile: one archive entry (a private heap copy) or one resource blob (borrowed) held in
// memory with a read position and the line reader every text format uses. Opened, read and
// closed within one loading step; the destructor closes it.
// AssetArchive: finds an entry by name in an archive given as a byte range (RAR 1.5–2.x block
// format, stored and RAR 2.0 compressed entries).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace ravelin {

constexpr uint16_t kArchiveResourceId = 119;
constexpr std::string_view kCustomDataType = "CustomData";

class AssetArchive {
public:
    // Looks name up in archive. On success returns a new[]-allocated buffer of the entry's
    // unpacked size (owned by the caller, delete[]) and sets size; on any failure returns
    // nullptr with size 0. A directory or zero-length entry succeeds with a non-null 1-byte
    // allocation and size 0.
    static uint8_t* extract(ByteRange archive, std::string_view name, uint32_t& size);
};

class AssetFile {
public:
    AssetFile() = default;
    ~AssetFile() { close(); }
    AssetFile(const AssetFile&) = delete;
    AssetFile& operator=(const AssetFile&) = delete;

    // Opens an entry of the embedded archive (resource 119), e.g. "meshes\road.dat".
    bool openEntry(std::string_view name);
    // Opens an entry of any archive given as bytes (tools and tests).
    bool openEntry(ByteRange archive, std::string_view name);
    // Borrows resource blob "CustomData"/id.
    bool openResource(uint16_t id);
    void close();

    // Copies count bytes from the position and advances it by count. Bytes beyond the end are
    // not copied (the destination keeps what it held) and pastEnd() turns true.
    void read(void* destination, uint32_t count);
    // origin 0: from the start, 1: from the position, 2: position = size - offset.
    void seek(int32_t offset, int origin);
    bool pastEnd() const { return position_ > size_; }
    // Reads one text line into buffer (capacity bytes including the terminator): leading
    // spaces dropped, CR removed, cut at capacity - 1 with the rest of the line skipped.
    // True when the line ended at a line feed inside the data.
    bool readLine(char* buffer, size_t capacity);

    const uint8_t* data() const { return data_; }
    uint32_t size() const { return size_; }
    uint32_t position() const { return position_; }
    bool isOpen() const { return data_ != nullptr; }

private:
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t position_ = 0;
    bool borrowed_ = false;
};

}  // namespace ravelin
